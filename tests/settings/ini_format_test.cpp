// The file's text: which lines are ours, which are kept, and what is written.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include "settings/ini_format.h"
#include "settings/number_text.h"

namespace quorvel::settings {
namespace {

// "Neznámý hráč" in Windows-1250.
const QByteArray kUnknownBytes("Nezn\xe1m\xfd hr\xe1\xe8");

QByteArray ourSection(const QByteArray& numbers, const QByteArray& records) {
    return "[Quorvel]\r\n" + numbers + records;
}

const QByteArray kNumbers =
    "Difficulty=3\r\nSize=6\r\nMines=21\r\nFace=1\r\nXpos=12.5\r\nYpos=-3\r\n";
const QByteArray kRecords =
    "Time1=57\r\nTime2=120\r\nTime3=999\r\nName1=Jan\r\nName2=\xc8"
    "en\xeck\r\nName3=Nov\xe1k, Petr\r\n";

TEST(IniFormat, OwnFileRoundTripsByteForByte) {
    const QByteArray file = "[Editor]\r\nFont=Arial\r\n" + ourSection(kNumbers, kRecords);
    const ParsedSettings parsed = parseSettings(file);
    EXPECT_TRUE(parsed.sectionFound);
    EXPECT_EQ(writeSettings(parsed.preservedLines, parsed.values), file);
    EXPECT_EQ(parsed.values.difficulty, 3);
    EXPECT_EQ(parsed.values.xpos, 12.5);
    EXPECT_EQ(parsed.values.ypos, -3);
    EXPECT_EQ(parsed.values.names[1], QStringLiteral("Čeněk"));
    // A name with a comma is read whole.
    EXPECT_EQ(parsed.values.names[2], QStringLiteral("Novák, Petr"));
    EXPECT_EQ(parsed.values.times[0], QStringLiteral("57"));
}

TEST(IniFormat, SectionsAfterOursAreKeptAndMovedAheadOfIt) {
    const QByteArray before = "; first comment\r\n[Editor]\r\nFont=\xe8\xe9\r\n";
    const QByteArray after = "[Other]\r\nDifficulty=2\r\nTime1=5\r\n[Third]\r\nx=1\r\n";
    const ParsedSettings parsed = parseSettings(before + ourSection(kNumbers, kRecords) + after);
    // The later section's keys are that program's, not ours.
    EXPECT_EQ(parsed.values.difficulty, 3);
    EXPECT_EQ(parsed.values.times[0], QStringLiteral("57"));
    EXPECT_EQ(writeSettings(parsed.preservedLines, parsed.values),
              before + after + ourSection(kNumbers, kRecords));
}

TEST(IniFormat, OtherProgramsBytesAreNeverReEncoded) {
    // Bytes that Windows-1250 leaves undefined, a NUL, a lone CR, UTF-8 and
    // trailing blanks must all come back exactly.
    static const char kStrange[] = "a\x81\x83\x88\x90\x98 b\0c\rd \xc3\xa9  ";
    const QByteArray strange(kStrange, sizeof kStrange - 1);
    ASSERT_EQ(strange.size(), 17);
    const QByteArray file = strange + "\n[Quorvel]\nSize=4\n";
    const ParsedSettings parsed = parseSettings(file);
    ASSERT_EQ(parsed.preservedLines.size(), 1);
    EXPECT_EQ(parsed.preservedLines[0], strange);
    EXPECT_TRUE(writeSettings(parsed.preservedLines, parsed.values).startsWith(strange + "\r\n"));
}

TEST(IniFormat, LineEndsMayBeCrLfLfOrMissingAndAreWrittenCrLf) {
    const ParsedSettings mixed = parseSettings("a\r\nb\n\nc\r\r\n[Quorvel]\nFace=2\r\nSize=8");
    EXPECT_EQ(mixed.preservedLines, (QList<QByteArray>{"a", "b", "", "c\r"}));
    EXPECT_EQ(mixed.values.face, 2);
    EXPECT_EQ(mixed.values.size, 8);  // the last line, with no line end, is read
    EXPECT_TRUE(
        writeSettings(mixed.preservedLines, mixed.values).startsWith("a\r\nb\r\n\r\nc\r\r\n"));

    // A CR at the very end, with no LF after it, belongs to the line.
    EXPECT_EQ(parseSettings("x\r").preservedLines, QList<QByteArray>{"x\r"});
    EXPECT_EQ(parseSettings("x\n").preservedLines, QList<QByteArray>{"x"});
}

TEST(IniFormat, EmptyFileHasNoSectionAndNoLines) {
    const ParsedSettings parsed = parseSettings({});
    EXPECT_FALSE(parsed.sectionFound);
    EXPECT_TRUE(parsed.preservedLines.isEmpty());
    EXPECT_EQ(parsed.values, SettingsValues{});
    EXPECT_EQ(parsed.values.difficulty, 0);
    EXPECT_EQ(parsed.values.times[2], QStringLiteral("999"));
    EXPECT_EQ(parsed.values.names[0], unknownPlayer());
}

TEST(IniFormat, FileWithoutOurSectionIsKeptWholeAheadOfIt) {
    const QByteArray file = "[Other]\r\nDifficulty=2\r\n[quorvel]\r\nSize=8\r\n";
    const ParsedSettings parsed = parseSettings(file);
    EXPECT_FALSE(parsed.sectionFound);  // the header must match in letter case
    EXPECT_EQ(parsed.values.difficulty, 0);
    EXPECT_EQ(parsed.values.size, 0);
    EXPECT_TRUE(
        writeSettings(parsed.preservedLines, parsed.values).startsWith(file + "[Quorvel]\r\n"));
}

TEST(IniFormat, KeysAreMatchedInAnyLetterCase) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\nDIFFICULTY=2\nsize=8\nMiNeS=49\nfACE=1\nXPOS=3\nypos=4\n"
        "TIME2=77\nname3=Eva\n");
    EXPECT_EQ(parsed.values.difficulty, 2);
    EXPECT_EQ(parsed.values.size, 8);
    EXPECT_EQ(parsed.values.mines, 49);
    EXPECT_EQ(parsed.values.face, 1);
    EXPECT_EQ(parsed.values.xpos, 3);
    EXPECT_EQ(parsed.values.ypos, 4);
    EXPECT_EQ(parsed.values.times[1], QStringLiteral("77"));
    EXPECT_EQ(parsed.values.names[2], QStringLiteral("Eva"));
}

TEST(IniFormat, RepeatedKeyTakesLastValueAndMissingKeysStayAtStart) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\r\nSize=6\r\nName1=A\r\nSize=10\r\nName1=B\r\n");
    EXPECT_EQ(parsed.values.size, 10);
    EXPECT_EQ(parsed.values.names[0], QStringLiteral("B"));
    EXPECT_EQ(parsed.values.mines, 0);
    EXPECT_EQ(parsed.values.xpos, 0);
    EXPECT_EQ(parsed.values.times[0], QStringLiteral("999"));
    EXPECT_EQ(parsed.values.names[1], unknownPlayer());
}

TEST(IniFormat, UnknownLinesInOurSectionAreDropped) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\r\n; note\r\nTime4=1\r\nName=x\r\nTime1 =5\r\nFace=2\r\n");
    EXPECT_TRUE(parsed.preservedLines.isEmpty());
    EXPECT_EQ(parsed.values.times[0], QStringLiteral("999"));
    EXPECT_EQ(parsed.values.face, 2);
}

TEST(IniFormat, RecordValuesAreTakenUncheckedFromTheSeventhCharacter) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\r\nTime1= 12 s\r\nName2=  \r\nName3=\r\nTime3=abc\r\n");
    EXPECT_EQ(parsed.values.times[0], QStringLiteral(" 12 s"));
    EXPECT_EQ(parsed.values.names[1], QStringLiteral("  "));
    EXPECT_EQ(parsed.values.names[2], QString());
    EXPECT_EQ(parsed.values.times[2], QStringLiteral("abc"));
}

TEST(IniFormat, NumbersAreReadAsTheirLeadingNumber) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\nDifficulty=  2.0xyz\nSize=abc\nMines=-7.25\nFace=2.9\nXpos=+1.5.5\nYpos=.5\n");
    EXPECT_EQ(parsed.values.difficulty, 2);
    EXPECT_EQ(parsed.values.size, 0);
    EXPECT_EQ(parsed.values.mines, -7.25);
    EXPECT_EQ(parsed.values.face, 2);  // only the whole part of Face is kept
    EXPECT_EQ(parsed.values.xpos, 1.5);
    EXPECT_EQ(parsed.values.ypos, 0.5);
}

TEST(IniFormat, SecondOwnHeaderAfterAnotherSectionReopensOurs) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\nSize=6\n[Other]\nk=v\n[Quorvel]\nSize=8\n");
    EXPECT_EQ(parsed.preservedLines, (QList<QByteArray>{"[Other]", "k=v"}));
    EXPECT_EQ(parsed.values.size, 8);
}

TEST(IniFormat, WrittenNumbersArePlainDecimal) {
    SettingsValues values;
    values.difficulty = 3;
    values.size = 10;
    values.mines = 135;
    values.face = 2;
    values.xpos = 123.5;
    values.ypos = -0.0;
    values.times = {QStringLiteral("1"), QStringLiteral("22"), QStringLiteral("333")};
    values.names = {QString(), QStringLiteral("Žofie"), QStringLiteral("a\nb")};
    EXPECT_EQ(writeSettings({}, values),
              "[Quorvel]\r\nDifficulty=3\r\nSize=10\r\nMines=135\r\nFace=2\r\nXpos=123.5\r\n"
              "Ypos=0\r\nTime1=1\r\nTime2=22\r\nTime3=333\r\nName1=\r\nName2=\x8e"
              "ofie\r\nName3=a b\r\n");
}

TEST(IniFormat, DefaultFileIsTheBeginnerLevelCentred) {
    EXPECT_EQ(defaultSettings(453.5, 154),
              "[Quorvel]\r\nDifficulty=0\r\nSize=4\r\nMines=7\r\nFace=0\r\nXpos=453.5\r\n"
              "Ypos=154\r\nTime1=999\r\nTime2=999\r\nTime3=999\r\nName1=" +
                  kUnknownBytes + "\r\nName2=" + kUnknownBytes + "\r\nName3=" + kUnknownBytes +
                  "\r\n");
    EXPECT_EQ(kUnknownBytes.size(), 12);
}

TEST(NumberText, LeadingNumberFollowsTheReadingRule) {
    EXPECT_EQ(leadingNumber(QByteArrayView("57 sekund")), 57);
    EXPECT_EQ(leadingNumber(QByteArrayView(" \t-12.5e3")), -12.5);
    EXPECT_EQ(leadingNumber(QByteArrayView("1.2.3")), 1.2);
    EXPECT_EQ(leadingNumber(QByteArrayView("5.")), 5);
    EXPECT_EQ(leadingNumber(QByteArrayView("-")), 0);
    EXPECT_EQ(leadingNumber(QByteArrayView(".")), 0);
    EXPECT_EQ(leadingNumber(QByteArrayView("x1")), 0);
    EXPECT_EQ(leadingNumber(QByteArrayView("")), 0);
    EXPECT_EQ(leadingNumber(QStringView(u"20.7")), 20.7);
    EXPECT_EQ(leadingNumber(QStringView(u"٣")), 0);  // only ASCII digits count
    // Numbers too large for a double stay finite.
    const QByteArray huge = "-" + QByteArray(400, '9');
    EXPECT_EQ(leadingNumber(QByteArrayView(huge)), -std::numeric_limits<double>::max());
    EXPECT_EQ(leadingNumber(QByteArrayView("0." + QByteArray(400, '0') + "1")), 0);
}

TEST(NumberText, WrittenNumbersReadBackExactly) {
    for (const double value : {0.0, 1.0, -3.0, 123.5, 0.1, 1e20, -1e-7, 453.46666666666664,
                               std::numeric_limits<double>::max()}) {
        const QByteArray text = numberBytes(value);
        EXPECT_FALSE(text.contains('e')) << text.constData();
        EXPECT_FALSE(text.startsWith(' '));
        EXPECT_EQ(leadingNumber(QByteArrayView(text)), value) << text.constData();
    }
    EXPECT_EQ(numberBytes(-0.0), "0");
    EXPECT_EQ(numberBytes(std::numeric_limits<double>::infinity()), "0");
}

TEST(Windows1250, StorableTextIsWhatSurvivesTheCodePage) {
    EXPECT_TRUE(storableText(QStringLiteral("Příliš žluťoučký kůň")));
    EXPECT_TRUE(storableText(QStringLiteral("€ „“ ©")));
    EXPECT_FALSE(storableText(QStringLiteral("Ørsted")));
    EXPECT_FALSE(storableText(QStringLiteral("日本")));
    EXPECT_FALSE(storableText(QStringLiteral("😀")));
    EXPECT_EQ(encodeText(QStringLiteral("Neznámý hráč")), kUnknownBytes);
    EXPECT_EQ(decodeText(kUnknownBytes), QStringLiteral("Neznámý hráč"));
}

}  // namespace
}  // namespace quorvel::settings
