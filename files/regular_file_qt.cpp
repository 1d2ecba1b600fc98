// FileAtPath where the system has no POSIX descriptors: Qt's view of the path
// is all there is, so none of the checks of what is replaced can be made; the
// file is read within its bound and replaced through Qt's atomic writer.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "files/regular_file.h"

namespace quorvel::files {

namespace {

// Why what is at path may not be read or replaced; empty when it may (or
// nothing is there).
QString unusable(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return !info.isFile()           ? QStringLiteral("it is not a regular file")
           : info.size() > maxBytes ? tooLarge(maxBytes)
                                    : QString();
}

}  // namespace

struct FileAtPath::State {
    QString path;
    QByteArray folderPath;
};

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = QFile::decodeName(path);
}

FileAtPath::~FileAtPath() = default;

Outcome<Reach> FileAtPath::resolve() {
    const QString folder = QFileInfo(d_->path).absolutePath();
    d_->folderPath = QFile::encodeName(folder);
    if (!QFileInfo(folder).isDir()) {
        return {
            Reach::Missing,
            QStringLiteral("the directory %1 is not there").arg(QDir::toNativeSeparators(folder))};
    }
    return {Reach::Reached};
}

Done FileAtPath::makeFolder() {
    const QString folder = QFile::decodeName(d_->folderPath);
    if (QDir().mkpath(folder)) {
        return done();
    }
    return failed(
        QStringLiteral("cannot make the directory %1").arg(QDir::toNativeSeparators(folder)));
}

Outcome<Verdict> FileAtPath::judge(qint64 maxBytes) {
    const QString why = unusable(d_->path, maxBytes);
    return {why.isEmpty() ? Verdict::Usable : Verdict::Refused, why};
}

const QByteArray& FileAtPath::folderPath() const {
    return d_->folderPath;
}

int FileAtPath::folderDescriptor() const {
    return -1;
}

Outcome<LockResult> FileAtPath::lock(std::chrono::milliseconds) {
    return {LockResult::Taken};
}

ReadOutcome FileAtPath::read(qint64 maxBytes) {
    if (!QFileInfo::exists(d_->path)) {
        return {ReadResult::Missing, QStringLiteral("it does not exist")};
    }
    if (const QString why = unusable(d_->path, maxBytes); !why.isEmpty()) {
        return {ReadResult::Failed, why};
    }
    QFile file(d_->path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {file.exists() ? ReadResult::Failed : ReadResult::Missing, file.errorString()};
    }
    const QByteArray content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return {ReadResult::Failed, file.errorString()};
    }
    if (content.size() > maxBytes) {
        return {ReadResult::Failed, tooLarge(maxBytes)};
    }
    return {ReadResult::Read, {}, content};
}

Done FileAtPath::removeLeftovers() {
    return done();
}

Outcome<WriteResult> FileAtPath::replace(const QByteArray& content, qint64 maxBytes) {
    if (const QString why = unusable(d_->path, maxBytes); !why.isEmpty()) {
        return {WriteResult::Failed, why};
    }
    if (content.size() > maxBytes) {
        return {WriteResult::Failed, wouldBeTooLarge(maxBytes)};
    }
    // Unbuffered, each write() reaches the system at once, so the error of the
    // one that failed is still there to be reported. commit() alone renames
    // whatever reached the temporary file, even when writing it failed, so every
    // failure cancels the write first.
    QSaveFile file(d_->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return {WriteResult::Failed, file.errorString()};
    }
    if (file.write(content) != content.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        file.commit();
        return {WriteResult::Failed, why};
    }
    if (!file.commit()) {
        return {WriteResult::Failed, file.errorString()};
    }
    return {WriteResult::Written};
}

}  // namespace quorvel::files
