#include "files/file_lock.h"

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

#include "files/fault_hooks.h"
#include "files/temporary_file.h"
#include "files/trust.h"
#include "files/trusted_path.h"

namespace quorvel::files::detail {

namespace {

using namespace test_hooks;

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

// Whether the lock file with status may be used (see judgeLockFile).
Outcome<Verdict> ownerTrusted(int folder, const QByteArray& name, const struct stat& status) {
    const auto seen = folderStatus(folder);
    if (seen.result != Did::Done) {
        return {Verdict::Refused, seen.reason};
    }
    if (trusts(Use::UseLockFile, seen.value, status.st_uid)) {
        return {Verdict::Usable};
    }
    return {Verdict::Refused,
            QStringLiteral(
                "its lock file %1 belongs to another user in a folder that others may write, "
                "who could keep the game from writing the file in turn")
                .arg(QFile::decodeName(lockNameOf(name)))};
}

// How one try to open the lock ended: a lock file that is there but that the
// game may not open is waited for like a lock that is taken (it may be another
// user's game's, mid-write), never passed by for another lock.
enum class Opening { Opened, Unopenable, Refused, Failed };

using Opened = Outcome<Opening, HeldLock>;

// Where no lock file can be made (the folder refuses it, and none is there),
// the file itself is the lock; when it cannot be opened either, the folder's
// refusal is the reason.
Opened lockTheFile(int folder, const QByteArray& name, int refusal) {
    OpenedFile file = openChecked(folder, name, kAnySize);
    if (file.result != ReadResult::Read) {
        return {Opening::Failed, callFailed(kOpenLock, refusal)};
    }
    return {Opening::Opened, {}, HeldLock{std::move(file.fd), LockOn::TheFile}};
}

// A lock file that is there but cannot be opened: waited for when its owner
// is trusted, else the file is refused.
Opened unopenable(int folder, const QByteArray& name, int error) {
    const QByteArray lockName = lockNameOf(name);
    struct stat status {};
    if (step(kLookAtLock, [&] {
            return ::fstatat(folder, lockName.constData(), &status, AT_SYMLINK_NOFOLLOW);
        }) != 0) {
        return errno == ENOENT ? lockTheFile(folder, name, error)
                               : Opened{Opening::Failed, callFailed(kLookAtLock, errno)};
    }
    const auto trusted = ownerTrusted(folder, name, status);
    return trusted.result == Verdict::Usable
               ? Opened{Opening::Unopenable, callFailed(kOpenLock, error)}
               : Opened{Opening::Refused, trusted.reason};
}

// Opens the lock file (making it when it is not there). Read-only is enough to
// lock, so another user's game that shares the file may lock it too.
Opened openLockFile(int folder, const QByteArray& name) {
    const QByteArray lockName = lockNameOf(name);
    struct stat status {};
    // Never opens a device or a FIFO put there: opening one can do things.
    if (step(kLookAtLock, [&] {
            return ::fstatat(folder, lockName.constData(), &status, AT_SYMLINK_NOFOLLOW);
        }) == 0) {
        if (!S_ISREG(status.st_mode)) {
            return {Opening::Failed, notRegular(lockName)};
        }
    } else if (errno != ENOENT) {
        return {Opening::Failed, callFailed(kLookAtLock, errno)};
    }
    HeldLock lock{Descriptor(step(kOpenLock,
                                  [&] {
                                      return ::openat(folder, lockName.constData(),
                                                      O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK |
                                                          O_NOCTTY | O_CLOEXEC,
                                                      0666);
                                  })),
                  LockOn::LockFile};
    if (!lock.fd) {
        const int error = errno;
        return error == EACCES || error == EPERM || error == EROFS
                   ? unopenable(folder, name, error)
                   : Opened{Opening::Failed, callFailed(kOpenLock, error)};
    }
    if (step(kCheckLock, [&] { return ::fstat(lock.fd.get(), &status); }) != 0) {
        return {Opening::Failed, callFailed(kCheckLock, errno)};
    }
    if (const auto trusted = ownerTrusted(folder, name, status);
        trusted.result != Verdict::Usable) {
        return {Opening::Refused, trusted.reason};
    }
    // Only its kind counts: it is never written, so a second name does not.
    if (!S_ISREG(status.st_mode)) {
        return {Opening::Failed, notRegular(lockName)};
    }
    return {Opening::Opened, {}, std::move(lock)};
}

// What the game waited for, for the reason once the bound is passed.
enum class Waited { Nothing, Interrupted, Unopenable, Taken };

QString waitedTooLong(Waited waited, const QByteArray& name, std::chrono::milliseconds bound,
                      const QString& why) {
    const auto ms = static_cast<qint64>(bound.count());
    switch (waited) {
        case Waited::Taken:
            return QStringLiteral("another process held its lock for over %1 ms (%2)")
                .arg(ms)
                .arg(why);
        case Waited::Unopenable:
            return QStringLiteral("its lock file %1 could not be opened for over %2 ms: %3")
                .arg(QFile::decodeName(lockNameOf(name)))
                .arg(ms)
                .arg(why);
        default:
            return QStringLiteral("locking it was interrupted for over %1 ms (%2)")
                .arg(ms)
                .arg(why);
    }
}

// One try at the lock, with the lock file opened by an earlier try (if any):
// Taken, Refused, or NotHad; with NotHad, `waiting` says what to wait for
// before the next try (Nothing: there is no next try). The lock file opened
// goes on to the next try.
struct Try {
    LockResult result;
    Waited waiting = Waited::Nothing;
    QString reason = {};
    HeldLock lock = {};
};

Try tryOnce(int folder, const QByteArray& name, HeldLock lock) {
    if (!lock.fd) {
        Opened opened = openLockFile(folder, name);
        switch (opened.result) {
            case Opening::Refused:
                return {LockResult::Refused, Waited::Nothing, opened.reason};
            case Opening::Failed:
                return {LockResult::NotHad, Waited::Nothing, opened.reason};
            case Opening::Unopenable:
                return {LockResult::NotHad, Waited::Unopenable, opened.reason};
            case Opening::Opened:
                lock = std::move(opened.value);
                break;
        }
    }
    if (step(kLock, [&] { return ::flock(lock.fd.get(), LOCK_EX | LOCK_NB); }) == 0) {
        return {LockResult::Taken, Waited::Nothing, {}, std::move(lock)};
    }
    // An interrupted call counts against the bound like a taken lock, so a
    // stream of signals cannot keep the game here.
    const int error = errno;
    const Waited waiting = error == EWOULDBLOCK ? Waited::Taken
                           : error == EINTR     ? Waited::Interrupted
                                                : Waited::Nothing;
    return {LockResult::NotHad, waiting, callFailed(kLock, error), std::move(lock)};
}

// Whether an entry of the folder is a leftover of the settings file `name`
// that this process may remove: a regular file of that file's temporary naming
// with no other name. Refused with no reason for any other entry; with the
// reason when the entry could not be looked at.
Outcome<Verdict> mayRemove(int folder, const struct stat& folderStatus, const QByteArray& name,
                           const char* entry) {
    struct stat status {};
    if (!isTemporaryOf(name, QByteArray(entry))) {
        return {Verdict::Refused};
    }
    if (step(kLookAtLeftover,
             [&] { return ::fstatat(folder, entry, &status, AT_SYMLINK_NOFOLLOW); }) != 0) {
        return {Verdict::Refused, errno == ENOENT ? QString() : callFailed(kLookAtLeftover, errno)};
    }
    const bool ours = S_ISREG(status.st_mode) && status.st_nlink == 1 &&
                      trusts(Use::RemoveLeftover, folderStatus, status.st_uid);
    return {ours ? Verdict::Usable : Verdict::Refused};
}

}  // namespace

Outcome<Verdict> judgeLockFile(int folder, const QByteArray& name) {
    struct stat status {};
    if (step(kLookAtLock, [&] {
            return ::fstatat(folder, lockNameOf(name).constData(), &status, AT_SYMLINK_NOFOLLOW);
        }) != 0) {
        return errno == ENOENT ? Outcome<Verdict>{Verdict::Usable}
                               : Outcome<Verdict>{Verdict::Refused, callFailed(kLookAtLock, errno)};
    }
    return ownerTrusted(folder, name, status);
}

Outcome<LockResult, HeldLock> takeLock(int folder, const QByteArray& name,
                                       std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    Waited longest = Waited::Nothing;
    HeldLock lock;
    for (;;) {
        Try tried = tryOnce(folder, name, std::move(lock));
        if (tried.result == LockResult::Taken) {
            return {LockResult::Taken, {}, std::move(tried.lock)};
        }
        lock = std::move(tried.lock);
        if (tried.waiting == Waited::Nothing) {
            return {tried.result, tried.reason};
        }
        if (tried.waiting == Waited::Taken && longest != Waited::Taken && test_hooks::lockTaken) {
            test_hooks::lockTaken();
        }
        longest = std::max(longest, tried.waiting);
        if (std::chrono::steady_clock::now() >= deadline) {
            return {LockResult::NotHad, waitedTooLong(longest, name, bound, tried.reason)};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

Done sweepLeftovers(int folder, const QByteArray& name) {
    const auto seen = folderStatus(folder);
    if (seen.result != Did::Done) {
        return failed(seen.reason);
    }
    const int listing = step(
        kListFolder, [&] { return ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    DIR* entries = listing >= 0 ? step(kListFolder, [&] { return ::fdopendir(listing); }) : nullptr;
    if (entries == nullptr) {
        const int error = errno;
        if (listing >= 0) {
            ::close(listing);
        }
        return failed(callFailed(kListFolder, error));
    }
    QString reasons;
    for (;;) {
        // The end of the entries leaves errno as it was; an error sets it.
        errno = 0;
        const dirent* entry = step(kReadFolder, [&] { return ::readdir(entries); });
        if (entry == nullptr) {
            if (errno != 0) {
                reasons = bothSaid(reasons, callFailed(kReadFolder, errno));
            }
            break;
        }
        const auto removable = mayRemove(folder, seen.value, name, entry->d_name);
        const QString why = removable.result == Verdict::Usable
                                ? discard(folder, QByteArray(entry->d_name)).reason
                                : removable.reason;
        reasons = bothSaid(reasons, why);
    }
    ::closedir(entries);
    return reasons.isEmpty() ? done() : failed(reasons);
}

}  // namespace quorvel::files::detail
