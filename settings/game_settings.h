#pragma once
// Between the game and the values of our section: what the values start (the
// level, the board of a stored custom board, the face set, where the window
// goes) and what the game writes back.

#include "core/game_view.h"
#include "settings/best_times.h"
#include "settings/ini_format.h"

namespace quorvel::settings {

struct StartupChoice {
    // Beginner, Advanced or Expert: run that level's handler. Custom: mark the
    // custom item only and start a new game on customSide / customMines.
    core::Level level = core::Level::Beginner;
    int customSide = 0;   // 4, 6, 8 or 10 when level is Custom, else 0
    int customMines = 0;  // within the side's range when level is Custom, else 0
    int faceSet = 0;      // 0, 1 or 2
    // Top left corner of the window in screen pixels: Xpos / Ypos rounded down,
    // kept within +-1000000 so that no stored value can overflow an int.
    int x = 0;
    int y = 0;

    friend bool operator==(const StartupChoice&, const StartupChoice&) = default;
};

// Difficulty 0, 1, 2 chooses beginner, advanced, expert. Below 0 or above 2 it
// asks for a custom board: taken when Size is 4, 6, 8 or 10 and
// 0.05 * N <= Mines <= 0.5 * N (N = 3 * Size * (Size - 1) + 1, the cell count),
// with a fractional Mines taken as the nearest whole count inside that range; any
// other pair starts the
// beginner level instead. A Difficulty between 0 and 2 that is not whole starts
// the beginner level too. Face 0, 1, 2 chooses that set; anything else set 0.
StartupChoice chooseStartup(const SettingsValues& values);

// The values to write: Difficulty is the level number (beginner 0, advanced 1,
// expert 2, custom 3), Size and Mines the current board, Face the face set,
// Xpos/Ypos the window's top left corner in screen pixels, times and names
// from the table.
SettingsValues valuesToWrite(core::Level level, int side, int mines, int faceSet, double x,
                             double y, const BestTimes& table);

// Cells of a board of side s: 3 s (s - 1) + 1.
constexpr int cellCount(int side) {
    return 3 * side * (side - 1) + 1;
}

}  // namespace quorvel::settings
