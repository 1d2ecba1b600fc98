#pragma once
// The window as the game sees it: the board, the panel, the clock and the menus'
// marks.

#include <QTimer>

#include "core/game_view.h"
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
    // Marks this level's item, and no other level item.
    virtual void markLevel(core::Level level) = 0;
    // Marks this face set's item, and no other face-set item.
    virtual void markFaceSet(core::FaceSet faceSet) = 0;
};

// What the view shows the game on.
struct ViewParts {
    QWidget& window;
    WindowFrame& frame;
    BoardCanvas& board;
    Panel& panel;
    PictureSurface& faceButton;
    QTimer& clock;
};

class WindowView final : public core::GameView {
  public:
    explicit WindowView(ViewParts parts) : w_(parts) {}

    // From now on `accessible` is told whenever the game has shown something new.
    // It reads the game, which is made after the view.
    void reportTo(GameAccessibility& accessible) { accessible_ = &accessible; }

    void drawCell(core::CellPos cell, core::CellLook look, core::FaceSet faceSet) override;
    void drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet faceSet) override;
    void showBoard() override { w_.board.showNow(); }
    void layoutBoard(int side) override { w_.frame.layoutBoard(side); }

    void showFace(core::Face face, core::FaceSet faceSet) override;
    void showCounter(int minesLeft) override;
    void showClock(int seconds) override;
    void runClock(bool running) override;

    bool isMinimized() const override;
    void showLevelMark(core::Level level) override { w_.frame.markLevel(level); }
    void showFaceMark(core::FaceSet faceSet) override { w_.frame.markFaceSet(faceSet); }

  private:
    void tellAccessible() const {
        if (accessible_ != nullptr) {
            accessible_->tell();
        }
    }

    ViewParts w_;
    GameAccessibility* accessible_ = nullptr;
};

}  // namespace quorvel::shell
