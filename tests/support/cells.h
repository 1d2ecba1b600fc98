#pragma once
// The cells of a board and a whole game won on the core, whatever drives the
// clicks: the core's handlers, the window's real mouse events.

#include <functional>
#include <vector>

#include "core/game.h"
#include "core/geometry.h"

namespace quorvel::support {

// Every cell of a board of this side, column by column, top to bottom.
inline std::vector<core::CellPos> cellsOf(int side) {
    std::vector<core::CellPos> cells;
    for (int c = 0; c <= 2 * side - 2; ++c) {
        for (int r = 0; r <= 4 * side - 4; ++r) {
            if (core::isCell(side, c, r)) {
                cells.push_back({c, r});
            }
        }
    }
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

}  // namespace quorvel::support
