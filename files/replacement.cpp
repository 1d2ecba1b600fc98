#include "files/replacement.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/fault_hooks.h"
#include "files/file_attributes.h"
#include "files/temporary_file.h"
#include "files/trusted_path.h"

namespace quorvel::files::detail {

namespace {

using namespace test_hooks;
using Written = Outcome<WriteResult>;

// Errors of a swap or a new file that say the folder or the mount will not
// take a replacement, where writing the file itself still can.
bool replacingImpossible(int error) {
    return error == EBUSY || error == EXDEV || error == EACCES || error == EPERM || error == EROFS;
}

// What a failed write in place left, once the old content was written back.
QString afterRestoring(const Outcome<Wrote>& restored) {
    switch (restored.result) {
        case Wrote::Synced:
            return QStringLiteral("the old content was written back");
        case Wrote::NotSynced:
            return QStringLiteral("the old content was written back whole, but %1")
                .arg(restored.reason);
        case Wrote::Partly:
            break;
    }
    return QStringLiteral(
               "writing the old content back failed too (%1), so the file may be left part old, "
               "part new")
        .arg(restored.reason);
}

// In place: the same file, so its owner, group, mode, ACL, attributes and
// other names stay as they are. Under the lock and after the re-read, like a
// replacement; what cannot be undone by a swap is undone by writing the old
// content back.
Written writeInPlace(const Target& at, const QByteArray& content, const QString& remark = {}) {
    Descriptor fd(step(kOpenInPlace, [&] {
        return ::openat(at.folder, at.name.constData(),
                        O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    }));
    if (!fd) {
        return {WriteResult::Failed, bothSaid(remark, callFailed(kOpenInPlace, errno))};
    }
    struct stat status {};
    if (step(kCheckFile, [&] { return ::fstat(fd.get(), &status); }) != 0) {
        return {WriteResult::Failed, bothSaid(remark, callFailed(kCheckFile, errno))};
    }
    if (!at.snapshot.unchanged(&status)) {
        return {WriteResult::Changed, changedMeanwhile()};
    }
    const Outcome<Wrote> wrote = writeWhole(fd.get(), content);
    if (wrote.result == Wrote::Synced) {
        return {WriteResult::Written, remark};
    }
    const QString restored = afterRestoring(writeWhole(fd.get(), at.snapshot.content()));
    return {WriteResult::Failed, bothSaid(remark, bothSaid(wrote.reason, restored))};
}

// Once a new file has taken the name, the folder's entry is made durable: until
// then a power cut could bring the old file back. The write stands either way.
Written syncFolder(const Target& at, Written written) {
    if (at.syncable && step(kSyncFolder, [&] { return ::fsync(at.folder); }) != 0) {
        written.reason =
            bothSaid(written.reason, QStringLiteral("%1, so a power cut could still bring the old "
                                                    "file back")
                                         .arg(callFailed(kSyncFolder, errno)));
    }
    return written;
}

// Undoes a swap whose result is not to stand: `undone` is what the write then
// comes to (Changed or Failed), `why` its reason. The temporary name is gone
// afterwards either way.
Written swapBack(const Target& at, const QByteArray& temp, const QString& why, WriteResult undone) {
#ifdef RENAME_EXCHANGE
    if (step(kSwapBack, [&] {
            return ::renameat2(at.folder, temp.constData(), at.folder, at.name.constData(),
                               RENAME_EXCHANGE);
        }) == 0) {
        // A write found changed is read and merged again, and its report (if
        // it comes to one) says that it was given up.
        const QString said =
            why + (undone == WriteResult::Failed
                       ? QStringLiteral("; the swap was undone and this write given up")
                       : QStringLiteral("; the swap was undone"));
        return {undone, bothSaid(said, discard(at.folder, temp).reason)};  // the new content
    }
#else
    (void)undone;
#endif
    // The new content stays where it is: the write happened after all, and
    // what it replaced goes, as a successful write's old file does.
    const QString said =
        why + QStringLiteral("; undoing the swap failed too (%1), so the new content stays")
                  .arg(callFailed(kSwapBack, errno));
    return syncFolder(at, {WriteResult::Written, bothSaid(said, discard(at.folder, temp).reason)});
}

// How a swap of the temporary file into the name ended, when it was refused in
// a way that writing the file in place may not be (a bind mount, a folder the
// user may not write).
struct Swap {
    Written written;
    bool refused = false;
};

Swap refusedOrFailed(const char* what) {
    const int error = errno;
    return {{WriteResult::Failed, callFailed(what, error)}, replacingImpossible(error)};
}

// Where the system cannot swap: the name was checked just before.
Swap renamed(const Target& at, const Temporary& temp) {
    if (step(kRename, [&] {
            return ::renameat(at.folder, temp.name.constData(), at.folder, at.name.constData());
        }) != 0) {
        return refusedOrFailed(kRename);
    }
    return {syncFolder(at, {WriteResult::Written})};
}

// After the swap, the name holds the new content and the temporary name what
// was there: the file that was checked, or the swap is undone.
Swap swapIn(const Target& at, const Temporary& temp) {
#ifdef RENAME_EXCHANGE
    const int swapped = step(kSwap, [&] {
        return ::renameat2(at.folder, temp.name.constData(), at.folder, at.name.constData(),
                           RENAME_EXCHANGE);
    });
    if (swapped == 0) {
        struct stat out {};
        if (step(kCheckSwappedOut, [&] {
                return ::fstatat(at.folder, temp.name.constData(), &out, AT_SYMLINK_NOFOLLOW);
            }) != 0) {
            return {
                swapBack(at, temp.name, callFailed(kCheckSwappedOut, errno), WriteResult::Failed)};
        }
        // A rename moves the change time on: what was checked just before the
        // swap is its content, what is checked here that it is the same file.
        if (!at.snapshot.unchanged(&out, Match::SameFile)) {
            return {swapBack(at, temp.name, changedMeanwhile(), WriteResult::Changed)};
        }
        // The old file goes.
        return {syncFolder(at, {WriteResult::Written, discard(at.folder, temp.name).reason})};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return refusedOrFailed(kSwap);
    }
#endif
    return renamed(at, temp);
}

// Puts the temporary file where nothing was, unless something is there now.
Swap putNew(const Target& at, const Temporary& temp) {
#ifdef RENAME_NOREPLACE
    if (step(kSwap, [&] {
            return ::renameat2(at.folder, temp.name.constData(), at.folder, at.name.constData(),
                               RENAME_NOREPLACE);
        }) == 0) {
        return {syncFolder(at, {WriteResult::Written})};
    }
    if (errno == EEXIST) {
        return {{WriteResult::Changed, changedMeanwhile()}};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return {{WriteResult::Failed, callFailed(kSwap, errno)}};
    }
#endif
    const Swap moved = renamed(at, temp);
    return {moved.written};
}

// The last moment before the move: a test may act here, then the name must
// still hold what was read. `move` puts the temporary file in; a temporary file
// whose move does not stand is removed.
template <typename Move>
Swap moveChecked(const Target& at, const Temporary& temp, Move move) {
    if (test_hooks::beforeReplace) {
        test_hooks::beforeReplace();
    }
    const Outcome<Check> check = at.snapshot.atName(at.folder, at.name);
    Swap moved = check.result == Check::Unchanged ? move()
                 : check.result == Check::Changed ? Swap{{WriteResult::Changed, check.reason}}
                                                  : Swap{{WriteResult::Failed, check.reason}};
    if (moved.written.result != WriteResult::Written) {
        moved.written.reason = bothSaid(moved.written.reason, discard(at.folder, temp.name).reason);
    }
    return moved;
}

Written replaceExisting(const Target& at, const OpenedFile& old, const QByteArray& content) {
    // Another name of the file would keep the old content.
    if (old.status.st_nlink > 1 || at.way == Way::InPlace) {
        return writeInPlace(at, content);
    }
    // Owner-only until it has the old file's attributes, so a file that only
    // its owner could read never becomes readable by others, even for a moment.
    const Created temp = createTemporary(at.folder, at.name, 0600);
    if (temp.result != Did::Done) {
        return replacingImpossible(temp.error) ? writeInPlace(at, content)
                                               : Written{WriteResult::Failed, temp.reason};
    }
    const Outcome<Copy> copied = copyAttributes(old.fd.get(), old.status, temp.value.fd.get());
    if (copied.result == Copy::OwnerDiffers) {
        return writeInPlace(at, content, discard(at.folder, temp.value.name).reason);
    }
    const auto wrote = copied.result == Copy::Done ? writeWhole(temp.value.fd.get(), content)
                                                   : Outcome<Wrote>{Wrote::Partly, copied.reason};
    if (wrote.result != Wrote::Synced) {
        return {WriteResult::Failed,
                bothSaid(wrote.reason, discard(at.folder, temp.value.name).reason)};
    }
    const Swap swapped = moveChecked(at, temp.value, [&] { return swapIn(at, temp.value); });
    return swapped.refused ? writeInPlace(at, content) : swapped.written;
}

Written createNew(const Target& at, const QByteArray& content) {
    const Created temp = createTemporary(at.folder, at.name, 0666);
    if (temp.result != Did::Done) {
        return {WriteResult::Failed, temp.reason};
    }
    const Outcome<Wrote> wrote = writeWhole(temp.value.fd.get(), content);
    if (wrote.result != Wrote::Synced) {
        return {WriteResult::Failed,
                bothSaid(wrote.reason, discard(at.folder, temp.value.name).reason)};
    }
    return moveChecked(at, temp.value, [&] { return putNew(at, temp.value); }).written;
}

}  // namespace

Written replaceFile(const Target& at, const QByteArray& content, qint64 maxBytes) {
    // Nor is a file written that the next start would refuse to read.
    if (content.size() > maxBytes) {
        return {WriteResult::Failed, wouldBeTooLarge(maxBytes)};
    }
    const OpenedFile old = openChecked(at.folder, at.name, maxBytes);
    if (old.result == ReadResult::Failed) {
        return {WriteResult::Failed, old.reason};
    }
    // A missing file is no failure here.
    const bool exists = old.result == ReadResult::Read;
    if (exists && step(kCheckAccess, [&] {
                      return ::faccessat(at.folder, at.name.constData(), W_OK, AT_EACCESS);
                  }) != 0) {
        return {WriteResult::Failed, callFailed(kCheckAccess, errno)};
    }
    if (!at.snapshot.unchanged(exists ? &old.status : nullptr)) {
        return {WriteResult::Changed, changedMeanwhile()};
    }
    return exists ? replaceExisting(at, old, content) : createNew(at, content);
}

}  // namespace quorvel::files::detail
