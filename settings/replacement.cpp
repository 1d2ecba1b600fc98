#include "settings/replacement.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "settings/file_attributes.h"
#include "settings/file_steps.h"
#include "settings/temporary_file.h"
#include "settings/trusted_path.h"

namespace quorvel::settings::detail {

namespace {

// Errors of a swap or a new file that say the folder or the mount will not
// take a replacement, where writing the file itself still can.
bool replacingImpossible(int error) {
    return error == EBUSY || error == EXDEV || error == EACCES || error == EPERM || error == EROFS;
}

// In place: the same file, so its owner, group, mode, ACL, attributes and
// other names stay as they are. Under the lock and after the re-read, like a
// replacement; what cannot be undone by a swap is undone by writing the old
// content back.
WriteResult writeInPlace(const Target& at, const QByteArray& content, QString& reason) {
    Descriptor fd(::openat(at.folder, at.name.constData(),
                           O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (!at.snapshot.unchanged(&status)) {
        reason = changedMeanwhile();
        return WriteResult::Changed;
    }
    if (writeWhole(fd.get(), content, reason)) {
        return WriteResult::Written;
    }
    QString restoring;
    reason += writeWhole(fd.get(), at.snapshot.content(), restoring)
                  ? QStringLiteral("; the old content was written back")
                  : QStringLiteral(
                        "; writing the old content back failed too (%1), so the file "
                        "may be left part old, part new")
                        .arg(restoring);
    return WriteResult::Failed;
}

// Undoes a swap whose result is not to stand: `undone` is what the write then
// comes to (Changed or Failed), `why` its reason. The temporary name is gone
// afterwards either way.
WriteResult swapBack(const Target& at, const QByteArray& temp, const QString& why,
                     WriteResult undone, QString& reason) {
#ifdef RENAME_EXCHANGE
    if (step(test_hooks::kSwapBack, [&] {
            return ::renameat2(at.folder, temp.constData(), at.folder, at.name.constData(),
                               RENAME_EXCHANGE);
        }) == 0) {
        // A write found changed is read and merged again, and its report (if
        // it comes to one) says that it was given up.
        reason = why + (undone == WriteResult::Failed
                            ? QStringLiteral("; the swap was undone and this write given up")
                            : QStringLiteral("; the swap was undone"));
        discard(at.folder, temp, reason);  // the new content
        return undone;
    }
#else
    (void)undone;
#endif
    // The new content stays where it is: the write happened after all, and
    // what it replaced goes, as a successful write's old file does.
    reason = why + QStringLiteral("; undoing the swap failed too (%1), so the new content stays")
                       .arg(systemReason(errno));
    discard(at.folder, temp, reason);
    return WriteResult::Written;
}

// How a swap of the temporary file into the name ended, when it was refused in
// a way that writing the file in place may not be (a bind mount, a folder the
// user may not write).
struct Swap {
    WriteResult result;
    bool refused = false;
};

Swap refusedOrFailed(QString& reason) {
    const bool refused = replacingImpossible(errno);
    reason = systemReason(errno);
    return {WriteResult::Failed, refused};
}

// After the swap, the name holds the new content and the temporary name what
// was there: the file that was checked, or the swap is undone.
Swap swapIn(const Target& at, const Temporary& temp, QString& reason) {
#ifdef RENAME_EXCHANGE
    const int swapped = step(test_hooks::kSwap, [&] {
        return ::renameat2(at.folder, temp.name.constData(), at.folder, at.name.constData(),
                           RENAME_EXCHANGE);
    });
    if (swapped == 0) {
        struct stat out {};
        if (step(test_hooks::kCheckSwappedOut, [&] {
                return ::fstatat(at.folder, temp.name.constData(), &out, AT_SYMLINK_NOFOLLOW);
            }) != 0) {
            const QString why =
                QStringLiteral("what the new file replaced could not be checked (%1)")
                    .arg(systemReason(errno));
            return {swapBack(at, temp.name, why, WriteResult::Failed, reason)};
        }
        // A rename moves the change time on: what was checked just before the
        // swap is its content, what is checked here that it is the same file.
        if (!at.snapshot.unchanged(&out, Match::SameFile)) {
            return {swapBack(at, temp.name, changedMeanwhile(), WriteResult::Changed, reason)};
        }
        discard(at.folder, temp.name, reason);  // the old file
        return {WriteResult::Written};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return refusedOrFailed(reason);
    }
#endif
    // Some file systems cannot swap: there the name was checked just before.
    if (::renameat(at.folder, temp.name.constData(), at.folder, at.name.constData()) != 0) {
        return refusedOrFailed(reason);
    }
    return {WriteResult::Written};
}

// Puts the temporary file where nothing was, unless something is there now.
WriteResult putNew(const Target& at, const Temporary& temp, QString& reason) {
#ifdef RENAME_NOREPLACE
    if (step(test_hooks::kSwap, [&] {
            return ::renameat2(at.folder, temp.name.constData(), at.folder, at.name.constData(),
                               RENAME_NOREPLACE);
        }) == 0) {
        return WriteResult::Written;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        const bool taken = errno == EEXIST;
        reason = taken ? changedMeanwhile() : systemReason(errno);
        return taken ? WriteResult::Changed : WriteResult::Failed;
    }
#endif
    if (::renameat(at.folder, temp.name.constData(), at.folder, at.name.constData()) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

// The last moment before the move: a test may act here, then the name must
// still hold what was read. `move` puts the temporary file in; a temporary file
// whose move does not stand is removed.
template <typename Move>
Swap moveChecked(const Target& at, const Temporary& temp, QString& reason, Move move) {
    if (test_hooks::beforeReplace) {
        test_hooks::beforeReplace();
    }
    const Check check = at.snapshot.atName(at.folder, at.name, reason);
    const Swap moved = check == Check::Unchanged ? move()
                       : check == Check::Changed ? Swap{WriteResult::Changed}
                                                 : Swap{WriteResult::Failed};
    if (moved.result != WriteResult::Written) {
        discard(at.folder, temp.name, reason);
    }
    return moved;
}

WriteResult replaceExisting(const Target& at, const OpenedFile& old, const QByteArray& content,
                            QString& reason) {
    // Another name of the file would keep the old content.
    if (old.status.st_nlink > 1 || at.way == Way::InPlace) {
        return writeInPlace(at, content, reason);
    }
    // Owner-only until it has the old file's attributes, so a file that only
    // its owner could read never becomes readable by others, even for a moment.
    Temporary temp = createTemporary(at.folder, at.name, 0600);
    if (!temp.fd) {
        if (replacingImpossible(errno)) {
            return writeInPlace(at, content, reason);
        }
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    const Copy copied = copyAttributes(old.fd.get(), old.status, temp.fd.get(), reason);
    if (copied == Copy::OwnerDiffers) {
        discard(at.folder, temp.name, reason);
        return writeInPlace(at, content, reason);
    }
    if (copied == Copy::Failed || !writeWhole(temp.fd.get(), content, reason)) {
        discard(at.folder, temp.name, reason);
        return WriteResult::Failed;
    }
    const Swap swapped = moveChecked(at, temp, reason, [&] { return swapIn(at, temp, reason); });
    if (swapped.refused) {
        reason.clear();
        return writeInPlace(at, content, reason);
    }
    return swapped.result;
}

WriteResult createNew(const Target& at, const QByteArray& content, QString& reason) {
    Temporary temp = createTemporary(at.folder, at.name, 0666);
    if (!temp.fd) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (!writeWhole(temp.fd.get(), content, reason)) {
        discard(at.folder, temp.name, reason);
        return WriteResult::Failed;
    }
    return moveChecked(at, temp, reason, [&] { return Swap{putNew(at, temp, reason)}; }).result;
}

}  // namespace

WriteResult replaceFile(const Target& at, const QByteArray& content, qint64 maxBytes,
                        QString& reason) {
    // Nor is a file written that the next start would refuse to read.
    if (content.size() > maxBytes) {
        reason = wouldBeTooLarge(maxBytes);
        return WriteResult::Failed;
    }
    const OpenedFile old = openChecked(at.folder, at.name, maxBytes, reason);
    if (old.result == ReadResult::Failed) {
        return WriteResult::Failed;
    }
    const bool exists = old.result == ReadResult::Read;
    reason.clear();  // a missing file is no failure here
    if (exists && ::faccessat(at.folder, at.name.constData(), W_OK, AT_EACCESS) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (!at.snapshot.unchanged(exists ? &old.status : nullptr)) {
        reason = changedMeanwhile();
        return WriteResult::Changed;
    }
    return exists ? replaceExisting(at, old, content, reason) : createNew(at, content, reason);
}

}  // namespace quorvel::settings::detail
