#include "core/board.h"

namespace quorvel::core {

Cell Board::at(int c, int r) const {
    if (c < kMin || c > kMax || r < kMin || r > kMax) {
        return Cell::Covered;
    }
    return cells_[static_cast<std::size_t>((c - kMin) * kSpan + (r - kMin))];
}

void Board::set(int c, int r, Cell cell) {
    if (c < kMin || c > kMax || r < kMin || r > kMax) {
        return;
    }
    cells_[static_cast<std::size_t>((c - kMin) * kSpan + (r - kMin))] = cell;
}

void Board::clear() {
    cells_.fill(Cell::Covered);
}

}  // namespace quorvel::core
