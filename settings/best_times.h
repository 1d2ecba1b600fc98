#pragma once
// The best-times table for the whole run: per fixed level a time text in the
// table's display form ("57 sekund") and the holder's name.

#include <array>

#include <QString>

#include "core/game_view.h"
#include "settings/ini_format.h"

namespace quorvel::settings {

class BestTimes {
  public:
    // Starts at the reset entries: "999 sekund" and "Neznámý hráč" everywhere.
    BestTimes();

    // Start-up: takes the file's times and names, shows a blank (or all-blank)
    // name as "Neznámý hráč" and appends " sekund" to each time.
    void fillFromFile(const SettingsValues& values);
    // Writes the table into the values to be saved: each time text without its
    // last 7 characters (" sekund"), the names as they are.
    void storeInto(SettingsValues& values) const;

    // Row of a level: beginner 0, advanced 1, expert 2. The custom board has no
    // row of its own; it reads the beginner row (the record check never stores
    // anything for it).
    static int row(core::Level level);

    // Leading number of the level's time text; 0 when the text has none.
    double best(core::Level level) const;
    // A new record: time text "<seconds> sekund" and the name as typed (may be
    // empty). Does nothing for the custom board.
    void setRecord(core::Level level, int seconds, const QString& name);
    // Every time "999 sekund", every name "Neznámý hráč".
    void reset();

    const QString& timeText(int row) const { return times_.at(row); }
    const QString& name(int row) const { return names_.at(row); }
    const QString& name(core::Level level) const { return names_.at(row(level)); }

  private:
    std::array<QString, 3> times_;
    std::array<QString, 3> names_;
};

}  // namespace quorvel::settings
