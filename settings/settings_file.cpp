#include "settings/settings_file.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quorvel::settings {

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
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QLatin1String(kFileName));
}

ParsedSettings SettingsFile::load(double defaultX, double defaultY) {
    const QByteArray defaults = defaultSettings(QPointF(defaultX, defaultY));
    preservedLines_.clear();
    haveRead_ = false;
    QString reason;
    if (!QFileInfo::exists(path_)) {
        const QString directory = QFileInfo(path_).absolutePath();
        if (!QDir().mkpath(directory)) {
            reportOnce(QStringLiteral("create"),
                       QStringLiteral("cannot make the directory %1").arg(directory));
            haveRead_ = true;  // nothing of anyone else's is there to lose
            return parseSettings(defaults);
        }
        if (!write(defaults, reason)) {
            reportOnce(QStringLiteral("create"), reason);
            haveRead_ = true;
            return parseSettings(defaults);
        }
    }
    QByteArray content;
    if (!read(content, reason)) {
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
    return reread(reason);
}

std::optional<StoredSettings> SettingsFile::reread(QString& reason) {
    QByteArray current;
    if (!read(current, reason)) {
        return std::nullopt;
    }
    ParsedSettings parsed = parseSettings(current);
    preservedLines_ = std::move(parsed.preservedLines);
    haveRead_ = true;
    return std::move(parsed.settings);
}

bool SettingsFile::save(const StoredSettings& settings) {
    return save([&settings](const std::optional<StoredSettings>&) { return settings; });
}

bool SettingsFile::save(const Compose& compose) {
    QString reason;
    const std::optional<StoredSettings> now = reread(reason);
    if (!now && !haveRead_ && QFileInfo::exists(path_)) {
        reportOnce(QStringLiteral("read"), reason);
        return false;
    }
    // The directory may have gone while the game ran; making it again costs
    // nothing when it is there.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (!write(writeSettings(preservedLines_, compose(now)), reason)) {
        reportOnce(QStringLiteral("write"), reason);
        return false;
    }
    return true;
}

bool SettingsFile::read(QByteArray& content, QString& reason) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}

bool SettingsFile::write(const QByteArray& content, QString& reason) const {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return false;
    }
    // commit() alone renames whatever reached the temporary file over the old
    // one, even when writing it failed (a full disk, a size limit), so every
    // failure must cancel the write before commit() is called.
    if (file.write(content) != content.size() || !file.flush()) {
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
