#include "settings/trusted_path.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <deque>

#include "settings/file_steps.h"

namespace quorvel::settings::detail {

namespace {

// More hops than this is a loop, as the system counts it.
constexpr int kMaxLinks = 40;

// Whether an entry owned by owner in that folder is one the user may trust
// there: the user's own, or the folder owner's.
bool trusted(uid_t owner, const struct stat& folder) {
    return owner == ::geteuid() || owner == folder.st_uid;
}

// Whether status is a regular file within the bound; the reason when it is not.
bool usable(const struct stat& status, qint64 maxBytes, QString& reason) {
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode)) {
        if (status.st_size <= maxBytes) {
            return true;
        }
        reason = tooLarge(maxBytes);
        return false;
    }
    const char* kind = S_ISDIR(mode)    ? "a directory"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                       : S_ISLNK(mode)  ? "a symbolic link put there while the game used it"
                                        : "of an unknown kind";
    reason = QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kind));
    return false;
}

// A file in a shared sticky folder that belongs to someone else could have
// been put there for the game to write through: the system refuses to open
// such a file for creating, and the game does not open it at all. Nor does it
// use a file with a second name in a folder that others may write: another
// user could have linked a file of the player's there (the system forbids
// that only where fs.protected_hardlinks is on), and a write in place would
// change that file.
bool ownedSafely(int folder, const struct stat& status, QString& reason) {
    struct stat folderStatus {};
    if (::fstat(folder, &folderStatus) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (sharedSticky(folderStatus, S_IWOTH | S_IWGRP) && !trusted(status.st_uid, folderStatus)) {
        reason = QStringLiteral(
            "it belongs to another user in a shared folder with the sticky bit, where the "
            "system does not let a program open another user's file to create it");
        return false;
    }
    if (othersMayWrite(folderStatus) && S_ISREG(status.st_mode) && status.st_nlink > 1) {
        reason = QStringLiteral(
            "it has another name (a hard link) in a folder that others may write, where "
            "another user could have linked a file of yours");
        return false;
    }
    return true;
}

ReadResult failure(int error, QString& reason) {
    reason = systemReason(error);
    return error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Whether the user may follow the link at path: in a folder that others may
// write (sticky or not, through its group or everyone), a link is followed
// only when it is the user's or the folder owner's, so that another user
// cannot point the game's write at the user's own files. The system's own rule
// (fs.protected_symlinks) covers sticky folders only, and may be switched off.
bool mayFollow(const QByteArray& path, QString& reason) {
    struct stat link {};
    struct stat folder {};
    if (::lstat(path.constData(), &link) != 0 || ::stat(folderOf(path).constData(), &folder) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (othersMayWrite(folder) && !trusted(link.st_uid, folder)) {
        reason = QStringLiteral(
                     "the symbolic link %1 belongs to another user in a folder that others may "
                     "write, where the game does not follow it")
                     .arg(QFile::decodeName(path));
        return false;
    }
    return true;
}

// Puts the parts of a link's target in front of what is left of the path.
void pushFront(std::deque<QByteArray>& rest, const QByteArray& link) {
    const QByteArrayList parts = link.split('/');
    std::for_each(parts.rbegin(), parts.rend(), [&rest](const QByteArray& each) {
        if (!each.isEmpty() && each != ".") {
            rest.push_front(each);
        }
    });
}

// The path with every symlink in it followed, component by component, as the
// system would follow them; a last component that is missing stays as it is.
// Each link is checked before it is followed (see mayFollow), wherever in the
// path it is: a link to a folder in a shared folder could send the game into a
// folder of someone else's choosing as well as a link to the file could.
ReadResult followLinks(const QByteArray& path, QByteArray& resolved, QString& reason) {
    resolved = path.startsWith('/') ? QByteArray() : QByteArray(".");
    std::deque<QByteArray> rest;
    pushFront(rest, path);
    for (int hops = 0; !rest.empty();) {
        const QByteArray part = rest.front();
        rest.pop_front();
        if (part == "..") {
            // `resolved` holds no links, so its parent is the folder's parent.
            resolved =
                resolved.isEmpty() || resolved == "." ? resolved + "/.." : folderOf(resolved);
            continue;
        }
        const QByteArray candidate = resolved + '/' + part;
        std::array<char, PATH_MAX> target{};
        const ssize_t length = ::readlink(candidate.constData(), target.data(), target.size());
        if (length < 0 && (errno == EINVAL || errno == ENOENT)) {
            resolved = candidate;  // not a link, or nothing there yet
            continue;
        }
        if (length < 0) {
            const int error = errno;
            reason = systemReason(error);
            if (error != ENOTDIR) {
                return ReadResult::Failed;
            }
            // A plain file where a folder should be counts as missing: making
            // the folder then fails and says why.
            resolved = candidate;
            for (const QByteArray& each : rest) {
                resolved += '/' + each;
            }
            return ReadResult::Missing;
        }
        if (++hops > kMaxLinks || length == static_cast<ssize_t>(target.size())) {
            reason = systemReason(hops > kMaxLinks ? ELOOP : ENAMETOOLONG);
            return ReadResult::Failed;
        }
        if (!mayFollow(candidate, reason)) {
            return ReadResult::Failed;
        }
        const QByteArray link(target.data(), length);
        pushFront(rest, link);
        if (link.startsWith('/')) {
            resolved.clear();
        }
    }
    if (resolved.isEmpty() || resolved.endsWith("/..") || resolved == ".") {
        resolved += "/.";  // the path names a folder: it is no file
    }
    return ReadResult::Read;
}

}  // namespace

bool sharedSticky(const struct stat& folder, mode_t others) {
    return (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & others) != 0;
}

bool othersMayWrite(const struct stat& folder) {
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

bool trustedOwner(uid_t owner, const struct stat& folder) {
    return !othersMayWrite(folder) || trusted(owner, folder);
}

bool trustedHere(int folder, const struct stat& status, qint64 maxBytes, QString& reason) {
    return usable(status, maxBytes, reason) && ownedSafely(folder, status, reason);
}

ReadResult resolvePath(const QByteArray& path, ResolvedPath& resolved, QString& reason) {
    QByteArray current;
    const ReadResult followed = followLinks(path, current, reason);
    if (followed == ReadResult::Failed) {
        return followed;
    }
    resolved.name = current.mid(current.lastIndexOf('/') + 1);
    resolved.folderPath = folderOf(current);
    if (followed == ReadResult::Missing) {
        return followed;
    }
    resolved.folder.reset(
        ::open(resolved.folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!resolved.folder) {
        const int error = errno;
        reason = systemReason(error);
        return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    return ReadResult::Read;
}

bool makeFolders(const QByteArray& folderPath, QString& reason) {
#ifdef O_PATH
    constexpr int kLookOnly = O_PATH;  // search permission is enough to pass through
#else
    constexpr int kLookOnly = O_RDONLY;
#endif
    constexpr int kFolderOnly = kLookOnly | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    Descriptor at(::open(folderPath.startsWith('/') ? "/" : ".", kFolderOnly));
    for (const QByteArray& part : folderPath.split('/')) {
        if (!at || part.isEmpty() || part == ".") {
            continue;
        }
        Descriptor next(::openat(at.get(), part.constData(), kFolderOnly));
        if (!next && errno == ENOENT &&
            (::mkdirat(at.get(), part.constData(), 0777) == 0 || errno == EEXIST)) {
            next.reset(::openat(at.get(), part.constData(), kFolderOnly));
        }
        at = std::move(next);
    }
    if (!at) {
        reason = QStringLiteral("cannot make the directory %1: %2")
                     .arg(QFile::decodeName(folderPath), systemReason(errno));
        return false;
    }
    return true;
}

bool judgeName(int folder, const QByteArray& name, qint64 maxBytes, QString& reason) {
    struct stat status {};
    if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return true;
        }
        reason = systemReason(errno);
        return false;
    }
    return trustedHere(folder, status, maxBytes, reason);
}

OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes, QString& reason) {
    OpenedFile file;
    struct stat before {};
    if (::fstatat(folder, name.constData(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        file.result = failure(errno, reason);
        return file;
    }
    if (!trustedHere(folder, before, maxBytes, reason)) {
        return file;
    }
    file.fd.reset(::openat(folder, name.constData(),
                           O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!file.fd) {
        file.result = failure(errno, reason);
        return file;
    }
    if (::fstat(file.fd.get(), &file.status) != 0) {
        reason = systemReason(errno);
        return file;
    }
    if (trustedHere(folder, file.status, maxBytes, reason)) {
        file.result = ReadResult::Read;
    }
    return file;
}

}  // namespace quorvel::settings::detail
