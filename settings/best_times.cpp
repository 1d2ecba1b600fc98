#include "settings/best_times.h"

#include "settings/number_text.h"

namespace quorvel::settings {

namespace {

const QString kSuffix = QStringLiteral(" sekund");

}  // namespace

BestTimes::BestTimes() {
    reset();
}

void BestTimes::fillFromFile(const SettingsValues& values) {
    for (int i = 0; i < 3; ++i) {
        names_[i] = values.names[i].trimmed().isEmpty() ? unknownPlayer() : values.names[i];
        times_[i] = values.times[i] + kSuffix;
    }
}

void BestTimes::storeInto(SettingsValues& values) const {
    for (int i = 0; i < 3; ++i) {
        values.times[i] = times_[i].left(std::max<qsizetype>(0, times_[i].size() - kSuffix.size()));
        values.names[i] = names_[i];
    }
}

int BestTimes::row(core::Level level) {
    switch (level) {
        case core::Level::Advanced:
            return 1;
        case core::Level::Expert:
            return 2;
        case core::Level::Beginner:
        case core::Level::Custom:
            break;
    }
    return 0;
}

double BestTimes::best(core::Level level) const {
    return leadingNumber(times_[row(level)]);
}

void BestTimes::setRecord(core::Level level, int seconds, const QString& name) {
    if (level == core::Level::Custom) {
        return;
    }
    times_[row(level)] = QString::number(seconds) + kSuffix;
    names_[row(level)] = name;
}

void BestTimes::reset() {
    times_.fill(QStringLiteral("999") + kSuffix);
    names_.fill(unknownPlayer());
}

}  // namespace quorvel::settings
