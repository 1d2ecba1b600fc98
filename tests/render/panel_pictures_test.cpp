#include "render/panel_pictures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;

// The seven segments a..g (top, upper left, upper right, middle, lower left,
// lower right, bottom) of a 13 x 23 digit; '.' is outside every segment.
constexpr const char* kSegmentMap[23] = {
    ".............",  //
    "..aaaaaaaaa..",  //
    ".b.aaaaaaa.c.",  //
    ".bb.aaaaa.cc.",  //
    ".bbb.....ccc.",  //
    ".bbb.....ccc.",  //
    ".bbb.....ccc.",  //
    ".bbb.....ccc.",  //
    ".bbb.....ccc.",  //
    ".bb.......cc.",  //
    ".b.ddddddd.c.",  //
    "..ddddddddd..",  //
    ".e.ddddddd.f.",  //
    ".ee.......ff.",  //
    ".eee.....fff.",  //
    ".eee.....fff.",  //
    ".eee.....fff.",  //
    ".eee.....fff.",  //
    ".eee.....fff.",  //
    ".ee.ggggg.ff.",  //
    ".e.ggggggg.f.",  //
    "..ggggggggg..",  //
    ".............",  //
};

// Lit segments of 0..9 and the minus sign.
const std::string kLitSegments[11] = {"abcefg", "cf",  "acdeg",   "acdfg",  "bcdf", "abdfg",
                                      "abdefg", "acf", "abcdefg", "abcdfg", "d"};

TEST(Digits, EverySegmentPixelIsLitOrDotted) {
    const int red = colour(255, 0, 0);
    const int dark = colour(128, 0, 0);
    for (int d = 0; d <= 10; ++d) {
        const Picture& pic = digitPicture(d);
        ASSERT_EQ(pic.width(), 13);
        ASSERT_EQ(pic.height(), 23);
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 13; ++x) {
                const char segment = kSegmentMap[y][x];
                int want = kBlack;
                if (segment != '.') {
                    const bool across = segment == 'a' || segment == 'd' || segment == 'g';
                    const bool dotted = across ? (x + y) % 2 == 0 : (x + y) % 2 == 1;
                    if (kLitSegments[d].find(segment) != std::string::npos) {
                        want = red;
                    } else if (dotted) {
                        want = dark;
                    }
                }
                ASSERT_EQ(pic.at(x, y), want) << "digit " << d << " at (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(Digits, EightIsFullyLitAndMinusOnlyItsMiddle) {
    EXPECT_EQ(countColour(digitPicture(8), colour(255, 0, 0)), 21 + 23 + 21 + 4 * 21);
    EXPECT_EQ(countColour(digitPicture(10), colour(255, 0, 0)), 23);
    EXPECT_EQ(digitPicture(10).at(3, 1), colour(128, 0, 0)) << "unlit top dotted on even x + y";
    EXPECT_EQ(digitPicture(10).at(2, 1), kBlack);
    EXPECT_EQ(digitPicture(10).at(1, 2), colour(128, 0, 0)) << "unlit side dotted on odd x + y";
}

TEST(Digits, IndicesOutsideTheRangeThrow) {
    EXPECT_THROW(digitPicture(-1), std::out_of_range);
    EXPECT_THROW(digitPicture(11), std::out_of_range);
    EXPECT_THROW(makeDigitPicture(11), std::out_of_range);
    EXPECT_EQ(&digitPicture(3), &digitPicture(3));
    EXPECT_EQ(digitPicture(3), makeDigitPicture(3));
}

void expectSunkenFrame(const Picture& pic, int t, int inside) {
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            const int frame = sunkenFrameColour(pic.width(), pic.height(), t, x, y);
            const bool border = x < t || y < t || x >= pic.width() - t || y >= pic.height() - t;
            const int want = frame >= 0 ? frame : (border ? kGrey192 : inside);
            ASSERT_EQ(pic.at(x, y), want) << "(" << x << ", " << y << ")";
        }
    }
}

TEST(PanelPictures, PanelAndBoxesAreSunken) {
    ASSERT_EQ(panelPicture().width(), 350);
    ASSERT_EQ(panelPicture().height(), 37);
    expectSunkenFrame(panelPicture(), 2, kGrey192);
    ASSERT_EQ(counterBoxPicture().width(), 28);
    ASSERT_EQ(counterBoxPicture().height(), 25);
    expectSunkenFrame(counterBoxPicture(), 1, kBlack);
    ASSERT_EQ(clockBoxPicture().width(), 41);
    ASSERT_EQ(clockBoxPicture().height(), 25);
    expectSunkenFrame(clockBoxPicture(), 1, kBlack);
    EXPECT_EQ(counterBoxPicture().at(27, 0), kGrey192);
    EXPECT_EQ(counterBoxPicture().at(0, 24), kGrey192);
    EXPECT_EQ(clockBoxPicture().at(40, 1), kWhite);
    EXPECT_EQ(clockBoxPicture().at(1, 1), kBlack);
    EXPECT_EQ(panelPicture().at(349, 0), kGrey192);
    EXPECT_EQ(panelPicture().at(348, 1), kGrey192);
    EXPECT_EQ(panelPicture().at(1, 35), kGrey192);
}

TEST(PanelPictures, PanelEdgeIsThePanelsRightmostColumns) {
    const Picture& edge = panelEdgePicture();
    ASSERT_EQ(edge.width(), 2);
    ASSERT_EQ(edge.height(), 37);
    for (int y = 0; y < 37; ++y) {
        EXPECT_EQ(edge.at(0, y), panelPicture().at(348, y));
        EXPECT_EQ(edge.at(1, y), panelPicture().at(349, y));
    }
    EXPECT_EQ(edge.at(0, 0), kGrey128);
    EXPECT_EQ(edge.at(1, 0), kGrey192);
    EXPECT_EQ(edge.at(0, 1), kGrey192);
    EXPECT_EQ(edge.at(1, 1), kWhite);
    for (int y = 2; y < 37; ++y) {
        EXPECT_EQ(edge.at(0, y), kWhite);
        EXPECT_EQ(edge.at(1, y), kWhite);
    }
}

TEST(PanelPictures, WindowEdgeStripsAndBackground) {
    const Picture& right = rightEdgePicture();
    ASSERT_EQ(right.width(), 4);
    ASSERT_EQ(right.height(), 434);
    for (int y = 0; y < 434; ++y) {
        for (int x = 0; x < 4; ++x) {
            int want;
            if (y <= 2) {
                want = x < 3 - y ? kWhite : (x == 3 - y ? kGrey192 : kGrey128);
            } else {
                want = x == 0 ? kGrey192 : kGrey128;
            }
            ASSERT_EQ(right.at(x, y), want) << x << " " << y;
        }
    }
    const Picture& bottom = bottomEdgePicture();
    ASSERT_EQ(bottom.width(), 463);
    ASSERT_EQ(bottom.height(), 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 463; ++x) {
            const int want = x < 2 - y ? kWhite : (x == 2 - y ? kGrey192 : kGrey128);
            ASSERT_EQ(bottom.at(x, y), want) << x << " " << y;
        }
    }
    const Picture& back = backgroundPicture();
    ASSERT_EQ(back.width(), 463);
    ASSERT_EQ(back.height(), 434);
    for (int y = 0; y < 434; ++y) {
        for (int x = 0; x < 463; ++x) {
            ASSERT_EQ(back.at(x, y), x < 3 || y < 3 ? kWhite : kGrey192) << x << " " << y;
        }
    }
}

TEST(PanelPictures, CachedPicturesMatchFreshOnes) {
    EXPECT_EQ(&panelPicture(), &panelPicture());
    EXPECT_EQ(panelPicture(), makePanelPicture());
    EXPECT_EQ(panelEdgePicture(), makePanelEdgePicture());
    EXPECT_EQ(rightEdgePicture(), makeRightEdgePicture());
    EXPECT_EQ(bottomEdgePicture(), makeBottomEdgePicture());
    EXPECT_EQ(backgroundPicture(), makeBackgroundPicture());
    EXPECT_EQ(counterBoxPicture(), makeCounterBoxPicture());
    EXPECT_EQ(clockBoxPicture(), makeClockBoxPicture());
}

}  // namespace
}  // namespace quorvel::render
