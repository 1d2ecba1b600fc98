#include "shell/settings_session.h"

#include <QEvent>
#include <QWidget>
#include <cstdlib>
#include <utility>

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

// Calls `known` once, at the first event after which the window has a frame
// around it; a window without one (Wayland, offscreen) never calls it.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget& window, std::function<void()> known)
        : window_(window), known_(std::move(known)) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (known_ && watched == &window_ &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            window_.frameGeometry().size() != window_.size()) {
            std::exchange(known_, nullptr)();
        }
        return false;
    }

  private:
    QWidget& window_;
    std::function<void()> known_;
};

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
    frameWatch_ = std::make_unique<FrameWatch>(window_, [this] { placeFramed(); });
}

void SettingsSession::placeFramed() {
    if (placement_) {
        if (const auto framed =
                shell::placeFramed(*placement_, window_.frameGeometry().size(), currentScreens())) {
            placement_ = framed;
            window_.move(*framed->at);
        }
    }
}

settings::StoredSettings SettingsSession::current() const {
    settings::StoredSettings settings;
    settings.level = game_.levelMark().value_or(core::Level::Beginner);
    settings.side = game_.side();
    settings.mines = game_.mines();
    settings.faceSet = game_.faceMark().value_or(core::FaceSet::Yellow);
    settings.position = positionToStore(placement_, window_.pos());
    settings.bestTimes = bestTimes_;
    return settings;
}

void SettingsSession::save() {
    // A logout or kill (quitOnSignals) can reach quit() inside the event loop of
    // the best-times table that a record shows: the quit has made the last write,
    // and the record's own write after the table makes none.
    if (!quitting_) {
        bestTimes_ = store_.write(current());
    }
}

bool SettingsSession::quit() {
    if (quitting_) {
        return false;
    }
    quitting_ = true;
    if (const auto record = std::exchange(pendingRecord_, std::nullopt)) {
        bestTimes_.setRecord(record->level, record->seconds, dialogs_.typedName());
    }
    bestTimes_ = store_.write(current());
    return true;
}

void SettingsSession::recordWin(const core::Win& win) {
    // Another running game may have stored a better time meanwhile: the check is
    // against the file, a custom board's too (docs/kept-behaviour.md).
    bestTimes_ = store_.bestTimesNow(bestTimes_);
    dialogs_.prepareNameEntry(bestTimes_.name(win.level));
    if (!win.setsRecord(bestTimes_.best(win.level))) {
        return;
    }
    pendingRecord_ = win;
    const QString name = dialogs_.askName(win.level);
    // A logout or kill (quitOnSignals) can reach quit() inside the name dialog's
    // event loop: the quit has stored the record with the name typed so far and
    // made the last write.
    if (!std::exchange(pendingRecord_, std::nullopt)) {
        return;
    }
    bestTimes_.setRecord(win.level, win.seconds, name);
    dialogs_.showBestTimes(bestTimes_, [this] { save(); });
    save();
}

void SettingsSession::showBestTimes() {
    bestTimes_ = store_.bestTimesNow(bestTimes_);
    dialogs_.showBestTimes(bestTimes_, [this] { save(); });
}

void SettingsSession::askCustomBoard(const std::function<void(int, int)>& confirm) {
    dialogs_.askCustomBoard(game_.side(), game_.mines(), confirm);
}

core::MoveOutcome startStored(core::Game& game, const settings::StoredSettings& stored) {
    if (stored.level == core::Level::Custom) {
        game.chooseCustomBoard(stored.side, stored.mines);
    } else {
        game.chooseLevel(stored.level);
    }
    return game.chooseFaceSet(stored.faceSet);
}

}  // namespace quorvel::shell
