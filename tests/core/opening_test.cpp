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
    return "opened(" + std::to_string(c) + "," + std::to_string(r) + "," + std::to_string(n) + ")";
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
    EXPECT_EQ(f.view.only({"opened"}), expected);
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
    EXPECT_EQ(f.game.coveredCount(), 37 - 13);
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
    EXPECT_EQ(f.view.only({"opened"}), expected);
}

TEST(Flood, ShowsTheBoardAtOnceAfterEachEmptyCell) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.leftPress(3, 0);
    f.view.clear();
    f.leftRelease(3, 0);
    const auto drawing = f.view.only({"opened", "showBoard"});
    ASSERT_GE(drawing.size(), 7u);
    EXPECT_EQ(drawing[0], nu(3, 0, 0));
    EXPECT_EQ(drawing[1], "showBoard");
    EXPECT_EQ(drawing[2], nu(4, 1, 0));
    EXPECT_EQ(drawing[3], "showBoard");
    EXPECT_EQ(drawing[4], nu(5, 2, 0));
    EXPECT_EQ(drawing[5], "showBoard");
    EXPECT_EQ(drawing[6], nu(6, 3, 1));
    // Six empty cells, the board shown after each.
    EXPECT_EQ(f.view.count("showBoard"), 6);
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
    EXPECT_EQ(f.view.only({"opened"}), std::vector<std::string>{nu(3, 4, 2)});
    EXPECT_EQ(f.game.coveredCount(), 36);
    EXPECT_EQ(f.game.state(), GameState::Running);
}

// Beginner: seven mines packed into the two left columns, so one opening on the
// right opens every other cell.
const std::vector<CellPos> kLeftWall = {{0, 3}, {0, 5}, {0, 7}, {0, 9}, {1, 2}, {1, 4}, {1, 6}};

TEST(Win, ThroughTheFillHappensOnceAndIsHandedBackOnce) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, kLeftWall);
    f.view.clear();
    f.open(6, 9);

    EXPECT_EQ(f.game.state(), GameState::Won);
    EXPECT_EQ(f.game.coveredCount(), 7);
    EXPECT_EQ(f.view.count("face(Winner,0)"), 1);
    EXPECT_EQ(f.outcome.won, (Win{Level::Beginner, 1, true}));
    // Every safe cell drawn once.
    EXPECT_EQ(f.view.only({"opened"}).size(), 30u);

    // The end of the game, in order: face, the board shown, counter "00", a flag on
    // every mine column by column, the clock stopped; the record check is the
    // caller's, after the move.
    std::vector<std::string> tail;
    bool started = false;
    for (const auto& line : f.view.log) {
        started = started || line == "face(Winner,0)";
        if (started) {
            tail.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "face(Winner,0)",     "showBoard",          "counter(0)",         "drawCell(0,3,Flag)",
        "drawCell(0,5,Flag)", "drawCell(0,7,Flag)", "drawCell(0,9,Flag)", "drawCell(1,2,Flag)",
        "drawCell(1,4,Flag)", "drawCell(1,6,Flag)", "runClock(off)",
    };
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(f.game.counter(), 0);
    EXPECT_EQ(f.game.restingFace(), Face::Winner);
}

// Esc opens the held cell: a win it makes is handed back with the minimise, so
// that the caller checks the record before the window leaves the screen.
TEST(Win, ByEscHandsBackTheWinAndTheMinimise) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, kLeftWall);
    f.open(2, 7);
    f.leftPress(6, 9);
    EXPECT_EQ(f.game.keyDown(Key::Escape),
              (MoveOutcome{.won = Win{Level::Beginner, 1, true}, .minimize = true}));
    EXPECT_EQ(f.game.state(), GameState::Won);
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
    EXPECT_EQ(g.view.count("drawCell(0,3,Flag)"), 0);
    EXPECT_EQ(g.view.cellsShowing("Flag").size(), 7u);
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
    EXPECT_EQ(f.game.coveredCount(), 2);
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
        "face(Normal,0)",     "drawCell(3,6,Raised)",    "face(Dead,0)",  "drawCell(3,6,HitMine)",
        "showBoard",
        "drawCell(0,3,Mine)",  // the other mine without a flag
        "showBoard",          "drawCell(5,2,WrongFlag)", "runClock(off)",
    };
    EXPECT_EQ(f.view.log, expected);
    EXPECT_EQ(f.game.state(), GameState::Lost);
    EXPECT_EQ(f.game.restingFace(), Face::Dead);
    EXPECT_EQ(f.game.board().at(6, 9), Cell::FlaggedMine);
    EXPECT_EQ(f.game.board().at(5, 2), Cell::FlaggedSafe);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::CoveredMine);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
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

TEST(OpenCell, DoesNothingOffTheBoardOrAfterTheGame) {
    GameFixture f;
    f.setUp(kTopPocket);
    f.view.clear();
    for (const CellPos& none :
         {CellPos{-1, -1}, CellPos{0, 0}, CellPos{3, 1}, CellPos{7, 6}, CellPos{-100, 200}}) {
        f.game.openCell(none);
    }
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.state(), GameState::Ready);

    f.open(3, 2);
    f.open(0, 5);  // a mine
    ASSERT_EQ(f.game.state(), GameState::Lost);
    const auto board = f.picture();
    f.view.clear();
    f.game.openCell({6, 9});
    f.open(6, 9);
    EXPECT_EQ(f.picture(), board);
    EXPECT_EQ(f.view.only({"draw", "opened", "face", "runClock"}), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel::core::testing
