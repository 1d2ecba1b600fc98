#include "shell/main_window_view.h"

#include "render/cell_looks.h"
#include "render/face_pictures.h"
#include "settings/game_dialogs.h"
#include "settings/settings_store.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

void MainWindow::View::drawCell(core::CellPos cell, core::CellLook look) {
    render::drawCell(w_.fieldToDraw(), cell, look, w_.game_.faceSet());
    w_.markCellDirty(cell);
}

void MainWindow::View::drawOpenedCell(core::CellPos cell, int minesAround) {
    render::drawOpenedCell(w_.fieldToDraw(), cell, minesAround, w_.game_.faceSet());
    w_.markCellDirty(cell);
}

void MainWindow::View::showFace(core::Face face, int faceSet) {
    w_.face_button_->setPicture(&render::facePicture(face, faceSet));
}

void MainWindow::View::showCounter(int minesLeft) {
    const core::CounterGlyphs glyphs = core::counterGlyphs(minesLeft);
    w_.panel_->setPlace(PanelPlace::CounterTens, glyphs.left);
    w_.panel_->setPlace(PanelPlace::CounterOnes, glyphs.right);
}

void MainWindow::View::showClock(int seconds) {
    w_.panel_->setPlace(PanelPlace::ClockHundreds, seconds / 100);
    w_.panel_->setPlace(PanelPlace::ClockTens, seconds / 10 % 10);
    w_.panel_->setPlace(PanelPlace::ClockOnes, seconds % 10);
}

void MainWindow::View::runClock(bool running) {
    if (running) {
        w_.timer_.start();
    } else {
        w_.timer_.stop();
    }
}

void MainWindow::View::setRecordPrompt(core::Level level) {
    if (w_.dialogs_ != nullptr) {
        w_.dialogs_->setRecordPrompt(level);
    }
}

double MainWindow::View::bestTime(core::Level level) {
    // Without the settings no time counts as a record. Another running game may
    // have stored a better time meanwhile: the check is against the file.
    if (w_.store_ == nullptr) {
        return 0.0;
    }
    w_.bestTimes_ = w_.store_->bestTimesNow(w_.bestTimes_);
    return w_.bestTimes_.best(level);
}

void MainWindow::View::prepareNameEntry(core::Level level) {
    if (w_.dialogs_ != nullptr) {
        w_.dialogs_->prepareNameEntry(w_.bestTimes_.name(level));
    }
}

void MainWindow::View::enterRecord(core::Level level, int seconds) {
    // The dialogs run their own event loop: what the win drew (the flags on the
    // mines) must be on the screen behind them.
    w_.scheduleFieldRepaint();
    if (w_.dialogs_ != nullptr && !w_.quitting_) {
        w_.dialogs_->enterRecord(w_.bestTimes_, level, seconds, [this] { w_.writeSettings(); });
    }
}

}  // namespace quorvel::shell
