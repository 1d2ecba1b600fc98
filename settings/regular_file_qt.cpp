// FileAtPath where the system has no POSIX descriptors: Qt's view of the path
// is all there is, so none of the checks of what is replaced can be made; the
// file is read within its bound and replaced through Qt's atomic writer.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "settings/file_steps.h"
#include "settings/regular_file.h"

namespace quorvel::settings {

using detail::tooLarge;
using detail::wouldBeTooLarge;

struct FileAtPath::State {
    QString path;
    QByteArray folderPath;
};

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = QFile::decodeName(path);
}

FileAtPath::~FileAtPath() = default;

ReadResult FileAtPath::resolve(QString& reason) {
    const QString folder = QFileInfo(d_->path).absolutePath();
    d_->folderPath = QFile::encodeName(folder);
    if (!QFileInfo(folder).isDir()) {
        reason =
            QStringLiteral("the directory %1 is not there").arg(QDir::toNativeSeparators(folder));
        return ReadResult::Missing;
    }
    return ReadResult::Read;
}

bool FileAtPath::makeFolder(QString& reason) {
    const QString folder = QFile::decodeName(d_->folderPath);
    if (QDir().mkpath(folder)) {
        return true;
    }
    reason = QStringLiteral("cannot make the directory %1").arg(QDir::toNativeSeparators(folder));
    return false;
}

ReadResult FileAtPath::judge(qint64 maxBytes, QString& reason) {
    const QFileInfo info(d_->path);
    if (info.exists() && (!info.isFile() || info.size() > maxBytes)) {
        reason = info.isFile() ? tooLarge(maxBytes) : QStringLiteral("it is not a regular file");
        return ReadResult::Failed;
    }
    return ReadResult::Read;
}

const QByteArray& FileAtPath::folderPath() const {
    return d_->folderPath;
}

int FileAtPath::folderDescriptor() const {
    return -1;
}

LockResult FileAtPath::lock(std::chrono::milliseconds, QString&) {
    return LockResult::Taken;
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

}  // namespace quorvel::settings
