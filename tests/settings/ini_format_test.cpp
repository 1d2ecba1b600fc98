// The file's text: which lines are ours, which are kept, and what is written.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include "settings/ini_format.h"
#include "settings/number_text.h"

namespace quorvel::settings {
namespace {

using core::Level;

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
    EXPECT_EQ(writeSettings(parsed.preservedLines, parsed.settings), file);
    EXPECT_EQ(parsed.settings.level, Level::Custom);
    EXPECT_EQ(parsed.settings.position.x(), 12.5);
    EXPECT_EQ(parsed.settings.position.y(), -3);
    EXPECT_EQ(parsed.settings.bestTimes.name(1), QStringLiteral("Čeněk"));
    // A name with a comma is read whole.
    EXPECT_EQ(parsed.settings.bestTimes.name(2), QStringLiteral("Novák, Petr"));
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(0), QStringLiteral("57"));
}

TEST(IniFormat, SectionsAfterOursAreKeptAndMovedAheadOfIt) {
    const QByteArray before = "; first comment\r\n[Editor]\r\nFont=\xe8\xe9\r\n";
    const QByteArray after = "[Other]\r\nDifficulty=2\r\nTime1=5\r\n[Third]\r\nx=1\r\n";
    const ParsedSettings parsed = parseSettings(before + ourSection(kNumbers, kRecords) + after);
    // The later section's keys are that program's, not ours.
    EXPECT_EQ(parsed.settings.level, Level::Custom);
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(0), QStringLiteral("57"));
    EXPECT_EQ(writeSettings(parsed.preservedLines, parsed.settings),
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
    EXPECT_TRUE(writeSettings(parsed.preservedLines, parsed.settings).startsWith(strange + "\r\n"));
}

TEST(IniFormat, LineEndsMayBeCrLfLfOrMissingAndAreWrittenCrLf) {
    const ParsedSettings mixed =
        parseSettings("a\r\nb\n\nc\r\r\n[Quorvel]\nDifficulty=3\r\nMines=49\nFace=2\r\nSize=8");
    EXPECT_EQ(mixed.preservedLines, (QList<QByteArray>{"a", "b", "", "c\r"}));
    EXPECT_EQ(mixed.settings.faceSet, core::FaceSet::Alien);
    EXPECT_EQ(mixed.settings.side, 8);  // the last line, with no line end, is read
    EXPECT_TRUE(
        writeSettings(mixed.preservedLines, mixed.settings).startsWith("a\r\nb\r\n\r\nc\r\r\n"));

    // A CR at the very end, with no LF after it, belongs to the line.
    EXPECT_EQ(parseSettings("x\r").preservedLines, QList<QByteArray>{"x\r"});
    EXPECT_EQ(parseSettings("x\n").preservedLines, QList<QByteArray>{"x"});
}

// An empty line that ends in CR LF is an empty line, not a lone CR: written
// back as it was, in a section before ours and in one that came after it.
TEST(IniFormat, EmptyCrLfLinesOfOtherSectionsComeBackByteForByte) {
    const QByteArray before = "[Editor]\r\n\r\nFont=x\r\n\r\n";
    const QByteArray after = "[Later]\r\n\r\n\r\nk=v\r\n\r\n";
    const ParsedSettings parsed = parseSettings(before + ourSection(kNumbers, kRecords) + after);
    EXPECT_EQ(writeSettings(parsed.preservedLines, parsed.settings),
              before + after + ourSection(kNumbers, kRecords));
}

TEST(IniFormat, EmptyFileHasNoSectionAndNoLines) {
    const ParsedSettings parsed = parseSettings({});
    EXPECT_FALSE(parsed.sectionFound);
    EXPECT_TRUE(parsed.preservedLines.isEmpty());
    EXPECT_EQ(parsed.settings, StoredSettings{});
    EXPECT_EQ(parsed.settings.level, Level::Beginner);
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(2), QStringLiteral("999"));
    EXPECT_EQ(parsed.settings.bestTimes.name(0), unknownPlayer());
}

TEST(IniFormat, FileWithoutOurSectionIsKeptWholeAheadOfIt) {
    const QByteArray file = "[Other]\r\nDifficulty=2\r\n[quorvel]\r\nSize=8\r\n";
    const ParsedSettings parsed = parseSettings(file);
    EXPECT_FALSE(parsed.sectionFound);  // the header must match in letter case
    EXPECT_EQ(parsed.settings.level, Level::Beginner);
    EXPECT_EQ(parsed.settings.side, 4);
    EXPECT_TRUE(
        writeSettings(parsed.preservedLines, parsed.settings).startsWith(file + "[Quorvel]\r\n"));
}

TEST(IniFormat, KeysAreMatchedInAnyLetterCase) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\nDIFFICULTY=3\nsize=8\nMiNeS=49\nfACE=1\nXPOS=3\nypos=4\n"
        "TIME2=77\nname3=Eva\n");
    EXPECT_EQ(parsed.settings.level, Level::Custom);
    EXPECT_EQ(parsed.settings.side, 8);
    EXPECT_EQ(parsed.settings.mines, 49);
    EXPECT_EQ(parsed.settings.faceSet, core::FaceSet::DarkRed);
    EXPECT_EQ(parsed.settings.position, QPointF(3, 4));
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(1), QStringLiteral("77"));
    EXPECT_EQ(parsed.settings.bestTimes.name(2), QStringLiteral("Eva"));
}

TEST(IniFormat, RepeatedKeyTakesLastValueAndMissingKeysStayAtStart) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\r\nDifficulty=3\r\nMines=30\r\nSize=6\r\nName1=A\r\nSize=10\r\nName1=B\r\n");
    EXPECT_EQ(parsed.settings.side, 10);
    EXPECT_EQ(parsed.settings.bestTimes.name(0), QStringLiteral("B"));
    EXPECT_EQ(parsed.settings.position.x(), 0);
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(0), QStringLiteral("999"));
    EXPECT_EQ(parsed.settings.bestTimes.name(1), unknownPlayer());
    // A missing Mines reads 0, which no custom board accepts.
    EXPECT_EQ(parseSettings("[Quorvel]\nDifficulty=3\nSize=10\n").settings.level, Level::Beginner);
}

TEST(IniFormat, UnknownLinesInOurSectionAreDropped) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\r\n; note\r\nTime4=1\r\nName=x\r\nTime1 =5\r\nFace=2\r\n");
    EXPECT_TRUE(parsed.preservedLines.isEmpty());
    EXPECT_EQ(parsed.settings.bestTimes.fileTime(0), QStringLiteral("999"));
    EXPECT_EQ(parsed.settings.faceSet, core::FaceSet::Alien);
}

TEST(IniFormat, RecordValuesAreTakenUncheckedFromTheSeventhCharacter) {
    const ParsedSettings parsed =
        parseSettings("[Quorvel]\r\nTime1= 12 s\r\nName2=  \r\nName3=\r\nTime3=abc\r\n");
    const BestTimes& table = parsed.settings.bestTimes;
    EXPECT_EQ(table.fileTime(0), QStringLiteral(" 12 s"));
    EXPECT_EQ(table.fileTime(2), QStringLiteral("abc"));
    // Blank holders read as the unknown player.
    EXPECT_EQ(table.name(1), unknownPlayer());
    EXPECT_EQ(table.name(2), unknownPlayer());
}

TEST(IniFormat, NumbersAreReadAsTheirLeadingNumber) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\nDifficulty=  -1.0xyz\nSize= 6.0x\nMines=21.4abc\nFace=2.9\nXpos=+1.5.5\n"
        "Ypos=.5\n");
    EXPECT_EQ(parsed.settings.level, Level::Custom);
    EXPECT_EQ(parsed.settings.side, 6);
    EXPECT_EQ(parsed.settings.mines, 21);
    EXPECT_EQ(parsed.settings.faceSet, core::FaceSet::Alien);  // only the whole part of Face counts
    EXPECT_EQ(parsed.settings.position.x(), 1.5);
    EXPECT_EQ(parsed.settings.position.y(), 0.5);
    EXPECT_EQ(parseSettings("[Quorvel]\nDifficulty=2.0xyz\n").settings.level, Level::Expert);
    EXPECT_EQ(parseSettings("[Quorvel]\nDifficulty=3\nSize=abc\nMines=-7.25\n").settings.level,
              Level::Beginner);
}

TEST(IniFormat, SecondOwnHeaderAfterAnotherSectionReopensOurs) {
    const ParsedSettings parsed = parseSettings(
        "[Quorvel]\nDifficulty=3\nMines=30\nSize=6\n[Other]\nk=v\n[Quorvel]\nSize=8\n");
    EXPECT_EQ(parsed.preservedLines, (QList<QByteArray>{"[Other]", "k=v"}));
    EXPECT_EQ(parsed.settings.side, 8);
}

TEST(IniFormat, WrittenNumbersArePlainDecimal) {
    StoredSettings settings;
    settings.level = Level::Custom;
    settings.side = 10;
    settings.mines = 135;
    settings.faceSet = core::FaceSet::Alien;
    settings.position = QPointF(123.5, -0.0);
    settings.bestTimes.setRecord(Level::Beginner, 1, QString());
    settings.bestTimes.setRecord(Level::Advanced, 22, QStringLiteral("Žofie"));
    settings.bestTimes.setRecord(Level::Expert, 333, QStringLiteral("a\nb"));
    EXPECT_EQ(writeSettings({}, settings),
              "[Quorvel]\r\nDifficulty=3\r\nSize=10\r\nMines=135\r\nFace=2\r\nXpos=123.5\r\n"
              "Ypos=0\r\nTime1=1\r\nTime2=22\r\nTime3=333\r\nName1=\r\nName2=\x8e"
              "ofie\r\nName3=a b\r\n");
}

TEST(IniFormat, DefaultFileIsTheBeginnerLevelCentred) {
    EXPECT_EQ(defaultSettings(QPointF(453.5, 154)),
              "[Quorvel]\r\nDifficulty=0\r\nSize=4\r\nMines=7\r\nFace=0\r\nXpos=453.5\r\n"
              "Ypos=154\r\nTime1=999\r\nTime2=999\r\nTime3=999\r\nName1=" +
                  kUnknownBytes + "\r\nName2=" + kUnknownBytes + "\r\nName3=" + kUnknownBytes +
                  "\r\n");
    EXPECT_EQ(kUnknownBytes.size(), 12);
}

TEST(NumberText, LeadingNumberReadsBytesAndTextsAlike) {
    EXPECT_EQ(leadingNumber(QByteArrayView(" \t-12.5e3")), -12.5);
    EXPECT_EQ(leadingNumber(QStringView(u" \t-12.5e3")), -12.5);
    EXPECT_EQ(leadingNumber(QStringView(u"20.7 sekund")), 20.7);
    EXPECT_EQ(leadingNumber(QStringView(u"٣")), 0);  // only ASCII digits count
    EXPECT_EQ(leadingNumber(QStringView(u"7٣")), 7);
    EXPECT_EQ(leadingNumber(QStringView(u"")), 0);
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

// Names are told blank on their bytes, undecoded: the answer must be the one the
// decoded text gives, for every byte of the code page.
TEST(Windows1250, BlankBytesAreExactlyTheBytesOfWhiteSpace) {
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray bytes = QByteArray(1, static_cast<char>(byte)) + ' ';
        EXPECT_EQ(blankText(bytes), decodeText(bytes).trimmed().isEmpty()) << byte;
    }
    EXPECT_TRUE(blankText(QByteArray()));
    EXPECT_FALSE(blankText(" \xA0x\t"));
}

}  // namespace
}  // namespace quorvel::settings
