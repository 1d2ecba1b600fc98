#include "shell/settings_session.h"

#include <QWidget>
#include <cstdlib>

#include "shell/screens.h"

namespace quorvel::shell {

namespace {

// The session of the running window. Qt ends the program through exit() when
// the display goes away (the X server ended, say, at a logout), without
// returning to the event loop; the last write is then made on the way out.
SettingsSession* runningSession = nullptr;

void writeOnExit() {
    if (runningSession != nullptr) {
        runningSession->quit();
    }
}

}  // namespace

SettingsSession::SettingsSession(settings::SettingsStore& store, dialogs::GameDialogs& dialogs,
                                 const core::Game& game, QWidget& window)
    : store_(store), dialogs_(dialogs), game_(game), window_(window) {
    dialogs_.setDialogParent(&window);
    [[maybe_unused]] static const int registered = std::atexit(writeOnExit);
    runningSession = this;
}

SettingsSession::~SettingsSession() {
    if (runningSession == this) {
        runningSession = nullptr;
    }
}

void SettingsSession::restore(const std::function<void(const settings::StoredSettings&)>& start) {
    // Centred from the window's initial size, before any board has laid it out.
    const Screens screens = screensOf(window_);
    const settings::StoredSettings stored = store_.read(screens.centred);
    bestTimes_ = stored.bestTimes;
    const auto place = [&](const Screens& now) {
        placement_ = placeWindow(stored.position, now);
        if (placement_->at) {
            window_.move(*placement_->at);
        }
    };
    place(screens);
    start(stored);
    // Checked again at the size the stored board gave the window.
    place(screensOf(window_));
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
