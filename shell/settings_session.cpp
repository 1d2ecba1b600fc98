#include "shell/settings_session.h"

#include <QWidget>

#include "shell/screens.h"

namespace quorvel::shell {

SettingsSession::SettingsSession(settings::SettingsStore& store, dialogs::GameDialogs& dialogs,
                                 const core::Game& game, QWidget& window)
    : store_(store), dialogs_(dialogs), game_(game), window_(window) {
    dialogs_.setDialogParent(&window);
}

void SettingsSession::restore(const std::function<void(const settings::StoredSettings&)>& start) {
    const Screens screens = currentScreens();
    // The window has the beginner board's size now, the board a new settings file
    // opens with: centred at that size (its frame, if any, is not known before it
    // is shown).
    const settings::StoredSettings stored =
        store_.read(centredOn(screens.primary, window_.frameGeometry().size()));
    bestTimes_ = stored.bestTimes;
    const auto place = [&] {
        placement_ = placeWindow(stored.position, window_.frameGeometry().size(), screens);
        if (placement_->at) {
            window_.move(*placement_->at);
        }
    };
    // Placed before the game starts, so that a write while it starts keeps the
    // position read; then again at the size the stored board gave the window.
    place();
    start(stored);
    place();
}

settings::StoredSettings SettingsSession::current() const {
    settings::StoredSettings settings;
    settings.level = game_.levelMark().value_or(core::Level::Beginner);
    settings.side = game_.side();
    settings.mines = game_.mines();
    settings.faceSet = game_.faceMark().value_or(0);
    settings.position = positionToStore(placement_, window_.pos());
    settings.bestTimes = bestTimes_;
    return settings;
}

void SettingsSession::save() {
    // After the write on the way out the program is ending: a move that was
    // interrupted by the quit (a record dialog closed under it) writes nothing more.
    if (!quitting_) {
        bestTimes_ = store_.write(current());
    }
}

bool SettingsSession::quit() {
    if (quitting_) {
        return false;
    }
    quitting_ = true;
    dialogs_.endNameEntry();
    bestTimes_ = store_.write(current());
    return true;
}

void SettingsSession::setRecordPrompt(core::Level level) {
    dialogs_.setRecordPrompt(level);
}

double SettingsSession::bestTime(core::Level level) {
    // Another running game may have stored a better time meanwhile: the check is
    // against the file.
    bestTimes_ = store_.bestTimesNow(bestTimes_);
    return bestTimes_.best(level);
}

void SettingsSession::prepareNameEntry(core::Level level) {
    dialogs_.prepareNameEntry(bestTimes_.name(level));
}

void SettingsSession::enterRecord(core::Level level, int seconds) {
    if (!quitting_) {
        dialogs_.enterRecord(bestTimes_, level, seconds, [this] { save(); });
    }
}

void SettingsSession::showBestTimes() {
    bestTimes_ = store_.bestTimesNow(bestTimes_);
    dialogs_.showBestTimes(bestTimes_, [this] { save(); });
}

void SettingsSession::askCustomBoard(const std::function<void(int, int)>& confirm) {
    dialogs_.askCustomBoard(game_.side(), game_.mines(), confirm);
}

void startStored(core::Game& game, const settings::StoredSettings& stored) {
    if (stored.level == core::Level::Custom) {
        game.chooseCustomBoard(stored.side, stored.mines);
    } else {
        game.chooseLevel(stored.level);
    }
    game.chooseFaceSet(stored.faceSet);
}

}  // namespace quorvel::shell
