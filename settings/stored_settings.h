#pragma once
// What the settings file keeps for the game, as one type. parseSettings reads it
// from our section and writeSettings writes it (settings/ini_format.h): a new key
// is a new member here and one line in each of those two functions.

#include <QPointF>

#include "core/game_view.h"
#include "settings/best_times.h"

namespace quorvel::core {
class Game;
}

namespace quorvel::settings {

struct StoredSettings {
    // The level to start; for Custom the board of `side` and `mines`, which the
    // reader has already found acceptable. For a fixed level they are that
    // level's board.
    core::Level level = core::Level::Beginner;
    int side = 4;
    int mines = 7;
    int faceSet = 0;  // 0, 1 or 2
    // The window's top-left corner in screen pixels, exactly as read: written
    // back unchanged while the window stays where start-up put it.
    QPointF position;
    BestTimes bestTimes;

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

// The file's Difficulty number of a level: beginner 0, advanced 1, expert 2,
// custom 3. (Reading goes the other way in parseSettings, which also decides what
// a number outside these starts.)
int difficultyNumber(core::Level level);

// The settings the game is in: its marked level (beginner when none is marked),
// its board, its marked face set (0 when none), with the given window position
// and best times.
StoredSettings settingsOf(const core::Game& game, QPointF position, const BestTimes& bestTimes);

// Starts what the settings describe, as the menus would: the level's item (the
// custom board through CustOK), then the face set's.
void startGame(core::Game& game, const StoredSettings& settings);

}  // namespace quorvel::settings
