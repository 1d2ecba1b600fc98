#include "settings/best_times.h"

#include "settings/code_page.h"
#include "settings/number_text.h"

namespace quorvel::settings {

namespace {

// "Neznámý hráč" in the file's code page.
const QByteArray kUnknownPlayer = QByteArrayLiteral("Nezn\xE1m\xFD hr\xE1\xE8");

}  // namespace

QString unknownPlayer() {
    return decodeText(kUnknownPlayer);
}

BestTimes::BestTimes() {
    reset();
}

BestTimes BestTimes::fromFile(const std::array<QString, 3>& times,
                              const std::array<QByteArray, 3>& names) {
    BestTimes table;
    for (std::size_t i = 0; i < 3; ++i) {
        table.names_[i] = blankText(names[i]) ? kUnknownPlayer : names[i];
        table.times_[i] = times[i];
    }
    return table;
}

QString BestTimes::name(int row) const {
    return decodeText(names_.at(static_cast<std::size_t>(row)));
}

int BestTimes::row(core::Level level) {
    return core::bestTimesRow(level);
}

double BestTimes::best(core::Level level) const {
    return leadingNumber(times_[row(level)]);
}

void BestTimes::setRecord(core::Level level, int seconds, const QString& name) {
    if (!core::keepsRecord(level)) {
        return;
    }
    times_[row(level)] = QString::number(seconds);
    names_[row(level)] = encodeText(name);
}

void BestTimes::takeRow(int row, const BestTimes& from) {
    const auto i = static_cast<std::size_t>(row);
    times_.at(i) = from.times_.at(i);
    names_.at(i) = from.names_.at(i);
}

bool BestTimes::sameRow(int row, const BestTimes& other) const {
    const auto i = static_cast<std::size_t>(row);
    return times_.at(i) == other.times_.at(i) && names_.at(i) == other.names_.at(i);
}

void BestTimes::reset() {
    times_.fill(QStringLiteral("999"));
    names_.fill(kUnknownPlayer);
}

}  // namespace quorvel::settings
