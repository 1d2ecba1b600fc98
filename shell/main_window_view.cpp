#include "shell/main_window_view.h"

#include "render/cell_faces.h"
#include "render/face_pictures.h"
#include "render/glyphs.h"
#include "settings/game_dialogs.h"
#include "settings/settings_store.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

void MainWindow::View::DrawP2(int x, int y) {
    render::DrawP2(w_.field_, x, y);
    w_.markFieldDirty(x, y);
}

void MainWindow::View::DrawPD(int& x, int y) {
    render::DrawPD(w_.field_, x, y);
    w_.markFieldDirty(x, y);
}

void MainWindow::View::DrawP3(int& x, int y) {
    render::DrawP3(w_.field_, x, y);
    w_.markFieldDirty(x, y);
}

void MainWindow::View::DrawNu(int x, int y, int n) {
    render::DrawNu(w_.field_, x, y, n, w_.game_.FaceSet());
    w_.markFieldDirty(x, y);
}

void MainWindow::View::DrawMin(int& x, int y, core::MineKind kind) {
    render::DrawMin(w_.field_, x, y, kind);
    w_.markFieldDirty(x, y);
    w_.refreshField();
}

void MainWindow::View::DrawFlg(int x, int y) {
    render::DrawFlg(w_.field_, x, y, w_.game_.FaceSet());
    w_.markFieldDirty(x, y);
}

void MainWindow::View::DrawCrs(int& x, int y) {
    render::DrawCrs(w_.field_, x, y, w_.game_.FaceSet());
    w_.markFieldDirty(x, y);
}

void MainWindow::View::showFace(core::Face face, int faceSet) {
    w_.face_button_->setPicture(&render::facePicture(face, faceSet));
}

void MainWindow::View::showCounter(int leftGlyph, int rightGlyph) {
    w_.panel_->setPlace(PanelPlace::CounterTens, leftGlyph);
    w_.panel_->setPlace(PanelPlace::CounterOnes, rightGlyph);
}

void MainWindow::View::showClock(int seconds) {
    w_.panel_->setPlace(PanelPlace::ClockHundreds, seconds / 100);
    w_.panel_->setPlace(PanelPlace::ClockTens, seconds / 10 % 10);
    w_.panel_->setPlace(PanelPlace::ClockOnes, seconds % 10);
}

void MainWindow::View::setTimerEnabled(bool enabled) {
    if (enabled) {
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
