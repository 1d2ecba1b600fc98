#pragma once
// The main window as the game sees it: drawing on the board picture, the panel,
// the timer, the menus' marks and the record dialogs.

#include "core/game_view.h"
#include "shell/main_window.h"

namespace quorvel::shell {

class MainWindow::View final : public core::GameView {
  public:
    explicit View(MainWindow& window) : w_(window) {}

    // Every cell drawn is marked for the next repaint of the board.
    void drawCell(core::CellPos cell, core::CellLook look) override;
    void drawOpenedCell(core::CellPos cell, int minesAround) override;
    void showBoard() override { w_.refreshField(); }
    void layoutBoard(int side) override { w_.layoutBoard(side); }

    void showFace(core::Face face, int faceSet) override;
    void showCounter(int minesLeft) override;
    void showClock(int seconds) override;
    void runClock(bool running) override;

    bool isMinimized() const override { return w_.isMinimized(); }
    void minimize() override { w_.showMinimized(); }
    void showLevelMark(core::Level) override { w_.syncMarks(); }
    void showFaceMark(int) override { w_.syncMarks(); }

    void setRecordPrompt(core::Level level) override;
    double bestTime(core::Level level) override;
    void prepareNameEntry(core::Level level) override;
    void enterRecord(core::Level level, int seconds) override;
    void saveSettings() override { w_.writeSettings(); }

  private:
    MainWindow& w_;
};

}  // namespace quorvel::shell
