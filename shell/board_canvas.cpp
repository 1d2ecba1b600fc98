#include "shell/board_canvas.h"

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "shell/surfaces.h"
#include "shell/upload_region.h"

namespace quorvel::shell {

const render::Picture& BoardCanvas::picture() const {
    const render::Picture* shown = surface_.picture();
    return shown != nullptr ? *shown : picture_;
}

render::Picture& BoardCanvas::toDraw() {
    const render::Picture* shown = surface_.picture();
    if (shown != nullptr && shown != &picture_) {
        picture_ = *shown;
        surface_.showCopy(&picture_);
    }
    return picture_;
}

void BoardCanvas::drawCell(core::CellPos cell, core::CellLook look, core::FaceSet faceSet) {
    render::drawCell(toDraw(), cell, look, faceSet);
    markDirty(cell);
    if (watcher_) {
        watcher_(cell, look, -1);
    }
}

void BoardCanvas::drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet faceSet) {
    render::drawOpenedCell(toDraw(), cell, minesAround, faceSet);
    markDirty(cell);
    if (watcher_) {
        watcher_(cell, core::CellLook::Sunken, minesAround);
    }
}

void BoardCanvas::markDirty(core::CellPos cell) {
    // The largest glyph (the dark ground of a cross) reaches from 9 pixels left of
    // the outline origin to 15 right of it, over the cell's 16 rows.
    const render::PixelPos origin = render::cellOrigin(cell);
    if (dirty_.isEmpty()) {
        dirtySince_ = clock_();
    }
    dirty_ += QRect(origin.x - 10, origin.y, 27, 16);
}

void BoardCanvas::reset(int side, QPoint at) {
    // Every cell raised: the new board shows the shared picture until a cell is
    // drawn on it.
    dirty_ = QRegion();
    surface_.setGeometry(at.x(), at.y(), core::boardWidth(side), core::boardHeight(side));
    surface_.setPicture(&render::boardPicture(side));
    surface_.update();
}

void BoardCanvas::showNow() {
    // A screen shows no more than a frame at a time: drawing younger than that
    // waits for the next showing or the end of the move.
    if (!dirty_.isEmpty() && clock_() - dirtySince_ >= kFrame) {
        surface_.repaint(uploadRegion(dirty_));
        dirty_ = QRegion();
    }
}

void BoardCanvas::scheduleRepaint() {
    if (!dirty_.isEmpty()) {
        surface_.update(uploadRegion(dirty_));
        dirty_ = QRegion();
    }
}

}  // namespace quorvel::shell
