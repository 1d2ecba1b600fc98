#pragma once
// The cells of a board and a whole game won on the core, whatever drives the
// clicks: the core's handlers, the window's real mouse events.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/geometry.h"

namespace quorvel::support {

// Every cell of a board of this side, column by column, top to bottom.
inline std::vector<core::CellPos> cellsOf(int side) {
    std::vector<core::CellPos> cells;
    core::forEachCell(side, [&](core::CellPos cell) { cells.push_back(cell); });
    return cells;
}

// Opens the middle cell with `open(c, r)`, runs `afterFirstOpening`, then opens
// every covered cell without a mine, column by column, while the game runs.
inline void playToWin(const core::Game& game, const std::function<void(int c, int r)>& open,
                      const std::function<void()>& afterFirstOpening = {}) {
    const int side = game.side();
    open(side - 1, 2 * side - 2);
    if (afterFirstOpening) {
        afterFirstOpening();
    }
    for (const core::CellPos& cell : cellsOf(side)) {
        if (game.state() != core::GameState::Running) {
            break;
        }
        if (game.board().at(cell.c, cell.r) == core::Cell::Covered) {
            open(cell.c, cell.r);
        }
    }
}

// Makes `move` until `ended` holds, at most `moves` times: a fault that keeps the
// end from coming fails at once, naming what was awaited, instead of looping
// until the test's time runs out.
template <typename Ended, typename Move>
::testing::AssertionResult moveUntil(const std::string& awaited, int moves, Ended ended,
                                     Move move) {
    for (int made = 0; !ended(); ++made) {
        if (made == moves) {
            return ::testing::AssertionFailure()
                   << "no " << awaited << " after " << moves << " moves";
        }
        move();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace quorvel::support
