#pragma once
// The main window as the game sees it: drawing on the board picture, the panel,
// the timer, the menus' marks and the record dialogs.

#include "core/game_view.h"
#include "shell/main_window.h"

namespace quorvel::shell {

class MainWindow::View final : public core::GameView {
  public:
    explicit View(MainWindow& window) : w_(window) {}

    // The drawing procedures change x exactly as GameView says; every one marks
    // the cell it drew for the next repaint.
    void DrawP2(int x, int y) override;
    void DrawPD(int& x, int y) override;
    void DrawP3(int& x, int y) override;
    void DrawNu(int x, int y, int n) override;
    void DrawMin(int& x, int y, core::MineKind kind) override;
    void DrawFlg(int x, int y) override;
    void DrawCrs(int& x, int y) override;
    void refreshField() override { w_.refreshField(); }
    void layoutBoard(int side) override { w_.layoutBoard(side); }
    // The game keeps the enabled state and ignores board input while disabled.
    void setFieldEnabled(bool) override {}

    void showFace(core::Face face, int faceSet) override;
    void showCounter(int leftGlyph, int rightGlyph) override;
    void showClock(int seconds) override;
    void setTimerEnabled(bool enabled) override;

    bool isMinimized() const override { return w_.isMinimized(); }
    void minimize() override { w_.showMinimized(); }
    void showLevelMark(core::Level) override { w_.syncMarks(); }
    void showFaceMark(int) override { w_.syncMarks(); }

    void setRecordPrompt(core::Level level) override;
    double bestTime(core::Level level) override;
    void prepareNameEntry(core::Level level) override;
    void enterRecord(core::Level level, int seconds) override;
    void WriteK() override { w_.writeSettings(); }

  private:
    MainWindow& w_;
};

}  // namespace quorvel::shell
