#include "settings/file_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
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

QByteArray lockNameOf(const QByteArray& name) {
    return name + ".lock";
}

QString notRegular(const QByteArray& lockName) {
    return QStringLiteral("its lock file %1 is not a regular file")
        .arg(QFile::decodeName(lockName));
}

// Whether the lock file with status may be used (see lockFileTrusted).
bool ownerTrusted(int folder, const QByteArray& name, const struct stat& status, QString& reason) {
    struct stat folderStatus {};
    if (::fstat(folder, &folderStatus) != 0) {
        reason = systemReason(errno);
        return false;
    }
    // A folder that its group (or an ACL) lets write, without the sticky bit,
    // is shared by its owner's choice: a lock file of one of those users is
    // their game's, as in a folder shared through an ACL.
    const bool strangers =
        sharedSticky(folderStatus, S_IWOTH | S_IWGRP) || (folderStatus.st_mode & S_IWOTH) != 0;
    if (!strangers || trustedOwner(status.st_uid, folderStatus)) {
        return true;
    }
    reason = QStringLiteral(
                 "its lock file %1 belongs to another user in a folder that others may write, "
                 "who could keep the game from writing the file in turn")
                 .arg(QFile::decodeName(lockNameOf(name)));
    return false;
}

// How one try to open the lock ended: a lock file that is there but that the
// game may not open is waited for like a lock that is taken (it may be another
// user's game's, mid-write), never passed by for another lock.
enum class Opening { Opened, Unopenable, Refused, Failed };

// Where no lock file can be made (the folder refuses it, and none is there),
// the file itself is the lock; when it cannot be opened either, the folder's
// refusal is the reason.
Opening lockTheFile(int folder, const QByteArray& name, int refusal, HeldLock& lock,
                    QString& reason) {
    OpenedFile file = openChecked(folder, name, kAnySize, reason);
    if (file.result != ReadResult::Read) {
        reason = systemReason(refusal);
        return Opening::Failed;
    }
    lock.fd = std::move(file.fd);
    lock.on = LockOn::TheFile;
    return Opening::Opened;
}

// Opens the lock file (making it when it is not there). Read-only is enough to
// lock, so another user's game that shares the file may lock it too.
Opening openLockFile(int folder, const QByteArray& name, HeldLock& lock, QString& reason) {
    const QByteArray lockName = lockNameOf(name);
    lock.on = LockOn::LockFile;
    struct stat status {};
    // Never opens a device or a FIFO put there: opening one can do things.
    if (::fstatat(folder, lockName.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(status.st_mode)) {
        reason = notRegular(lockName);
        return Opening::Failed;
    }
    lock.fd.reset(step(test_hooks::kOpenLock, [&] {
        return ::openat(folder, lockName.constData(),
                        O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    }));
    const int error = errno;
    if (!lock.fd && error != EACCES && error != EPERM && error != EROFS) {
        reason = systemReason(error);
        return Opening::Failed;
    }
    if (!lock.fd) {
        if (::fstatat(folder, lockName.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            return errno == ENOENT ? lockTheFile(folder, name, error, lock, reason)
                                   : (reason = systemReason(errno), Opening::Failed);
        }
        reason = systemReason(error);
        return ownerTrusted(folder, name, status, reason) ? Opening::Unopenable : Opening::Refused;
    }
    if (::fstat(lock.fd.get(), &status) != 0) {
        reason = systemReason(errno);
        return Opening::Failed;
    }
    if (!ownerTrusted(folder, name, status, reason)) {
        return Opening::Refused;
    }
    // Only its kind counts: it is never written, so a second name does not.
    if (!S_ISREG(status.st_mode)) {
        reason = notRegular(lockName);
        return Opening::Failed;
    }
    return Opening::Opened;
}

// What the game waited for, for the reason once the bound is passed.
enum class Waited { Nothing, Interrupted, Unopenable, Taken };

QString waitedTooLong(Waited waited, const QByteArray& name, std::chrono::milliseconds bound,
                      const QString& why) {
    const auto ms = static_cast<qint64>(bound.count());
    switch (waited) {
        case Waited::Taken:
            return QStringLiteral("another process held its lock for over %1 ms").arg(ms);
        case Waited::Unopenable:
            return QStringLiteral("its lock file %1 could not be opened for over %2 ms: %3")
                .arg(QFile::decodeName(lockNameOf(name)))
                .arg(ms)
                .arg(why);
        default:
            return QStringLiteral("locking it was interrupted for over %1 ms").arg(ms);
    }
}

// One try at the lock: Taken, Refused, or NotHad; with NotHad, `waiting` says
// what to wait for before the next try (Nothing: there is no next try).
LockResult tryOnce(int folder, const QByteArray& name, HeldLock& lock, Waited& waiting,
                   QString& reason) {
    waiting = Waited::Nothing;
    if (!lock.fd) {
        switch (openLockFile(folder, name, lock, reason)) {
            case Opening::Refused:
                return LockResult::Refused;
            case Opening::Failed:
                return LockResult::NotHad;
            case Opening::Unopenable:
                waiting = Waited::Unopenable;
                return LockResult::NotHad;
            case Opening::Opened:
                break;
        }
    }
    if (step(test_hooks::kLock, [&] { return ::flock(lock.fd.get(), LOCK_EX | LOCK_NB); }) == 0) {
        return LockResult::Taken;
    }
    // An interrupted call counts against the bound like a taken lock, so a
    // stream of signals cannot keep the game here.
    const int error = errno;
    reason = systemReason(error);
    waiting = error == EWOULDBLOCK ? Waited::Taken
              : error == EINTR     ? Waited::Interrupted
                                   : Waited::Nothing;
    return LockResult::NotHad;
}

// Whether an entry of the folder is a leftover of the settings file `name`
// that this process may remove: a regular file of that file's temporary naming
// with no other name.
bool mayRemove(int folder, const struct stat& folderStatus, const QByteArray& name,
               const char* entry) {
    struct stat status {};
    return isTemporaryOf(name, QByteArray(entry)) &&
           ::fstatat(folder, entry, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
           status.st_nlink == 1 &&
           !(sharedSticky(folderStatus, S_IWOTH | S_IWGRP) && status.st_uid != ::geteuid());
}

}  // namespace

bool lockFileTrusted(int folder, const QByteArray& name, QString& reason) {
    struct stat status {};
    if (::fstatat(folder, lockNameOf(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT || (reason = systemReason(errno), false);
    }
    return ownerTrusted(folder, name, status, reason);
}

LockResult takeLock(int folder, const QByteArray& name, std::chrono::milliseconds bound,
                    HeldLock& lock, QString& reason) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    Waited longest = Waited::Nothing;
    for (;;) {
        Waited waiting = Waited::Nothing;
        const LockResult result = tryOnce(folder, name, lock, waiting, reason);
        if (result != LockResult::NotHad || waiting == Waited::Nothing) {
            if (result != LockResult::Taken) {
                lock = HeldLock{};
            }
            return result;
        }
        if (waiting == Waited::Taken && longest != Waited::Taken && test_hooks::lockTaken) {
            test_hooks::lockTaken();
        }
        longest = std::max(longest, waiting);
        if (std::chrono::steady_clock::now() >= deadline) {
            reason = waitedTooLong(longest, name, bound, reason);
            lock = HeldLock{};
            return LockResult::NotHad;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool sweepLeftovers(int folder, const QByteArray& name, QString& reason) {
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
        if (mayRemove(folder, folderStatus, name, entry->d_name)) {
            removed = discard(folder, QByteArray(entry->d_name), reason) && removed;
        }
    }
    ::closedir(entries);
    return removed;
}

}  // namespace quorvel::settings::detail
