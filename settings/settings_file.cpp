#include "settings/settings_file.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "settings/code_page.h"
#include "settings/regular_file.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
#include <pwd.h>
#include <unistd.h>

#include <vector>
#define QUORVEL_XDG_PATHS
#endif

namespace quorvel::settings {

namespace {

#ifdef QUORVEL_XDG_PATHS
// An absolute folder from the environment, as its bytes; a relative or empty
// value is ignored, as if unset, so the file never depends on the folder the
// game was started from.
QByteArray absoluteFromEnvironment(const char* name) {
    const QByteArray value = qgetenv(name);
    return value.startsWith('/') ? value : QByteArray();
}

// The home folder: $HOME, or without a usable one the password database's.
QByteArray homeFolder() {
    QByteArray home = absoluteFromEnvironment("HOME");
    if (!home.isEmpty()) {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        home = found->pw_dir;
    }
    return home;
}

QByteArray configFolder() {
    const QByteArray configHome = absoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!configHome.isEmpty()) {
        return configHome;
    }
    QByteArray home = homeFolder();
    if (home.isEmpty()) {
        return {};
    }
    if (!home.endsWith('/')) {
        home += '/';
    }
    return home + ".config";
}
#endif

// What the default content reads as, parseSettings(defaultSettings(position)),
// without the text in between: the defaults, the window at `position`.
ParsedSettings defaultsRead(QPointF position) {
    ParsedSettings parsed;
    parsed.settings.position = position;
    parsed.sectionFound = true;
    return parsed;
}

}  // namespace

SettingsFile::SettingsFile(QByteArray path, Reporter report)
    : path_(std::move(path)), report_(std::move(report)) {}

SettingsFile::SettingsFile(const QString& path, Reporter report)
    : SettingsFile(QFile::encodeName(path), std::move(report)) {}

SettingsFile::SettingsFile(QByteArray path, std::unique_ptr<FileAtPath> folder, Reporter report)
    : path_(std::move(path)), report_(std::move(report)), folder_(std::move(folder)) {}

QString SettingsFile::path() const {
    return QDir::toNativeSeparators(QFile::decodeName(path_));
}

QByteArray SettingsFile::defaultPath() {
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        return QFile::encodeName(
            QDir(QString::fromWCharArray(buffer, static_cast<qsizetype>(length)))
                .filePath(QLatin1String(kFileName)));
    }
#endif
#ifdef QUORVEL_XDG_PATHS
    if (!QStandardPaths::isTestModeEnabled()) {
        const QByteArray folder = configFolder();
        return folder.isEmpty() ? QByteArray() : folder + '/' + kFileName;
    }
#endif
    const QString directory =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFile::encodeName(QDir(directory).filePath(QLatin1String(kFileName)));
}

ParsedSettings SettingsFile::load(double defaultX, double defaultY, WhenMissing whenMissing) {
    preservedLines_.clear();
    haveRead_ = false;
    QString reason;
    QByteArray content;
    ReadResult result = read(content, reason);
    if (result == ReadResult::Missing && whenMissing == WhenMissing::LeaveToTheWrite) {
        haveRead_ = true;  // nothing of anyone else's is there to lose
        return defaultsRead(QPointF(defaultX, defaultY));
    }
    // Made only where it is written or read instead of the file.
    const QByteArray defaults =
        result == ReadResult::Read ? QByteArray() : defaultSettings(QPointF(defaultX, defaultY));
    if (result == ReadResult::Missing) {
        result = create(defaults, content, reason);
        if (result == ReadResult::Missing) {
            reportOnce(QStringLiteral("create"), reason);
            haveRead_ = true;  // nothing of anyone else's is there to lose
            return parseSettings(defaults);
        }
    }
    if (result != ReadResult::Read) {
        reportOnce(QStringLiteral("read"), reason);
        return parseSettings(defaults);
    }
    ParsedSettings parsed = parseSettings(content);
    preservedLines_ = parsed.preservedLines;
    haveRead_ = true;
    lastSeen_ = parsed.settings;
    return parsed;
}

ReadResult SettingsFile::create(const QByteArray& initial, QByteArray& content, QString& reason) {
    FileAtPath file(path_);
    if (prepare(file, reason) != Prepared::Ready) {
        return ReadResult::Missing;
    }
    // Another game may have made it since it was found missing.
    const ReadResult result = file.read(kMaxFileBytes, content, reason);
    if (result != ReadResult::Missing) {
        return result;
    }
    if (file.replace(initial, kMaxFileBytes, reason) != WriteResult::Written) {
        return ReadResult::Missing;
    }
    return file.read(kMaxFileBytes, content, reason);
}

std::optional<StoredSettings> SettingsFile::reread() {
    QString reason;
    FileAtPath file(path_);
    if (find(file, reason) != ReadResult::Read) {
        return std::nullopt;
    }
    return reread(file, reason).second;
}

std::pair<ReadResult, std::optional<StoredSettings>> SettingsFile::reread(FileAtPath& file,
                                                                          QString& reason) {
    QByteArray current;
    const ReadResult result = file.read(kMaxFileBytes, current, reason);
    if (result != ReadResult::Read) {
        return {result, std::nullopt};
    }
    ParsedSettings parsed = parseSettings(current);
    preservedLines_ = std::move(parsed.preservedLines);
    haveRead_ = true;
    lastSeen_ = parsed.settings;
    return {result, std::move(parsed.settings)};
}

bool SettingsFile::save(const StoredSettings& wanted, const Compose& compose) {
    QString reason;
    FileAtPath file(path_);
    const Prepared prepared = prepare(file, reason);
    if (prepared == Prepared::Failed) {
        reportOnce(QStringLiteral("write"), reason);
        return false;
    }
    if (prepared == Prepared::Refused) {
        reportUnread(haveRead_, reason, wanted);
        return false;
    }
    // A file changed by someone else between the re-read and the write is read
    // and merged once more before the write is given up.
    for (int attempt = 1;; ++attempt) {
        const bool readBefore = haveRead_;
        const auto [result, now] = reread(file, reason);
        if (result == ReadResult::Failed) {
            reportUnread(readBefore, reason, wanted);
            return false;
        }
        const StoredSettings written = compose ? compose(now) : wanted;
        reason.clear();
        const WriteResult outcome =
            file.replace(writeSettings(preservedLines_, written), kMaxFileBytes, reason);
        if (outcome == WriteResult::Written) {
            if (!reason.isEmpty()) {
                report(QStringLiteral("quorvel: the settings file %1 was written, but %2")
                           .arg(path(), reason));
            }
            lastSeen_ = written;
            return true;
        }
        if (outcome == WriteResult::Failed) {
            reportOnce(QStringLiteral("write"), reason);
            return false;
        }
        if (attempt == 2) {
            reportGivenUp(reason, written);
            return false;
        }
    }
}

ReadResult SettingsFile::read(QByteArray& content, QString& reason) {
    if (folder_) {
        const std::unique_ptr<FileAtPath> file = std::move(folder_);
        const ReadResult result = file->judge(kMaxFileBytes, reason);
        return result == ReadResult::Read ? file->read(kMaxFileBytes, content, reason) : result;
    }
    FileAtPath file(path_);
    const ReadResult result = find(file, reason);
    return result == ReadResult::Read ? file.read(kMaxFileBytes, content, reason) : result;
}

ReadResult SettingsFile::find(FileAtPath& file, QString& reason) const {
    const ReadResult result = file.resolve(reason);
    return result == ReadResult::Read ? file.judge(kMaxFileBytes, reason) : result;
}

std::unique_ptr<FileAtPath> SettingsFile::resolveFolder(QString& reason) const {
    auto file = std::make_unique<FileAtPath>(path_);
    return reachFolder(*file, reason) ? std::move(file) : nullptr;
}

bool SettingsFile::reachFolder(FileAtPath& file, QString& reason) const {
    if (path_.isEmpty()) {
        reason = QStringLiteral(
            "there is no home folder (no absolute HOME, none in the password "
            "database)");
        return false;
    }
    // The folder may have gone while the game ran. It is made only along the
    // path that resolving has checked, so nothing is made through a link that
    // the game refuses.
    ReadResult found = file.resolve(reason);
    if (found == ReadResult::Missing) {
        found = file.makeFolder(reason) ? file.resolve(reason) : ReadResult::Failed;
    }
    return found == ReadResult::Read;
}

SettingsFile::Prepared SettingsFile::prepare(FileAtPath& file, QString& reason) {
    if (!reachFolder(file, reason)) {
        return Prepared::Failed;
    }
    // Judged before the lock: a file the game refuses leaves nothing beside it.
    if (file.judge(kMaxFileBytes, reason) != ReadResult::Read) {
        return Prepared::Refused;
    }
    QString why;
    const LockResult locked = file.lock(kLockWait, why);
    if (locked == LockResult::Refused) {
        reason = why;
        return Prepared::Refused;
    }
    if (locked == LockResult::NotHad && !lockReported_) {
        lockReported_ = true;
        report(QStringLiteral("quorvel: cannot lock the settings file %1 (%2); writing it without "
                              "the lock")
                   .arg(path(), why));
    }
    if (!file.removeLeftovers(why) && !leftoverReported_) {
        leftoverReported_ = true;
        report(QStringLiteral("quorvel: cannot remove what an interrupted write of the settings "
                              "file %1 left beside it: %2")
                   .arg(path(), why));
    }
    return Prepared::Ready;
}

void SettingsFile::reportUnread(bool readBefore, const QString& reason,
                                const StoredSettings& wanted) {
    // The file is there but what it holds is unknown, or it may not be used:
    // writing what was known could put back a copy older than the file.
    if (readBefore) {
        reportGivenUp(reason, wanted);
    } else {
        reportOnce(QStringLiteral("read"), reason);
    }
}

void SettingsFile::reportOnce(const QString& what, const QString& reason) {
    if (reported_) {
        return;
    }
    reported_ = true;
    report(QStringLiteral("quorvel: cannot %1 the settings file %2: %3").arg(what, path(), reason));
}

void SettingsFile::reportGivenUp(const QString& reason, const StoredSettings& wanted) {
    // What the player changed is what differs from the file as last seen: the
    // report names it, so that the change can be made again.
    const QByteArrayList before = writeSettings({}, lastSeen_).split('\n');
    QByteArrayList lost;
    for (const QByteArray& line : writeSettings({}, wanted).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith('[') && !before.contains(line)) {
            lost.append(trimmed);
        }
    }
    const QString notStored =
        lost.isEmpty() ? QStringLiteral("nothing of this game's was lost")
                       : QStringLiteral("not stored: %1").arg(decodeText(lost.join(", ")));
    report(QStringLiteral("quorvel: cannot write the settings file %1: %2; this write was given "
                          "up, %3")
               .arg(path(), reason, notStored));
}

void SettingsFile::report(const QString& message) const {
    if (report_) {
        report_(message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        std::fflush(stderr);
    }
}

}  // namespace quorvel::settings
