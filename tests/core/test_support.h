#pragma once
// Test doubles and helpers for the game core: a view that records every call as a
// line of text, in cells and looks, a random source that puts mines on chosen cells through the
// real placement, and boards written as text pictures.
//
// A board picture has one line per half-row r and one character per column c, so
// that the cells of a side-4 board form a hexagon:
//
//     "   o   "      o  covered        *  mine
//     "  o o  "      f  flag           F  flag on a mine
//     " o o o "      0..6  opened, showing that number
//     "o o o o"      ?  opened without a number drawn
//     ...

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "tests/support/cells.h"

namespace quorvel::core::testing {

inline const char* faceName(Face face) {
    switch (face) {
        case Face::Normal:
            return "Normal";
        case Face::Pressed:
            return "Pressed";
        case Face::Surprised:
            return "Surprised";
        case Face::Dead:
            return "Dead";
        case Face::Winner:
            return "Winner";
    }
    return "?";
}

inline const char* levelName(Level level) {
    switch (level) {
        case Level::Beginner:
            return "Beginner";
        case Level::Advanced:
            return "Advanced";
        case Level::Expert:
            return "Expert";
        case Level::Custom:
            return "Custom";
    }
    return "?";
}

inline const char* lookName(CellLook look) {
    switch (look) {
        case CellLook::Raised:
            return "Raised";
        case CellLook::Sunken:
            return "Sunken";
        case CellLook::Flag:
            return "Flag";
        case CellLook::FlagRemoved:
            return "FlagRemoved";
        case CellLook::Mine:
            return "Mine";
        case CellLook::HitMine:
            return "HitMine";
        case CellLook::WrongFlag:
            return "WrongFlag";
    }
    return "?";
}

// Records every call as a line of text, cells as "c,r": "drawCell(3,5,Sunken)",
// "opened(3,5,2)", "showBoard", "counter(-2)". It also keeps what the board shows:
// the last look drawn on each cell since the last layout, and the face sets the
// cells were drawn in.
class RecordingView : public GameView {
  public:
    std::vector<std::string> log;
    // What each cell shows: a look's name, or the number of an opened cell.
    std::map<std::pair<int, int>, std::string> shown;
    std::set<FaceSet> drawnIn;
    bool minimized = false;

    void drawCell(CellPos cell, CellLook look, FaceSet faceSet) override {
        add("drawCell(" + cr(cell) + "," + lookName(look) + ")");
        shown[{cell.c, cell.r}] = lookName(look);
        drawnIn.insert(faceSet);
    }
    void drawOpenedCell(CellPos cell, int minesAround, FaceSet faceSet) override {
        add("opened(" + cr(cell) + "," + std::to_string(minesAround) + ")");
        shown[{cell.c, cell.r}] = std::to_string(minesAround);
        drawnIn.insert(faceSet);
    }
    void showBoard() override { add("showBoard"); }
    void layoutBoard(int side) override {
        add("layout(" + std::to_string(side) + ")");
        shown.clear();
    }
    void showFace(Face face, FaceSet faceSet) override {
        add(std::string("face(") + faceName(face) + "," + std::to_string(faceSetNumber(faceSet)) +
            ")");
    }
    void showCounter(int minesLeft) override { add("counter(" + std::to_string(minesLeft) + ")"); }
    void showClock(int seconds) override { add("clock(" + std::to_string(seconds) + ")"); }
    void runClock(bool running) override { add(running ? "runClock(on)" : "runClock(off)"); }
    bool isMinimized() const override { return minimized; }
    void showLevelMark(Level level) override { add(std::string("mark(") + levelName(level) + ")"); }
    void showFaceMark(FaceSet faceSet) override {
        add("faceMark(" + std::to_string(faceSetNumber(faceSet)) + ")");
    }

    void clear() { log.clear(); }
    int count(const std::string& line) const {
        int n = 0;
        for (const auto& l : log) {
            n += l == line ? 1 : 0;
        }
        return n;
    }
    // The calls whose text starts with one of the prefixes, in order.
    std::vector<std::string> only(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> out;
        for (const auto& l : log) {
            for (const auto& p : prefixes) {
                if (l.rfind(p, 0) == 0) {
                    out.push_back(l);
                    break;
                }
            }
        }
        return out;
    }
    // The last call whose text starts with the prefix, "" when there is none: what
    // the face, counter or clock shows now.
    std::string last(const std::string& prefix) const {
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->rfind(prefix, 0) == 0) {
                return *it;
            }
        }
        return "";
    }
    // What the cell shows: "Raised" unless something was drawn on it.
    std::string shownAt(int c, int r) const {
        const auto it = shown.find({c, r});
        return it == shown.end() ? "Raised" : it->second;
    }
    // The cells shown in this look, column by column.
    std::vector<CellPos> cellsShowing(const std::string& look) const {
        std::vector<CellPos> cells;
        for (const auto& [cell, what] : shown) {
            if (what == look) {
                cells.push_back({cell.first, cell.second});
            }
        }
        return cells;
    }

  private:
    static std::string cr(CellPos cell) {
        return std::to_string(cell.c) + "," + std::to_string(cell.r);
    }
    void add(std::string line) { log.push_back(std::move(line)); }
};

// Feeds the placement the anchor pixel of each planned mine in turn, so that the
// real sampling puts the mines exactly there. Once the plan is used up (or after
// each reseed, the plan starts again) it falls back to plain random numbers, so a
// placement that wants more mines than planned still ends.
class PlacingRandom : public RandomSource {
  public:
    int side = 4;
    std::vector<CellPos> plan;
    int reseeds = 0;

    void reseed() override {
        ++reseeds;
        next_ = 0;
    }
    double uniform() override {
        const std::size_t cell = next_ / 2;
        const bool wantX = next_ % 2 == 0;
        ++next_;
        if (cell >= plan.size()) {
            return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
        }
        if (wantX) {
            return (anchorX(plan[cell].c) + 0.5) / boardWidth(side);
        }
        return (cellY(plan[cell].r) + 0.5) / boardHeight(side);
    }

  private:
    std::size_t next_ = 0;
    std::mt19937 engine_{12345};
};

using quorvel::support::cellsOf;

struct BoardPicture {
    int side = 0;
    std::vector<CellPos> mines;
    std::vector<CellPos> flags;  // safe cells to flag before the first opening
};

inline BoardPicture parsePicture(const std::vector<std::string>& rows) {
    BoardPicture p;
    p.side = (static_cast<int>(rows.size()) + 3) / 4;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()); ++c) {
            const char ch = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (ch == ' ') {
                continue;
            }
            EXPECT_TRUE(isCell(p.side, c, r))
                << "picture puts '" << ch << "' on no cell " << c << "," << r;
            if (ch == '*') {
                p.mines.push_back({c, r});
            } else if (ch == 'f') {
                p.flags.push_back({c, r});
            }
        }
    }
    return p;
}

inline std::vector<std::string> pictureOf(const Board& board, int side, const RecordingView& view) {
    std::vector<std::string> rows;
    for (int r = 0; r <= 4 * side - 4; ++r) {
        std::string row(static_cast<std::size_t>(2 * side - 1), ' ');
        for (int c = 0; c <= 2 * side - 2; ++c) {
            if (!isCell(side, c, r)) {
                continue;
            }
            char ch = 'o';
            switch (board.at(c, r)) {
                case Cell::Covered:
                    ch = 'o';
                    break;
                case Cell::CoveredMine:
                    ch = '*';
                    break;
                case Cell::FlaggedSafe:
                    ch = 'f';
                    break;
                case Cell::FlaggedMine:
                    ch = 'F';
                    break;
                case Cell::Opened: {
                    const std::string what = view.shownAt(c, r);
                    ch = what.size() == 1 && std::isdigit(static_cast<unsigned char>(what[0]))
                             ? what[0]
                             : '?';
                    break;
                }
            }
            row[static_cast<std::size_t>(c)] = ch;
        }
        rows.push_back(row);
    }
    return rows;
}

// A game with a recording view and planned mines, driven through its public
// handlers the way the window drives it.
struct GameFixture {
    RecordingView view;
    PlacingRandom random;
    Game game{view, random};
    // What the last left release handed back.
    MoveOutcome outcome;

    // A custom board from a picture: mines where the picture has '*' (placed by
    // the first opening), flags where it has 'f' (put on by right presses now).
    void setUp(const std::vector<std::string>& rows) {
        const BoardPicture p = parsePicture(rows);
        random.side = p.side;
        random.plan = p.mines;
        game.chooseFaceSet(FaceSet::Yellow);
        game.chooseCustomBoard(p.side, static_cast<int>(p.mines.size()));
        for (const CellPos& f : p.flags) {
            rightPress(f.c, f.r);
        }
    }
    // A fixed level whose first opening places exactly these mines.
    void setUpLevel(Level level, const std::vector<CellPos>& mines) {
        random.side = fixedLevel(level).side;
        random.plan = mines;
        game.chooseFaceSet(FaceSet::Yellow);
        game.chooseLevel(level);
    }

    // Pointer positions on the board surface: the cell's anchor lies inside it.
    static double fx(int c) { return anchorX(c) + 0.5; }
    static double fy(int r) { return cellY(r) + 0.5; }

    void leftPress(int c, int r) { game.boardPress(kLeftButton, fx(c), fy(r)); }
    void leftMove(int c, int r) { game.boardMove(kLeftButton, fx(c), fy(r)); }
    void leftRelease(int c, int r) { outcome = game.boardRelease(kLeftButton, fx(c), fy(r)); }
    void open(int c, int r) {
        leftPress(c, r);
        leftRelease(c, r);
    }
    void rightPress(int c, int r) {
        game.boardPress(kRightButton, fx(c), fy(r));
        game.boardRelease(kRightButton, fx(c), fy(r));
    }
    std::vector<std::string> picture() const { return pictureOf(game.board(), game.side(), view); }
};

}  // namespace quorvel::core::testing
