#include "settings/settings_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "settings/regular_file.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quorvel::settings {

namespace {

// A write may take less than it was given (a full disk, a size limit); the
// next one then fails with the system's reason.
bool writeAll(QSaveFile& file, const QByteArray& content, QString& reason) {
    for (qint64 done = 0; done < content.size();) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0) {
            reason = file.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

SettingsFile::SettingsFile(QString path, Reporter report)
    : path_(std::move(path)), report_(std::move(report)) {}

QString SettingsFile::defaultPath() {
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        return QDir(QString::fromWCharArray(buffer, static_cast<qsizetype>(length)))
            .filePath(QLatin1String(kFileName));
    }
#endif
    QString directory = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    // A relative XDG_CONFIG_HOME is to be ignored, as if unset; Qt takes it as
    // it is, so two starts from two folders would use two files.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QStandardPaths::isTestModeEnabled() && !configHome.isEmpty() &&
        QDir::isRelativePath(configHome)) {
        directory = QDir::homePath() + QStringLiteral("/.config");
    }
#endif
    return QDir(directory).filePath(QLatin1String(kFileName));
}

ParsedSettings SettingsFile::load(double defaultX, double defaultY) {
    const QByteArray defaults = defaultSettings(QPointF(defaultX, defaultY));
    preservedLines_.clear();
    haveRead_ = false;
    QString reason;
    QByteArray content;
    ReadResult result = read(content, reason);
    if (result == ReadResult::Missing) {
        if (!makeDirectory(reason) || !write(defaults, reason)) {
            reportOnce(QStringLiteral("create"), reason);
            haveRead_ = true;  // nothing of anyone else's is there to lose
            return parseSettings(defaults);
        }
        result = read(content, reason);
    }
    if (result != ReadResult::Read) {
        reportOnce(QStringLiteral("read"), reason);
        return parseSettings(defaults);
    }
    ParsedSettings parsed = parseSettings(content);
    preservedLines_ = parsed.preservedLines;
    haveRead_ = true;
    return parsed;
}

std::optional<StoredSettings> SettingsFile::reread() {
    QString reason;
    return reread(reason).second;
}

std::pair<ReadResult, std::optional<StoredSettings>> SettingsFile::reread(QString& reason) {
    QByteArray current;
    const ReadResult result = read(current, reason);
    if (result != ReadResult::Read) {
        return {result, std::nullopt};
    }
    ParsedSettings parsed = parseSettings(current);
    preservedLines_ = std::move(parsed.preservedLines);
    haveRead_ = true;
    return {result, std::move(parsed.settings)};
}

bool SettingsFile::save(const StoredSettings& settings) {
    return save([&settings](const std::optional<StoredSettings>&) { return settings; });
}

bool SettingsFile::save(const Compose& compose) {
    QString reason;
    const auto [result, now] = reread(reason);
    if (result == ReadResult::Failed && !haveRead_) {
        reportOnce(QStringLiteral("read"), reason);
        return false;
    }
    // The directory may have gone while the game ran; making it again costs
    // nothing when it is there.
    if (!makeDirectory(reason) || !write(writeSettings(preservedLines_, compose(now)), reason)) {
        reportOnce(QStringLiteral("write"), reason);
        return false;
    }
    return true;
}

ReadResult SettingsFile::read(QByteArray& content, QString& reason) const {
    return readRegularFile(path_, kMaxFileBytes, content, reason);
}

bool SettingsFile::makeDirectory(QString& reason) const {
    const QString directory = QFileInfo(path_).absolutePath();
    std::error_code error;
#ifdef Q_OS_WIN
    std::filesystem::create_directories(directory.toStdWString(), error);
#else
    std::filesystem::create_directories(QFile::encodeName(directory).toStdString(), error);
#endif
    if (error) {
        reason =
            QStringLiteral("cannot make the directory %1: %2")
                .arg(QDir::toNativeSeparators(directory), QString::fromLocal8Bit(error.message()));
        return false;
    }
    return true;
}

bool SettingsFile::write(const QByteArray& content, QString& reason) const {
    // Whatever is not a regular file within the bound is never replaced: a FIFO
    // or a device stays what it is, and a file too large to read keeps what
    // nobody has seen. A symlink is followed, and its target gets the content.
    const PathState old = inspectPath(path_, kMaxFileBytes);
    if (old.kind == PathState::Kind::Refused) {
        reason = old.reason;
        return false;
    }
    if (old.kind == PathState::Kind::Regular && !mayWrite(path_, reason)) {
        return false;
    }
    // Nor is a file written that the next start would refuse to read.
    if (content.size() > kMaxFileBytes) {
        reason = QStringLiteral("it would be larger than %1 bytes").arg(kMaxFileBytes);
        return false;
    }
    // Unbuffered, each write() reaches the system at once, so the error of the
    // one that failed is still there to be reported (a buffered flush() after a
    // short write gives no reason at all).
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    // Before any content: a file that only its owner could read never becomes
    // readable by others, even for a moment.
    keepOwnership(file.handle(), old);
    // commit() alone renames whatever reached the temporary file over the old
    // one, even when writing it failed (a full disk, a size limit), so every
    // failure must cancel the write before commit() is called.
    bool written = writeAll(file, content, reason);
    if (written && !file.flush()) {
        reason = file.errorString();
        written = false;
    }
    if (!written) {
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

void SettingsFile::reportOnce(const QString& what, const QString& reason) {
    if (reported_) {
        return;
    }
    reported_ = true;
    const QString message = QStringLiteral("quorvel: cannot %1 the settings file %2: %3")
                                .arg(what, QDir::toNativeSeparators(path_), reason);
    if (report_) {
        report_(message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        std::fflush(stderr);
    }
}

}  // namespace quorvel::settings
