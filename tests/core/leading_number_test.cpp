// The one reader of leading numbers: counter texts, best times, the settings file.

#include "core/leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace quorvel::core {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    EXPECT_DOUBLE_EQ(leadingNumber("999 sekund"), 999);
    EXPECT_DOUBLE_EQ(leadingNumber("57"), 57);
    EXPECT_DOUBLE_EQ(leadingNumber("   42abc"), 42);
    EXPECT_DOUBLE_EQ(leadingNumber("-3x"), -3);
    EXPECT_DOUBLE_EQ(leadingNumber("+4"), 4);
    EXPECT_DOUBLE_EQ(leadingNumber("1.5.3"), 1.5);
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("-.25"), -0.25);
    EXPECT_DOUBLE_EQ(leadingNumber("12."), 12);
    EXPECT_DOUBLE_EQ(leadingNumber("1e5"), 1);
    EXPECT_DOUBLE_EQ(leadingNumber("1,5"), 1);
    EXPECT_DOUBLE_EQ(leadingNumber("sekund"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("-"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("- 5"), 0);
}

TEST(LeadingNumber, StaysFiniteAndNeverNegativeZero) {
    // A best time or a window position too large for a double must not become an
    // infinity that later arithmetic turns into NaN.
    EXPECT_EQ(leadingNumber(std::string(400, '9')), std::numeric_limits<double>::max());
    EXPECT_EQ(leadingNumber("-" + std::string(400, '9') + ".5"),
              -std::numeric_limits<double>::max());
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0);
    EXPECT_FALSE(std::signbit(leadingNumber("-0")));
    EXPECT_FALSE(std::signbit(leadingNumber("-0." + std::string(400, '0') + "1")));
    EXPECT_EQ(leadingNumber(" \t-12.5e3"), -12.5);
    EXPECT_EQ(leadingNumber("x1"), 0);
}

}  // namespace
}  // namespace quorvel::core
