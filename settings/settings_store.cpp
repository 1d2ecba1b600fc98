#include "settings/settings_store.h"

namespace quorvel::settings {

StoredSettings FileSettingsStore::read(QPointF centred) {
    base_ =
        file_.load(centred.x(), centred.y(), SettingsFile::WhenMissing::LeaveToTheWrite).settings;
    return base_;
}

BestTimes FileSettingsStore::write(const StoredSettings& settings) {
    std::optional<StoredSettings> seen;
    StoredSettings written = settings;
    const bool saved = file_.save(settings, [&](const std::optional<StoredSettings>& now) {
        seen = now;
        written = now ? mergeSettings(base_, settings, *now) : settings;
        return written;
    });
    if (saved) {
        base_ = settings;
        base_.bestTimes = written.bestTimes;
        return written.bestTimes;
    }
    // Nothing was written: what the game changed still counts as changed.
    return seen ? mergeAndFollowFile(settings.bestTimes, seen->bestTimes) : settings.bestTimes;
}

BestTimes FileSettingsStore::bestTimesNow(const BestTimes& mine) {
    const std::optional<StoredSettings> now = file_.reread();
    return now ? mergeAndFollowFile(mine, now->bestTimes) : mine;
}

BestTimes FileSettingsStore::mergeAndFollowFile(const BestTimes& mine, const BestTimes& now) {
    const BestTimes merged = mergeBestTimes(base_.bestTimes, mine, now);
    for (int row = 0; row < 3; ++row) {
        if (mine.sameRow(row, base_.bestTimes)) {
            base_.bestTimes.takeRow(row, now);
        }
    }
    return merged;
}

}  // namespace quorvel::settings
