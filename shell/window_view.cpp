#include "shell/window_view.h"

#include <QWidget>

#include "core/game.h"
#include "render/face_pictures.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

void WindowView::drawCell(core::CellPos cell, core::CellLook look, core::FaceSet faceSet) {
    w_.board.drawCell(cell, look, faceSet);
}

void WindowView::drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet faceSet) {
    w_.board.drawOpenedCell(cell, minesAround, faceSet);
}

void WindowView::showFace(core::Face face, core::FaceSet faceSet) {
    w_.faceButton.setPicture(&render::facePicture(face, faceSet));
    tellAccessible();
}

void WindowView::showCounter(int minesLeft) {
    const core::CounterGlyphs glyphs = core::counterGlyphs(minesLeft);
    w_.panel.setPlace(PanelPlace::CounterTens, glyphs.left);
    w_.panel.setPlace(PanelPlace::CounterOnes, glyphs.right);
    tellAccessible();
}

void WindowView::showClock(int seconds) {
    w_.panel.setPlace(PanelPlace::ClockHundreds, seconds / 100);
    w_.panel.setPlace(PanelPlace::ClockTens, seconds / 10 % 10);
    w_.panel.setPlace(PanelPlace::ClockOnes, seconds % 10);
    tellAccessible();
}

void WindowView::runClock(bool running) {
    if (running) {
        w_.clock.start();
    } else {
        w_.clock.stop();
    }
    // The game calls this as its state changes: started, lost, won.
    tellAccessible();
}

bool WindowView::isMinimized() const {
    return w_.window.isMinimized();
}

}  // namespace quorvel::shell
