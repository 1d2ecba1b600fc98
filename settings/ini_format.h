#pragma once
// The text of winmine.ini: lines in, lines out, without touching the disk.
//
// The file is Windows-1250 text. Our section starts at the line "[Quorvel]"
// (exactly, same case) and runs to the next section header (a line starting with
// '[' that has a ']' after it) or the end of the file. Every line outside our
// section belongs to other programs: it is kept as the bytes it was, never
// decoded, and written back in its original order ahead of our section, which
// is always written last. Lines may end in CR LF, LF alone or, for the last one,
// nothing; whatever they ended in, they are written with CR LF.

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include "settings/code_page.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {

inline constexpr char kSectionHeader[] = "[Quorvel]";
inline constexpr char kFileName[] = "winmine.ini";

struct ParsedSettings {
    // Other programs' lines, without their line ends, in file order.
    QList<QByteArray> preservedLines;
    StoredSettings settings;
    // Whether a "[Quorvel]" line was found.
    bool sectionFound = false;
    // The UTF-8 byte-order mark that the file started with (empty when none):
    // not part of the first line, and written back before everything else.
    QByteArray byteOrderMark;
};

// Reads a whole file. Never fails: what it does not understand inside our
// section is ignored, everything outside it is kept. A key repeated takes its
// last value; key names are compared without regard to letter case. Numbers are
// the leading number of what follows the '='; a key that is missing reads 0, a
// missing time "999" and a missing name "Neznámý hráč".
//
// What the values start: Difficulty 0, 1, 2 chooses beginner, advanced, expert.
// Below 0 or above 2 it asks for a custom board: taken when Size is 4, 6, 8 or
// 10 and 0.05 * N <= Mines <= 0.5 * N (N the side's cell count), with a
// fractional Mines taken as the nearest whole count inside that range; any other
// pair starts the beginner level instead. A Difficulty between 0 and 2 that is
// not whole starts the beginner level too. The whole part of Face chooses set 1
// or 2; anything else set 0. Times are kept as written, blank names read
// "Neznámý hráč" (see BestTimes).
ParsedSettings parseSettings(const QByteArray& file);

// The whole file: the preserved lines, then our 13 lines in a fixed order, each
// line ending in CR LF. A character that Windows-1250 cannot store is written as
// the byte 0x1A (the name dialog lets no such character in); a line break inside
// a time or a name is written as a blank.
QByteArray writeSettings(const QList<QByteArray>& preservedLines, const StoredSettings& settings);

// The file written when there is none: beginner level, face set 0, the window
// at `position`, times 999 and unknown holders.
QByteArray defaultSettings(QPointF position);

}  // namespace quorvel::settings
