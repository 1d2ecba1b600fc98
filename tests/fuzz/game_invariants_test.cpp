// The game fuzzer's rule checker: whole games played through the handlers break no
// rule, and each kind of fault, put into the game's state by hand, is reported
// under the rule it breaks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "core/game.h"
#include "core/random_source.h"
#include "fuzz/fuzz_game_view.h"
#include "fuzz/game_invariants.h"
#include "tests/support/cells.h"

namespace quorvel::fuzz {
namespace {

using core::Cell;
using core::CellPos;
using core::GameState;

// A pointer position on the cell's anchor pixel.
double x(CellPos cell) {
    return core::anchorX(cell.c) + 0.5;
}
double y(CellPos cell) {
    return core::cellY(cell.r) + 0.5;
}

struct Checked {
    FuzzGameView view;
    core::SeededRandom random{7};
    core::Game game{view, random};
    GameInvariants rules{game, view};

    Checked() {
        EXPECT_EQ(event([&] { game.chooseLevel(core::Level::Beginner); }), std::nullopt);
        EXPECT_EQ(event([&] { game.chooseFaceSet(core::FaceSet::Yellow); }), std::nullopt);
    }

    std::optional<std::string> event(const std::function<void()>& handler) {
        rules.before();
        handler();
        return rules.after();
    }
    std::optional<std::string> press(int button, CellPos cell) {
        return event([&] { game.boardPress(button, x(cell), y(cell)); });
    }
    // The release, and what it handed back, done as the window does it.
    std::optional<std::string> release(int button, CellPos cell) {
        core::MoveOutcome outcome;
        const auto broken = event([&] { outcome = game.boardRelease(button, x(cell), y(cell)); });
        view.act(outcome);
        return broken ? broken : rules.handedBack(outcome);
    }
    void click(int button, CellPos cell) {
        EXPECT_EQ(press(button, cell), std::nullopt);
        EXPECT_EQ(release(button, cell), std::nullopt);
    }
    // The first cell of the board, column by column, whose code is `code`.
    CellPos first(Cell code) const {
        std::optional<CellPos> found;
        core::forEachCell(4, [&](CellPos cell) {
            if (!found && game.board().at(cell.c, cell.r) == code) {
                found = cell;
            }
        });
        EXPECT_TRUE(found) << "no such cell";
        return found.value_or(CellPos{-1, -1});
    }
    // The middle cell opened first, then every other covered cell without a mine.
    void playToWin() {
        click(core::kLeftButton, {3, 6});
        ASSERT_TRUE(support::moveUntil(
            "end of the game", core::cellCount(4),
            [&] { return game.state() != GameState::Running; },
            [&] { click(core::kLeftButton, first(Cell::Covered)); }));
    }
    std::optional<std::string> corrupt(const std::function<void(core::Board&)>& change) {
        return event([&] { change(game.boardForTesting()); });
    }
};

// Starts with the rule's name.
MATCHER_P(Names, rule, "") {
    return arg.has_value() && arg->rfind(rule, 0) == 0;
}

TEST(GameInvariants, HoldThroughFlagsALossANewGameAndAWin) {
    Checked g;
    g.click(core::kRightButton, {0, 3});
    g.click(core::kRightButton, {6, 9});
    g.click(core::kRightButton, {6, 9});
    g.click(core::kLeftButton, {3, 6});
    ASSERT_EQ(g.game.state(), GameState::Running);
    EXPECT_EQ(g.event([&] { g.game.tick(); }), std::nullopt);
    g.click(core::kLeftButton, g.first(Cell::CoveredMine));
    ASSERT_EQ(g.game.state(), GameState::Lost);
    EXPECT_EQ(g.event([&] { EXPECT_TRUE(g.game.keyDown(core::Key::Escape).minimize); }),
              std::nullopt);

    EXPECT_EQ(g.event([&] { g.game.keyDown(core::Key::NewGame); }), std::nullopt);
    g.playToWin();
    EXPECT_EQ(g.game.state(), GameState::Won);
    EXPECT_EQ(g.view.records, 1);
}

TEST(GameInvariants, NameACellTheCoveredCountMisses) {
    Checked g;
    g.click(core::kLeftButton, {3, 6});
    const CellPos safe = g.first(Cell::Covered);
    EXPECT_THAT(g.corrupt([&](core::Board& b) { b.set(safe.c, safe.r, Cell::Opened); }),
                Names("covered count"));
}

// A code between the cells, in the board's margin, far off it, and on the first and
// the last position of the board array (the checker compares it a word at a time).
TEST(GameInvariants, NameACodeOnAPositionThatIsNoCell) {
    for (const CellPos at : {CellPos{3, 7}, CellPos{-1, 6}, CellPos{50, 3},
                             CellPos{core::Board::kMin, core::Board::kMin},
                             CellPos{core::Board::kMax, core::Board::kMax}}) {
        Checked g;
        g.click(core::kLeftButton, {3, 6});
        const std::optional<std::string> found =
            g.corrupt([&](core::Board& b) { b.set(at.c, at.r, Cell::FlaggedSafe); });
        EXPECT_THAT(found, Names("board: a code on (" + std::to_string(at.c) + ", " +
                                 std::to_string(at.r) + ")"));
    }
}

TEST(GameInvariants, NameAMineBeforeTheFirstOpening) {
    Checked g;
    EXPECT_THAT(g.corrupt([](core::Board& b) { b.set(3, 6, Cell::CoveredMine); }), Names("mines"));
}

TEST(GameInvariants, NameAFlagTheCounterMisses) {
    Checked g;
    EXPECT_THAT(g.corrupt([](core::Board& b) { b.set(3, 6, Cell::FlaggedSafe); }),
                Names("counter"));
}

TEST(GameInvariants, NameAMineThatMovesAfterThePlacement) {
    Checked g;
    g.click(core::kLeftButton, {3, 6});
    const CellPos mine = g.first(Cell::CoveredMine);
    const CellPos safe = g.first(Cell::Covered);
    const std::optional<std::string> found = g.corrupt([&](core::Board& b) {
        b.set(mine.c, mine.r, Cell::Covered);
        b.set(safe.c, safe.r, Cell::CoveredMine);
    });
    EXPECT_THAT(found, Names("mines"));
}

TEST(GameInvariants, NameAPlacementUnderAFlagWhileCoveredCellsAreLeft) {
    Checked g;
    g.click(core::kRightButton, {0, 3});
    EXPECT_EQ(g.press(core::kLeftButton, {3, 6}), std::nullopt);
    const std::optional<std::string> found = g.event([&] {
        g.game.boardRelease(core::kLeftButton, x({3, 6}), y({3, 6}));
        const CellPos mine = g.first(Cell::CoveredMine);
        g.game.boardForTesting().set(mine.c, mine.r, Cell::Covered);
        g.game.boardForTesting().set(0, 3, Cell::FlaggedMine);
    });
    EXPECT_THAT(found, Names("mines"));
}

TEST(GameInvariants, NameANumberThatMiscountsItsNeighbours) {
    Checked g;
    EXPECT_EQ(g.press(core::kLeftButton, {3, 6}), std::nullopt);
    const std::optional<std::string> found = g.event([&] {
        g.game.boardRelease(core::kLeftButton, x({3, 6}), y({3, 6}));
        const int shown = g.view.numbers.at({3, 6});
        g.view.numbers.clear();
        g.view.numbers.add({3, 6}, shown + 1);
    });
    EXPECT_THAT(found, Names("numbers"));
}

TEST(GameInvariants, NameAWinNotHandedBackOrNotTheGames) {
    Checked g;
    g.click(core::kLeftButton, {3, 6});
    core::MoveOutcome outcome;
    while (g.game.state() == GameState::Running) {
        const CellPos cell = g.first(Cell::Covered);
        EXPECT_EQ(g.press(core::kLeftButton, cell), std::nullopt);
        EXPECT_EQ(
            g.event([&] { outcome = g.game.boardRelease(core::kLeftButton, x(cell), y(cell)); }),
            std::nullopt);
    }
    ASSERT_EQ(g.game.state(), GameState::Won);
    ASSERT_TRUE(outcome.won);
    EXPECT_EQ(g.rules.handedBack(outcome), std::nullopt);
    EXPECT_THAT(g.rules.handedBack({}), Names("outcome"));
    core::MoveOutcome slower = outcome;
    ++slower.won->seconds;
    EXPECT_THAT(g.rules.handedBack(slower), Names("outcome"));
    // The next event finds the game won already: handing the win back again is a fault.
    EXPECT_EQ(g.event([] {}), std::nullopt);
    EXPECT_THAT(g.rules.handedBack(outcome), Names("outcome"));
}

TEST(GameInvariants, NameADrawingOffEveryCell) {
    Checked g;
    EXPECT_THAT(g.event([&] {
        g.view.drawCell({3, 7}, core::CellLook::Raised, core::FaceSet::Yellow);
    }),
                Names("window call"));
}

TEST(GameInvariants, NameAClockOutOfStepWithTheGame) {
    Checked g;
    EXPECT_THAT(g.event([&] { g.view.runClock(true); }), Names("clock"));
}

// The faults below move a flag, so that the counter still agrees with the board.
void moveFlag(core::Board& board, CellPos from, CellPos to) {
    board.set(from.c, from.r, core::withoutFlag(board.at(from.c, from.r)));
    board.set(to.c, to.r, core::withFlag(board.at(to.c, to.r)));
}

TEST(GameInvariants, NameAHeldCellThatIsFlagged) {
    Checked g;
    g.click(core::kRightButton, {3, 8});
    EXPECT_EQ(g.press(core::kLeftButton, {3, 6}), std::nullopt);
    EXPECT_THAT(g.corrupt([](core::Board& b) { moveFlag(b, {3, 8}, {3, 6}); }), Names("held cell"));
}

TEST(GameInvariants, NameACellHeldThroughANewGame) {
    Checked g;
    const std::optional<std::string> found = g.event([&] {
        g.game.chooseLevel(core::Level::Advanced);
        g.game.boardPress(core::kLeftButton, x({5, 10}), y({5, 10}));
    });
    EXPECT_THAT(found, Names("held cell"));
}

TEST(GameInvariants, NameASunkenCellLeftBehindByTheHeldCell) {
    Checked g;
    EXPECT_EQ(g.press(core::kLeftButton, {3, 6}), std::nullopt);
    EXPECT_THAT(g.event([&] {
        g.view.drawCell({3, 8}, core::CellLook::Sunken, core::FaceSet::Yellow);
    }),
                Names("held cell"));
}

TEST(GameInvariants, NameAChangeToALostGame) {
    Checked g;
    g.click(core::kRightButton, {0, 3});
    g.click(core::kLeftButton, {3, 6});
    g.click(core::kLeftButton, g.first(Cell::CoveredMine));
    ASSERT_EQ(g.game.state(), GameState::Lost);
    const CellPos safe = g.first(Cell::Covered);
    EXPECT_THAT(g.corrupt([&](core::Board& b) { moveFlag(b, {0, 3}, safe); }), Names("game over"));
}

}  // namespace
}  // namespace quorvel::fuzz
