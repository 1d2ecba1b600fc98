#pragma once
// The settings of the running game: read at start-up, written on the events
// that store something and on the way out. The session is handed what it
// stores: the board and the face set with the moves that choose them, the
// position by the window's placement, the best times by the writes and the
// records (records.h). It reads nothing back from the game.

#include <functional>

#include "core/game.h"
#include "settings/best_times.h"
#include "settings/settings_store.h"
#include "settings/stored_settings.h"
#include "shell/placed_window.h"

namespace quorvel::shell {

class SettingsSession {
  public:
    // Both must outlive the session.
    SettingsSession(settings::SettingsStore& store, PlacedWindow& window)
        : store_(store), window_(window) {}
    SettingsSession(const SettingsSession&) = delete;
    SettingsSession& operator=(const SettingsSession&) = delete;

    // Reads the stored settings, places the window for them and has `start` start
    // the game they describe (startStored says how); then places the window again
    // at the size that board gave it.
    void restore(const std::function<void(const settings::StoredSettings&)>& start);

    // A board chosen: stored by the next write (choosing a board writes nothing).
    void boardChosen(const core::BoardChoice& board);
    // A face set chosen: stored and written at once.
    void faceSetChosen(core::FaceSet faceSet);
    // Rewrites the settings, unless the last write has been made.
    void save();
    // The last write, made once, on the way out (last_write.h). False when it was
    // made already.
    bool writeLast();
    bool lastWriteMade() const { return lastWriteMade_; }

    // The best-times table of this game, the one every write stores.
    settings::BestTimes& bestTimes() { return settings_.bestTimes; }
    // The same table after taking in what the file holds now: another running
    // game may have stored a record meanwhile.
    settings::BestTimes& bestTimesNow();

  private:
    // What a write stores now.
    settings::StoredSettings current() const;

    settings::SettingsStore& store_;
    PlacedWindow& window_;
    // This game's own copy of what it stores: the board and face set as its moves
    // chose them and its best times, the position left to the placement. It is
    // what the next write hands the store. It exists beside the file because the
    // file is shared: another running game may change it at any time, and the
    // store (settings_store.h) keeps its own copy only to tell this game's
    // changes from those (mergeSettings).
    settings::StoredSettings settings_;
    // Set when the last write starts: later events write nothing.
    bool lastWriteMade_ = false;
};

// Starts what stored settings describe, as the menus would: the level's item (a
// custom board as its dialog would confirm it), then the face set's; hands back
// both choices. Start-up always chooses a face set, and so writes the file:
// the game starts with no face set marked (docs/kept-behaviour.md).
core::MoveOutcome startStored(core::Game& game, const settings::StoredSettings& stored);

}  // namespace quorvel::shell
