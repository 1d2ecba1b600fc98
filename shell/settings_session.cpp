#include "shell/settings_session.h"

#include "shell/screens.h"

namespace quorvel::shell {

void SettingsSession::restore(const std::function<void(const settings::StoredSettings&)>& start) {
    const Screens screens = currentScreens();
    // The window has the beginner board's size now, the board a new settings file
    // opens with.
    const settings::StoredSettings stored = store_.read(window_.centred(screens));
    settings_.bestTimes = stored.bestTimes;
    // Placed before the game starts, so that a write while it starts keeps the
    // position read; then again at the size the stored board gave the window.
    window_.place(stored.position, screens);
    start(stored);
    window_.place(stored.position, screens);
    window_.placeAgainWhenFramed();
}

void SettingsSession::boardChosen(const core::BoardChoice& board) {
    settings_.level = board.level;
    settings_.side = board.side;
    settings_.mines = board.mines;
}

void SettingsSession::faceSetChosen(core::FaceSet faceSet) {
    settings_.faceSet = faceSet;
    save();
}

settings::StoredSettings SettingsSession::current() const {
    settings::StoredSettings now = settings_;
    now.position = window_.toStore();
    return now;
}

void SettingsSession::save() {
    // A logout or kill (quitOnSignals) can reach the last write inside the event
    // loop of the best-times table that a record shows: the last write has been
    // made, and the record's own write after the table makes none.
    if (!lastWriteMade_) {
        settings_.bestTimes = store_.write(current());
    }
}

bool SettingsSession::writeLast() {
    if (lastWriteMade_) {
        return false;
    }
    lastWriteMade_ = true;
    settings_.bestTimes = store_.write(current());
    return true;
}

settings::BestTimes& SettingsSession::bestTimesNow() {
    settings_.bestTimes = store_.bestTimesNow(settings_.bestTimes);
    return settings_.bestTimes;
}

core::MoveOutcome startStored(core::Game& game, const settings::StoredSettings& stored) {
    core::MoveOutcome outcome = stored.level == core::Level::Custom
                                    ? game.chooseCustomBoard(stored.side, stored.mines)
                                    : game.chooseLevel(stored.level);
    outcome.faceSetChosen = game.chooseFaceSet(stored.faceSet).faceSetChosen;
    return outcome;
}

}  // namespace quorvel::shell
