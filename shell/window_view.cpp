#include "shell/window_view.h"

#include <QWidget>

#include "render/face_pictures.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

WindowView::WindowView(WindowParts parts)
    : w_(parts), accessible_(parts.game, parts.panel, parts.faceButton, parts.board.surface()) {}

void WindowView::drawCell(core::CellPos cell, core::CellLook look) {
    w_.board.drawCell(cell, look, w_.game.faceSet());
}

void WindowView::drawOpenedCell(core::CellPos cell, int minesAround) {
    w_.board.drawOpenedCell(cell, minesAround, w_.game.faceSet());
}

void WindowView::showFace(core::Face face, core::FaceSet faceSet) {
    w_.faceButton.setPicture(&render::facePicture(face, faceSet));
    accessible_.tell();
}

void WindowView::showCounter(int minesLeft) {
    const core::CounterGlyphs glyphs = core::counterGlyphs(minesLeft);
    w_.panel.setPlace(PanelPlace::CounterTens, glyphs.left);
    w_.panel.setPlace(PanelPlace::CounterOnes, glyphs.right);
    accessible_.tell();
}

void WindowView::showClock(int seconds) {
    w_.panel.setPlace(PanelPlace::ClockHundreds, seconds / 100);
    w_.panel.setPlace(PanelPlace::ClockTens, seconds / 10 % 10);
    w_.panel.setPlace(PanelPlace::ClockOnes, seconds % 10);
    accessible_.tell();
}

void WindowView::runClock(bool running) {
    if (running) {
        w_.clock.start();
    } else {
        w_.clock.stop();
    }
    // The game calls this as its state changes: started, lost, won.
    accessible_.tell();
}

bool WindowView::isMinimized() const {
    return w_.window.isMinimized();
}

}  // namespace quorvel::shell
