#pragma once
// The window as the game sees it: the board, the panel, the clock and the menus'
// marks.

#include <QTimer>

#include "core/game.h"
#include "shell/accessibility.h"
#include "shell/board_canvas.h"

class QWidget;

namespace quorvel::shell {

class Panel;
class PictureSurface;

// What only the window itself can do for the view.
class WindowFrame {
  public:
    virtual ~WindowFrame() = default;
    // Lays the window out for a board of this side, the board's cells raised.
    virtual void layoutBoard(int side) = 0;
    // Puts the menus' check marks where the game has them.
    virtual void showMarks() = 0;
};

struct WindowParts {
    QWidget& window;
    WindowFrame& frame;
    BoardCanvas& board;
    Panel& panel;
    PictureSurface& faceButton;
    QTimer& clock;
    // Whose face set the board's glyphs are drawn in.
    const core::Game& game;
};

class WindowView final : public core::GameView {
  public:
    explicit WindowView(WindowParts parts);

    void drawCell(core::CellPos cell, core::CellLook look) override;
    void drawOpenedCell(core::CellPos cell, int minesAround) override;
    void showBoard() override { w_.board.showNow(); }
    void layoutBoard(int side) override { w_.frame.layoutBoard(side); }

    void showFace(core::Face face, core::FaceSet faceSet) override;
    void showCounter(int minesLeft) override;
    void showClock(int seconds) override;
    void runClock(bool running) override;

    bool isMinimized() const override;
    void showLevelMark(core::Level) override { w_.frame.showMarks(); }
    void showFaceMark(core::FaceSet) override { w_.frame.showMarks(); }

  private:
    WindowParts w_;
    // Tells a screen reader what the game has just shown.
    GameAccessibility accessible_;
};

}  // namespace quorvel::shell
