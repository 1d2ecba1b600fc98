#include "settings/settings_file.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "files/regular_file.h"
#include "settings/code_page.h"

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

using files::Did;
using files::LockResult;
using files::Reach;
using files::Verdict;
using files::WriteResult;

ParsedSettings SettingsFile::load(double defaultX, double defaultY, WhenMissing whenMissing) {
    preservedLines_.clear();
    byteOrderMark_.clear();
    haveRead_ = false;
    files::ReadOutcome read = this->read();
    if (read.result == ReadResult::Missing && whenMissing == WhenMissing::LeaveToTheWrite) {
        haveRead_ = true;  // nothing of anyone else's is there to lose
        return defaultsRead(QPointF(defaultX, defaultY));
    }
    // Made only where it is written or read instead of the file.
    const QByteArray defaults = read.result == ReadResult::Read
                                    ? QByteArray()
                                    : defaultSettings(QPointF(defaultX, defaultY));
    if (read.result == ReadResult::Missing) {
        read = create(defaults);
        if (read.result == ReadResult::Missing) {
            reportOnce(QStringLiteral("create"), read.reason);
            haveRead_ = true;  // nothing of anyone else's is there to lose
            return parseSettings(defaults);
        }
    }
    if (read.result != ReadResult::Read) {
        reportOnce(QStringLiteral("read"), read.reason);
        return parseSettings(defaults);
    }
    ParsedSettings parsed = parseSettings(read.value);
    preservedLines_ = parsed.preservedLines;
    byteOrderMark_ = parsed.byteOrderMark;
    haveRead_ = true;
    lastSeen_ = parsed.settings;
    return parsed;
}

// Missing, with the reason, when the file could not be made.
files::ReadOutcome SettingsFile::create(const QByteArray& initial) {
    FileAtPath file(path_);
    const auto prepared = prepare(file);
    if (prepared.result != Prepared::Ready) {
        return {ReadResult::Missing, prepared.reason};
    }
    // Another game may have made it since it was found missing.
    files::ReadOutcome read = file.read(kMaxFileBytes);
    if (read.result != ReadResult::Missing) {
        return read;
    }
    const auto written = file.replace(initial, kMaxFileBytes);
    if (written.result != WriteResult::Written) {
        return {ReadResult::Missing, files::bothSaid(written.reason, prepared.reason)};
    }
    reportWritten(files::bothSaid(prepared.reason, written.reason));
    return file.read(kMaxFileBytes);
}

std::optional<StoredSettings> SettingsFile::reread() {
    FileAtPath file(path_);
    if (find(file).result != Reach::Reached) {
        return std::nullopt;
    }
    return reread(file).value;
}

files::Outcome<files::ReadResult, std::optional<StoredSettings>> SettingsFile::reread(
    FileAtPath& file) {
    const files::ReadOutcome read = file.read(kMaxFileBytes);
    if (read.result != ReadResult::Read) {
        return {read.result, read.reason};
    }
    ParsedSettings parsed = parseSettings(read.value);
    preservedLines_ = std::move(parsed.preservedLines);
    byteOrderMark_ = parsed.byteOrderMark;
    haveRead_ = true;
    lastSeen_ = parsed.settings;
    return {read.result, {}, std::move(parsed.settings)};
}

bool SettingsFile::save(const StoredSettings& wanted, const Compose& compose) {
    FileAtPath file(path_);
    const auto prepared = prepare(file);
    if (prepared.result == Prepared::Failed) {
        reportOnce(QStringLiteral("write"), prepared.reason);
        return false;
    }
    if (prepared.result == Prepared::Refused) {
        reportUnread(haveRead_, prepared.reason, wanted);
        return false;
    }
    // What the write went without is said with its outcome, in one report.
    const auto withRemarks = [&prepared](const QString& reason) {
        return files::bothSaid(reason, prepared.reason);
    };
    // A file changed by someone else between the re-read and the write is read
    // and merged once more before the write is given up.
    for (int attempt = 1;; ++attempt) {
        const bool readBefore = haveRead_;
        const auto now = reread(file);
        if (now.result == ReadResult::Failed) {
            reportUnread(readBefore, withRemarks(now.reason), wanted);
            return false;
        }
        const StoredSettings written = compose ? compose(now.value) : wanted;
        const auto outcome =
            file.replace(byteOrderMark_ + writeSettings(preservedLines_, written), kMaxFileBytes);
        if (outcome.result == WriteResult::Written) {
            reportWritten(files::bothSaid(prepared.reason, outcome.reason));
            lastSeen_ = written;
            return true;
        }
        if (outcome.result == WriteResult::Failed) {
            reportOnce(QStringLiteral("write"), withRemarks(outcome.reason));
            return false;
        }
        if (attempt == 2) {
            reportGivenUp(withRemarks(outcome.reason), written);
            return false;
        }
    }
}

files::ReadOutcome SettingsFile::read() {
    if (folder_) {
        const std::unique_ptr<FileAtPath> file = std::move(folder_);
        const auto verdict = file->judge(kMaxFileBytes);
        if (verdict.result != Verdict::Usable) {
            return {ReadResult::Failed, verdict.reason};
        }
        return file->read(kMaxFileBytes);
    }
    FileAtPath file(path_);
    const auto found = find(file);
    if (found.result != Reach::Reached) {
        return {found.result == Reach::Missing ? ReadResult::Missing : ReadResult::Failed,
                found.reason};
    }
    return file.read(kMaxFileBytes);
}

files::Outcome<Reach> SettingsFile::find(FileAtPath& file) const {
    const auto resolved = file.resolve();
    if (resolved.result != Reach::Reached) {
        return resolved;
    }
    const auto verdict = file.judge(kMaxFileBytes);
    return {verdict.result == Verdict::Usable ? Reach::Reached : Reach::Failed, verdict.reason};
}

files::Outcome<files::Did, std::unique_ptr<files::FileAtPath>> SettingsFile::resolveFolder() const {
    auto file = std::make_unique<FileAtPath>(path_);
    const files::Done reached = reachFolder(*file);
    if (reached.result != Did::Done) {
        return {Did::Failed, reached.reason};
    }
    return {Did::Done, {}, std::move(file)};
}

files::Done SettingsFile::reachFolder(FileAtPath& file) const {
    if (path_.isEmpty()) {
        return files::failed(
            QStringLiteral("there is no home folder (no absolute HOME, none in the password "
                           "database)"));
    }
    // The folder may have gone while the game ran. It is made only along the
    // path that resolving has checked, so nothing is made through a link that
    // the game refuses.
    auto found = file.resolve();
    if (found.result == Reach::Missing) {
        const files::Done made = file.makeFolder();
        found = made.result == Did::Done ? file.resolve()
                                         : files::Outcome<Reach>{Reach::Failed, made.reason};
    }
    return found.result == Reach::Reached ? files::done() : files::failed(found.reason);
}

files::Outcome<SettingsFile::Prepared> SettingsFile::prepare(FileAtPath& file) {
    if (const files::Done reached = reachFolder(file); reached.result != Did::Done) {
        return {Prepared::Failed, reached.reason};
    }
    // Judged before the lock: a file the game refuses leaves nothing beside it.
    if (const auto verdict = file.judge(kMaxFileBytes); verdict.result != Verdict::Usable) {
        return {Prepared::Refused, verdict.reason};
    }
    const auto locked = file.lock(kLockWait);
    if (locked.result == LockResult::Refused) {
        return {Prepared::Refused, locked.reason};
    }
    // Each is said once in the game's run, with the outcome of the write.
    QString remarks;
    if (locked.result == LockResult::NotHad && !lockReported_) {
        lockReported_ = true;
        remarks = QStringLiteral("it was not locked, so it went without the lock (%1)")
                      .arg(locked.reason);
    }
    if (const files::Done swept = file.removeLeftovers();
        swept.result != Did::Done && !leftoverReported_) {
        leftoverReported_ = true;
        remarks = files::bothSaid(
            remarks, QStringLiteral("what an interrupted write left beside it could not be "
                                    "removed: %1")
                         .arg(swept.reason));
    }
    return {Prepared::Ready, remarks};
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

void SettingsFile::reportWritten(const QString& remarks) {
    if (!remarks.isEmpty()) {
        report(QStringLiteral("quorvel: the settings file %1 was written, but %2")
                   .arg(path(), remarks));
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
