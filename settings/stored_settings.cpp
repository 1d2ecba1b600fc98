#include "settings/stored_settings.h"

namespace quorvel::settings {

int difficultyNumber(core::Level level) {
    switch (level) {
        case core::Level::Beginner:
            return 0;
        case core::Level::Advanced:
            return 1;
        case core::Level::Expert:
            return 2;
        case core::Level::Custom:
            break;
    }
    return 3;
}

core::Level levelOfDifficulty(double difficulty) {
    if (difficulty == 1) {
        return core::Level::Advanced;
    }
    if (difficulty == 2) {
        return core::Level::Expert;
    }
    return difficulty < 0 || difficulty > 2 ? core::Level::Custom : core::Level::Beginner;
}

BestTimes mergeBestTimes(const BestTimes& base, const BestTimes& mine, const BestTimes& now) {
    BestTimes merged = now;
    for (int row = 0; row < 3; ++row) {
        if (!mine.sameRow(row, base)) {
            merged.takeRow(row, mine);
        }
    }
    return merged;
}

StoredSettings mergeSettings(const StoredSettings& base, const StoredSettings& mine,
                             const StoredSettings& now) {
    StoredSettings merged = now;
    if (mine.level != base.level || mine.side != base.side || mine.mines != base.mines) {
        merged.level = mine.level;
        merged.side = mine.side;
        merged.mines = mine.mines;
    }
    if (mine.faceSet != base.faceSet) {
        merged.faceSet = mine.faceSet;
    }
    // Exact comparisons: a position is changed when it is not the very value read.
    if (mine.position.x() != base.position.x()) {
        merged.position.setX(mine.position.x());
    }
    if (mine.position.y() != base.position.y()) {
        merged.position.setY(mine.position.y());
    }
    merged.bestTimes = mergeBestTimes(base.bestTimes, mine.bestTimes, now.bestTimes);
    return merged;
}

}  // namespace quorvel::settings
