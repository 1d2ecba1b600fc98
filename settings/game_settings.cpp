#include "settings/game_settings.h"

#include <algorithm>
#include <cmath>

namespace quorvel::settings {

namespace {

int windowCoordinate(double value) {
    constexpr double kLimit = 1000000;
    return static_cast<int>(std::floor(std::clamp(value, -kLimit, kLimit)));
}

bool storedSideIsOffered(double size) {
    return size == 4 || size == 6 || size == 8 || size == 10;
}

}  // namespace

StartupChoice chooseStartup(const SettingsValues& values) {
    StartupChoice choice;
    const double d = values.difficulty;
    if (d == 1) {
        choice.level = core::Level::Advanced;
    } else if (d == 2) {
        choice.level = core::Level::Expert;
    } else if ((d < 0 || d > 2) && storedSideIsOffered(values.size)) {
        const int side = static_cast<int>(values.size);
        const double cells = cellCount(side);
        if (values.mines >= 0.05 * cells && values.mines <= 0.5 * cells) {
            choice.level = core::Level::Custom;
            choice.customSide = side;
            // A hand-edited fraction becomes the nearest whole count that is still
            // inside the range, so the board written back is accepted next time
            // (cutting 1.85 down to 1 would not be).
            const double fewest = std::ceil(0.05 * cells);
            const double most = std::floor(0.5 * cells);
            choice.customMines =
                static_cast<int>(std::clamp(std::nearbyint(values.mines), fewest, most));
        }
    }
    const double face = std::trunc(values.face);
    choice.faceSet = (face == 1 || face == 2) ? static_cast<int>(face) : 0;
    choice.x = windowCoordinate(values.xpos);
    choice.y = windowCoordinate(values.ypos);
    return choice;
}

SettingsValues valuesToWrite(core::Level level, int side, int mines, int faceSet, double x,
                             double y, const BestTimes& table) {
    SettingsValues values;
    switch (level) {
        case core::Level::Beginner:
            values.difficulty = 0;
            break;
        case core::Level::Advanced:
            values.difficulty = 1;
            break;
        case core::Level::Expert:
            values.difficulty = 2;
            break;
        case core::Level::Custom:
            values.difficulty = 3;
            break;
    }
    values.size = side;
    values.mines = mines;
    values.face = faceSet;
    values.xpos = x;
    values.ypos = y;
    table.storeInto(values);
    return values;
}

}  // namespace quorvel::settings
