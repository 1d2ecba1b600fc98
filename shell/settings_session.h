#pragma once
// The settings of the running game: read at start-up, written on the
// events that store something and on every way out, together with what goes with
// them — the best-times table and its dialogs, the custom board's dialog, and
// where the window was placed for the stored position.

#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

#include "core/game.h"
#include "dialogs/game_dialogs.h"
#include "settings/best_times.h"
#include "settings/settings_store.h"
#include "settings/stored_settings.h"
#include "shell/window_placement.h"

class QObject;
class QWidget;

namespace quorvel::shell {

class SettingsSession {
  public:
    // `game` and `window` are the ones whose settings these are; the session
    // asks them for what it stores. All four must outlive the session.
    // The newest session also makes its last write when the program ends
    // through exit() rather than quit().
    SettingsSession(settings::SettingsStore& store, dialogs::GameDialogs& dialogs,
                    const core::Game& game, QWidget& window);
    ~SettingsSession();
    SettingsSession(const SettingsSession&) = delete;
    SettingsSession& operator=(const SettingsSession&) = delete;

    // Reads the stored settings, places the window for them and has `start` start
    // the game they describe (startStored says how); then places the window again
    // at the size that board gave it.
    void restore(const std::function<void(const settings::StoredSettings&)>& start);
    // Rewrites the settings, unless the program is already on its way out.
    void save();
    // The last write, on every way out: a record whose holder is being typed is
    // kept with the name so far. False when the way out was already taken.
    bool quit();

    // The record check after a won game: a time better than the level's best asks
    // for the holder's name, shows the best-times table and writes the settings.
    void recordWin(const core::Win& win);

    // --- The menu's dialogs.
    void showBestTimes();
    void askCustomBoard(const std::function<void(int side, int mines)>& confirm);

  private:
    settings::StoredSettings current() const;

    settings::SettingsStore& store_;
    dialogs::GameDialogs& dialogs_;
    const core::Game& game_;
    QWidget& window_;
    settings::BestTimes bestTimes_;
    // Once the window manager reports the window's frame: places the window again
    // with it (placeFramed).
    void placeFramed();

    // Where start-up put the window for the stored position.
    std::optional<WindowPlacement> placement_;
    // Watches the window until its frame is known.
    std::unique_ptr<QObject> frameWatch_;
    // The record whose holder's name is being asked for.
    std::optional<core::Win> pendingRecord_;
    // Set when quit() starts: the last write has been made or is being made.
    bool quitting_ = false;
};

// Starts what stored settings describe, as the menus would: the level's item (a
// custom board as its dialog would confirm it), then the face set's, whose outcome
// it hands back (start-up always changes the face set, and so writes the file).
core::MoveOutcome startStored(core::Game& game, const settings::StoredSettings& stored);

}  // namespace quorvel::shell
