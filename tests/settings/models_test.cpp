// What the stored values start and the best-times table.

#include <gtest/gtest.h>

#include "core/geometry.h"
#include "settings/best_times.h"
#include "settings/ini_format.h"
#include "settings/number_text.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {
namespace {

using core::Level;

// What a section with these numbers starts.
StoredSettings stored(double difficulty, double size = 0, double mines = 0, double face = 0) {
    return parseSettings("[Quorvel]\r\nDifficulty=" + numberBytes(difficulty) +
                         "\r\nSize=" + numberBytes(size) + "\r\nMines=" + numberBytes(mines) +
                         "\r\nFace=" + numberBytes(face) + "\r\n")
        .settings;
}

TEST(StartupChoice, FixedLevelsComeFromWholeDifficulties) {
    EXPECT_EQ(stored(0).level, Level::Beginner);
    EXPECT_EQ(stored(1).level, Level::Advanced);
    EXPECT_EQ(stored(2, 10, 100).level, Level::Expert);
    // A fixed level plays its own board, whatever Size and Mines say.
    EXPECT_EQ(stored(2, 10, 100).side, 8);
    EXPECT_EQ(stored(2, 10, 100).mines, 49);
}

TEST(StartupChoice, FractionalDifficultyInsideTheLevelsStartsBeginner) {
    for (const double difficulty : {0.5, 1.5, 1.999, 0.001}) {
        EXPECT_EQ(stored(difficulty, 6, 21).level, Level::Beginner) << difficulty;
    }
}

TEST(StartupChoice, ValidStoredCustomBoardIsTaken) {
    const StoredSettings choice = stored(3, 6, 21);
    EXPECT_EQ(choice.level, Level::Custom);
    EXPECT_EQ(choice.side, 6);
    EXPECT_EQ(choice.mines, 21);
    // Any Difficulty outside 0 .. 2 asks for the custom board.
    EXPECT_EQ(stored(-1, 10, 135).level, Level::Custom);
    EXPECT_EQ(stored(2.5, 4, 2).level, Level::Custom);
}

TEST(StartupChoice, CustomRangeEndsAreInclusiveAndFractionsRoundIntoTheRange) {
    // 0.05 * 37 = 1.85 and 0.5 * 37 = 18.5 for side 4; the count taken must pass
    // the same check when it is read back after the next write.
    EXPECT_EQ(stored(3, 4, 1.85).mines, 2);
    EXPECT_EQ(stored(3, 4, 18.5).mines, 18);
    EXPECT_EQ(stored(3, 4, 7.4).mines, 7);
    EXPECT_EQ(stored(3, 4, 7.6).mines, 8);
    EXPECT_EQ(stored(3, 10, 135.5).mines, 135);
    EXPECT_EQ(stored(3, 10, 13.55).mines, 14);
    for (int side : {4, 6, 8, 10}) {
        const double cells = core::cellCount(side);
        for (double mines = 0.05 * cells; mines <= 0.5 * cells; mines += 0.25) {
            const int taken = stored(3, side, mines).mines;
            EXPECT_EQ(stored(3, side, taken).mines, taken) << side << " " << mines;
        }
    }
}

TEST(StartupChoice, InvalidCustomPairStartsBeginnerOnly) {
    const std::pair<double, double> invalid[] = {
        {5, 10},    // no such side
        {4, 1},     // below 5 % of 37
        {4, 19},    // above half of 37
        {10, 136},  // above half of 271
        {6.5, 20},  // side not whole
        {0, 0},     // nothing stored
        {8, -10},
    };
    for (const auto& [size, mines] : invalid) {
        const StoredSettings choice = stored(3, size, mines);
        EXPECT_EQ(choice.level, Level::Beginner) << size << " " << mines;
        EXPECT_EQ(choice.side, 4);
        EXPECT_EQ(choice.mines, 7);
    }
}

TEST(StartupChoice, FaceOutsideTheThreeSetsStartsSetZero) {
    EXPECT_EQ(stored(0, 0, 0, 1).faceSet, core::FaceSet::DarkRed);
    EXPECT_EQ(stored(0, 0, 0, 2).faceSet, core::FaceSet::Alien);
    EXPECT_EQ(stored(0, 0, 0, 2.7).faceSet, core::FaceSet::Alien);
    EXPECT_EQ(stored(0, 0, 0, 3).faceSet, core::FaceSet::Yellow);
    EXPECT_EQ(stored(0, 0, 0, -1).faceSet, core::FaceSet::Yellow);
    EXPECT_EQ(stored(0, 0, 0, 1e300).faceSet, core::FaceSet::Yellow);
}

TEST(StoredSettings, LevelNumbersGoIntoTheSection) {
    for (const auto& [level, number] : {std::pair{Level::Beginner, "0"},
                                        {Level::Advanced, "1"},
                                        {Level::Expert, "2"},
                                        {Level::Custom, "3"}}) {
        StoredSettings settings;
        settings.level = level;
        EXPECT_TRUE(writeSettings({}, settings).contains(QByteArray("Difficulty=") + number))
            << number;
    }
}

TEST(BestTimes, FromFileShowsBlankNamesAsUnknownAndKeepsTheTimesAsWritten) {
    const BestTimes table = BestTimes::fromFile(
        {QStringLiteral("57"), QStringLiteral("abc"), QString()}, {"  ", QByteArray(), " Jan "});
    EXPECT_EQ(table.fileTime(0), QStringLiteral("57"));
    EXPECT_EQ(table.fileTime(1), QStringLiteral("abc"));
    EXPECT_EQ(table.fileTime(2), QString());
    EXPECT_EQ(table.name(0), unknownPlayer());
    EXPECT_EQ(table.name(1), unknownPlayer());
    EXPECT_EQ(table.name(2), QStringLiteral(" Jan "));
    EXPECT_EQ(table.best(Level::Beginner), 57);
    EXPECT_EQ(table.best(Level::Advanced), 0);  // no leading number: a best no game beats
    EXPECT_EQ(table.best(Level::Expert), 0);
}

TEST(BestTimes, RecordsLandInTheirLevelsRowAndFileKeys) {
    BestTimes table;
    table.setRecord(Level::Advanced, 42, QStringLiteral("Čeněk"));
    table.setRecord(Level::Beginner, 9, QString());
    table.setRecord(Level::Custom, 1, QStringLiteral("nobody"));
    EXPECT_EQ(table.name(0), QString());
    EXPECT_EQ(table.name(Level::Advanced), QStringLiteral("Čeněk"));
    EXPECT_EQ(table.best(Level::Advanced), 42);
    // The custom board reads the beginner row and stores nothing.
    EXPECT_EQ(table.best(Level::Custom), 9);

    EXPECT_EQ(table.fileTime(0), QStringLiteral("9"));
    EXPECT_EQ(table.fileTime(1), QStringLiteral("42"));
    EXPECT_EQ(table.fileTime(2), QStringLiteral("999"));
}

TEST(BestTimes, ResetRestoresTheStartingEntries) {
    BestTimes table;
    table.setRecord(Level::Expert, 100, QStringLiteral("Eva"));
    table.reset();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table.fileTime(row), QStringLiteral("999"));
        EXPECT_EQ(table.name(row), unknownPlayer());
    }
}

TEST(BestTimes, AnEmptyTimeIsStoredEmpty) {
    const BestTimes table = BestTimes::fromFile({QString(), QString(), QString()}, {});
    EXPECT_EQ(table.fileTime(0), QString());
    EXPECT_EQ(table.best(Level::Beginner), 0);
}

}  // namespace
}  // namespace quorvel::settings
