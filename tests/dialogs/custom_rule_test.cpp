// The custom-board dialog's reading of the typed mine count: the number it
// starts with, brought into the range the board's side allows.

#include <gtest/gtest.h>

#include <QString>

#include "dialogs/custom_rule.h"

namespace quorvel::dialogs {
namespace {

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
}  // namespace quorvel::dialogs
