#pragma once
// The board as the window shows it: the board picture that the game's cells are
// drawn on, the surface that shows it, and what was drawn since the last repaint.

#include <QRegion>
#include <chrono>
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
    // which the player sees a region open, and the golden master holds it. Only
    // the tests watch (tests/support/window_access.h).
    using DrawWatcher = std::function<void(core::CellPos, core::CellLook, int minesAround)>;

    void drawCell(core::CellPos cell, core::CellLook look, core::FaceSet faceSet);
    void drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet faceSet);
    // A new board of this side, every cell raised, the surface sized to it at
    // `at` in its parent.
    void reset(int side, QPoint at);
    // Shows what was drawn since the last repaint at once if the first of it has
    // waited a frame: a move that takes longer than a frame shows while it
    // spreads, and one that takes less reaches the screen in one go, at its end.
    void showNow();
    // Hands what was drawn since the last repaint to the next paint, at the end of
    // a move. Either way the drawing travels as a few rectangles (uploadRegion).
    void scheduleRepaint();

    // The time a frame is on a 60 Hz screen.
    static constexpr std::chrono::microseconds kFrame{16'667};
    // The clock that measures how long drawing has waited: the steady clock, or
    // one a test drives.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    PictureSurface& surface() const { return surface_; }

  private:
    friend struct WindowAccess;

    // What the board surface shows.
    const render::Picture& picture() const;
    // The board picture to draw cells on: a copy of the shared new-board picture,
    // made when the board's first cell is drawn.
    render::Picture& toDraw();
    void markDirty(core::CellPos cell);

    PictureSurface& surface_;
    render::Picture picture_;
    QRegion dirty_;
    // When the first cell of dirty_ was drawn.
    std::chrono::steady_clock::time_point dirtySince_;
    Clock clock_ = [] { return std::chrono::steady_clock::now(); };
    DrawWatcher watcher_;
};

}  // namespace quorvel::shell
