#include "shell/records.h"

#include <utility>

namespace quorvel::shell {

void Records::recordWin(const core::Win& win) {
    // Another running game may have stored a better time meanwhile: the check is
    // against the file, a custom board's too (docs/kept-behaviour.md).
    settings::BestTimes& table = session_.bestTimesNow();
    dialogs_.prepareNameEntry(table.name(win.level));
    if (!win.setsRecord(table.best(win.level))) {
        return;
    }
    pending_ = win;
    const QString name = dialogs_.askName(win.level);
    // A logout or kill (quitOnSignals) can reach the way out inside the name
    // dialog's event loop: it has stored the record with the name typed so far
    // and made the last write.
    if (!std::exchange(pending_, std::nullopt)) {
        return;
    }
    table.setRecord(win.level, win.seconds, name);
    dialogs_.showBestTimes(table, [this] { session_.save(); });
    session_.save();
}

void Records::showBestTimes() {
    dialogs_.showBestTimes(session_.bestTimesNow(), [this] { session_.save(); });
}

void Records::keepTypedRecord() {
    if (const auto record = std::exchange(pending_, std::nullopt)) {
        session_.bestTimes().setRecord(record->level, record->seconds, dialogs_.typedName());
    }
}

}  // namespace quorvel::shell
