#pragma once
// Test doubles and helpers for the game core: a view that records every call as a
// line of text (and moves x exactly as the window's drawing procedures do), a
// random source that puts mines on chosen cells through the real placement, and
// boards written as text pictures.
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

#include <map>
#include <random>
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

class RecordingView : public GameView {
  public:
    std::vector<std::string> log;
    // Number last drawn at each outline origin.
    std::map<std::pair<int, int>, int> numbers;
    bool minimized = false;
    std::map<Level, double> best{
        {Level::Beginner, 999}, {Level::Advanced, 999}, {Level::Expert, 999}};

    void DrawP2(int x, int y) override { add("DrawP2(" + xy(x, y) + ")"); }
    void DrawPD(int& x, int y) override {
        add("DrawPD(" + xy(x, y) + ")");
        if (x != kNoCell && y != kNoCell) {
            x -= 1;
        }
    }
    void DrawP3(int& x, int y) override {
        add("DrawP3(" + xy(x, y) + ")");
        if (x != kNoCell && y != kNoCell) {
            x -= 2;
        }
    }
    void DrawNu(int x, int y, int n) override {
        add("DrawNu(" + xy(x, y) + "," + std::to_string(n) + ")");
        numbers[{x, y}] = n;
    }
    void DrawMin(int& x, int y, MineKind kind) override {
        add("DrawMin(" + xy(x, y) + "," + std::to_string(static_cast<int>(kind)) + ")");
        x -= 1;
    }
    void DrawFlg(int x, int y) override { add("DrawFlg(" + xy(x, y) + ")"); }
    void DrawCrs(int& x, int y) override {
        add("DrawCrs(" + xy(x, y) + ")");
        x += 1;
        x -= 2;
        x -= 1;
    }
    void refreshField() override { add("refresh"); }
    void layoutBoard(int side) override { add("layout(" + std::to_string(side) + ")"); }
    void setFieldEnabled(bool enabled) override { add(enabled ? "field(on)" : "field(off)"); }
    void showFace(Face face, int faceSet) override {
        add(std::string("face(") + faceName(face) + "," + std::to_string(faceSet) + ")");
    }
    void showCounter(int left, int right) override {
        add("counter(" + std::to_string(left) + "," + std::to_string(right) + ")");
    }
    void showClock(int seconds) override { add("clock(" + std::to_string(seconds) + ")"); }
    void setTimerEnabled(bool enabled) override { add(enabled ? "timer(on)" : "timer(off)"); }
    bool isMinimized() const override { return minimized; }
    void minimize() override {
        add("minimize");
        minimized = true;
    }
    void showLevelMark(Level level) override { add(std::string("mark(") + levelName(level) + ")"); }
    void showFaceMark(int faceSet) override { add("faceMark(" + std::to_string(faceSet) + ")"); }
    void setRecordPrompt(Level level) override {
        add(std::string("prompt(") + levelName(level) + ")");
    }
    double bestTime(Level level) override {
        add(std::string("bestTime(") + levelName(level) + ")");
        return best[level];
    }
    void prepareNameEntry(Level level) override {
        add(std::string("prepareName(") + levelName(level) + ")");
    }
    void enterRecord(Level level, int seconds) override {
        add(std::string("enterRecord(") + levelName(level) + "," + std::to_string(seconds) + ")");
    }
    void WriteK() override { add("WriteK"); }

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

  private:
    static std::string xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
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
                    const auto it = view.numbers.find({originX(c), cellY(r)});
                    ch = it == view.numbers.end() ? '?' : static_cast<char>('0' + it->second);
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

    // A custom board from a picture: mines where the picture has '*' (placed by
    // the first opening), flags where it has 'f' (put on by right presses now).
    void setUp(const std::vector<std::string>& rows) {
        const BoardPicture p = parsePicture(rows);
        random.side = p.side;
        random.plan = p.mines;
        game.Skn_Click(0);
        game.CustOK(p.side, static_cast<int>(p.mines.size()));
        for (const CellPos& f : p.flags) {
            rightPress(f.c, f.r);
        }
    }
    // A fixed level whose first opening places exactly these mines.
    void setUpLevel(Level level, const std::vector<CellPos>& mines) {
        random.side = fixedLevel(level).side;
        random.plan = mines;
        game.Skn_Click(0);
        switch (level) {
            case Level::Beginner:
                game.NGB();
                break;
            case Level::Advanced:
                game.NGA();
                break;
            case Level::Expert:
                game.NGE();
                break;
            case Level::Custom:
                break;
        }
    }

    // Mouse positions in Field pixels: the cell's anchor lies inside it.
    static double fx(int c) { return anchorX(c) + 0.5; }
    static double fy(int r) { return cellY(r) + 0.5; }

    void leftPress(int c, int r) { game.Field_MouseDown(kLeftButton, 0, fx(c), fy(r)); }
    void leftMove(int c, int r) { game.Field_MouseMove(kLeftButton, 0, fx(c), fy(r)); }
    void leftRelease(int c, int r) { game.Field_MouseUp(kLeftButton, 0, fx(c), fy(r)); }
    void open(int c, int r) {
        leftPress(c, r);
        leftRelease(c, r);
    }
    void rightPress(int c, int r) {
        game.Field_MouseDown(kRightButton, 0, fx(c), fy(r));
        game.Field_MouseUp(kRightButton, 0, fx(c), fy(r));
    }
    std::vector<std::string> picture() const { return pictureOf(game.board(), game.Side(), view); }
};

}  // namespace quorvel::core::testing
