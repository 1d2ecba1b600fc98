#pragma once
// The board array: one cell code per (column, half-row), indices -5 .. 60 in both
// directions so that every neighbour look-up of an edge cell reads a margin entry,
// which is always Covered (no mine, not flagged).

#include <array>
#include <cstddef>
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

    // Reads outside -5 .. 60 answer Covered; writes there are ignored. Both are
    // inline: the rules, and the game fuzzer's checks after every event, ask for
    // cells millions of times.
    Cell at(int c, int r) const { return inRange(c, r) ? cells_[index(c, r)] : Cell::Covered; }
    void set(int c, int r, Cell cell) {
        if (inRange(c, r)) {
            cells_[index(c, r)] = cell;
        }
    }
    // Every entry back to Covered.
    void clear();

  private:
    static constexpr int kSpan = kMax - kMin + 1;  // 66
    static constexpr bool inRange(int c, int r) {
        return c >= kMin && c <= kMax && r >= kMin && r <= kMax;
    }
    static constexpr std::size_t index(int c, int r) {
        return static_cast<std::size_t>((c - kMin) * kSpan + (r - kMin));
    }
    std::array<Cell, kSpan * kSpan> cells_{};
};

}  // namespace quorvel::core
