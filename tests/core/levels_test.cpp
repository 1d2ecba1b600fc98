// The levels: the custom board's range of mines as the dialog and the settings
// reader take it, and the best-times row of a won game.

#include <gtest/gtest.h>

#include <optional>

#include "core/levels.h"

namespace quorvel::core {
namespace {

TEST(CustomMines, TheDialogCutsTheFractionOfANumberBroughtIntoTheRange) {
    EXPECT_EQ(customMinesTyped(4, -5), 1);  // 1.85
    EXPECT_EQ(customMinesTyped(4, 1.85), 1);
    EXPECT_EQ(customMinesTyped(4, 7.9), 7);
    EXPECT_EQ(customMinesTyped(4, 18.5), 18);
    EXPECT_EQ(customMinesTyped(4, 1e9), 18);
    EXPECT_EQ(customMinesTyped(10, 13), 13);  // 13.55
    EXPECT_EQ(customMinesTyped(10, 200), 135);
}

TEST(CustomMines, AStoredCountBecomesTheNearestCountInsideTheRange) {
    EXPECT_EQ(customMinesStored(4, 1), 2);
    EXPECT_EQ(customMinesStored(4, 7.4), 7);
    EXPECT_EQ(customMinesStored(4, 7.6), 8);
    EXPECT_EQ(customMinesStored(4, 19), 18);
    EXPECT_EQ(customMinesStored(10, 13), 14);
    EXPECT_EQ(customMinesStored(10, 136), 135);
    // What the reader starts is accepted again next time; what the dialog hands
    // over may fall below the range.
    for (const int side : {4, 6, 8, 10}) {
        for (int stored = -2; stored <= 140; ++stored) {
            EXPECT_TRUE(customMineRange(side).contains(customMinesStored(side, stored)));
        }
    }
    EXPECT_FALSE(customMineRange(4).contains(customMinesTyped(4, 0)));
}

TEST(RecordLevel, ACustomBoardOrNoMarkReadsTheBeginnerRow) {
    EXPECT_EQ(recordLevel(std::nullopt), Level::Beginner);
    EXPECT_EQ(recordLevel(Level::Custom), Level::Beginner);
    EXPECT_EQ(recordLevel(Level::Expert), Level::Expert);
    EXPECT_EQ(bestTimesRow(Level::Beginner), 0);
    EXPECT_EQ(bestTimesRow(Level::Advanced), 1);
    EXPECT_EQ(bestTimesRow(Level::Expert), 2);
    EXPECT_EQ(bestTimesRow(Level::Custom), 0);
}

}  // namespace
}  // namespace quorvel::core
