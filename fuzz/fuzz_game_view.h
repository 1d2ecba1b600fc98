#pragma once
// The window as the game fuzzer sees it: a GameView that draws nothing, keeps what
// a real window would show (clock, counter, timer, board enabled, numbers on the
// cells), answers the record check from a table the fuzzer fills, and notes the
// first call that no window could carry out: a drawing that does not land on a
// cell of the board picture laid out last, or a record that beats nothing.

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/game_view.h"
#include "core/geometry.h"

namespace quorvel::fuzz {

// A mine, cross or flag drawn on a cell.
struct Mark {
    enum Kind { HitMine, Mine, Cross, Flag } kind;
    core::CellPos cell;
};

class FuzzGameView final : public core::GameView {
  public:
    // --- What the window shows.
    int laidOutSide = 0;  // side of the last board laid out, 0 before the first
    int layouts = 0;
    bool fieldEnabled = false;
    bool timerEnabled = false;
    bool minimized = false;
    bool counterShown = false;
    core::CounterGlyphs counter{0, 0};
    int clock = -1;
    // Numbers drawn since the last layout, by cell, and the cells numbered since
    // the checker last emptied the list.
    std::map<std::pair<int, int>, int> numbers;
    std::vector<core::CellPos> numbered;
    // Mines, crosses and flags drawn since the checker last emptied the list.
    std::vector<Mark> marks;
    // --- The best-times table, per fixed level (beginner, advanced, expert).
    std::array<double, 3> best{999, 999, 999};
    int records = 0;
    // First call that broke a rule; empty while none did.
    std::string problem;

    void DrawP2(int x, int y) override {
        if (!isNoCell(x, y)) {
            cellAt("DrawP2", x, y);
        }
    }
    void DrawPD(int& x, int y) override {
        if (!isNoCell(x, y)) {
            x -= 1;
            cellAt("DrawPD", x, y);
        }
    }
    void DrawP3(int& x, int y) override {
        if (!isNoCell(x, y)) {
            x -= 2;
            cellAt("DrawP3", x, y);
        }
    }
    void DrawNu(int x, int y, int n) override {
        const core::CellPos cell = cellAt("DrawNu", x, y);
        if (!numbers.emplace(std::pair{cell.c, cell.r}, n).second) {
            note("DrawNu: a second number on the cell at " + point(x, y));
        }
        numbered.push_back(cell);
    }
    void DrawMin(int& x, int y, core::MineKind kind) override {
        x -= 1;
        const core::CellPos cell = cellAt("DrawMin", x, y);
        if (kind != core::MineKind::Revealed && kind != core::MineKind::Hit) {
            note("DrawMin: unknown kind " + std::to_string(static_cast<int>(kind)));
        }
        marks.push_back({kind == core::MineKind::Hit ? Mark::HitMine : Mark::Mine, cell});
    }
    void DrawFlg(int x, int y) override { marks.push_back({Mark::Flag, cellAt("DrawFlg", x, y)}); }
    void DrawCrs(int& x, int y) override {
        x += 1 - 2 - 1;
        marks.push_back({Mark::Cross, cellAt("DrawCrs", x, y)});
    }
    void refreshField() override {}
    void layoutBoard(int side) override {
        laidOutSide = side;
        ++layouts;
        numbers.clear();
    }
    void setFieldEnabled(bool enabled) override { fieldEnabled = enabled; }

    void showFace(core::Face, int) override {}
    void showCounter(int left, int right) override {
        counterShown = true;
        counter = {left, right};
    }
    void showClock(int seconds) override { clock = seconds; }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }

    bool isMinimized() const override { return minimized; }
    void minimize() override { minimized = true; }
    void showLevelMark(core::Level) override {}
    void showFaceMark(int) override {}

    void setRecordPrompt(core::Level) override {}
    double bestTime(core::Level level) override {
        answered = best[tableRow(level)];
        return answered;
    }
    void prepareNameEntry(core::Level) override {}
    void enterRecord(core::Level level, int seconds) override {
        if (level == core::Level::Custom || !(seconds < answered)) {
            note("enterRecord: " + std::to_string(seconds) + " s beats no best time");
        }
        best[tableRow(level)] = seconds;
        ++records;
    }
    void WriteK() override {}

  private:
    static bool isNoCell(int x, int y) { return x == core::kNoCell && y == core::kNoCell; }
    static std::string point(int x, int y) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
    static std::size_t tableRow(core::Level level) {
        return level == core::Level::Advanced ? 1 : level == core::Level::Expert ? 2 : 0;
    }
    void note(const std::string& what) {
        if (problem.empty()) {
            problem = what;
        }
    }

    // The cell whose outline origin (x, y) is, when that cell is on the board laid
    // out last and the hexagon drawn from the origin (8 pixels left of it to 15
    // right, 15 down) lies inside that board's picture; otherwise notes the call.
    core::CellPos cellAt(const char* call, int x, int y) {
        const int c = (x - core::originX(0)) / 17;
        const int r = (y - core::cellY(0)) / 8;
        const bool onCell = laidOutSide != 0 && core::originX(c) == x && core::cellY(r) == y &&
                            core::isCell(laidOutSide, c, r);
        const bool inside = laidOutSide != 0 && x - 8 >= 0 && y >= 0 &&
                            x + 15 < core::boardWidth(laidOutSide) &&
                            y + 15 < core::boardHeight(laidOutSide);
        if (!onCell || !inside) {
            note(std::string(call) + " at " + point(x, y) + " is on no cell of the side-" +
                 std::to_string(laidOutSide) + " board picture");
            return {-1, -1};
        }
        return {c, r};
    }

    double answered = 0;
};

}  // namespace quorvel::fuzz
