#include "settings/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
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

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
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

ReadResult failure(int error, QString& reason) {
    reason = systemReason(error);
    return error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
}

struct OpenedFile {
    ReadResult result = ReadResult::Failed;
    Descriptor fd;
    struct stat status {};
};

// Opens name in folder for reading, if it is a regular file within the bound. A
// FIFO or a device is never opened at all (opening a device can do things of
// its own); whatever takes its place before the open is refused by the
// descriptor, and a symlink is not followed.
OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes, QString& reason) {
    OpenedFile file;
    struct stat before {};
    if (::fstatat(folder, name.constData(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        file.result = failure(errno, reason);
        return file;
    }
    if (!usable(before, maxBytes, reason)) {
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
    if (usable(file.status, maxBytes, reason)) {
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
        const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
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

// A write may take less than it was given (a full disk, a size limit); the next
// one then fails with the system's reason.
bool writeAll(int fd, const QByteArray& content, QString& reason) {
    for (qint64 done = 0; done < content.size();) {
        const ssize_t written = ::write(fd, content.constData() + done, content.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            reason = systemReason(written < 0 ? errno : ENOSPC);
            return false;
        }
        done += written;
    }
    if (::fsync(fd) != 0) {
        reason = systemReason(errno);
        return false;
    }
    return true;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

#ifdef Q_OS_LINUX
// POSIX ACLs are extended attributes too (system.posix_acl_access), so this
// copies them with the rest. What the process may not set (another user's
// trusted or security attributes) stays as the new file has it.
void copyExtendedAttributes(int from, int to) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) {
        return;
    }
    QByteArray names(size, '\0');
    const ssize_t listed = ::flistxattr(from, names.data(), static_cast<size_t>(size));
    if (listed <= 0) {
        return;
    }
    names.truncate(listed);
    for (const QByteArray& name : names.split('\0')) {
        const ssize_t length =
            name.isEmpty() ? -1 : ::fgetxattr(from, name.constData(), nullptr, 0);
        if (length < 0) {
            continue;
        }
        QByteArray value(length, '\0');
        const ssize_t got = ::fgetxattr(from, name.constData(), value.data(), value.size());
        if (got >= 0) {
            [[maybe_unused]] const int set =
                ::fsetxattr(to, name.constData(), value.constData(), static_cast<size_t>(got), 0);
        }
    }
}
#endif

// Gives `to` the owner, group, mode and extended attributes of the open file
// `from`, as far as the process is allowed to set them: without the right to
// give a file away the group alone is tried, and what cannot be set is left.
void copyAttributes(int from, const struct stat& old, int to) {
    if (::fchown(to, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(to, static_cast<uid_t>(-1), old.st_gid);
    }
    // After the owner, since changing the owner clears the set-ID bits; before
    // the ACL, whose mask then sets the group bits as the old file had them.
    [[maybe_unused]] const int moded = ::fchmod(to, old.st_mode & 07777);
#ifdef Q_OS_LINUX
    copyExtendedAttributes(from, to);
#else
    Q_UNUSED(from);
#endif
}

// A new file in the folder that nobody else has opened, named after nothing the
// path holds, so that its name stays short however long the path is.
struct Temporary {
    Descriptor fd;
    QByteArray name;
};

Temporary createTemporary(int folder, mode_t mode, QString& reason) {
    Temporary temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name = ".quorvel-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        temp.fd.reset(::openat(folder, temp.name.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (temp.fd || errno != EEXIST) {
            break;
        }
    }
    if (!temp.fd) {
        reason = systemReason(errno);
    }
    return temp;
}

const QString kReplacedMeanwhile = QStringLiteral(
    "another file was put in its place while it was written; this write was given up");

// Some file systems cannot swap or refuse to replace atomically: there the
// name is checked once more just before a plain rename.
bool renameFallback(int folder, const QByteArray& from, const QByteArray& to,
                    std::optional<Identity> expected, QString& reason) {
    struct stat now {};
    const bool present = ::fstatat(folder, to.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (present != expected.has_value() || (present && identityOf(now) != *expected)) {
        reason = kReplacedMeanwhile;
        return false;
    }
    if (::renameat(folder, from.constData(), folder, to.constData()) != 0) {
        reason = systemReason(errno);
        return false;
    }
    return true;
}

void discard(int folder, const QByteArray& temp) {
    ::unlinkat(folder, temp.constData(), 0);
}

// Swaps the temporary file with name, then checks that what came out is the
// file that was checked; if it is not, swaps back. The temporary name is gone
// afterwards, unless swapping back failed (then it holds what was put there).
bool swapIn(int folder, const QByteArray& name, const QByteArray& temp, Identity checked,
            QString& reason) {
#ifdef RENAME_EXCHANGE
    if (::renameat2(folder, temp.constData(), folder, name.constData(), RENAME_EXCHANGE) == 0) {
        struct stat out {};
        const bool same = ::fstatat(folder, temp.constData(), &out, AT_SYMLINK_NOFOLLOW) == 0 &&
                          identityOf(out) == checked;
        if (same ||
            ::renameat2(folder, temp.constData(), folder, name.constData(), RENAME_EXCHANGE) == 0) {
            discard(folder, temp);  // the old file, or our content swapped back
        }
        if (!same) {
            reason = kReplacedMeanwhile;
        }
        return same;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        reason = systemReason(errno);
        discard(folder, temp);
        return false;
    }
#endif
    if (!renameFallback(folder, temp, name, checked, reason)) {
        discard(folder, temp);
        return false;
    }
    return true;
}

// Puts the temporary file where nothing was, unless something is there now.
bool putNew(int folder, const QByteArray& name, const QByteArray& temp, QString& reason) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(folder, temp.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        reason = errno == EEXIST ? kReplacedMeanwhile : systemReason(errno);
        discard(folder, temp);
        return false;
    }
#endif
    if (!renameFallback(folder, temp, name, std::nullopt, reason)) {
        discard(folder, temp);
        return false;
    }
    return true;
}

}  // namespace

struct FileAtPath::State {
    QByteArray path;
    Descriptor folder;
    QByteArray name;
    Descriptor lock;
    // The file that read() read: replace() replaces that one or nothing.
    std::optional<Identity> read;
};

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = std::move(path);
}

FileAtPath::~FileAtPath() = default;

ReadResult FileAtPath::resolve(QString& reason) {
    QByteArray current = d_->path;
    for (int hops = 0;; ++hops) {
        std::array<char, PATH_MAX> target{};
        const ssize_t length = ::readlink(current.constData(), target.data(), target.size());
        if (length < 0) {
            const int error = errno;
            if (error == EINVAL || error == ENOENT) {
                break;  // not a link, or nothing there yet: this is the name
            }
            reason = systemReason(error);
            // A plain file where a folder should be counts as missing: making
            // the folder then fails and says why.
            return error == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
        }
        if (hops == kMaxLinks || length == static_cast<ssize_t>(target.size())) {
            reason = systemReason(hops == kMaxLinks ? ELOOP : ENAMETOOLONG);
            return ReadResult::Failed;
        }
        const QByteArray link(target.data(), length);
        current = link.startsWith('/') ? link : folderOf(current) + '/' + link;
    }
    d_->name = current.mid(current.lastIndexOf('/') + 1);
    if (d_->name.isEmpty()) {
        d_->name = ".";  // a link to "folder/" names that folder
    }
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
        !usable(status, kAnySize, reason)) {
        return false;
    }
    // Read-only is enough to lock, so another user's game that shares the file
    // may lock it too.
    Descriptor fd(::openat(d_->folder.get(), name.constData(),
                           O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                           0666));
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (!usable(status, kAnySize, reason)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (bool seenTaken = false; ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0;) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            reason = systemReason(errno);
            return false;
        }
        if (!seenTaken && test_hooks::lockTaken) {
            test_hooks::lockTaken();
        }
        seenTaken = true;
        if (std::chrono::steady_clock::now() >= deadline) {
            reason = QStringLiteral("another process held its lock for over %1 ms")
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
    OpenedFile file = openChecked(d_->folder.get(), d_->name, maxBytes, reason);
    if (file.result != ReadResult::Read) {
        return file.result;
    }
    if (!readBounded(file.fd.get(), file.status.st_size, maxBytes, content, reason)) {
        return ReadResult::Failed;
    }
    d_->read = identityOf(file.status);
    return ReadResult::Read;
}

bool FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    // Nor is a file written that the next start would refuse to read.
    if (content.size() > maxBytes) {
        reason = wouldBeTooLarge(maxBytes);
        return false;
    }
    const int folder = d_->folder.get();
    const OpenedFile old = openChecked(folder, d_->name, maxBytes, reason);
    if (old.result == ReadResult::Failed) {
        return false;
    }
    const bool exists = old.result == ReadResult::Read;
    if (exists && ::faccessat(folder, d_->name.constData(), W_OK, AT_EACCESS) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (exists ? d_->read && *d_->read != identityOf(old.status) : d_->read.has_value()) {
        reason = kReplacedMeanwhile;
        return false;
    }
    // Owner-only until it has the old file's attributes, so a file that only
    // its owner could read never becomes readable by others, even for a moment.
    Temporary temp = createTemporary(folder, exists ? 0600 : 0666, reason);
    if (!temp.fd) {
        return false;
    }
    if (exists) {
        copyAttributes(old.fd.get(), old.status, temp.fd.get());
    }
    if (!writeAll(temp.fd.get(), content, reason)) {
        discard(folder, temp.name);
        return false;
    }
    if (test_hooks::beforeReplace) {
        test_hooks::beforeReplace();
    }
    return exists ? swapIn(folder, d_->name, temp.name, identityOf(old.status), reason)
                  : putNew(folder, d_->name, temp.name, reason);
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

bool FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    const QFileInfo info(d_->path);
    if (info.exists() && (!info.isFile() || info.size() > maxBytes)) {
        reason = info.isFile() ? tooLarge(maxBytes) : QStringLiteral("it is not a regular file");
        return false;
    }
    if (content.size() > maxBytes) {
        reason = wouldBeTooLarge(maxBytes);
        return false;
    }
    // Unbuffered, each write() reaches the system at once, so the error of the
    // one that failed is still there to be reported. commit() alone renames
    // whatever reached the temporary file, even when writing it failed, so every
    // failure cancels the write first.
    QSaveFile file(d_->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    if (file.write(content) != content.size()) {
        reason = file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

#endif

}  // namespace quorvel::settings
