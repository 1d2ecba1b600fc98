#include "settings/regular_file.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#endif

namespace quorvel::settings {

namespace {

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
}

// Reads at most maxBytes + 1 bytes, so a file that grew past the bound since it
// was looked at still costs no more than that.
ReadResult readBounded(QFile& file, qint64 maxBytes, QByteArray& content, QString& reason) {
    content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        content.clear();
        return ReadResult::Failed;
    }
    if (content.size() > maxBytes) {
        reason = tooLarge(maxBytes);
        content.clear();
        return ReadResult::Failed;
    }
    return ReadResult::Read;
}

#ifdef Q_OS_UNIX

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

PathState stateOf(const struct stat& status, qint64 maxBytes) {
    PathState state;
    state.kind = PathState::Kind::Refused;
    const mode_t mode = status.st_mode;
    if (!S_ISREG(mode)) {
        const char* kind = S_ISDIR(mode)    ? "a directory"
                           : S_ISFIFO(mode) ? "a FIFO"
                           : S_ISCHR(mode)  ? "a character device"
                           : S_ISBLK(mode)  ? "a block device"
                           : S_ISSOCK(mode) ? "a socket"
                                            : "of an unknown kind";
        state.reason = QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kind));
    } else if (status.st_size > maxBytes) {
        state.reason = tooLarge(maxBytes);
    } else {
        state.kind = PathState::Kind::Regular;
        state.owner = status.st_uid;
        state.group = status.st_gid;
        state.mode = mode & 07777;
    }
    return state;
}

}  // namespace

PathState inspectPath(const QString& path, qint64 maxBytes) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        const int error = errno;
        PathState state;
        state.reason = systemReason(error);
        // A plain file where a directory should be counts as missing too: making
        // the directory then fails and says why.
        state.kind = error == ENOENT || error == ENOTDIR ? PathState::Kind::Missing
                                                         : PathState::Kind::Refused;
        return state;
    }
    return stateOf(status, maxBytes);
}

ReadResult readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content,
                           QString& reason) {
    // Looking before opening means a FIFO or a device is never opened at all
    // (opening a device can do things of its own). Whatever was put at the path
    // since then is opened without blocking and refused by its descriptor.
    const PathState before = inspectPath(path, maxBytes);
    if (before.kind != PathState::Kind::Regular) {
        reason = before.reason;
        return before.kind == PathState::Kind::Missing ? ReadResult::Missing : ReadResult::Failed;
    }
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        const int error = errno;
        reason = systemReason(error);
        return error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        reason = file.errorString();
        return ReadResult::Failed;
    }
    struct stat status {};
    if (::fstat(handle, &status) != 0) {
        reason = systemReason(errno);
        return ReadResult::Failed;
    }
    const PathState opened = stateOf(status, maxBytes);
    if (opened.kind != PathState::Kind::Regular) {
        reason = opened.reason;
        return ReadResult::Failed;
    }
    return readBounded(file, maxBytes, content, reason);
}

bool mayWrite(const QString& path, QString& reason) {
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0) {
        return true;
    }
    reason = systemReason(errno);
    return false;
}

void keepOwnership(int handle, const PathState& old) {
    if (old.kind != PathState::Kind::Regular || handle < 0) {
        return;
    }
    // Only a process allowed to give files away may set another owner; a member
    // of the group may still set the group. What cannot be set stays the
    // writer's, and the file is written all the same.
    if (::fchown(handle, old.owner, old.group) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(handle, static_cast<uid_t>(-1), old.group);
    }
    // After the owner, since changing the owner clears the set-ID bits.
    [[maybe_unused]] const int moded = ::fchmod(handle, old.mode);
}

#else  // no POSIX file kinds or owners: Qt's view of the path is all there is

}  // namespace

PathState inspectPath(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    PathState state;
    if (!info.exists()) {
        state.reason = QStringLiteral("it does not exist");
    } else if (!info.isFile()) {
        state.kind = PathState::Kind::Refused;
        state.reason = QStringLiteral("it is not a regular file");
    } else if (info.size() > maxBytes) {
        state.kind = PathState::Kind::Refused;
        state.reason = tooLarge(maxBytes);
    } else {
        state.kind = PathState::Kind::Regular;
    }
    return state;
}

ReadResult readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content,
                           QString& reason) {
    const PathState state = inspectPath(path, maxBytes);
    if (state.kind != PathState::Kind::Regular) {
        reason = state.reason;
        return state.kind == PathState::Kind::Missing ? ReadResult::Missing : ReadResult::Failed;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return file.exists() ? ReadResult::Failed : ReadResult::Missing;
    }
    return readBounded(file, maxBytes, content, reason);
}

bool mayWrite(const QString&, QString&) {
    return true;  // QSaveFile says so itself
}

void keepOwnership(int, const PathState&) {}

#endif

}  // namespace quorvel::settings
