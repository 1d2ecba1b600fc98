#pragma once
// The settings as the window sees them: read at start-up, written whole on
// the events that store something. Everything about the file itself (where it
// is, its format, what happens when it cannot be used, other running games
// that share it) lives below this.

#include <QPointF>

#include "settings/settings_file.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored settings; a missing file reads as the defaults with the
    // window centred at `centred`, and is made by the start-up write that
    // follows this read.
    virtual StoredSettings read(QPointF centred) = 0;
    // Writes the game's settings. Returns the best-times table the game is to
    // keep from now on: its own records together with those that another running
    // game stored meanwhile.
    virtual BestTimes write(const StoredSettings& settings) = 0;
    // The best-times table as it stands at this moment, for the record check and
    // the table's dialog: the game's own changes with what the file holds now.
    virtual BestTimes bestTimesNow(const BestTimes& mine) = 0;
};

// The store kept in winmine.ini. Other running games may write the same file:
// each write keeps what they changed, see mergeSettings.
class FileSettingsStore final : public SettingsStore {
  public:
    explicit FileSettingsStore(SettingsFile file) : file_(std::move(file)) {}

    StoredSettings read(QPointF centred) override;
    BestTimes write(const StoredSettings& settings) override;
    BestTimes bestTimesNow(const BestTimes& mine) override;

  private:
    // Returns the game's table merged with the file's, and moves base_ on: the
    // rows the game has not changed since the last read or write are taken
    // from the file into base_, as they are in step with it again.
    BestTimes mergeAndFollowFile(const BestTimes& mine, const BestTimes& now);

    SettingsFile file_;
    // The merge's baseline: the game's settings as of its last read or
    // successful write, so that what the game has changed since is what differs
    // from this. One of three copies, each for its own question: the session
    // (shell/settings_session.h) holds what the game wants stored now, and the
    // file (SettingsFile::lastSeen_) what the file last held, which a report
    // of a write given up compares against.
    StoredSettings base_;
};

}  // namespace quorvel::settings
