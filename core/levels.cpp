#include "core/levels.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/geometry.h"

namespace quorvel::core {

LevelSetup fixedLevel(Level level) {
    switch (level) {
        case Level::Beginner:
            return {4, 7};
        case Level::Advanced:
            return {6, 21};
        case Level::Expert:
            return {8, 49};
        case Level::Custom:
            break;
    }
    throw std::invalid_argument("the custom board has no fixed side and mine count");
}

Level recordLevel(std::optional<Level> marked) {
    if (marked == Level::Advanced || marked == Level::Expert) {
        return *marked;
    }
    return Level::Beginner;
}

// A custom win is held against the beginner's time, never recorded:
// docs/kept-behaviour.md.
bool keepsRecord(std::optional<Level> marked) {
    return marked != Level::Custom;
}

Win winOf(std::optional<Level> marked, int seconds) {
    return {recordLevel(marked), seconds, keepsRecord(marked)};
}

int bestTimesRow(Level level) {
    return static_cast<int>(recordLevel(level));
}

MineRange customMineRange(int side) {
    const double cells = cellCount(side);
    return {0.05 * cells, 0.5 * cells};
}

// Cutting 1.85 down to 1 makes a board that start-up refuses: docs/kept-behaviour.md.
int customMinesTyped(int side, double typed) {
    const MineRange range = customMineRange(side);
    double mines = typed;
    if (typed > range.most) {
        mines = range.most;
    }
    if (typed < range.fewest) {
        mines = range.fewest;
    }
    return static_cast<int>(std::trunc(mines));
}

int customMinesStored(int side, double stored) {
    const MineRange range = customMineRange(side);
    return static_cast<int>(
        std::clamp(std::rint(stored), std::ceil(range.fewest), std::floor(range.most)));
}

}  // namespace quorvel::core
