#pragma once
// The board array: one cell code per (column, half-row), indices -5 .. 60 in both
// directions so that every neighbour look-up of an edge cell reads a margin entry,
// which is always Covered (no mine, not flagged).

#include <array>
#include <cstdint>

namespace quorvel::core {

enum class Cell : std::uint8_t {
    Covered,      // covered, no mine
    CoveredMine,  // covered, holds a mine
    FlaggedSafe,  // covered, no mine, flagged
    FlaggedMine,  // covered, holds a mine, flagged
    Opened,       // opened (never a mine)
};

constexpr bool hasMine(Cell cell) {
    return cell == Cell::CoveredMine || cell == Cell::FlaggedMine;
}
constexpr bool isFlagged(Cell cell) {
    return cell == Cell::FlaggedSafe || cell == Cell::FlaggedMine;
}
// Adding a flag to a covered cell; removing it again.
constexpr Cell withFlag(Cell cell) {
    return cell == Cell::Covered       ? Cell::FlaggedSafe
           : cell == Cell::CoveredMine ? Cell::FlaggedMine
                                       : cell;
}
constexpr Cell withoutFlag(Cell cell) {
    return cell == Cell::FlaggedSafe   ? Cell::Covered
           : cell == Cell::FlaggedMine ? Cell::CoveredMine
                                       : cell;
}

class Board {
  public:
    // Far more than a side-10 board needs, kept on purpose: docs/kept-behaviour.md.
    static constexpr int kMin = -5;
    static constexpr int kMax = 60;

    // Reads outside -5 .. 60 answer Covered; writes there are ignored.
    Cell at(int c, int r) const;
    void set(int c, int r, Cell cell);
    // Every entry back to Covered.
    void clear();

  private:
    static constexpr int kSpan = kMax - kMin + 1;  // 66
    std::array<Cell, kSpan * kSpan> cells_{};
};

}  // namespace quorvel::core
