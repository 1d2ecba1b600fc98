// Reads any bytes as winmine.ini and writes them back. It must never crash or
// hang, and every line that belongs to another program must come out byte for
// byte, in order, ahead of our section; reading what was written must give the
// same lines and values again. A UTF-8 byte-order mark at the start belongs to
// no line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QList>

#include "settings/ini_format.h"

namespace {

using quorvel::settings::ParsedSettings;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The other programs' lines, found the simple way: cut at LF, drop one CR
// before it, and track whether we are between "[Quorvel]" and the next line
// that opens a section.
QList<QByteArray> foreignLines(const QByteArray& file) {
    QList<QByteArray> lines;
    if (file.isEmpty()) {
        return lines;
    }
    QList<QByteArray> pieces = file.split('\n');
    const bool lastEnded = file.endsWith('\n');
    if (lastEnded) {
        pieces.removeLast();
    }
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const bool ended = i + 1 < pieces.size() || lastEnded;
        if (ended && pieces[i].endsWith('\r')) {
            pieces[i].chop(1);
        }
    }
    bool ours = false;
    for (const QByteArray& piece : pieces) {
        if (piece == "[Quorvel]") {
            ours = true;
        } else if (piece.startsWith('[') && piece.indexOf(']') > 0) {
            ours = false;
            lines.append(piece);
        } else if (!ours) {
            lines.append(piece);
        }
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParsedSettings parsed = quorvel::settings::parseSettings(input);
    const QByteArray mark = "\xEF\xBB\xBF";
    const bool marked = input.startsWith(mark);
    check(parsed.byteOrderMark == (marked ? mark : QByteArray()));
    check(parsed.preservedLines == foreignLines(marked ? input.sliced(mark.size()) : input));

    // Written as the settings file writes it: the mark first.
    const QByteArray written = parsed.byteOrderMark + quorvel::settings::writeSettings(
                                                          parsed.preservedLines, parsed.settings);
    QByteArray expectedStart = parsed.byteOrderMark;
    for (const QByteArray& line : parsed.preservedLines) {
        expectedStart += line + "\r\n";
    }
    check(written.startsWith(expectedStart));
    check(written.sliced(expectedStart.size()).startsWith("[Quorvel]\r\nDifficulty="));
    check(written.endsWith("\r\n"));

    const ParsedSettings again = quorvel::settings::parseSettings(written);
    check(again.sectionFound);
    check(again.preservedLines == parsed.preservedLines);
    // What the game starts from survives its own write exactly.
    const auto& before = parsed.settings;
    const auto& after = again.settings;
    check(after.level == before.level && after.side == before.side && after.mines == before.mines);
    check(after.faceSet == before.faceSet);
    check(after.position.x() == before.position.x() && after.position.y() == before.position.y());
    check(after.bestTimes == before.bestTimes);
    // A second write of what was read back is the same file.
    check(again.byteOrderMark == parsed.byteOrderMark);
    check(again.byteOrderMark +
              quorvel::settings::writeSettings(again.preservedLines, again.settings) ==
          written);
    return 0;
}
