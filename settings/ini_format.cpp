#include "settings/ini_format.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/geometry.h"
#include "core/levels.h"
#include "settings/code_page.h"
#include "settings/number_text.h"

namespace quorvel::settings {

namespace {

bool isSectionHeader(const QByteArray& line) {
    return line.startsWith('[') && line.indexOf(']', 1) > 0;
}

// Whether the line starts with the key, compared without regard to ASCII case.
bool hasKey(const QByteArray& line, const char* key, qsizetype keyLength) {
    return line.size() >= keyLength && qstrnicmp(line.constData(), key, keyLength) == 0;
}

template <std::size_t N>
bool hasKey(const QByteArray& line, const char (&key)[N]) {
    return hasKey(line, key, N - 1);
}

// The keys of the best-times rows, beginner's first, for the reader and the
// writer alike. Spelled out rather than built: every line of our section is
// compared with them at every start.
constexpr std::array<std::string_view, 3> kTimeKeys{"Time1=", "Time2=", "Time3="};
constexpr std::array<std::string_view, 3> kNameKeys{"Name1=", "Name2=", "Name3="};

bool hasKey(const QByteArray& line, std::string_view key) {
    return hasKey(line, key.data(), static_cast<qsizetype>(key.size()));
}

QByteArray keyText(std::string_view key) {
    return QByteArray(key.data(), static_cast<qsizetype>(key.size()));
}

// Our section as the file has it, before the start-up rules read it.
struct SectionValues {
    double difficulty = 0;
    double size = 0;
    double mines = 0;
    double face = 0;
    double xpos = 0;
    double ypos = 0;
    std::array<QString, 3> times{QStringLiteral("999"), QStringLiteral("999"),
                                 QStringLiteral("999")};
    // The names stay the file's bytes: a missing or blank one reads "Neznámý hráč".
    std::array<QByteArray, 3> names;
};

// Stores the number after the key when the line starts with it.
template <std::size_t N>
void readNumber(const QByteArray& line, const char (&key)[N], double& value) {
    if (hasKey(line, key)) {
        value = leadingNumber(QByteArrayView(line).sliced(N - 1));
    }
}

void readKeyLine(const QByteArray& line, SectionValues& values) {
    readNumber(line, "difficulty=", values.difficulty);
    readNumber(line, "size=", values.size);
    readNumber(line, "face=", values.face);
    readNumber(line, "mines=", values.mines);
    readNumber(line, "xpos=", values.xpos);
    readNumber(line, "ypos=", values.ypos);
    for (std::size_t row = 0; row < kTimeKeys.size(); ++row) {
        if (hasKey(line, kTimeKeys[row])) {
            values.times[row] = decodeText(line.sliced(std::ssize(kTimeKeys[row])));
        }
        if (hasKey(line, kNameKeys[row])) {
            values.names[row] = line.sliced(std::ssize(kNameKeys[row]));
        }
    }
}

bool isOfferedSide(double size) {
    return size == 4 || size == 6 || size == 8 || size == 10;
}

// The stored custom board, when its pair is one the custom dialog could have made
// (the dialog also makes a few it refuses here: docs/kept-behaviour.md).
std::optional<core::LevelSetup> storedCustomBoard(double size, double mines) {
    if (!isOfferedSide(size)) {
        return std::nullopt;
    }
    const int side = static_cast<int>(size);
    if (!core::customMineRange(side).contains(mines)) {
        return std::nullopt;
    }
    // A hand-edited fraction becomes the nearest whole count that is still inside
    // the range, so the board written back is accepted next time (cutting 1.85
    // down to 1 would not be).
    return core::LevelSetup{side, core::customMinesStored(side, mines)};
}

StoredSettings startupSettings(const SectionValues& values) {
    StoredSettings settings;
    settings.level = levelOfDifficulty(values.difficulty);
    const auto custom = storedCustomBoard(values.size, values.mines);
    if (settings.level == core::Level::Custom && !custom) {
        settings.level = core::Level::Beginner;
    }
    const core::LevelSetup board =
        settings.level == core::Level::Custom ? *custom : core::fixedLevel(settings.level);
    settings.side = board.side;
    settings.mines = board.mines;
    settings.faceSet =
        core::faceSetNumbered(std::trunc(values.face)).value_or(core::FaceSet::Yellow);
    settings.position = QPointF(values.xpos, values.ypos);
    settings.bestTimes = BestTimes::fromFile(values.times, values.names);
    return settings;
}

// A time or name with a line break in it would split into lines of its own
// (one of which could even look like a section header), so breaks become blanks.
QByteArray oneLine(QByteArray bytes) {
    return bytes.replace('\n', ' ');
}

void appendLine(QByteArray& out, const QByteArray& line) {
    out += line;
    out += "\r\n";
}

}  // namespace

ParsedSettings parseSettings(const QByteArray& file) {
    ParsedSettings parsed;
    SectionValues values;
    bool inSection = false;
    qsizetype start = 0;
    if (file.startsWith("\xEF\xBB\xBF")) {
        parsed.byteOrderMark = file.first(3);
        start = 3;
    }
    while (start < file.size()) {
        qsizetype end = file.indexOf('\n', start);
        qsizetype next = end + 1;
        if (end < 0) {
            end = file.size();
            next = end;
        } else if (end > start && file[end - 1] == '\r') {
            --end;
        }
        const QByteArray line = file.sliced(start, end - start);
        start = next;

        if (line == kSectionHeader) {
            inSection = true;
            parsed.sectionFound = true;
            continue;
        }
        if (inSection && isSectionHeader(line)) {
            inSection = false;
        }
        if (inSection) {
            readKeyLine(line, values);
        } else {
            parsed.preservedLines.append(line);
        }
    }
    parsed.settings = startupSettings(values);
    return parsed;
}

QByteArray writeSettings(const QList<QByteArray>& preservedLines, const StoredSettings& settings) {
    QByteArray out;
    for (const QByteArray& line : preservedLines) {
        appendLine(out, line);
    }
    appendLine(out, kSectionHeader);
    appendLine(out, "Difficulty=" + QByteArray::number(difficultyNumber(settings.level)));
    appendLine(out, "Size=" + QByteArray::number(settings.side));
    appendLine(out, "Mines=" + QByteArray::number(settings.mines));
    appendLine(out, "Face=" + QByteArray::number(core::faceSetNumber(settings.faceSet)));
    appendLine(out, "Xpos=" + numberBytes(settings.position.x()));
    appendLine(out, "Ypos=" + numberBytes(settings.position.y()));
    for (int row = 0; row < 3; ++row) {
        appendLine(out, keyText(kTimeKeys[static_cast<std::size_t>(row)]) +
                            oneLine(encodeText(settings.bestTimes.fileTime(row))));
    }
    for (int row = 0; row < 3; ++row) {
        appendLine(out, keyText(kNameKeys[static_cast<std::size_t>(row)]) +
                            oneLine(settings.bestTimes.fileName(row)));
    }
    return out;
}

QByteArray defaultSettings(QPointF position) {
    StoredSettings settings;
    settings.position = position;
    return writeSettings({}, settings);
}

}  // namespace quorvel::settings
