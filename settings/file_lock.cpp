#include "settings/file_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <thread>

#include "settings/file_steps.h"
#include "settings/temporary_file.h"
#include "settings/trusted_path.h"

namespace quorvel::settings::detail {

namespace {

// Its content does not count, only its kind: never opens what could block or
// do things of its own when opened.
constexpr qint64 kAnySize = std::numeric_limits<qint64>::max();

// Opens the lock file (making it when it is not there), or the file itself in
// a folder where no lock file can be made.
bool openLockFile(int folder, const QByteArray& name, Descriptor& fd, QString& reason) {
    const QByteArray lockName = name + ".lock";
    struct stat status {};
    if (::fstatat(folder, lockName.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        !trustedHere(folder, status, kAnySize, reason)) {
        return false;
    }
    // Read-only is enough to lock, so another user's game that shares the file
    // may lock it too.
    fd.reset(::openat(folder, lockName.constData(),
                      O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    int error = errno;
    if (!fd && (error == EACCES || error == EROFS)) {
        // A folder where no lock file can be made takes no replacement either:
        // the file is written in place there, stays the same file, and can be
        // locked itself. When it cannot, the folder's refusal is the reason.
        OpenedFile file = openChecked(folder, name, kAnySize, reason);
        if (file.result == ReadResult::Read) {
            fd = std::move(file.fd);
        }
        error = EACCES;
    }
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        reason = systemReason(fd ? errno : error);
        return false;
    }
    return trustedHere(folder, status, kAnySize, reason);
}

// Whether an entry of the folder is a leftover this process may remove.
bool mayRemove(int folder, const struct stat& folderStatus, const char* entry) {
    struct stat status {};
    return QByteArray(entry).startsWith(kLeftoverPrefix) &&
           ::fstatat(folder, entry, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
           !(sharedSticky(folderStatus, S_IWOTH | S_IWGRP) && status.st_uid != ::geteuid());
}

}  // namespace

bool takeLock(int folder, const QByteArray& name, std::chrono::milliseconds bound, Descriptor& lock,
              QString& reason) {
    Descriptor fd;
    if (!openLockFile(folder, name, fd, reason)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool seenTaken = false;
    while (step(test_hooks::kLock, [&] { return ::flock(fd.get(), LOCK_EX | LOCK_NB); }) != 0) {
        const int error = errno;
        // An interrupted call counts against the bound like a taken lock, so a
        // stream of signals cannot keep the game here.
        if (error != EWOULDBLOCK && error != EINTR) {
            reason = systemReason(error);
            return false;
        }
        if (error == EWOULDBLOCK && !seenTaken && test_hooks::lockTaken) {
            test_hooks::lockTaken();
        }
        seenTaken = seenTaken || error == EWOULDBLOCK;
        if (std::chrono::steady_clock::now() >= deadline) {
            reason = seenTaken ? QStringLiteral("another process held its lock for over %1 ms")
                                     .arg(static_cast<qint64>(bound.count()))
                               : QStringLiteral("locking it was interrupted for over %1 ms")
                                     .arg(static_cast<qint64>(bound.count()));
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    lock = std::move(fd);
    return true;
}

bool sweepLeftovers(int folder, QString& reason) {
    struct stat folderStatus {};
    if (::fstat(folder, &folderStatus) != 0) {
        reason = systemReason(errno);
        return false;
    }
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (entries == nullptr) {
        reason = systemReason(errno);
        if (listing >= 0) {
            ::close(listing);
        }
        return false;
    }
    bool removed = true;
    while (const dirent* entry = ::readdir(entries)) {
        if (mayRemove(folder, folderStatus, entry->d_name)) {
            removed = discard(folder, QByteArray(entry->d_name), reason) && removed;
        }
    }
    ::closedir(entries);
    return removed;
}

}  // namespace quorvel::settings::detail
