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

#include <array>

#include <QByteArray>
#include <QList>
#include <QString>

namespace quorvel::settings {

inline constexpr char kSectionHeader[] = "[Quorvel]";
inline constexpr char kFileName[] = "winmine.ini";
// The holder shown for a record without a name.
QString unknownPlayer();

// What our section holds. Numbers are 0 until a key line sets them; times and
// names start as the best-times table starts (time "999", name "Neznámý hráč")
// and are replaced by whatever the file says, unchecked. Times are in the
// file's form, without the " sekund" of the table. Index 0 is beginner (keys
// Time1/Name1), 1 advanced (Time2/Name2), 2 expert (Time3/Name3).
struct SettingsValues {
    double difficulty = 0;
    double size = 0;
    double mines = 0;
    double face = 0;  // only the whole-number part is kept when read
    double xpos = 0;
    double ypos = 0;
    std::array<QString, 3> times{QStringLiteral("999"), QStringLiteral("999"),
                                 QStringLiteral("999")};
    std::array<QString, 3> names{unknownPlayer(), unknownPlayer(), unknownPlayer()};

    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

struct ParsedSettings {
    // Other programs' lines, without their line ends, in file order.
    QList<QByteArray> preservedLines;
    SettingsValues values;
    // Whether a "[Quorvel]" line was found.
    bool sectionFound = false;
};

// Reads a whole file. Never fails: what it does not understand inside our
// section is ignored, everything outside it is kept. A key repeated takes its
// last value; key names are compared without regard to letter case.
ParsedSettings parseSettings(const QByteArray& file);

// The whole file: the preserved lines, then our 13 lines, each line ending in
// CR LF. A character that Windows-1250 cannot store is written as the byte 0x1A
// (the name dialog lets no such character in); a line break inside a time or a
// name is written as a blank.
QByteArray writeSettings(const QList<QByteArray>& preservedLines, const SettingsValues& values);

// The file written when there is none: beginner level, face set 0, the window
// at (xpos, ypos), times 999 and unknown holders.
QByteArray defaultSettings(double xpos, double ypos);

// Windows-1250 conversion of single texts.
QString decodeText(const QByteArray& bytes);
QByteArray encodeText(const QString& text);
// Whether every character of the text survives a trip through Windows-1250.
bool storableText(const QString& text);

}  // namespace quorvel::settings
