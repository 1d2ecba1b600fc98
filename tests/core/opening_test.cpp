// Opening cells: the fill's order and extent, flags in its way, and the drawing
// calls that end a game.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game.h"
#include "test_support.h"

namespace quorvel::core::testing {
namespace {

using Rows = std::vector<std::string>;

// Four mines across half-row 5 of a side-4 board: the top corner is a small
// zero region bordered by numbered cells.
const Rows kTopPocket = {
    "   o   ",  //
    "  o o  ",  //
    " o o o ",  //
    "o o o o",  //
    " o o o ",  //
    "* * * *",  //
    " o o o ",  //
    "o o o o",  //
    " o o o ",  //
    "o o o o",  //
    " o o o ",  //
    "  o o  ",  //
    "   o   ",  //
};

std::string nu(int c, int r, int n) {
    return "DrawNu(" + std::to_string(originX(c)) + "," + std::to_string(cellY(r)) + "," +
           std::to_string(n) + ")";
}

TEST(Flood, OpensTheZeroRegionDepthFirstInNeighbourOrder) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.view.clear();
    f.open(3, 0);

    // Above, upper right, lower right, below, lower left, upper left; each
    // neighbour's whole fill ends before the next neighbour is looked at.
    const std::vector<std::string> expected = {
        nu(3, 0, 0), nu(4, 1, 0), nu(5, 2, 0), nu(6, 3, 1), nu(5, 4, 2), nu(4, 3, 1), nu(3, 2, 0),
        nu(3, 4, 2), nu(2, 3, 1), nu(2, 1, 0), nu(1, 2, 0), nu(1, 4, 2), nu(0, 3, 1),
    };
    EXPECT_EQ(f.view.only({"DrawNu"}), expected);
    EXPECT_EQ(f.picture(), (Rows{
                               "   0   ",  //
                               "  0 0  ",  //
                               " 0 0 0 ",  //
                               "1 1 1 1",  //
                               " 2 2 2 ",  //
                               "* * * *",  //
                               " o o o ",  //
                               "o o o o",  //
                               " o o o ",  //
                               "o o o o",  //
                               " o o o ",  //
                               "  o o  ",  //
                               "   o   ",  //
                           }));
    EXPECT_EQ(f.game.CoveredCount(), 37 - 13);
    EXPECT_EQ(f.game.state(), GameState::Running);
}

TEST(Flood, FromTheBottomLooksAboveFirst) {
    // The same pocket turned upside down: now "above" leads the way.
    GameFixture f;
    f.setUp({
        "   o   ",  //
        "  o o  ",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "* * * *",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "  o o  ",  //
        "   o   ",  //
    });
    f.open(3, 12);
    const std::vector<std::string> expected = {
        nu(3, 12, 0), nu(3, 10, 0), nu(3, 8, 2), nu(4, 9, 1),  nu(4, 11, 0),
        nu(5, 10, 0), nu(5, 8, 2),  nu(6, 9, 1), nu(2, 11, 0), nu(2, 9, 1),
        nu(1, 10, 0), nu(1, 8, 2),  nu(0, 9, 1),
    };
    EXPECT_EQ(f.view.only({"DrawNu"}), expected);
}

TEST(Flood, DrawsEachCellSunkenThenItsNumberAndRefreshesAfterZeros) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.leftPress(3, 0);
    f.view.clear();
    f.leftRelease(3, 0);
    const auto drawing = f.view.only({"DrawPD", "DrawNu", "refresh"});
    ASSERT_GE(drawing.size(), 9u);
    // The sunken face gets the anchor, the number the outline origin.
    EXPECT_EQ(drawing[0], "DrawPD(63,3)");
    EXPECT_EQ(drawing[1], nu(3, 0, 0));
    EXPECT_EQ(drawing[2], "refresh");
    EXPECT_EQ(drawing[3], "DrawPD(80,11)");
    EXPECT_EQ(drawing[4], nu(4, 1, 0));
    EXPECT_EQ(drawing[5], "refresh");
    EXPECT_EQ(drawing[6], "DrawPD(97,19)");
    EXPECT_EQ(drawing[7], nu(5, 2, 0));
    EXPECT_EQ(drawing[8], "refresh");
    // Six zero cells, one refresh each.
    EXPECT_EQ(f.view.count("refresh"), 6);
}

TEST(Flood, GoesAroundAFlagAndLeavesWhatLiesBehindIt) {
    GameFixture f;
    f.setUp({
        "   o   ",  //
        "  o f  ",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "* * * *",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "  o o  ",  //
        "   o   ",  //
    });
    f.open(3, 0);
    EXPECT_EQ(f.picture(), (Rows{
                               "   0   ",  //
                               "  0 f  ",  //
                               " 0 0 o ",  //
                               "1 1 1 o",  //
                               " 2 2 o ",  //
                               "* * * *",  //
                               " o o o ",  //
                               "o o o o",  //
                               " o o o ",  //
                               "o o o o",  //
                               " o o o ",  //
                               "  o o  ",  //
                               "   o   ",  //
                           }));
    EXPECT_EQ(f.game.board().at(4, 1), Cell::FlaggedSafe);
}

TEST(Flood, FirstOpeningMayShowANumber) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.open(3, 4);
    EXPECT_EQ(f.view.only({"DrawNu"}), std::vector<std::string>{nu(3, 4, 2)});
    EXPECT_EQ(f.game.CoveredCount(), 36);
    EXPECT_EQ(f.game.state(), GameState::Running);
}

// Beginner: seven mines packed into the two left columns, so one opening on the
// right opens every other cell.
const std::vector<CellPos> kLeftWall = {{0, 3}, {0, 5}, {0, 7}, {0, 9}, {1, 2}, {1, 4}, {1, 6}};

TEST(Win, ThroughTheFillHappensOnceWithOneRecordCheck) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, kLeftWall);
    f.view.clear();
    f.open(6, 9);

    EXPECT_EQ(f.game.state(), GameState::Won);
    EXPECT_EQ(f.game.CoveredCount(), 7);
    EXPECT_EQ(f.view.count("face(Winner,0)"), 1);
    EXPECT_EQ(f.view.count("bestTime(Beginner)"), 1);
    EXPECT_EQ(f.view.count("enterRecord(Beginner,1)"), 1);
    EXPECT_EQ(f.view.count("WriteK"), 1);
    // Every safe cell drawn once.
    EXPECT_EQ(f.view.only({"DrawNu"}).size(), 30u);

    // The end of the game, in order: face, refresh, counter "00", a flag on every
    // mine column by column, clock and board off, then the record.
    std::vector<std::string> tail;
    bool started = false;
    for (const auto& line : f.view.log) {
        started = started || line == "face(Winner,0)";
        if (started) {
            tail.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "face(Winner,0)",
        "refresh",
        "counter(0,0)",
        "DrawFlg(11,27)",
        "DrawFlg(11,43)",
        "DrawFlg(11,59)",
        "DrawFlg(11,75)",
        "DrawFlg(28,19)",
        "DrawFlg(28,35)",
        "DrawFlg(28,51)",
        "timer(off)",
        "field(off)",
        "bestTime(Beginner)",
        "prepareName(Beginner)",
        "enterRecord(Beginner,1)",
        "WriteK",
    };
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(f.game.Zmin(), "0");
    EXPECT_EQ(f.game.restingFace(), Face::Winner);
    EXPECT_DOUBLE_EQ(f.game.BestTime(), 1.0);
}

TEST(Win, FlagsOnMinesStayAndGetNoSecondFlag) {
    GameFixture g;
    g.setUpLevel(Level::Beginner, kLeftWall);
    g.open(2, 7);  // a numbered cell: no fill
    ASSERT_EQ(g.game.state(), GameState::Running);
    g.rightPress(0, 3);
    g.view.clear();
    g.open(6, 9);
    ASSERT_EQ(g.game.state(), GameState::Won);
    EXPECT_EQ(g.view.count("DrawFlg(11,27)"), 0);
    EXPECT_EQ(g.view.only({"DrawFlg"}).size(), 6u);
    EXPECT_EQ(g.game.board().at(0, 3), Cell::FlaggedMine);
}

TEST(Win, AFlagOnASafeCellPreventsItUntilRemoved) {
    GameFixture f;
    f.setUp({
        "   o   ",  //
        "  o o  ",  //
        " o o o ",  //
        "* o o f",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "  o o  ",  //
        "   o   ",  //
    });
    f.open(3, 12);
    EXPECT_EQ(f.game.state(), GameState::Running);
    EXPECT_EQ(f.game.CoveredCount(), 2);
    EXPECT_EQ(f.game.board().at(6, 3), Cell::FlaggedSafe);

    f.rightPress(6, 3);
    EXPECT_EQ(f.game.state(), GameState::Running);
    f.open(6, 3);
    EXPECT_EQ(f.game.state(), GameState::Won);
    EXPECT_EQ(f.view.count("face(Winner,0)"), 1);
}

TEST(Loss, DrawsTheHitMineOtherMinesAndWrongFlagsInOrder) {
    GameFixture f;
    f.setUp({
        "   o   ",  //
        "  o o  ",  //
        " o o o ",  //
        "* o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o * o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o *",  //
        " o o o ",  //
        "  o o  ",  //
        "   o   ",  //
    });
    f.open(3, 4);  // a 1: no fill
    ASSERT_EQ(f.game.state(), GameState::Running);
    f.rightPress(6, 9);  // flag on a mine
    f.rightPress(5, 2);  // flag on a safe cell
    f.leftPress(3, 6);
    f.view.clear();
    f.leftRelease(3, 6);

    const std::vector<std::string> expected = {
        "face(Normal,0)",   "DrawP2(62,51)", "face(Dead,0)",
        "DrawMin(63,51,1)",  // the hit mine, at its anchor
        "DrawMin(12,27,0)",  // the other mine without a flag
        "DrawCrs(98,19)",    // the wrong flag: anchor + 1
        "timer(off)",       "field(off)",
    };
    EXPECT_EQ(f.view.log, expected);
    EXPECT_EQ(f.game.state(), GameState::Lost);
    EXPECT_EQ(f.game.restingFace(), Face::Dead);
    EXPECT_EQ(f.game.board().at(6, 9), Cell::FlaggedMine);
    EXPECT_EQ(f.game.board().at(5, 2), Cell::FlaggedSafe);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::CoveredMine);
    EXPECT_EQ(f.game.PressedX(), kNoCell);
}

TEST(Loss, OpeningAMineFirstIsImpossible) {
    // The mine the plan wants under the first opening is refused; the placement
    // puts it elsewhere.
    GameFixture f;
    f.setUp({
        "   *   ",  //
        "  o o  ",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "o o o o",  //
        " o o o ",  //
        "  o o  ",  //
        "   o   ",  //
    });
    f.open(3, 0);
    EXPECT_NE(f.game.state(), GameState::Lost);
    EXPECT_EQ(f.game.board().at(3, 0), Cell::Opened);
}

TEST(Clicking, DoesNothingForNoCellOffTheBoardOrAfterTheGame) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.view.clear();
    f.game.Clicking(kNoCell, kNoCell);
    f.game.Clicking(originX(3), kNoCell);
    f.game.Clicking(kNoCell, cellY(0));
    f.game.Clicking(5, 5);      // the black top-left corner
    f.game.Clicking(-50, 200);  // outside the surface
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.state(), GameState::Ready);

    f.open(3, 2);
    f.open(0, 5);  // a mine
    ASSERT_EQ(f.game.state(), GameState::Lost);
    const auto board = f.picture();
    f.view.clear();
    f.game.Clicking(originX(6), cellY(9));
    f.open(6, 9);
    EXPECT_EQ(f.picture(), board);
    EXPECT_EQ(f.view.only({"Draw", "face", "timer", "field"}), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel::core::testing
