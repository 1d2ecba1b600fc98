#pragma once
// The best-times table for the whole run: per fixed level the time as the
// settings file keeps it ("57"; the dialog adds the unit) and the holder's name.
//
// A name is kept as the settings file's bytes and decoded only when shown. So a
// name goes back to the file exactly as it came, and a start-up that only reads
// and writes the file never loads a code-page converter (and the large library
// behind it).

#include <array>

#include <QByteArray>
#include <QString>

#include "core/levels.h"

namespace quorvel::settings {

// The holder shown for a record without a name.
QString unknownPlayer();

class BestTimes {
  public:
    // Starts at the reset entries: "999" and "Neznámý hráč" everywhere.
    BestTimes();

    // From the file's time texts and name bytes (beginner, advanced, expert): a
    // blank (or all-blank) name reads "Neznámý hráč".
    static BestTimes fromFile(const std::array<QString, 3>& times,
                              const std::array<QByteArray, 3>& names);
    // A time as the file keeps it, whatever its text ("57", "abc", "").
    const QString& fileTime(int row) const { return times_.at(static_cast<std::size_t>(row)); }
    // A name as the file keeps it.
    const QByteArray& fileName(int row) const { return names_.at(row); }

    // Row of a level: beginner 0, advanced 1, expert 2. The custom board has no
    // row of its own; it reads the beginner row (the record check never stores
    // anything for it).
    static int row(core::Level level);

    // Leading number of the level's time text; 0 when the text has none.
    double best(core::Level level) const;
    // A new record: the seconds in plain decimal and the name as typed (may be
    // empty). Does nothing for a level whose wins are not recorded
    // (core::keepsRecord: the custom board).
    void setRecord(core::Level level, int seconds, const QString& name);
    // Every time "999", every name "Neznámý hráč".
    void reset();
    // A row's time and holder taken together from another table.
    void takeRow(int row, const BestTimes& from);
    bool sameRow(int row, const BestTimes& other) const;

    QString name(int row) const;
    QString name(core::Level level) const { return name(row(level)); }

    friend bool operator==(const BestTimes&, const BestTimes&) = default;

  private:
    std::array<QString, 3> times_;
    std::array<QByteArray, 3> names_;
};

}  // namespace quorvel::settings
