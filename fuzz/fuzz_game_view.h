#pragma once
// The window as the game fuzzer sees it: a GameView that draws nothing, keeps what
// a real window would show (clock, counter, whether the clock runs, the numbers and
// the sunken cells on the board), answers the record check from a table the fuzzer
// fills, and notes the first call that no window could carry out: a drawing on a
// cell that is not on the board laid out last, or a record that beats nothing.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/game_view.h"
#include "core/geometry.h"
#include "core/levels.h"

namespace quorvel::fuzz {

// Column and half-row indices of every board lie below these (those of side 10).
inline constexpr int kColumns = 2 * core::kSides.back() - 1;
inline constexpr int kHalfRows = 4 * core::kSides.back() - 3;

// The numbers drawn on the cells of a board, one at most a cell: a flat table, as
// the fuzzer draws hundreds of numbers an input.
class NumbersDrawn {
  public:
    // False when the cell has one already (or lies off every board).
    bool add(core::CellPos cell, int minesAround) {
        if (!fits(cell) || at(cell) >= 0) {
            return false;
        }
        shown_[index(cell)] = static_cast<std::int8_t>(minesAround);
        ++count_;
        return true;
    }
    // The number on the cell, -1 where none is.
    int at(core::CellPos cell) const { return fits(cell) ? shown_[index(cell)] : -1; }
    int count() const { return count_; }
    void clear() {
        shown_.fill(-1);
        count_ = 0;
    }

  private:
    static constexpr std::size_t kPositions = kColumns * kHalfRows;
    static bool fits(core::CellPos cell) {
        return cell.c >= 0 && cell.c < kColumns && cell.r >= 0 && cell.r < kHalfRows;
    }
    static std::size_t index(core::CellPos cell) {
        return static_cast<std::size_t>(cell.c * kHalfRows + cell.r);
    }
    std::array<std::int8_t, kPositions> shown_ = filled();
    int count_ = 0;
    static std::array<std::int8_t, kPositions> filled() {
        std::array<std::int8_t, kPositions> none{};
        none.fill(-1);
        return none;
    }
};

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
    NumbersDrawn numbers;
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

    void drawCell(core::CellPos cell, core::CellLook look, core::FaceSet) override {
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
    void drawOpenedCell(core::CellPos cell, int minesAround, core::FaceSet) override {
        onBoard("drawOpenedCell", cell);
        std::erase(sunken, cell);
        if (!numbers.add(cell, minesAround)) {
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
