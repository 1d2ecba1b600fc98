#pragma once
// What the settings file keeps for the game, as one type. parseSettings reads it
// from our section and writeSettings writes it (settings/ini_format.h): a new key
// is a new member here and one line in each of those two functions.

#include <QPointF>

#include "core/face_set.h"
#include "core/levels.h"
#include "settings/best_times.h"

namespace quorvel::settings {

struct StoredSettings {
    // The level to start; for Custom the board of `side` and `mines`, which the
    // reader has already found acceptable. For a fixed level they are that
    // level's board.
    core::Level level = core::Level::Beginner;
    int side = 4;
    int mines = 7;
    core::FaceSet faceSet = core::FaceSet::Yellow;
    // The window's top-left corner in screen pixels, exactly as read: written
    // back unchanged while the window stays where start-up put it.
    QPointF position;
    BestTimes bestTimes;

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

// The file's Difficulty number of a level: beginner 0, advanced 1, expert 2,
// custom 3.
int difficultyNumber(core::Level level);
// And back: 1 and 2 are advanced and expert, anything below 0 or above 2 asks for
// the custom board, anything else (0, or a fraction between) is beginner.
core::Level levelOfDifficulty(double difficulty);

// What a write stores when another running game may have written the file since
// this game last read or wrote it. `base` is what this game had then, `mine` what
// it has now, `now` what the file holds. Each part this game has changed since
// `base` is taken from `mine`, every other part from `now`, so that neither game
// undoes what the other changed. The parts: the board (level, side and mines
// together, as one choice of the player), the face set, each window
// coordinate, and each level's record (time and holder together, so that a time
// never gets another player's name).
StoredSettings mergeSettings(const StoredSettings& base, const StoredSettings& mine,
                             const StoredSettings& now);
// The same for the best-times table alone.
BestTimes mergeBestTimes(const BestTimes& base, const BestTimes& mine, const BestTimes& now);

}  // namespace quorvel::settings
