#pragma once
// winmine.ini on disk. A file that cannot be created, read or written never
// stops the game: the game goes on with defaults, an existing file that could
// not be read is left as it is, and the first failure is reported once on
// standard error with the path and the reason. Only a regular file (through
// symlinks) of at most kMaxFileBytes is read or replaced, a rewrite keeps its
// owner, group, mode, ACL and extended attributes where the process may set
// them, and running games write it in turn.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <QByteArray>
#include <QList>
#include <QString>

#include "files/regular_file.h"
#include "settings/ini_format.h"

namespace quorvel::settings {

class SettingsFile {
  public:
    // Gets one line of text for each failure that is reported.
    using Reporter = std::function<void(const QString& message)>;

    // A larger file is never read nor replaced. Far above any real settings
    // file (ours is 13 short lines), and low enough that reading it costs little.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    // How long a write waits for another game's write to end, or for a lock
    // file that it cannot open, before it goes ahead without the lock.
    static constexpr std::chrono::milliseconds kLockWait{1000};

    // The file at path (the system's bytes, or a name that Qt encodes); failures
    // go to report, or to standard error without one.
    explicit SettingsFile(QByteArray path, Reporter report = {});
    explicit SettingsFile(const QString& path, Reporter report = {});
    // The file at path whose folder has been resolved already (resolveFolder,
    // for the start-up fence): the first read starts from that folder instead
    // of resolving the path again. Without a folder, as the constructor above.
    SettingsFile(QByteArray path, std::unique_ptr<files::FileAtPath> folder, Reporter report = {});

    // winmine.ini in the per-user configuration directory on Linux
    // ($XDG_CONFIG_HOME when it is an absolute path, otherwise .config in the
    // home folder: $HOME when it is absolute, else the one the password database
    // gives), taken from the environment's bytes as they are; Qt's location on
    // macOS; the Windows directory on Windows. Empty when there is no home.
    static QByteArray defaultPath();

    // The path as the reports show it.
    QString path() const;

    // What the start-up read does with a missing file: create it, or leave it
    // to the write that the caller makes next, which then creates it (a fresh
    // home written once, not twice).
    enum class WhenMissing { Create, LeaveToTheWrite };

    // Start-up read. A missing file is first created (with its directory) with
    // defaultSettings at (defaultX, defaultY); so is the target of a dangling
    // symlink. When the file cannot be created or read, the result is what the
    // default content would give, and no other
    // program's line is known. Left to the write, a missing file reads as
    // the default content, and nothing is made.
    ParsedSettings load(double defaultX, double defaultY,
                        WhenMissing whenMissing = WhenMissing::Create);

    // What our section holds now: the file read again (its other programs' lines
    // are kept for the next write). Nothing when it cannot be read.
    std::optional<StoredSettings> reread();

    // What to write of the wanted settings, given what our section holds now
    // (nothing when the file is gone). Asked once for each read of the file.
    using Compose = std::function<StoredSettings(const std::optional<StoredSettings>& now)>;

    // Rewrites the whole file with our section last. The file is read again
    // first, so other programs' lines changed while the game ran are kept, and
    // `compose` makes what is written of our section as it is now (without
    // one, `wanted` is written as it is); a report of what was not stored names
    // what differs in `wanted`.
    // A file that is there but cannot be read again is not written: that could
    // put back a copy older than the file. A path that names anything but a
    // regular file within the bound is never written. Only the file as read is
    // written over; when it changed meanwhile it is read, merged and written
    // once more, and then the write is given up (reported with what it did
    // not store). See FileAtPath::replace for when the file is replaced and
    // when it is written in place. The read, merge and write run under the
    // lock that other games take for theirs, waiting at most kLockWait.
    // Returns whether the file was written.
    bool save(const StoredSettings& wanted, const Compose& compose = {});

    // The folder that holds the file, as a write finds it: made when missing,
    // the path's links followed by the rules of FileAtPath::resolve, and held
    // open in the outcome's value (see FileAtPath::folderDescriptor). Failed,
    // with the reason and no value, when there is no such folder.
    files::Outcome<files::Did, std::unique_ptr<files::FileAtPath>> resolveFolder() const;

  private:
    using FileAtPath = files::FileAtPath;
    using ReadResult = files::ReadResult;
    // Our section as the file holds it now; the other lines kept for the next write.
    files::Outcome<ReadResult, std::optional<StoredSettings>> reread(FileAtPath& file);
    // The file read; the folder resolved before, where there is one, is taken
    // for this first read.
    files::ReadOutcome read();
    // Resolves the path and judges what is at it, for a read: Reached when a
    // read may follow, Failed (with the reason) when the file is refused.
    files::Outcome<files::Reach> find(FileAtPath& file) const;
    files::ReadOutcome create(const QByteArray& initial);
    // Resolves the path, making its folder when missing.
    files::Done reachFolder(FileAtPath& file) const;
    // Refused: the file (or its lock file) may not be used, as a failed read.
    enum class Prepared { Ready, Refused, Failed };
    // Resolves the path (making its folder when missing), judges what is
    // there, takes the lock for one write and sweeps the leftovers; on Ready
    // the reason holds what the write went without, for its report.
    files::Outcome<Prepared> prepare(FileAtPath& file);
    // A write made, with what is worth saying of it (nothing: no report).
    void reportWritten(const QString& remarks);
    void reportUnread(bool readBefore, const QString& reason, const StoredSettings& wanted);
    void reportOnce(const QString& what, const QString& reason);
    // A write given up is reported every time, with what it did not store.
    void reportGivenUp(const QString& reason, const StoredSettings& wanted);
    void report(const QString& message) const;

    QByteArray path_;
    Reporter report_;
    // The folder resolved before the first read, until that read takes it.
    std::unique_ptr<FileAtPath> folder_;
    QList<QByteArray> preservedLines_;
    QByteArray byteOrderMark_;  // kept at the file's start as it was read
    bool haveRead_ = false;
    bool reported_ = false;
    bool lockReported_ = false;
    bool leftoverReported_ = false;
    // Our section as the file last held it, read or written by this game: what
    // a report of a write given up compares against, to name what it did not
    // store. It is not the store's baseline (FileSettingsStore::base_), which
    // keeps the game's own values where a merge wrote another game's, nor what
    // the game wants stored (the session's, shell/settings_session.h).
    StoredSettings lastSeen_;
};

}  // namespace quorvel::settings
