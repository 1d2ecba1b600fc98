#include "settings/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <deque>
#include <limits>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#endif

namespace quorvel::settings {

namespace test_hooks {
std::function<void()> beforeReplace;
std::function<void()> lockTaken;
std::function<int(const char*)> failStep;
}  // namespace test_hooks

namespace {

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
}

QString wouldBeTooLarge(qint64 maxBytes) {
    return QStringLiteral("it would be larger than %1 bytes").arg(maxBytes);
}

}  // namespace

#ifdef Q_OS_UNIX

namespace {

// More hops than this is a loop, as the system counts it.
constexpr int kMaxLinks = 40;

const char kLeftoverPrefix[] = ".quorvel-";

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

// Makes the system call of one step, unless a test makes the step fail.
template <typename Call>
auto step(const char* name, Call call) -> decltype(call()) {
    if (test_hooks::failStep) {
        if (const int error = test_hooks::failStep(name)) {
            errno = error;
            return -1;
        }
    }
    return call();
}

class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Descriptor() { reset(); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

using Identity = std::pair<dev_t, ino_t>;

Identity identityOf(const struct stat& status) {
    return {status.st_dev, status.st_ino};
}

// What tells a file's content apart from the one read: its identity, size and
// change time (which any write, truncation or attribute change moves on).
struct Version {
    Identity identity;
    off_t size;
    timespec changed;
    bool operator==(const Version& other) const {
        return identity == other.identity && size == other.size &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

Version versionOf(const struct stat& status) {
#ifdef Q_OS_DARWIN
    return {identityOf(status), status.st_size, status.st_ctimespec};
#else
    return {identityOf(status), status.st_size, status.st_ctim};
#endif
}

// A folder that users besides its owner may write, with the sticky bit: each
// may remove only their own entries there, and the system's link rules for
// shared folders apply. `others` is S_IWOTH, or S_IWOTH | S_IWGRP for the
// stricter rule for files.
bool sharedSticky(const struct stat& folder, mode_t others) {
    return (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & others) != 0;
}

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
// such a file for creating, and the game does not open it at all.
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
    return true;
}

ReadResult failure(int error, QString& reason) {
    reason = systemReason(error);
    return error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
}

struct OpenedFile {
    ReadResult result = ReadResult::Failed;
    Descriptor fd;
    struct stat status {};
};

// Opens name in folder for reading, if it is a regular file within the bound
// that the user may trust there. A FIFO or a device is never opened at all
// (opening a device can do things of its own); whatever takes its place before
// the open is refused by the descriptor, and a symlink is not followed.
OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes, QString& reason) {
    OpenedFile file;
    struct stat before {};
    if (::fstatat(folder, name.constData(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        file.result = failure(errno, reason);
        return file;
    }
    if (!usable(before, maxBytes, reason) || !ownedSafely(folder, before, reason)) {
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
    if (usable(file.status, maxBytes, reason) && ownedSafely(folder, file.status, reason)) {
        file.result = ReadResult::Read;
    }
    return file;
}

// Reads at most maxBytes + 1 bytes, so a file that grew past the bound since it
// was looked at still costs no more than that. `expected` is its size as last seen.
bool readBounded(int fd, qint64 expected, qint64 maxBytes, QByteArray& content, QString& reason) {
    content.resize(std::min(expected, maxBytes) + 1);
    qint64 done = 0;
    for (;;) {
        if (done == content.size() && done <= maxBytes) {
            content.resize(std::min(2 * done, maxBytes + 1));
        }
        const ssize_t got = step(test_hooks::kReadFile, [&] {
            return ::read(fd, content.data() + done, content.size() - done);
        });
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            reason = systemReason(errno);
            content.clear();
            return false;
        }
        done += got;
        if (got == 0 || done > maxBytes) {
            break;
        }
    }
    content.truncate(done);
    if (done > maxBytes) {
        reason = tooLarge(maxBytes);
        content.clear();
        return false;
    }
    return true;
}

// Writes content at the start of the file, cuts the file to its length and
// syncs it. A write may take less than it was given (a full disk, a size
// limit); the next one then fails with the system's reason.
bool writeWhole(int fd, const QByteArray& content, QString& reason) {
    for (qint64 done = 0; done < content.size();) {
        const ssize_t written = step(test_hooks::kWrite, [&] {
            return ::pwrite(fd, content.constData() + done, content.size() - done, done);
        });
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            reason = systemReason(written < 0 ? errno : ENOSPC);
            return false;
        }
        done += written;
    }
    if (::ftruncate(fd, content.size()) != 0 ||
        step(test_hooks::kSync, [&] { return ::fsync(fd); }) != 0) {
        reason = systemReason(errno);
        return false;
    }
    return true;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Whether the system's rule for links in shared sticky folders lets the user
// follow the link at path: there a link is followed only when it is the user's
// or the folder owner's, so that another user cannot point the game's write at
// the user's own files. Applied even where the system has the rule switched off.
bool mayFollow(const QByteArray& path, QString& reason) {
    struct stat link {};
    struct stat folder {};
    if (::lstat(path.constData(), &link) != 0 || ::stat(folderOf(path).constData(), &folder) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (sharedSticky(folder, S_IWOTH) && !trusted(link.st_uid, folder)) {
        reason = QStringLiteral(
                     "the symbolic link %1 belongs to another user in a shared folder with the "
                     "sticky bit, where the system does not follow it")
                     .arg(QFile::decodeName(path));
        return false;
    }
    return true;
}

#ifdef Q_OS_LINUX
// What must be copied exactly for the new file to be no more open than the old
// one (its ACL) or to keep what the user put on it. Another user's security or
// trusted attributes, which the process may not set, are left as the new file
// has them.
bool mustCopy(const QByteArray& name, int error) {
    const bool others = name.startsWith("security.") || name.startsWith("trusted.");
    return !others || (error != EPERM && error != EACCES && error != ENOTSUP);
}

// POSIX ACLs are extended attributes too (system.posix_acl_access), so this
// copies them with the rest. False, with the reason, when one that must be
// copied could not be.
bool copyExtendedAttributes(int from, int to, QString& reason) {
    const auto failed = [&reason](const QByteArray& name) {
        reason = QStringLiteral(
                     "cannot copy the extended attribute %1 (the ACL is one) of the "
                     "old file: %2")
                     .arg(QString::fromLatin1(name), systemReason(errno));
        return false;
    };
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) {
        return size == 0 || errno == ENOTSUP || failed("list");
    }
    QByteArray names(size, '\0');
    const ssize_t listed = ::flistxattr(from, names.data(), static_cast<size_t>(size));
    if (listed < 0) {
        return failed("list");
    }
    names.truncate(listed);
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty()) {
            continue;
        }
        QByteArray value(std::max<ssize_t>(0, ::fgetxattr(from, name.constData(), nullptr, 0)),
                         '\0');
        const ssize_t got = ::fgetxattr(from, name.constData(), value.data(), value.size());
        if (got < 0) {
            return failed(name);
        }
        const int set = step(test_hooks::kCopyAttribute, [&] {
            return ::fsetxattr(to, name.constData(), value.constData(), static_cast<size_t>(got),
                               0);
        });
        if (set != 0 && mustCopy(name, errno)) {
            return failed(name);
        }
    }
    return true;
}
#endif

enum class Copy { Done, OwnerDiffers, Failed };

// Gives `to` the owner, group, mode and extended attributes of the open file
// `from`. OwnerDiffers when the process may not give it the old owner or group.
Copy copyAttributes(int from, const struct stat& old, int to, QString& reason) {
    if (::fchown(to, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(to, static_cast<uid_t>(-1), old.st_gid);
    }
    struct stat now {};
    if (::fstat(to, &now) != 0 || now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        return Copy::OwnerDiffers;
    }
    // After the owner, since changing the owner clears the set-ID bits; before
    // the ACL, whose mask then sets the group bits as the old file had them.
    if (::fchmod(to, old.st_mode & 07777) != 0) {
        reason = QStringLiteral("cannot give the new file the old one's mode: %1")
                     .arg(systemReason(errno));
        return Copy::Failed;
    }
#ifdef Q_OS_LINUX
    if (!copyExtendedAttributes(from, to, reason)) {
        return Copy::Failed;
    }
#else
    Q_UNUSED(from);
#endif
    return Copy::Done;
}

// A new file in the folder that nobody else has opened, named after nothing the
// path holds, so that its name stays short however long the path is.
struct Temporary {
    Descriptor fd;
    QByteArray name;
};

Temporary createTemporary(int folder, mode_t mode) {
    Temporary temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name =
            kLeftoverPrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        temp.fd.reset(step(test_hooks::kCreateTemporary, [&] {
            return ::openat(folder, temp.name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        }));
        if (temp.fd || errno != EEXIST) {
            break;
        }
    }
    return temp;
}

const QString kChangedMeanwhile = QStringLiteral(
    "it was changed or another file was put in its place while it was written; this write was "
    "given up");

// Errors of a swap or a new file that say the folder or the mount will not
// take a replacement, where writing the file itself still can.
bool replacingImpossible(int error) {
    return error == EBUSY || error == EXDEV || error == EACCES || error == EPERM || error == EROFS;
}

WriteResult changedOrFailed(const QString& reason) {
    return reason == kChangedMeanwhile ? WriteResult::Changed : WriteResult::Failed;
}

// Removes the temporary name; a failure is added to the reason.
bool discard(int folder, const QByteArray& temp, QString& reason) {
    if (step(test_hooks::kRemove, [&] { return ::unlinkat(folder, temp.constData(), 0); }) == 0 ||
        errno == ENOENT) {
        return true;
    }
    const QString why = QStringLiteral("the temporary file %1 could not be removed: %2")
                            .arg(QFile::decodeName(temp), systemReason(errno));
    reason = reason.isEmpty() ? why : reason + QStringLiteral("; ") + why;
    return false;
}

}  // namespace

struct FileAtPath::State {
    QByteArray path;
    Descriptor folder;
    QByteArray name;
    Descriptor lock;
    // The file that read() read, and what it held: replace() writes over that
    // version or nothing. Unset when read() found no file.
    std::optional<Version> read;
    QByteArray readContent;
    bool readDone = false;

    // The version at the name now; nullopt when nothing is there. False when
    // that cannot be told.
    bool current(std::optional<Version>& version, QString& reason) const;
    bool unchanged(QString& reason) const;
    // The ways of putting content in place, see replace().
    WriteResult writeInPlace(const QByteArray& content, QString& reason);
    // `refused` says that the swap itself failed in a way that writing the
    // file in place may not (a bind mount, a folder the user may not write).
    WriteResult swapIn(Temporary& temp, QString& reason, bool& refused);
    WriteResult putNew(Temporary& temp, QString& reason);
    WriteResult swapBack(const QByteArray& temp, const QString& why, QString& reason);
    WriteResult replaceExisting(const OpenedFile& old, const QByteArray& content, QString& reason);
};

bool FileAtPath::State::current(std::optional<Version>& version, QString& reason) const {
    struct stat now {};
    if (::fstatat(folder.get(), name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        version = versionOf(now);
        return true;
    }
    version.reset();
    if (errno == ENOENT) {
        return true;
    }
    reason = systemReason(errno);
    return false;
}

// Whether the name still holds what read() saw.
bool FileAtPath::State::unchanged(QString& reason) const {
    std::optional<Version> now;
    if (!current(now, reason)) {
        return false;
    }
    if (now != read) {
        reason = kChangedMeanwhile;
        return false;
    }
    return true;
}

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = std::move(path);
}

FileAtPath::~FileAtPath() = default;

namespace {

// The path with every symlink in it followed, component by component, as the
// system would follow them; a last component that is missing stays as it is.
// Each link is checked before it is followed (see mayFollow), wherever in the
// path it is: a link to a folder in a shared folder could send the game into a
// folder of someone else's choosing as well as a link to the file could.
ReadResult followLinks(const QByteArray& path, QByteArray& resolved, QString& reason) {
    resolved = path.startsWith('/') ? QByteArray() : QByteArray(".");
    std::deque<QByteArray> rest;
    for (const QByteArray& part : path.split('/')) {
        if (!part.isEmpty() && part != ".") {
            rest.push_back(part);
        }
    }
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
            reason = systemReason(errno);
            // A plain file where a folder should be counts as missing: making
            // the folder then fails and says why.
            return errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
        }
        if (++hops > kMaxLinks || length == static_cast<ssize_t>(target.size())) {
            reason = systemReason(hops > kMaxLinks ? ELOOP : ENAMETOOLONG);
            return ReadResult::Failed;
        }
        if (!mayFollow(candidate, reason)) {
            return ReadResult::Failed;
        }
        const QByteArray link(target.data(), length);
        QByteArrayList parts = link.split('/');
        std::for_each(parts.rbegin(), parts.rend(), [&rest](const QByteArray& each) {
            if (!each.isEmpty() && each != ".") {
                rest.push_front(each);
            }
        });
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

ReadResult FileAtPath::resolve(QString& reason) {
    QByteArray current;
    if (const ReadResult followed = followLinks(d_->path, current, reason);
        followed != ReadResult::Read) {
        return followed;
    }
    d_->name = current.mid(current.lastIndexOf('/') + 1);
    d_->folder.reset(::open(folderOf(current).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d_->folder) {
        const int error = errno;
        reason = systemReason(error);
        return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    return ReadResult::Read;
}

bool FileAtPath::lock(std::chrono::milliseconds bound, QString& reason) {
    const QByteArray name = d_->name + ".lock";
    // Its content does not count, only its kind: never opens what could block
    // or do things of its own when opened.
    constexpr qint64 kAnySize = std::numeric_limits<qint64>::max();
    struct stat status {};
    if (::fstatat(d_->folder.get(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        (!usable(status, kAnySize, reason) || !ownedSafely(d_->folder.get(), status, reason))) {
        return false;
    }
    // Read-only is enough to lock, so another user's game that shares the file
    // may lock it too.
    Descriptor fd(::openat(d_->folder.get(), name.constData(),
                           O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                           0666));
    if (!fd && (errno == EACCES || errno == EROFS)) {
        // A folder where no lock file can be made takes no replacement either:
        // the file is written in place there, stays the same file, and can be
        // locked itself.
        OpenedFile file = openChecked(d_->folder.get(), d_->name, kAnySize, reason);
        if (file.result == ReadResult::Read) {
            fd = std::move(file.fd);
        }
        errno = EACCES;
    }
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (!usable(status, kAnySize, reason) || !ownedSafely(d_->folder.get(), status, reason)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool seenTaken = false;
    while (step(test_hooks::kLock, [&] { return ::flock(fd.get(), LOCK_EX | LOCK_NB); }) != 0) {
        // An interrupted call counts against the bound like a taken lock, so a
        // stream of signals cannot keep the game here.
        if (errno != EWOULDBLOCK && errno != EINTR) {
            reason = systemReason(errno);
            return false;
        }
        if (errno == EWOULDBLOCK && !seenTaken && test_hooks::lockTaken) {
            test_hooks::lockTaken();
        }
        seenTaken = seenTaken || errno == EWOULDBLOCK;
        if (std::chrono::steady_clock::now() >= deadline) {
            reason = seenTaken ? QStringLiteral("another process held its lock for over %1 ms")
                                     .arg(static_cast<qint64>(bound.count()))
                               : QStringLiteral("locking it was interrupted for over %1 ms")
                                     .arg(static_cast<qint64>(bound.count()));
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    d_->lock = std::move(fd);
    return true;
}

ReadResult FileAtPath::read(qint64 maxBytes, QByteArray& content, QString& reason) {
    d_->read.reset();
    d_->readContent.clear();
    d_->readDone = false;
    OpenedFile file = openChecked(d_->folder.get(), d_->name, maxBytes, reason);
    if (file.result != ReadResult::Read) {
        d_->readDone = file.result == ReadResult::Missing;
        return file.result;
    }
    if (!readBounded(file.fd.get(), file.status.st_size, maxBytes, content, reason)) {
        return ReadResult::Failed;
    }
    d_->read = versionOf(file.status);
    d_->readContent = content;
    d_->readDone = true;
    return ReadResult::Read;
}

bool FileAtPath::removeLeftovers(QString& reason) {
    if (!d_->lock) {
        return true;
    }
    struct stat folderStatus {};
    if (::fstat(d_->folder.get(), &folderStatus) != 0) {
        reason = systemReason(errno);
        return false;
    }
    const int listing = ::openat(d_->folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
        const QByteArray name(entry->d_name);
        struct stat status {};
        if (!name.startsWith(kLeftoverPrefix) ||
            ::fstatat(d_->folder.get(), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) ||
            (sharedSticky(folderStatus, S_IWOTH | S_IWGRP) && status.st_uid != ::geteuid())) {
            continue;
        }
        removed = discard(d_->folder.get(), name, reason) && removed;
    }
    ::closedir(entries);
    return removed;
}

// In place: the same file, so its owner, group, mode, ACL, attributes and
// other names stay as they are. Under the lock and after the re-read, like a
// replacement; what cannot be undone by a swap is undone by writing the old
// content back.
WriteResult FileAtPath::State::writeInPlace(const QByteArray& content, QString& reason) {
    Descriptor fd(::openat(folder.get(), name.constData(),
                           O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (versionOf(status) != read) {
        reason = kChangedMeanwhile;
        return WriteResult::Changed;
    }
    if (writeWhole(fd.get(), content, reason)) {
        return WriteResult::Written;
    }
    QString restoring;
    reason += writeWhole(fd.get(), readContent, restoring)
                  ? QStringLiteral("; the old content was written back")
                  : QStringLiteral(
                        "; writing the old content back failed too (%1), so the file "
                        "may be left part old, part new")
                        .arg(restoring);
    return WriteResult::Failed;
}

// After the swap, the name holds the new content and the temporary name what
// was there: the file that was checked, or the swap is undone.
WriteResult FileAtPath::State::swapIn(Temporary& temp, QString& reason, bool& refused) {
    const int dir = folder.get();
#ifdef RENAME_EXCHANGE
    const int swapped = step(test_hooks::kSwap, [&] {
        return ::renameat2(dir, temp.name.constData(), dir, name.constData(), RENAME_EXCHANGE);
    });
    if (swapped == 0) {
        struct stat out {};
        if (step(test_hooks::kCheckSwappedOut, [&] {
                return ::fstatat(dir, temp.name.constData(), &out, AT_SYMLINK_NOFOLLOW);
            }) != 0) {
            return swapBack(temp.name,
                            QStringLiteral("what the new file replaced could not be checked (%1)")
                                .arg(systemReason(errno)),
                            reason);
        }
        // A rename moves the change time on: what was checked just before the
        // swap is its content, what is checked here that it is the same file.
        if (!read || identityOf(out) != read->identity) {
            return swapBack(temp.name, kChangedMeanwhile, reason);
        }
        discard(dir, temp.name, reason);  // the old file
        return WriteResult::Written;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        refused = replacingImpossible(errno);
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
#endif
    // Some file systems cannot swap: there the name was checked just before.
    if (::renameat(dir, temp.name.constData(), dir, name.constData()) != 0) {
        refused = replacingImpossible(errno);
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

// Undoes a swap whose result is not to stand. The temporary name is gone
// afterwards either way.
WriteResult FileAtPath::State::swapBack(const QByteArray& temp, const QString& why,
                                        QString& reason) {
    const int dir = folder.get();
#ifdef RENAME_EXCHANGE
    if (step(test_hooks::kSwapBack, [&] {
            return ::renameat2(dir, temp.constData(), dir, name.constData(), RENAME_EXCHANGE);
        }) == 0) {
        reason = why + QStringLiteral("; the swap was undone and this write given up");
        discard(dir, temp, reason);  // the new content
        return why == kChangedMeanwhile ? WriteResult::Changed : WriteResult::Failed;
    }
#endif
    // The new content stays where it is: the write happened after all, and
    // what it replaced goes, as a successful write's old file does.
    reason = why + QStringLiteral("; undoing the swap failed too (%1), so the new content stays")
                       .arg(systemReason(errno));
    discard(dir, temp, reason);
    return WriteResult::Written;
}

// Puts the temporary file where nothing was, unless something is there now.
WriteResult FileAtPath::State::putNew(Temporary& temp, QString& reason) {
    const int dir = folder.get();
#ifdef RENAME_NOREPLACE
    if (step(test_hooks::kSwap, [&] {
            return ::renameat2(dir, temp.name.constData(), dir, name.constData(), RENAME_NOREPLACE);
        }) == 0) {
        return WriteResult::Written;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        const bool taken = errno == EEXIST;
        reason = taken ? kChangedMeanwhile : systemReason(errno);
        return taken ? WriteResult::Changed : WriteResult::Failed;
    }
#endif
    if (::renameat(dir, temp.name.constData(), dir, name.constData()) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

WriteResult FileAtPath::State::replaceExisting(const OpenedFile& old, const QByteArray& content,
                                               QString& reason) {
    // Another name of the file would keep the old content.
    if (old.status.st_nlink > 1) {
        return writeInPlace(content, reason);
    }
    // Owner-only until it has the old file's attributes, so a file that only
    // its owner could read never becomes readable by others, even for a moment.
    Temporary temp = createTemporary(folder.get(), 0600);
    if (!temp.fd) {
        if (replacingImpossible(errno)) {
            return writeInPlace(content, reason);
        }
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    const Copy copied = copyAttributes(old.fd.get(), old.status, temp.fd.get(), reason);
    if (copied == Copy::OwnerDiffers) {
        discard(folder.get(), temp.name, reason);
        return writeInPlace(content, reason);
    }
    if (copied == Copy::Failed || !writeWhole(temp.fd.get(), content, reason)) {
        discard(folder.get(), temp.name, reason);
        return WriteResult::Failed;
    }
    if (test_hooks::beforeReplace) {
        test_hooks::beforeReplace();
    }
    bool refused = false;
    const WriteResult result =
        unchanged(reason) ? swapIn(temp, reason, refused) : changedOrFailed(reason);
    if (result != WriteResult::Written) {
        discard(folder.get(), temp.name, reason);
    }
    if (refused) {
        reason.clear();
        return writeInPlace(content, reason);
    }
    return result;
}

WriteResult FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    // Nor is a file written that the next start would refuse to read.
    if (content.size() > maxBytes) {
        reason = wouldBeTooLarge(maxBytes);
        return WriteResult::Failed;
    }
    const int folder = d_->folder.get();
    const OpenedFile old = openChecked(folder, d_->name, maxBytes, reason);
    if (old.result == ReadResult::Failed) {
        return WriteResult::Failed;
    }
    const bool exists = old.result == ReadResult::Read;
    reason.clear();  // a missing file is no failure here
    if (exists && ::faccessat(folder, d_->name.constData(), W_OK, AT_EACCESS) != 0) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (!d_->readDone || (exists ? d_->read != versionOf(old.status) : d_->read.has_value())) {
        reason = kChangedMeanwhile;
        return WriteResult::Changed;
    }
    if (exists) {
        return d_->replaceExisting(old, content, reason);
    }
    Temporary temp = createTemporary(folder, 0666);
    if (!temp.fd) {
        reason = systemReason(errno);
        return WriteResult::Failed;
    }
    if (!writeWhole(temp.fd.get(), content, reason)) {
        discard(folder, temp.name, reason);
        return WriteResult::Failed;
    }
    if (test_hooks::beforeReplace) {
        test_hooks::beforeReplace();
    }
    const WriteResult result =
        d_->unchanged(reason) ? d_->putNew(temp, reason) : changedOrFailed(reason);
    if (result != WriteResult::Written) {
        discard(folder, temp.name, reason);
    }
    return result;
}

#else  // no POSIX descriptors: Qt's view of the path is all there is

struct FileAtPath::State {
    QString path;
};

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = QFile::decodeName(path);
}

FileAtPath::~FileAtPath() = default;

ReadResult FileAtPath::resolve(QString&) {
    return ReadResult::Read;
}

bool FileAtPath::lock(std::chrono::milliseconds, QString&) {
    return true;
}

ReadResult FileAtPath::read(qint64 maxBytes, QByteArray& content, QString& reason) {
    const QFileInfo info(d_->path);
    if (!info.exists()) {
        reason = QStringLiteral("it does not exist");
        return ReadResult::Missing;
    }
    if (!info.isFile() || info.size() > maxBytes) {
        reason = info.isFile() ? tooLarge(maxBytes) : QStringLiteral("it is not a regular file");
        return ReadResult::Failed;
    }
    QFile file(d_->path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return file.exists() ? ReadResult::Failed : ReadResult::Missing;
    }
    content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || content.size() > maxBytes) {
        reason = file.error() != QFileDevice::NoError ? file.errorString() : tooLarge(maxBytes);
        content.clear();
        return ReadResult::Failed;
    }
    return ReadResult::Read;
}

bool FileAtPath::removeLeftovers(QString&) {
    return true;
}

WriteResult FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    const QFileInfo info(d_->path);
    if (info.exists() && (!info.isFile() || info.size() > maxBytes)) {
        reason = info.isFile() ? tooLarge(maxBytes) : QStringLiteral("it is not a regular file");
        return WriteResult::Failed;
    }
    if (content.size() > maxBytes) {
        reason = wouldBeTooLarge(maxBytes);
        return WriteResult::Failed;
    }
    // Unbuffered, each write() reaches the system at once, so the error of the
    // one that failed is still there to be reported. commit() alone renames
    // whatever reached the temporary file, even when writing it failed, so every
    // failure cancels the write first.
    QSaveFile file(d_->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return WriteResult::Failed;
    }
    if (file.write(content) != content.size()) {
        reason = file.errorString();
        file.cancelWriting();
        file.commit();
        return WriteResult::Failed;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

#endif

}  // namespace quorvel::settings
