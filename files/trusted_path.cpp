#include "files/trusted_path.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <deque>

#include "files/fault_hooks.h"
#include "files/trust.h"

namespace quorvel::files::detail {

namespace {

using namespace test_hooks;

// More hops than this is a loop, as the system counts it.
constexpr int kMaxLinks = 40;

// Whether status is a regular file within the bound; the reason when it is not.
Outcome<Verdict> usable(const struct stat& status, qint64 maxBytes) {
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode)) {
        return status.st_size <= maxBytes ? Outcome<Verdict>{Verdict::Usable}
                                          : Outcome<Verdict>{Verdict::Refused, tooLarge(maxBytes)};
    }
    const char* kind = S_ISDIR(mode)    ? "a directory"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                       : S_ISLNK(mode)  ? "a symbolic link put there while the game used it"
                                        : "of an unknown kind";
    return {Verdict::Refused,
            QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kind))};
}

// A file in a shared sticky folder that belongs to someone else could have
// been put there for the game to write through: the system refuses to open
// such a file for creating, and the game does not open it at all. Nor does it
// use a file with a second name in a folder that others may write: another
// user could have linked a file of the player's there (the system forbids
// that only where fs.protected_hardlinks is on), and a write in place would
// change that file.
Outcome<Verdict> ownedSafely(int folder, const struct stat& status) {
    const auto seen = folderStatus(folder);
    if (seen.result != Did::Done) {
        return {Verdict::Refused, seen.reason};
    }
    if (!trusts(Use::OpenFile, seen.value, status.st_uid)) {
        return {Verdict::Refused,
                QStringLiteral(
                    "it belongs to another user in a shared folder with the sticky bit, where "
                    "the system does not let a program open another user's file to create it")};
    }
    if (S_ISREG(status.st_mode) && status.st_nlink > 1 &&
        !trusts(Use::SecondName, seen.value, status.st_uid)) {
        return {Verdict::Refused,
                QStringLiteral(
                    "it has another name (a hard link) in a folder that others may write, where "
                    "another user could have linked a file of yours")};
    }
    return {Verdict::Usable};
}

// Whether status, found in folder, is a regular file within the bound that the
// user may trust there; the reason when it is not.
Outcome<Verdict> trustedHere(int folder, const struct stat& status, qint64 maxBytes) {
    auto verdict = usable(status, maxBytes);
    return verdict.result == Verdict::Usable ? ownedSafely(folder, status) : verdict;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Whether the user may follow the link at path (Use::FollowLink): another user
// must not point the game's write at the user's own files.
Done mayFollow(const QByteArray& path) {
    struct stat link {};
    struct stat folder {};
    if (step(kCheckLink, [&] { return ::lstat(path.constData(), &link); }) != 0) {
        return failed(callFailed(kCheckLink, errno));
    }
    if (step(kCheckLinkFolder, [&] { return ::stat(folderOf(path).constData(), &folder); }) != 0) {
        return failed(callFailed(kCheckLinkFolder, errno));
    }
    if (!trusts(Use::FollowLink, folder, link.st_uid)) {
        return failed(QStringLiteral("the symbolic link %1 belongs to another user in a folder "
                                     "that others may write, where the game does not follow it")
                          .arg(QFile::decodeName(path)));
    }
    return done();
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

// A plain file where a folder should be counts as missing: making the folder
// then fails and says why.
Outcome<Reach, QByteArray> notAFolder(QByteArray resolved, const std::deque<QByteArray>& rest) {
    for (const QByteArray& each : rest) {
        resolved += '/' + each;
    }
    return {Reach::Missing, systemReason(ENOTDIR), resolved};
}

// The path with every symlink in it followed, component by component, as the
// system would follow them; a last component that is missing stays as it is.
// Each link is checked before it is followed (see mayFollow), wherever in the
// path it is: a link to a folder in a shared folder could send the game into a
// folder of someone else's choosing as well as a link to the file could.
Outcome<Reach, QByteArray> followLinks(const QByteArray& path) {
    QByteArray resolved = path.startsWith('/') ? QByteArray() : QByteArray(".");
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
        const ssize_t length = step(kReadLink, [&] {
            return ::readlink(candidate.constData(), target.data(), target.size());
        });
        if (length < 0 && (errno == EINVAL || errno == ENOENT)) {
            resolved = candidate;  // not a link, or nothing there yet
            continue;
        }
        if (length < 0) {
            return errno == ENOTDIR
                       ? notAFolder(candidate, rest)
                       : Outcome<Reach, QByteArray>{Reach::Failed, callFailed(kReadLink, errno)};
        }
        if (++hops > kMaxLinks || length == static_cast<ssize_t>(target.size())) {
            return {Reach::Failed, systemReason(hops > kMaxLinks ? ELOOP : ENAMETOOLONG)};
        }
        if (const Done follow = mayFollow(candidate); follow.result != Did::Done) {
            return {Reach::Failed, follow.reason};
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
    return {Reach::Reached, {}, resolved};
}

}  // namespace

Outcome<Did, struct stat> folderStatus(int folder) {
    struct stat status {};
    if (step(kCheckFolder, [&] { return ::fstat(folder, &status); }) != 0) {
        return {Did::Failed, callFailed(kCheckFolder, errno)};
    }
    return {Did::Done, {}, status};
}

Outcome<Reach, ResolvedPath> resolvePath(const QByteArray& path) {
    const auto followed = followLinks(path);
    if (followed.result == Reach::Failed) {
        return {Reach::Failed, followed.reason};
    }
    const QByteArray& current = followed.value;
    ResolvedPath resolved;
    resolved.name = current.mid(current.lastIndexOf('/') + 1);
    resolved.folderPath = folderOf(current);
    if (followed.result == Reach::Missing) {
        return {Reach::Missing, followed.reason, std::move(resolved)};
    }
    const auto openFolder = [&resolved](int how) {
        return step(kOpenFolder, [&] {
            return ::open(resolved.folderPath.constData(), how | O_DIRECTORY | O_CLOEXEC);
        });
    };
    resolved.folder.reset(openFolder(O_RDONLY));
#ifdef O_PATH
    // Search permission is all that working in the folder needs.
    if (!resolved.folder && errno == EACCES) {
        resolved.folder.reset(openFolder(O_PATH));
        resolved.readable = false;
    }
#endif
    if (!resolved.folder) {
        const int error = errno;
        const bool missing = error == ENOENT || error == ENOTDIR;
        return {missing ? Reach::Missing : Reach::Failed, callFailed(kOpenFolder, error),
                std::move(resolved)};
    }
    return {Reach::Reached, {}, std::move(resolved)};
}

Done makeFolders(const QByteArray& folderPath) {
#ifdef O_PATH
    constexpr int kLookOnly = O_PATH;  // search permission is enough to pass through
#else
    constexpr int kLookOnly = O_RDONLY;
#endif
    constexpr int kFolderOnly = kLookOnly | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    const char* failing = kOpenFolderOnPath;
    Descriptor at(
        step(failing, [&] { return ::open(folderPath.startsWith('/') ? "/" : ".", kFolderOnly); }));
    for (const QByteArray& part : folderPath.split('/')) {
        if (!at || part.isEmpty() || part == ".") {
            continue;
        }
        const auto openPart = [&] {
            failing = kOpenFolderOnPath;
            return step(failing, [&] { return ::openat(at.get(), part.constData(), kFolderOnly); });
        };
        Descriptor next(openPart());
        if (!next && errno == ENOENT) {
            failing = kMakeFolder;
            if (step(failing, [&] { return ::mkdirat(at.get(), part.constData(), 0777); }) == 0 ||
                errno == EEXIST) {
                next.reset(openPart());
            }
        }
        at = std::move(next);
    }
    if (!at) {
        return failed(QStringLiteral("cannot make the directory %1: %2")
                          .arg(QFile::decodeName(folderPath), callFailed(failing, errno)));
    }
    return done();
}

Outcome<Verdict> judgeName(int folder, const QByteArray& name, qint64 maxBytes) {
    struct stat status {};
    if (step(kLookAtName, [&] {
            return ::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW);
        }) != 0) {
        return errno == ENOENT ? Outcome<Verdict>{Verdict::Usable}
                               : Outcome<Verdict>{Verdict::Refused, callFailed(kLookAtName, errno)};
    }
    return trustedHere(folder, status, maxBytes);
}

OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes) {
    OpenedFile file;
    const auto failure = [&file](const char* what) {
        const int error = errno;
        file.reason = callFailed(what, error);
        file.result = error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
        return std::move(file);
    };
    const auto refused = [&file](QString reason) {
        file.reason = std::move(reason);
        return std::move(file);
    };
    struct stat before {};
    if (step(kLookAtName, [&] {
            return ::fstatat(folder, name.constData(), &before, AT_SYMLINK_NOFOLLOW);
        }) != 0) {
        return failure(kLookAtName);
    }
    if (auto verdict = trustedHere(folder, before, maxBytes); verdict.result != Verdict::Usable) {
        return refused(verdict.reason);
    }
    file.fd.reset(step(kOpenFile, [&] {
        return ::openat(folder, name.constData(),
                        O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    }));
    if (!file.fd) {
        return failure(kOpenFile);
    }
    if (step(kCheckFile, [&] { return ::fstat(file.fd.get(), &file.status); }) != 0) {
        file.result = ReadResult::Failed;
        return refused(callFailed(kCheckFile, errno));
    }
    if (auto verdict = trustedHere(folder, file.status, maxBytes);
        verdict.result != Verdict::Usable) {
        return refused(verdict.reason);
    }
    file.result = ReadResult::Read;
    return file;
}

}  // namespace quorvel::files::detail
