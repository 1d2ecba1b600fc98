#pragma once
// The board as the window shows it: the board picture that the game's cells are
// drawn on, the surface that shows it, and what was drawn since the last repaint.

#include <QRegion>
#include <functional>

#include "core/game_view.h"
#include "render/picture.h"

namespace quorvel::shell {

class PictureSurface;

class BoardCanvas {
  public:
    explicit BoardCanvas(PictureSurface& surface) : surface_(surface) {}

    // Told of every cell drawn, in the order drawn: a look with -1 mines, or an
    // opened cell as Sunken with the mines around it. The order is the order in
    // which the player sees a region open, and the golden master holds it.
    using DrawWatcher = std::function<void(core::CellPos, core::CellLook, int minesAround)>;
    void watchDrawing(DrawWatcher watcher) { watcher_ = std::move(watcher); }

    void drawCell(core::CellPos cell, core::CellLook look, core::FaceSet faceSet);
    void drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet faceSet);
    // A new board of this side, every cell raised, the surface sized to it at
    // `at` in its parent.
    void reset(int side, QPoint at);
    // Shows what was drawn since the last repaint at once.
    void showNow();
    // Hands what was drawn since the last repaint to the next paint.
    void scheduleRepaint();

    // What the board surface shows.
    const render::Picture& picture() const;
    PictureSurface& surface() const { return surface_; }

  private:
    // The board picture to draw cells on: a copy of the shared new-board picture,
    // made when the board's first cell is drawn.
    render::Picture& toDraw();
    void markDirty(core::CellPos cell);

    PictureSurface& surface_;
    render::Picture picture_;
    QRegion dirty_;
    DrawWatcher watcher_;
};

}  // namespace quorvel::shell
