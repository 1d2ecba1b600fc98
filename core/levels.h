#pragma once
// The game's levels: the three fixed boards, the custom board's range of mines,
// and the best-times row in which a won game is recorded.

#include <optional>

namespace quorvel::core {

// The four level items of the game menu.
enum class Level { Beginner, Advanced, Expert, Custom };

struct LevelSetup {
    int side;
    int mines;
};
// Side and mines of the three fixed levels; Custom throws std::invalid_argument.
LevelSetup fixedLevel(Level level);

// The level whose best time a won game is held against: the marked fixed level,
// and the beginner's for a custom board or no mark (a custom board is checked
// but never recorded).
Level recordLevel(std::optional<Level> marked);
// Whether the best-times table keeps a win of a game played with this level
// marked: a custom board is held against the beginner's time but never recorded.
bool keepsRecord(std::optional<Level> marked);
// The row of the best-times table: beginner 0, advanced 1, expert 2; the custom
// board reads the beginner row.
int bestTimesRow(Level level);

// A won game as the best-times table takes it: the level whose best time it is
// held against (recordLevel of the level marked), its seconds, and whether the
// table keeps it at all (a custom board is held against the beginner's time but
// never recorded).
struct Win {
    Level level;
    int seconds;
    bool recordable;

    // A new record: recordable and faster than the best time. An equal time keeps
    // the old holder.
    bool setsRecord(double best) const { return recordable && seconds < best; }
    friend bool operator==(const Win&, const Win&) = default;
};
// The win of a game played with this level marked, in this many seconds.
Win winOf(std::optional<Level> marked, int seconds);

// A custom board holds between 5 % and half of its cells in mines, as real
// numbers: 1.85 .. 18.5 for side 4, 13.55 .. 135.5 for side 10.
struct MineRange {
    double fewest;
    double most;
    bool contains(double mines) const { return mines >= fewest && mines <= most; }
};
MineRange customMineRange(int side);
// What the custom-board dialog makes of a typed number: brought into the range,
// then the fraction cut off (1 .. 18 for side 4).
int customMinesTyped(int side, double typed);
// What a stored count inside the range starts: the nearest whole count that is
// still inside it (2 .. 18 for side 4), so that it is accepted again next time.
int customMinesStored(int side, double stored);

}  // namespace quorvel::core
