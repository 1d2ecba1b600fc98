#include "settings/ini_format.h"

#include <cmath>

#include <QStringDecoder>
#include <QStringEncoder>

#include "settings/number_text.h"

namespace quorvel::settings {

namespace {

constexpr char kCodePage[] = "windows-1250";

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

void readKeyLine(const QByteArray& line, SettingsValues& values) {
    const auto numberAfter = [&line](qsizetype keyLength) {
        return leadingNumber(QByteArrayView(line).sliced(keyLength));
    };
    if (hasKey(line, "difficulty=")) {
        values.difficulty = numberAfter(11);
    }
    if (hasKey(line, "size=")) {
        values.size = numberAfter(5);
    }
    if (hasKey(line, "face=")) {
        values.face = std::trunc(numberAfter(5));
    }
    if (hasKey(line, "mines=")) {
        values.mines = numberAfter(6);
    }
    if (hasKey(line, "xpos=")) {
        values.xpos = numberAfter(5);
    }
    if (hasKey(line, "ypos=")) {
        values.ypos = numberAfter(5);
    }
    const bool time = hasKey(line, "time");
    if ((time || hasKey(line, "name")) && line.size() >= 6 && line[5] == '=' && line[4] >= '1' &&
        line[4] <= '3') {
        const auto level = static_cast<std::size_t>(line[4] - '1');
        QString value = decodeText(line.sliced(6));
        (time ? values.times : values.names)[level] = std::move(value);
    }
}

// A time or name with a line break in it would split into lines of its own
// (one of which could even look like a section header), so breaks become blanks.
QByteArray valueBytes(const QString& text) {
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return encodeText(oneLine);
}

void appendLine(QByteArray& out, const QByteArray& line) {
    out += line;
    out += "\r\n";
}

}  // namespace

QString unknownPlayer() {
    return QStringLiteral("Neznámý hráč");
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QByteArray encodeText(const QString& text) {
    QStringEncoder encoder(kCodePage);
    return encoder.encode(text);
}

bool storableText(const QString& text) {
    return decodeText(encodeText(text)) == text;
}

ParsedSettings parseSettings(const QByteArray& file) {
    ParsedSettings parsed;
    bool inSection = false;
    qsizetype start = 0;
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
            readKeyLine(line, parsed.values);
        } else {
            parsed.preservedLines.append(line);
        }
    }
    return parsed;
}

QByteArray writeSettings(const QList<QByteArray>& preservedLines, const SettingsValues& values) {
    QByteArray out;
    for (const QByteArray& line : preservedLines) {
        appendLine(out, line);
    }
    appendLine(out, kSectionHeader);
    appendLine(out, "Difficulty=" + numberBytes(values.difficulty));
    appendLine(out, "Size=" + numberBytes(values.size));
    appendLine(out, "Mines=" + numberBytes(values.mines));
    appendLine(out, "Face=" + numberBytes(values.face));
    appendLine(out, "Xpos=" + numberBytes(values.xpos));
    appendLine(out, "Ypos=" + numberBytes(values.ypos));
    for (int i = 0; i < 3; ++i) {
        appendLine(out, "Time" + QByteArray::number(i + 1) + '=' + valueBytes(values.times[i]));
    }
    for (int i = 0; i < 3; ++i) {
        appendLine(out, "Name" + QByteArray::number(i + 1) + '=' + valueBytes(values.names[i]));
    }
    return out;
}

QByteArray defaultSettings(double xpos, double ypos) {
    SettingsValues values;
    values.difficulty = 0;
    values.size = 4;
    values.mines = 7;
    values.face = 0;
    values.xpos = xpos;
    values.ypos = ypos;
    return writeSettings({}, values);
}

}  // namespace quorvel::settings
