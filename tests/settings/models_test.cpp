// What the stored values start, the best-times table and the custom board's
// mine range.

#include <gtest/gtest.h>

#include "settings/best_times.h"
#include "settings/custom_rule.h"
#include "settings/game_settings.h"
#include "settings/ini_format.h"

namespace quorvel::settings {
namespace {

using core::Level;

SettingsValues stored(double difficulty, double size = 0, double mines = 0, double face = 0) {
    SettingsValues values;
    values.difficulty = difficulty;
    values.size = size;
    values.mines = mines;
    values.face = face;
    return values;
}

TEST(StartupChoice, FixedLevelsComeFromWholeDifficulties) {
    EXPECT_EQ(chooseStartup(stored(0)).level, Level::Beginner);
    EXPECT_EQ(chooseStartup(stored(1)).level, Level::Advanced);
    EXPECT_EQ(chooseStartup(stored(2, 10, 100)).level, Level::Expert);
    EXPECT_EQ(chooseStartup(stored(2)).customSide, 0);
}

TEST(StartupChoice, FractionalDifficultyInsideTheLevelsStartsBeginner) {
    for (const double difficulty : {0.5, 1.5, 1.999, 0.001}) {
        const StartupChoice choice = chooseStartup(stored(difficulty, 6, 21));
        EXPECT_EQ(choice.level, Level::Beginner) << difficulty;
    }
}

TEST(StartupChoice, ValidStoredCustomBoardIsTaken) {
    const StartupChoice choice = chooseStartup(stored(3, 6, 21));
    EXPECT_EQ(choice.level, Level::Custom);
    EXPECT_EQ(choice.customSide, 6);
    EXPECT_EQ(choice.customMines, 21);
    // Any Difficulty outside 0 .. 2 asks for the custom board.
    EXPECT_EQ(chooseStartup(stored(-1, 10, 135)).level, Level::Custom);
    EXPECT_EQ(chooseStartup(stored(2.5, 4, 2)).level, Level::Custom);
}

TEST(StartupChoice, CustomRangeEndsAreInclusiveAndFractionsRoundIntoTheRange) {
    // 0.05 * 37 = 1.85 and 0.5 * 37 = 18.5 for side 4; the count taken must pass
    // the same check when it is read back after the next write.
    EXPECT_EQ(chooseStartup(stored(3, 4, 1.85)).customMines, 2);
    EXPECT_EQ(chooseStartup(stored(3, 4, 18.5)).customMines, 18);
    EXPECT_EQ(chooseStartup(stored(3, 4, 7.4)).customMines, 7);
    EXPECT_EQ(chooseStartup(stored(3, 4, 7.6)).customMines, 8);
    EXPECT_EQ(chooseStartup(stored(3, 10, 135.5)).customMines, 135);
    EXPECT_EQ(chooseStartup(stored(3, 10, 13.55)).customMines, 14);
    for (int side : {4, 6, 8, 10}) {
        const double cells = cellCount(side);
        for (double mines = 0.05 * cells; mines <= 0.5 * cells; mines += 0.25) {
            const int taken = chooseStartup(stored(3, side, mines)).customMines;
            EXPECT_EQ(chooseStartup(stored(3, side, taken)).customMines, taken)
                << side << " " << mines;
        }
    }
}

TEST(StartupChoice, InvalidCustomPairStartsBeginnerOnly) {
    const SettingsValues invalid[] = {
        stored(3, 5, 10),    // no such side
        stored(3, 4, 1),     // below 5 % of 37
        stored(3, 4, 19),    // above half of 37
        stored(3, 10, 136),  // above half of 271
        stored(3, 6.5, 20),  // side not whole
        stored(3, 0, 0),     // nothing stored
        stored(3, 8, -10),
    };
    for (const SettingsValues& values : invalid) {
        const StartupChoice choice = chooseStartup(values);
        EXPECT_EQ(choice.level, Level::Beginner) << values.size << " " << values.mines;
        EXPECT_EQ(choice.customSide, 0);
        EXPECT_EQ(choice.customMines, 0);
    }
}

TEST(StartupChoice, FaceOutsideTheThreeSetsStartsSetZero) {
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, 1)).faceSet, 1);
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, 2)).faceSet, 2);
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, 2.7)).faceSet, 2);
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, 3)).faceSet, 0);
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, -1)).faceSet, 0);
    EXPECT_EQ(chooseStartup(stored(0, 0, 0, 1e300)).faceSet, 0);
}

TEST(StartupChoice, WindowPositionIsRoundedDownAndKeptInIntRange) {
    SettingsValues values;
    values.xpos = 453.5;
    values.ypos = -0.5;
    StartupChoice choice = chooseStartup(values);
    EXPECT_EQ(choice.x, 453);
    EXPECT_EQ(choice.y, -1);
    values.xpos = 1e300;
    values.ypos = -1e300;
    choice = chooseStartup(values);
    EXPECT_EQ(choice.x, 1000000);
    EXPECT_EQ(choice.y, -1000000);
}

TEST(ValuesToWrite, LevelNumbersAndTableGoIntoTheSection) {
    BestTimes table;
    table.setRecord(Level::Expert, 300, QStringLiteral("Eva"));
    const SettingsValues values = valuesToWrite(Level::Custom, 10, 135, 2, 12.5, 7, table);
    EXPECT_EQ(values.difficulty, 3);
    EXPECT_EQ(values.size, 10);
    EXPECT_EQ(values.mines, 135);
    EXPECT_EQ(values.face, 2);
    EXPECT_EQ(values.xpos, 12.5);
    EXPECT_EQ(values.ypos, 7);
    EXPECT_EQ(values.times[2], QStringLiteral("300"));
    EXPECT_EQ(values.names[2], QStringLiteral("Eva"));
    EXPECT_EQ(valuesToWrite(Level::Beginner, 4, 7, 0, 0, 0, table).difficulty, 0);
    EXPECT_EQ(valuesToWrite(Level::Advanced, 6, 21, 0, 0, 0, table).difficulty, 1);
    EXPECT_EQ(valuesToWrite(Level::Expert, 8, 49, 0, 0, 0, table).difficulty, 2);
}

TEST(BestTimes, FillFromFileShowsBlankNamesAsUnknownAndAddsTheUnit) {
    SettingsValues values;
    values.times = {QStringLiteral("57"), QStringLiteral("abc"), QString()};
    values.names = {QStringLiteral("  "), QString(), QStringLiteral(" Jan ")};
    BestTimes table;
    table.fillFromFile(values);
    EXPECT_EQ(table.timeText(0), QStringLiteral("57 sekund"));
    EXPECT_EQ(table.timeText(1), QStringLiteral("abc sekund"));
    EXPECT_EQ(table.timeText(2), QStringLiteral(" sekund"));
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
    EXPECT_EQ(table.timeText(0), QStringLiteral("9 sekund"));
    EXPECT_EQ(table.name(0), QString());
    EXPECT_EQ(table.timeText(1), QStringLiteral("42 sekund"));
    EXPECT_EQ(table.name(Level::Advanced), QStringLiteral("Čeněk"));
    EXPECT_EQ(table.timeText(2), QStringLiteral("999 sekund"));
    EXPECT_EQ(table.best(Level::Advanced), 42);
    // The custom board reads the beginner row and stores nothing.
    EXPECT_EQ(table.best(Level::Custom), 9);

    SettingsValues values;
    table.storeInto(values);
    EXPECT_EQ(values.times, (std::array<QString, 3>{QStringLiteral("9"), QStringLiteral("42"),
                                                    QStringLiteral("999")}));
    EXPECT_EQ(values.names[0], QString());  // an empty name is written empty
}

TEST(BestTimes, ResetRestoresTheStartingEntries) {
    BestTimes table;
    table.setRecord(Level::Expert, 100, QStringLiteral("Eva"));
    table.reset();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table.timeText(row), QStringLiteral("999 sekund"));
        EXPECT_EQ(table.name(row), unknownPlayer());
    }
}

TEST(BestTimes, ShortTimeTextIsStoredEmpty) {
    SettingsValues values;
    values.times[0] = QString();
    BestTimes table;
    table.fillFromFile(values);  // " sekund"
    SettingsValues out;
    table.storeInto(out);
    EXPECT_EQ(out.times[0], QString());
}

TEST(CustomMines, RangeEndsForEverySide) {
    struct Range {
        int side, fewest, most;
    };
    for (const Range range :
         {Range{4, 1, 18}, Range{6, 4, 45}, Range{8, 8, 84}, Range{10, 13, 135}}) {
        EXPECT_EQ(customMines(range.side, u"0"), range.fewest) << range.side;
        EXPECT_EQ(customMines(range.side, u"100000"), range.most) << range.side;
        EXPECT_EQ(customMines(range.side, QString::number(range.fewest)), range.fewest);
        EXPECT_EQ(customMines(range.side, QString::number(range.most)), range.most);
    }
}

TEST(CustomMines, TypedTextIsBroughtIntoRange) {
    EXPECT_EQ(customMines(4, u"25"), 18);
    EXPECT_EQ(customMines(10, u"200"), 135);
    EXPECT_EQ(customMines(4, u"abc"), 1);
    EXPECT_EQ(customMines(4, u""), 1);
    EXPECT_EQ(customMines(6, u"3"), 4);
    EXPECT_EQ(customMines(6, u"20.7"), 20);
    EXPECT_EQ(customMines(6, u"  30 min"), 30);
    EXPECT_EQ(customMines(8, u"-5"), 8);
    EXPECT_EQ(customMines(8, u"1e3"), 8);  // reads as 1
    EXPECT_EQ(customMines(10, u"99999999999999999999999"), 135);
}

}  // namespace
}  // namespace quorvel::settings
