// New games, levels, face sets, the clock, the counter, the record check, and
// whole games played through the handlers alone.

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game.h"
#include "test_support.h"

namespace quorvel::core::testing {
namespace {

using Log = std::vector<std::string>;

// A left click in the middle of the anchor pixel of cell (c, r).
void openWithMouse(Game& game, int c, int r) {
    game.Field_MouseDown(kLeftButton, 0, GameFixture::fx(c), GameFixture::fy(r));
    game.Field_MouseUp(kLeftButton, 0, GameFixture::fx(c), GameFixture::fy(r));
}

// Opens the middle cell, lets `ticks` seconds pass, then opens every covered
// cell without a mine until the game ends.
void playToWin(GameFixture& f, int ticks) {
    quorvel::support::playToWin(
        f.game, [&](int c, int r) { f.open(c, r); },
        [&] {
            for (int i = 0; i < ticks; ++i) {
                f.game.TimerT_Timer();
            }
        });
}

// ---------------------------------------------------------------- new game and levels

TEST(NewGame, StartsReadyWithClockAtZeroAndCounterAtTheMineCount) {
    GameFixture f;
    f.game.Skn_Click(0);
    f.view.clear();
    f.game.NGA();
    EXPECT_EQ(f.view.log, (Log{"mark(Advanced)", "prompt(Advanced)", "face(Normal,0)", "timer(off)",
                               "counter(2,1)", "layout(6)", "field(on)", "clock(0)"}));
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.game.Side(), 6);
    EXPECT_EQ(f.game.MineCount(), 21);
    EXPECT_EQ(f.game.CoveredCount(), 91);
    EXPECT_EQ(f.game.Seconds(), 0);
    EXPECT_EQ(f.game.Zmin(), "21");
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.restingFace(), Face::Normal);
    EXPECT_EQ(f.game.levelMark(), Level::Advanced);
}

TEST(NewGame, ChoosingALevelWhileRunningAbandonsTheGame) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.rightPress(0, 3);
    for (int i = 0; i < 5; ++i) {
        f.game.TimerT_Timer();
    }
    ASSERT_EQ(f.game.state(), GameState::Running);
    f.view.clear();
    f.game.NGE();
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.game.Seconds(), 0);
    EXPECT_EQ(f.game.Zmin(), "49");
    EXPECT_EQ(f.game.Side(), 8);
    EXPECT_EQ(f.game.CoveredCount(), 169);
    for (int c = -5; c <= 60; ++c) {
        for (int r = -5; r <= 60; ++r) {
            ASSERT_EQ(f.game.board().at(c, r), Cell::Covered) << c << "," << r;
        }
    }
    EXPECT_EQ(f.view.only({"bestTime", "enterRecord", "WriteK"}), Log{});
    EXPECT_EQ(f.view.count("layout(8)"), 1);
}

TEST(NewGame, TheMarkedLevelAgainStillStartsANewGame) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.view.clear();
    f.game.NGB();
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
}

TEST(NewGame, CustomBoardOfSideTenWithMostMines) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    f.game.CustOK(10, 135);
    EXPECT_EQ(f.view.log, (Log{"mark(Custom)", "face(Normal,0)", "timer(off)", "counter(9,9)",
                               "layout(10)", "field(on)", "clock(0)"}));
    EXPECT_EQ(f.game.levelMark(), Level::Custom);
    EXPECT_EQ(f.game.CoveredCount(), 271);
    EXPECT_EQ(f.game.Zmin(), "135");
}

TEST(NewGame, UnsupportedSideOrNoMinesIsRefusedAndChangesNothing) {
    GameFixture f;
    f.setUpLevel(Level::Advanced, {});
    f.view.clear();
    for (const int side : {5, 3, 12, 0, -6}) {
        try {
            f.game.CustOK(side, 10);
            ADD_FAILURE() << "side " << side << " accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(side)), std::string::npos);
        }
    }
    EXPECT_THROW(f.game.CustOK(6, 0), std::invalid_argument);
    EXPECT_THROW(f.game.Skn_Click(3), std::invalid_argument);
    EXPECT_THROW(fixedLevel(Level::Custom), std::invalid_argument);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.Side(), 6);
    EXPECT_EQ(f.game.levelMark(), Level::Advanced);
}

TEST(NewGame, FaceSetChangeStartsAGameAndWritesTheSettingsOnce) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    f.game.Skn_Click(0);
    EXPECT_TRUE(f.view.log.empty());
    f.game.Skn_Click(2);
    ASSERT_FALSE(f.view.log.empty());
    EXPECT_EQ(f.view.log.front(), "faceMark(2)");
    EXPECT_EQ(f.view.log[1], "face(Normal,2)");
    EXPECT_EQ(f.view.log.back(), "WriteK");
    EXPECT_EQ(f.view.count("WriteK"), 1);
    EXPECT_EQ(f.game.FaceSet(), 2);
    // The surprised face of the new set.
    f.leftPress(3, 6);
    EXPECT_EQ(f.view.log[f.view.log.size() - 3], "face(Surprised,2)");
}

// ---------------------------------------------------------------- clock

TEST(Clock, FirstOpeningShowsOneAtOnceThenEveryTickAddsOne) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.leftPress(3, 6);
    f.view.clear();
    f.leftRelease(3, 6);
    const Log clockAndTimer = f.view.only({"clock", "timer"});
    ASSERT_GE(clockAndTimer.size(), 2u);
    EXPECT_EQ(clockAndTimer[0], "clock(1)");
    EXPECT_EQ(clockAndTimer[1], "timer(on)");
    f.game.TimerT_Timer();
    f.game.TimerT_Timer();
    EXPECT_EQ(f.game.Seconds(), 3);
    EXPECT_EQ(f.view.log.back(), "clock(3)");
}

TEST(Clock, StopsAt999) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.view.clear();
    for (int i = 0; i < 1200; ++i) {
        f.game.TimerT_Timer();
    }
    EXPECT_EQ(f.game.Seconds(), 999);
    EXPECT_EQ(f.view.log.size(), 998u);
    EXPECT_EQ(f.view.log.back(), "clock(999)");
}

TEST(Clock, SkipsTicksWhileMinimised) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.open(3, 6);
    f.game.TimerT_Timer();
    f.view.minimized = true;
    f.view.clear();
    for (int i = 0; i < 10; ++i) {
        f.game.TimerT_Timer();
    }
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.Seconds(), 2);
    f.view.minimized = false;
    f.game.TimerT_Timer();
    EXPECT_EQ(f.game.Seconds(), 3);
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

TEST(Counter, RedrawsOnlyWhenTheTextChanges) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, {});
    f.view.clear();
    f.game.setZmin("7");
    EXPECT_TRUE(f.view.log.empty());
    f.game.setZmin("-12");
    EXPECT_EQ(f.view.log, (Log{"counter(10,2)"}));
    // A flag counts down from whatever the text reads.
    f.rightPress(3, 6);
    EXPECT_EQ(f.game.Zmin(), "-13");
}

// ---------------------------------------------------------------- record check

// Beginner mines in the two left columns: (2, 7) shows a 1; the right side then
// opens every other safe cell at once.
const std::vector<CellPos> kLeftWall = {{0, 3}, {0, 5}, {0, 7}, {0, 9}, {1, 2}, {1, 4}, {1, 6}};

void winBeginnerAt(GameFixture& f, int seconds) {
    f.open(2, 7);
    while (f.game.Seconds() < seconds) {
        f.game.TimerT_Timer();
    }
    f.open(6, 9);
    ASSERT_EQ(f.game.state(), GameState::Won);
}

TEST(Record, ABetterTimeIsEnteredAndTheSettingsWritten) {
    GameFixture f;
    f.setUpLevel(Level::Beginner, kLeftWall);
    f.view.clear();
    winBeginnerAt(f, 57);
    EXPECT_EQ(
        f.view.only({"bestTime", "prepareName", "enterRecord", "WriteK"}),
        (Log{"bestTime(Beginner)", "prepareName(Beginner)", "enterRecord(Beginner,57)", "WriteK"}));
    EXPECT_DOUBLE_EQ(f.game.BestTime(), 57);
}

TEST(Record, AnEqualOrWorseTimeRecordsNothing) {
    for (const double best : {57.0, 30.0}) {
        GameFixture f;
        f.view.best[Level::Beginner] = best;
        f.setUpLevel(Level::Beginner, kLeftWall);
        f.view.clear();
        winBeginnerAt(f, 57);
        EXPECT_EQ(f.view.only({"bestTime", "prepareName", "enterRecord", "WriteK"}),
                  (Log{"bestTime(Beginner)", "prepareName(Beginner)"}));
        EXPECT_DOUBLE_EQ(f.game.BestTime(), best);
    }
}

TEST(Record, ACustomBoardNeverRecords) {
    GameFixture f;
    f.random.side = 4;
    f.random.plan = kLeftWall;
    f.game.Skn_Click(0);
    f.game.NGB();
    f.game.CustOK(4, 7);
    f.view.clear();
    winBeginnerAt(f, 3);
    EXPECT_EQ(f.view.count("enterRecord(Beginner,3)"), 0);
    EXPECT_EQ(f.view.count("WriteK"), 0);
    EXPECT_EQ(f.view.only({"enterRecord", "WriteK"}), Log{});
}

TEST(Record, EachLevelChecksItsOwnEntry) {
    for (const Level level : {Level::Beginner, Level::Advanced, Level::Expert}) {
        SCOPED_TRACE(levelName(level));
        GameFixture f;
        f.setUpLevel(level, {});
        f.view.clear();
        playToWin(f, 20);
        ASSERT_EQ(f.game.state(), GameState::Won);
        const std::string name = levelName(level);
        EXPECT_EQ(f.view.only({"bestTime", "prepareName", "enterRecord", "WriteK"}),
                  (Log{"bestTime(" + name + ")", "prepareName(" + name + ")",
                       "enterRecord(" + name + ",21)", "WriteK"}));
    }
}

// ---------------------------------------------------------------- whole games

class EveryLevel : public ::testing::TestWithParam<int> {
  protected:
    void choose(Game& game) {
        switch (GetParam()) {
            case 0:
                game.NGB();
                break;
            case 1:
                game.NGA();
                break;
            case 2:
                game.NGE();
                break;
            default:
                game.CustOK(10, 135);
                break;
        }
    }
};

TEST_P(EveryLevel, PlayedToAWin) {
    RecordingView view;
    SeededRandom random(static_cast<std::uint64_t>(100 + GetParam()));
    Game game(view, random);
    game.Skn_Click(1);
    choose(game);
    const int side = game.Side();
    const int mines = game.MineCount();
    quorvel::support::playToWin(
        game, [&](int c, int r) { openWithMouse(game, c, r); },
        [&] {
            // Flag two mines on the way, as a player would.
            int flagged = 0;
            for (const CellPos& cell : cellsOf(side)) {
                if (flagged < 2 && game.board().at(cell.c, cell.r) == Cell::CoveredMine) {
                    game.Field_MouseDown(kRightButton, 0, GameFixture::fx(cell.c),
                                         GameFixture::fy(cell.r));
                    ++flagged;
                }
            }
            view.clear();
        });
    EXPECT_EQ(game.state(), GameState::Won);
    EXPECT_EQ(game.CoveredCount(), mines);
    EXPECT_EQ(game.Zmin(), "0");
    EXPECT_EQ(game.shownFace(), Face::Winner);
    EXPECT_EQ(view.count("face(Winner,1)"), 1);
    EXPECT_EQ(static_cast<int>(view.only({"DrawFlg"}).size()), mines - 2);
    EXPECT_FALSE(game.fieldEnabled());
    EXPECT_FALSE(game.timerEnabled());
    for (const CellPos& cell : cellsOf(side)) {
        const Cell code = game.board().at(cell.c, cell.r);
        EXPECT_TRUE(code == Cell::Opened || hasMine(code));
    }
}

TEST_P(EveryLevel, PlayedToALoss) {
    RecordingView view;
    SeededRandom random(static_cast<std::uint64_t>(200 + GetParam()));
    Game game(view, random);
    game.Skn_Click(2);
    choose(game);
    const int side = game.Side();
    const int mines = game.MineCount();
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
    open(mine.c, mine.r);
    EXPECT_EQ(game.state(), GameState::Lost);
    EXPECT_EQ(game.shownFace(), Face::Dead);
    EXPECT_EQ(view.count("DrawMin(" + std::to_string(anchorX(mine.c)) + "," +
                         std::to_string(cellY(mine.r)) + ",1)"),
              1);
    EXPECT_EQ(static_cast<int>(view.only({"DrawMin"}).size()), mines);
    EXPECT_EQ(view.only({"bestTime", "enterRecord", "WriteK"}), Log{});
    // The board stays as it was, and a new game starts afresh.
    game.Form_KeyDown(kKeyF2, 0);
    EXPECT_EQ(game.state(), GameState::Ready);
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel, ::testing::Values(0, 1, 2, 3));

}  // namespace
}  // namespace quorvel::core::testing
