#pragma once
// The window as the game fuzzer sees it: a GameView that draws nothing, keeps what
// a real window would show (clock, counter, whether the clock runs, the numbers and
// the sunken cells on the board), answers the record check from a table the fuzzer
// fills, and notes the first call that no window could carry out: a drawing on a
// cell that is not on the board laid out last, or a record that beats nothing.

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/game_view.h"
#include "core/geometry.h"
#include "core/levels.h"

namespace quorvel::fuzz {

// A mine, cross or flag drawn on a cell.
struct Mark {
    core::CellLook look;  // HitMine, Mine, WrongFlag or Flag
    core::CellPos cell;
};

class FuzzGameView final : public core::GameView {
  public:
    // --- What the window shows.
    int laidOutSide = 0;  // side of the last board laid out, 0 before the first
    int layouts = 0;
    bool clockRunning = false;
    bool minimized = false;
    bool counterShown = false;
    int counter = 0;
    int clock = -1;
    // Numbers drawn since the last layout, by cell, and the cells numbered since
    // the checker last emptied the list.
    std::map<std::pair<int, int>, int> numbers;
    std::vector<core::CellPos> numbered;
    // Mines, crosses and flags drawn since the checker last emptied the list.
    std::vector<Mark> marks;
    // The cells whose last look is sunken, in the order they were pressed.
    std::vector<core::CellPos> sunken;
    // --- The best-times table, by best-times row.
    std::array<double, 3> best{999, 999, 999};
    int records = 0;
    // First call that broke a rule; empty while none did.
    std::string problem;

    void drawCell(core::CellPos cell, core::CellLook look) override {
        onBoard("drawCell", cell);
        std::erase(sunken, cell);
        switch (look) {
            case core::CellLook::Sunken:
                sunken.push_back(cell);
                break;
            case core::CellLook::Flag:
            case core::CellLook::Mine:
            case core::CellLook::HitMine:
            case core::CellLook::WrongFlag:
                marks.push_back({look, cell});
                break;
            case core::CellLook::Raised:
            case core::CellLook::FlagRemoved:
                break;
        }
    }
    void drawOpenedCell(core::CellPos cell, int minesAround) override {
        onBoard("drawOpenedCell", cell);
        std::erase(sunken, cell);
        if (!numbers.emplace(std::pair{cell.c, cell.r}, minesAround).second) {
            note("drawOpenedCell: a second number on " + name(cell));
        }
        numbered.push_back(cell);
    }
    void showBoard() override {}
    void layoutBoard(int side) override {
        laidOutSide = side;
        ++layouts;
        numbers.clear();
        sunken.clear();
    }

    void showFace(core::Face, core::FaceSet) override {}
    void showCounter(int minesLeft) override {
        counterShown = true;
        counter = minesLeft;
    }
    void showClock(int seconds) override { clock = seconds; }
    void runClock(bool running) override { clockRunning = running; }

    bool isMinimized() const override { return minimized; }
    void showLevelMark(core::Level) override {}
    void showFaceMark(core::FaceSet) override {}

    // What the window does with a move's outcome: the record check, then the
    // minimise.
    void act(const core::MoveOutcome& outcome) {
        if (outcome.won && outcome.won->setsRecord(best[row(outcome.won->level)])) {
            best[row(outcome.won->level)] = outcome.won->seconds;
            ++records;
        }
        if (outcome.minimize) {
            minimized = true;
        }
    }

    static std::size_t row(core::Level level) {
        return static_cast<std::size_t>(core::bestTimesRow(level));
    }
    static std::string name(core::CellPos cell) {
        return "(" + std::to_string(cell.c) + ", " + std::to_string(cell.r) + ")";
    }

  private:
    void note(const std::string& what) {
        if (problem.empty()) {
            problem = what;
        }
    }
    // Every drawing lands on a cell of the board laid out last.
    void onBoard(const char* call, core::CellPos cell) {
        if (laidOutSide == 0 || !core::isCell(laidOutSide, cell.c, cell.r)) {
            note(std::string(call) + " on " + name(cell) + ", no cell of the side-" +
                 std::to_string(laidOutSide) + " board");
        }
    }
};

}  // namespace quorvel::fuzz
