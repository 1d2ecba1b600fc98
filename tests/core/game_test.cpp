// New games, levels, face sets, the clock, the counter, the record check, and
// whole games played through the handlers alone.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game.h"
#include "test_support.h"

namespace quorvel::core::testing {
namespace {

using Log = std::vector<std::string>;

// A left click in the middle of the anchor pixel of cell (c, r).
MoveOutcome openWithMouse(Game& game, int c, int r) {
    game.boardPress(kLeftButton, GameFixture::fx(c), GameFixture::fy(r));
    return game.boardRelease(kLeftButton, GameFixture::fx(c), GameFixture::fy(r));
}

// Opens the middle cell, lets `ticks` seconds pass, then opens every covered
// cell without a mine until the game ends.
void playToWin(GameFixture& f, int ticks) {
    quorvel::support::playToWin(
        f.game, [&](int c, int r) { f.open(c, r); },
        [&] {
            for (int i = 0; i < ticks; ++i) {
                f.game.tick();
            }
        });
}

// ---------------------------------------------------------------- new game and levels

TEST(NewGame, StartsReadyWithClockAtZeroAndCounterAtTheMineCount) {
    GameFixture f;
    f.game.chooseFaceSet(FaceSet::Yellow);
    f.view.clear();
    // The choice comes back for the next settings write.
    EXPECT_EQ(f.game.chooseLevel(Level::Advanced),
              (MoveOutcome{.boardChosen = BoardChoice{Level::Advanced, 6, 21}}));
    EXPECT_EQ(f.view.only({"mark", "layout"}), (Log{"mark(Advanced)", "layout(6)"}));
    EXPECT_EQ(f.view.last("face"), "face(Normal,0)");
    EXPECT_EQ(f.view.last("counter"), "counter(21)");
    EXPECT_EQ(f.view.last("clock"), "clock(0)");
    EXPECT_EQ(f.view.last("runClock"), "runClock(off)");
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_TRUE(f.game.takesInput());
    EXPECT_EQ(f.game.side(), 6);
    EXPECT_EQ(f.game.mines(), 21);
    EXPECT_EQ(f.game.coveredCount(), 91);
    EXPECT_EQ(f.game.seconds(), 0);
    EXPECT_EQ(f.game.counter(), 21);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    EXPECT_EQ(f.game.restingFace(), Face::Normal);
    EXPECT_EQ(f.game.levelMark(), Level::Advanced);
}

TEST(NewGame, ChoosingALevelWhileRunningAbandonsTheGame) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.rightPress(0, 3);
    for (int i = 0; i < 5; ++i) {
        f.game.tick();
    }
    ASSERT_EQ(f.game.state(), GameState::Running);
    f.view.clear();
    f.game.chooseLevel(Level::Expert);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.view.last("runClock"), "runClock(off)");
    EXPECT_EQ(f.game.seconds(), 0);
    EXPECT_EQ(f.game.counter(), 49);
    EXPECT_EQ(f.game.side(), 8);
    EXPECT_EQ(f.game.coveredCount(), 169);
    for (int c = -5; c <= 60; ++c) {
        for (int r = -5; r <= 60; ++r) {
            ASSERT_EQ(f.game.board().at(c, r), Cell::Covered) << c << "," << r;
        }
    }
    EXPECT_EQ(f.view.count("layout(8)"), 1);
}

TEST(NewGame, TheMarkedLevelAgainStillStartsANewGame) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.view.clear();
    f.game.chooseLevel(Level::Beginner);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
}

TEST(NewGame, CustomBoardOfSideTenWithMostMines) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    EXPECT_EQ(f.game.chooseCustomBoard(10, 135),
              (MoveOutcome{.boardChosen = BoardChoice{Level::Custom, 10, 135}}));
    EXPECT_EQ(f.view.only({"mark", "layout"}), (Log{"mark(Custom)", "layout(10)"}));
    EXPECT_EQ(f.view.last("counter"), "counter(135)");
    EXPECT_EQ(f.view.last("clock"), "clock(0)");
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.game.levelMark(), Level::Custom);
    EXPECT_EQ(f.game.coveredCount(), 271);
    EXPECT_EQ(f.game.counter(), 135);
}

TEST(NewGame, UnsupportedSideOrNoMinesIsRefusedAndChangesNothing) {
    GameFixture f;
    f.setUpLevel(Level::Advanced, {});
    f.view.clear();
    for (const int side : {5, 3, 12, 0, -6}) {
        try {
            f.game.chooseCustomBoard(side, 10);
            ADD_FAILURE() << "side " << side << " accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(side)), std::string::npos);
        }
    }
    EXPECT_THROW(f.game.chooseCustomBoard(6, 0), std::invalid_argument);
    EXPECT_THROW(fixedLevel(Level::Custom), std::invalid_argument);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.side(), 6);
    EXPECT_EQ(f.game.levelMark(), Level::Advanced);
}

// The menu's items and the file's Face= count the sets 0, 1, 2; nothing else
// names one, whatever the file holds.
TEST(FaceSets, OnlyTheNumbersZeroToTwoNameASetInTheMenusOrder) {
    for (const int number : {0, 1, 2}) {
        const std::optional<FaceSet> set = faceSetNumbered(number);
        ASSERT_TRUE(set) << number;
        EXPECT_EQ(*set, kFaceSets[static_cast<std::size_t>(number)]);
        EXPECT_EQ(faceSetNumber(*set), number);
    }
    for (const double number : {-1.0, 3.0, 0.5, 2.0000001, std::nan("")}) {
        EXPECT_EQ(faceSetNumbered(number), std::nullopt) << number;
    }
}

TEST(NewGame, FaceSetChangeStartsAGameAndSaysSoOnlyWhenTheSetChanged) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    EXPECT_EQ(f.game.chooseFaceSet(FaceSet::Yellow), MoveOutcome{});
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.chooseFaceSet(FaceSet::Alien), MoveOutcome{.faceSetChosen = FaceSet::Alien});
    ASSERT_FALSE(f.view.log.empty());
    EXPECT_EQ(f.view.log.front(), "faceMark(2)");
    EXPECT_EQ(f.view.log[1], "face(Normal,2)");
    EXPECT_EQ(f.game.faceSet(), FaceSet::Alien);
    // The surprised face of the new set, and the board's cells in it too.
    f.view.drawnIn.clear();
    f.leftPress(3, 6);
    EXPECT_EQ(f.view.last("face"), "face(Surprised,2)");
    EXPECT_EQ(f.view.drawnIn, std::set<FaceSet>{FaceSet::Alien});
}

// ---------------------------------------------------------------- clock

TEST(Clock, FirstOpeningShowsOneAtOnceThenEveryTickAddsOne) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.leftPress(3, 6);
    f.view.clear();
    f.leftRelease(3, 6);
    EXPECT_EQ(f.view.only({"clock", "runClock"}), (Log{"clock(1)", "runClock(on)"}));
    f.game.tick();
    f.game.tick();
    EXPECT_EQ(f.game.seconds(), 3);
    EXPECT_EQ(f.view.log.back(), "clock(3)");
}

TEST(Clock, StopsAt999) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.view.clear();
    for (int i = 0; i < 1200; ++i) {
        f.game.tick();
    }
    EXPECT_EQ(f.game.seconds(), 999);
    EXPECT_EQ(f.view.log.size(), 998u);
    EXPECT_EQ(f.view.log.back(), "clock(999)");
}

TEST(Clock, SkipsTicksWhileMinimised) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.game.tick();
    f.view.minimized = true;
    f.view.clear();
    for (int i = 0; i < 10; ++i) {
        f.game.tick();
    }
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.seconds(), 2);
    f.view.minimized = false;
    f.game.tick();
    EXPECT_EQ(f.game.seconds(), 3);
}

// ---------------------------------------------------------------- counter and numbers

TEST(Counter, GlyphsForEveryKindOfValue) {
    const CounterGlyphs minus{10, 0};
    EXPECT_EQ(counterGlyphs(7), (CounterGlyphs{0, 7}));
    EXPECT_EQ(counterGlyphs(0), (CounterGlyphs{0, 0}));
    EXPECT_EQ(counterGlyphs(49), (CounterGlyphs{4, 9}));
    EXPECT_EQ(counterGlyphs(99), (CounterGlyphs{9, 9}));
    EXPECT_EQ(counterGlyphs(100), (CounterGlyphs{9, 9}));
    EXPECT_EQ(counterGlyphs(135), (CounterGlyphs{9, 9}));
    EXPECT_EQ(counterGlyphs(-1), (CounterGlyphs{10, 1}));
    EXPECT_EQ(counterGlyphs(-9), (CounterGlyphs{10, 9}));
    EXPECT_EQ(counterGlyphs(-10), minus);
    EXPECT_EQ(counterGlyphs(-12), (CounterGlyphs{10, 2}));
    EXPECT_EQ(counterGlyphs(INT_MIN), (CounterGlyphs{10, 8}));
    EXPECT_EQ(counterGlyphs(INT_MAX), (CounterGlyphs{9, 9}));
}

TEST(Counter, RedrawsOnlyWhenTheCountChanges) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    f.game.keyDown(Key::NewGame);
    EXPECT_EQ(f.view.only({"counter"}), Log{});
    f.rightPress(3, 6);
    f.game.keyDown(Key::NewGame);
    EXPECT_EQ(f.view.only({"counter"}), (Log{"counter(6)", "counter(7)"}));
    EXPECT_EQ(f.game.counter(), 7);
}

// ---------------------------------------------------------------- record check

// Beginner mines in the two left columns: (2, 7) shows a 1; the right side then
// opens every other safe cell at once.
const std::vector<CellPos> kLeftWall = {{0, 3}, {0, 5}, {0, 7}, {0, 9}, {1, 2}, {1, 4}, {1, 6}};

void winBeginnerAt(GameFixture& f, int seconds) {
    f.open(2, 7);
    ASSERT_TRUE(quorvel::support::moveUntil(
        "clock at " + std::to_string(seconds), seconds, [&] { return f.game.seconds() >= seconds; },
        [&] { f.game.tick(); }));
    f.open(6, 9);
    ASSERT_EQ(f.game.state(), GameState::Won);
}

TEST(Record, TheWinningMoveHandsBackItsLevelAndSecondsOnce) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, kLeftWall);
    winBeginnerAt(f, 57);
    EXPECT_EQ(f.outcome.won, (Win{Level::Beginner, 57, true}));
    // A release on the finished game hands back nothing more.
    f.open(6, 9);
    EXPECT_EQ(f.outcome, MoveOutcome{});
}

TEST(Record, OnlyAFasterTimeSetsARecord) {
    const Win win{Level::Beginner, 57, true};
    EXPECT_TRUE(win.setsRecord(999));
    EXPECT_TRUE(win.setsRecord(58));
    EXPECT_FALSE(win.setsRecord(57)) << "an equal time keeps the old holder";
    EXPECT_FALSE(win.setsRecord(30));
    EXPECT_FALSE(win.setsRecord(0)) << "a time text without a number is a best no game beats";
}

TEST(Record, ACustomBoardNeverRecords) {
    GameFixture f;
    f.random.side = 4;
    f.random.plan = kLeftWall;
    f.game.chooseFaceSet(FaceSet::Yellow);
    f.game.chooseLevel(Level::Beginner);
    f.game.chooseCustomBoard(4, 7);
    f.view.clear();
    winBeginnerAt(f, 3);
    // Held against the beginner's time, but never recorded.
    ASSERT_TRUE(f.outcome.won);
    EXPECT_EQ(*f.outcome.won, (Win{Level::Beginner, 3, false}));
    EXPECT_FALSE(f.outcome.won->setsRecord(999));
}

TEST(Record, EachLevelChecksItsOwnEntry) {
    for (const Level level : {Level::Beginner, Level::Advanced, Level::Expert}) {
        SCOPED_TRACE(levelName(level));
        GameFixture f;
        f.setUpLevel(level, {});
        f.view.clear();
        playToWin(f, 20);
        ASSERT_EQ(f.game.state(), GameState::Won);
        EXPECT_EQ(f.outcome.won, (Win{level, 21, true}));
    }
}

// ---------------------------------------------------------------- game state

TEST(State, NotStartedThenReadyRunningAndWonAndTheBoardIgnoredBeforeAndAfter) {
    GameFixture f;
    EXPECT_EQ(f.game.state(), GameState::NotStarted);
    f.open(3, 6);
    f.rightPress(2, 7);
    f.game.openCell({3, 6});
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Covered);
    EXPECT_EQ(f.game.board().at(2, 7), Cell::Covered);
    EXPECT_EQ(f.game.state(), GameState::NotStarted);

    f.setUpLevel(Level::Beginner, kLeftWall);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    f.open(2, 7);
    EXPECT_EQ(f.game.state(), GameState::Running);
    f.open(6, 9);
    EXPECT_EQ(f.game.state(), GameState::Won);
    EXPECT_FALSE(f.game.takesInput());

    const auto board = f.picture();
    f.view.clear();
    f.leftPress(0, 3);
    f.rightPress(0, 5);
    f.game.boardMove(kLeftButton, GameFixture::fx(1), GameFixture::fy(2));
    f.game.openCell({0, 7});
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.picture(), board);
    EXPECT_EQ(f.game.state(), GameState::Won);
}

// ---------------------------------------------------------------- whole games

class EveryLevel : public ::testing::TestWithParam<int> {
  protected:
    void choose(Game& game) {
        switch (GetParam()) {
            case 0:
                game.chooseLevel(Level::Beginner);
                break;
            case 1:
                game.chooseLevel(Level::Advanced);
                break;
            case 2:
                game.chooseLevel(Level::Expert);
                break;
            default:
                game.chooseCustomBoard(10, 135);
                break;
        }
    }
};

TEST_P(EveryLevel, PlayedToAWin) {
    RecordingView view;
    SeededRandom random(static_cast<std::uint64_t>(100 + GetParam()));
    Game game(view, random);
    game.chooseFaceSet(FaceSet::DarkRed);
    choose(game);
    const int side = game.side();
    const int mines = game.mines();
    quorvel::support::playToWin(
        game, [&](int c, int r) { openWithMouse(game, c, r); },
        [&] {
            // Flag two mines on the way, as a player would.
            int flagged = 0;
            for (const CellPos& cell : cellsOf(side)) {
                if (flagged < 2 && game.board().at(cell.c, cell.r) == Cell::CoveredMine) {
                    game.boardPress(kRightButton, GameFixture::fx(cell.c), GameFixture::fy(cell.r));
                    ++flagged;
                }
            }
            view.clear();
        });
    EXPECT_EQ(game.state(), GameState::Won);
    EXPECT_EQ(game.coveredCount(), mines);
    EXPECT_EQ(game.counter(), 0);
    EXPECT_EQ(game.shownFace(), Face::Winner);
    EXPECT_EQ(view.count("face(Winner,1)"), 1);
    EXPECT_EQ(static_cast<int>(view.cellsShowing("Flag").size()), mines);
    EXPECT_FALSE(game.takesInput());
    EXPECT_EQ(view.last("runClock"), "runClock(off)");
    for (const CellPos& cell : cellsOf(side)) {
        const Cell code = game.board().at(cell.c, cell.r);
        EXPECT_TRUE(code == Cell::Opened || hasMine(code));
    }
}

TEST_P(EveryLevel, PlayedToALoss) {
    RecordingView view;
    SeededRandom random(static_cast<std::uint64_t>(200 + GetParam()));
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Alien);
    choose(game);
    const int side = game.side();
    const int mines = game.mines();
    const auto open = [&](int c, int r) { openWithMouse(game, c, r); };
    open(side - 1, 2 * side - 2);
    ASSERT_EQ(game.state(), GameState::Running);
    CellPos mine{-1, -1};
    for (const CellPos& cell : cellsOf(side)) {
        if (game.board().at(cell.c, cell.r) == Cell::CoveredMine) {
            mine = cell;
        }
    }
    ASSERT_GE(mine.c, 0);
    view.clear();
    EXPECT_EQ(openWithMouse(game, mine.c, mine.r), MoveOutcome{}) << "a loss leaves nothing to do";
    EXPECT_EQ(game.state(), GameState::Lost);
    EXPECT_EQ(game.shownFace(), Face::Dead);
    EXPECT_EQ(view.cellsShowing("HitMine"), std::vector<CellPos>{mine});
    EXPECT_EQ(static_cast<int>(view.cellsShowing("Mine").size()), mines - 1);
    // The board stays as it was, and a new game starts afresh.
    game.keyDown(Key::NewGame);
    EXPECT_EQ(game.state(), GameState::Ready);
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel, ::testing::Values(0, 1, 2, 3));

}  // namespace
}  // namespace quorvel::core::testing
