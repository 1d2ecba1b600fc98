// The window icon: sizes, colours, the mine in its middle, and the enlargements.

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "render/face_pictures.h"
#include "tests/support/colours.h"

namespace quorvel::render {
namespace {

using quorvel::support::coloursOf;
using quorvel::support::kSixteenColours;

TEST(WindowIcon, ComesInSixteenAndThirtyTwoPixelsOfGreyCellsInTheSixteenColours) {
    for (const int size : {16, 32}) {
        const Picture& icon = iconPicture(size);
        ASSERT_EQ(icon.width(), size);
        ASSERT_EQ(icon.height(), size);
        const std::set<int> colours = coloursOf(icon);
        for (const int colour : colours) {
            EXPECT_TRUE(kSixteenColours.contains(colour)) << size << ": " << std::hex << colour;
        }
        // Grey cells with light and dark edges.
        for (const Rgb needed : {grey(192), grey(128), grey(255), grey(0)}) {
            EXPECT_TRUE(colours.contains(static_cast<int>(needed))) << size << ": " << needed;
        }
    }
}

TEST(WindowIcon, HasABlackMineInItsMiddle) {
    for (const int size : {16, 32}) {
        const Picture& icon = iconPicture(size);
        const int middle = size / 2;
        const int reach = size / 8;  // the middle quarter of each side
        int black = 0;
        for (int y = middle - reach; y < middle + reach; ++y) {
            for (int x = middle - reach; x < middle + reach; ++x) {
                black += icon.at(x, y) == 0 ? 1 : 0;
            }
        }
        // Mostly black, with room for a highlight.
        EXPECT_GE(black, (2 * reach) * (2 * reach) * 2 / 3) << size;
    }
}

TEST(WindowIcon, LargerSizesAreTheThirtyTwoPixelIconScaledByWholePixels) {
    const Picture& small = iconPicture(32);
    for (const int size : {64, 128}) {
        const Picture& icon = iconPicture(size);
        ASSERT_EQ(icon.width(), size);
        ASSERT_EQ(icon.height(), size);
        const int factor = size / 32;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                ASSERT_EQ(icon.at(x, y), small.at(x / factor, y / factor)) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(&iconPicture(128), &iconPicture(128));
    EXPECT_EQ(iconPicture(16), makeIconPicture(16));
}

TEST(WindowIcon, RefusesSizesItCannotShowSharply) {
    for (const int size : {0, -32, 8, 24, 48, 100}) {
        EXPECT_THROW(iconPicture(size), std::out_of_range) << size;
    }
}

}  // namespace
}  // namespace quorvel::render
