// Mine placement at the first opening.

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/game.h"
#include "test_support.h"

namespace quorvel::core::testing {
namespace {

struct CellCounts {
    int mines = 0;
    int flaggedMines = 0;
    int flaggedSafe = 0;
};

CellCounts countCells(const Game& game) {
    CellCounts n;
    const int side = game.side();
    for (int c = -5; c <= 60; ++c) {
        for (int r = -5; r <= 60; ++r) {
            const Cell cell = game.board().at(c, r);
            if (cell != Cell::Covered) {
                EXPECT_TRUE(isCell(side, c, r)) << "code on no cell " << c << "," << r;
            }
            n.mines += cell == Cell::CoveredMine ? 1 : 0;
            n.flaggedMines += cell == Cell::FlaggedMine ? 1 : 0;
            n.flaggedSafe += cell == Cell::FlaggedSafe ? 1 : 0;
        }
    }
    return n;
}

TEST(Placement, PlacesExactlyTheMineCountAndSparesTheFirstAndFlaggedCells) {
    for (const auto& [side, mines] :
         std::vector<std::pair<int, int>>{{4, 7}, {6, 21}, {8, 49}, {10, 135}, {4, 18}}) {
        SCOPED_TRACE(std::to_string(side) + "/" + std::to_string(mines));
        RecordingView view;
        SeededRandom random(static_cast<std::uint64_t>(side * 1000 + mines));
        Game game(view, random);
        game.chooseFaceSet(FaceSet::Yellow);
        game.chooseCustomBoard(side, mines);
        for (int round = 0; round < 30; ++round) {
            game.newGame();
            // Two flags before the first opening, placed by right presses.
            const CellPos first{side - 1, 2 * side - 2};
            const CellPos flag1{0, side - 1};
            const CellPos flag2{side, 2 * side - 1};
            game.boardPress(kRightButton, GameFixture::fx(flag1.c), GameFixture::fy(flag1.r));
            game.boardPress(kRightButton, GameFixture::fx(flag2.c), GameFixture::fy(flag2.r));
            game.placeMines(mines, first);
            const CellCounts n = countCells(game);
            ASSERT_EQ(n.mines, mines);
            ASSERT_EQ(n.flaggedMines, 0);
            ASSERT_EQ(n.flaggedSafe, 2);
            ASSERT_EQ(game.board().at(first.c, first.r), Cell::Covered);
        }
    }
}

TEST(Placement, ReseedsAtTheStartAndShowsNothing) {
    RecordingView view;
    PlacingRandom random;
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseLevel(Level::Beginner);
    ASSERT_EQ(game.seconds(), 0);
    const int before = random.reseeds;
    view.clear();
    game.placeMines(7, {3, 6});
    EXPECT_EQ(random.reseeds, before + 1);
    EXPECT_EQ(game.seconds(), 0);
    EXPECT_TRUE(view.log.empty());
}

TEST(Placement, EveryOtherCellIsEquallyLikelyToGetAMine) {
    // Beginner with the first cell in the middle: each of the other 36 cells
    // should hold a mine in 7/36 of the games.
    RecordingView view;
    SeededRandom random(7);
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseLevel(Level::Beginner);
    const int games = 20000;
    const CellPos first{3, 6};
    std::map<std::pair<int, int>, int> hits;
    for (int g = 0; g < games; ++g) {
        game.boardForTesting().clear();
        game.placeMines(7, first);
        for (const CellPos& cell : cellsOf(4)) {
            if (hasMine(game.board().at(cell.c, cell.r))) {
                ++hits[{cell.c, cell.r}];
            }
        }
    }
    EXPECT_EQ(hits.count({first.c, first.r}), 0u);
    ASSERT_EQ(hits.size(), 36u);
    const double expected = games * 7.0 / 36.0;
    double chiSquare = 0;
    for (const auto& [cell, n] : hits) {
        chiSquare += (n - expected) * (n - expected) / expected;
    }
    // 35 degrees of freedom: the 99.99th percentile is about 75. A cell twice as
    // likely as the others alone would add several hundred.
    EXPECT_LT(chiSquare, 80.0);
}

TEST(Placement, EndsWhenFlagsLeaveTooFewFreeCells) {
    // All but three of the other cells flagged: three mines go to the free cells,
    // the other four under flags.
    GameFixture f;
    f.random.side = 4;
    f.game.chooseFaceSet(FaceSet::Yellow);
    f.game.chooseLevel(Level::Beginner);
    const CellPos first{3, 6};
    const std::vector<CellPos> free = {{3, 0}, {0, 3}, {6, 9}};
    int flags = 0;
    for (const CellPos& cell : cellsOf(4)) {
        if (cell == first || cell == free[0] || cell == free[1] || cell == free[2]) {
            continue;
        }
        f.rightPress(cell.c, cell.r);
        ++flags;
    }
    ASSERT_EQ(flags, 33);
    EXPECT_EQ(f.game.counter(), -26);
    f.open(first.c, first.r);
    const CellCounts n = countCells(f.game);
    EXPECT_EQ(n.mines, 3);
    EXPECT_EQ(n.flaggedMines, 4);
    for (const CellPos& cell : free) {
        EXPECT_EQ(f.game.board().at(cell.c, cell.r), Cell::CoveredMine);
    }
    EXPECT_EQ(f.game.board().at(first.c, first.r), Cell::Opened);
    EXPECT_EQ(f.game.seconds(), 1);
}

TEST(Placement, EndsWhenEveryOtherCellIsFlagged) {
    GameFixture f;
    f.random.side = 4;
    f.game.chooseFaceSet(FaceSet::Yellow);
    f.game.chooseLevel(Level::Beginner);
    for (const CellPos& cell : cellsOf(4)) {
        if (!(cell == CellPos{3, 6})) {
            f.rightPress(cell.c, cell.r);
        }
    }
    f.open(3, 6);
    const CellCounts n = countCells(f.game);
    EXPECT_EQ(n.mines, 0);
    EXPECT_EQ(n.flaggedMines, 7);
    EXPECT_EQ(n.flaggedSafe, 29);
    EXPECT_EQ(f.game.state(), GameState::Running);
}

TEST(Placement, EndsWhenAskedForMoreMinesThanCells) {
    RecordingView view;
    SeededRandom random(3);
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseLevel(Level::Beginner);
    game.placeMines(100, {3, 6});
    EXPECT_EQ(countCells(game).mines, 36);
    EXPECT_EQ(game.board().at(3, 6), Cell::Covered);
}

TEST(Placement, PlacesAtLeastOneMine) {
    RecordingView view;
    SeededRandom random(5);
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseLevel(Level::Beginner);
    game.placeMines(0, {3, 6});
    EXPECT_EQ(countCells(game).mines, 1);
}

TEST(Placement, FirstOpeningLeavesTheOpenedCellFreeAndTheClockAtOne) {
    for (int seed = 0; seed < 50; ++seed) {
        RecordingView view;
        SeededRandom random(static_cast<std::uint64_t>(seed));
        Game game(view, random);
        game.chooseFaceSet(FaceSet::Yellow);
        game.chooseLevel(Level::Expert);
        game.boardPress(kLeftButton, GameFixture::fx(7), GameFixture::fy(14));
        game.boardRelease(kLeftButton, GameFixture::fx(7), GameFixture::fy(14));
        ASSERT_EQ(game.board().at(7, 14), Cell::Opened);
        ASSERT_EQ(countCells(game).mines, 49);
        ASSERT_EQ(game.seconds(), 1);
    }
}

}  // namespace
}  // namespace quorvel::core::testing
