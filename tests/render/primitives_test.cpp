#include "render/primitives.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <utility>

#include "render/picture.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using testing::kBlack;
using testing::kWhite;
using Points = std::set<std::pair<int, int>>;

constexpr Rgb kInk = rgb(255, 0, 0);
constexpr int kInkValue = 0xFF0000;

Points inked(const Picture& pic) {
    Points out;
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            if (pic.at(x, y) == kInkValue) {
                out.insert({x, y});
            }
        }
    }
    return out;
}

// --- Picture

TEST(Picture, PointQueryAnswersMinusOneOutside) {
    Picture pic(3, 2, rgb(1, 2, 3));
    EXPECT_EQ(pic.at(0, 0), 0x010203);
    EXPECT_EQ(pic.at(2, 1), 0x010203);
    EXPECT_EQ(pic.at(-1, 0), -1);
    EXPECT_EQ(pic.at(3, 0), -1);
    EXPECT_EQ(pic.at(0, 2), -1);
    EXPECT_EQ(pic.at(INT_MIN, INT_MAX), -1);
    pic.set(5, 5, kInk);  // ignored
    pic.set(1, 1, kInk);
    EXPECT_EQ(pic.at(1, 1), kInkValue);
    EXPECT_EQ(pic.data()[1 * 3 + 1], 0xFFFF0000u) << "stored words are opaque 0xFFRRGGBB";
    pic.clear();
    EXPECT_EQ(pic.at(1, 1), 0x010203);
}

TEST(Picture, BlitCopiesClippedAtEveryEdge) {
    Picture src(3, 3, rgb(0, 0, 0));
    src.set(0, 0, kInk);
    src.set(2, 2, rgb(0, 255, 0));
    Picture dst(4, 4, rgb(255, 255, 255));
    dst.blit(src, 2, 2);
    EXPECT_EQ(dst.at(2, 2), kInkValue);
    EXPECT_EQ(dst.at(3, 3), kBlack);
    EXPECT_EQ(dst.at(1, 1), kWhite);
    dst.blit(src, -2, -2);
    EXPECT_EQ(dst.at(0, 0), 0x00FF00) << "only the source's last pixel lands";
    EXPECT_EQ(dst.at(1, 0), kWhite);
    Picture before = dst;
    dst.blit(src, INT_MAX, INT_MIN);
    dst.blit(src, INT_MIN, INT_MAX);
    EXPECT_EQ(dst, before);
}

// --- Line

TEST(Line, LeavesOutItsEndPoint) {
    Picture pic(10, 10);
    line(pic, 1, 2, 6, 2, kInk);
    EXPECT_EQ(inked(pic), (Points{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    pic.clear();
    line(pic, 7, 5, 7, 3, kInk);  // upwards
    EXPECT_EQ(inked(pic), (Points{{7, 5}, {7, 4}}));
    pic.clear();
    line(pic, 4, 4, 4, 4, kInk);
    EXPECT_TRUE(inked(pic).empty()) << "a line to its own start draws nothing";
}

TEST(Line, DiagonalsHaveNoRoundingChoice) {
    Picture pic(20, 20);
    line(pic, 8, 0, 16, 8, kInk);
    Points expected;
    for (int i = 0; i < 8; ++i) {
        expected.insert({8 + i, i});
    }
    EXPECT_EQ(inked(pic), expected);
    pic.clear();
    line(pic, 8, 15, 16, 7, kInk);
    expected.clear();
    for (int i = 0; i < 8; ++i) {
        expected.insert({8 + i, 15 - i});
    }
    EXPECT_EQ(inked(pic), expected);
}

TEST(Line, HalfPixelTieKeepsThePreviousMinorCoordinate) {
    Picture pic(10, 10);
    line(pic, 0, 0, 4, 1, kInk);
    EXPECT_EQ(inked(pic), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    pic.clear();
    line(pic, 4, 1, 0, 0, kInk);
    EXPECT_EQ(inked(pic), (Points{{4, 1}, {3, 1}, {2, 1}, {1, 0}}));
    pic.clear();
    line(pic, 0, 0, 1, 4, kInk);  // steep: y is the long axis
    EXPECT_EQ(inked(pic), (Points{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
}

// The pixels of a line by its definition: along the longer axis one pixel per step,
// the shorter axis at the nearest whole pixel to the exact offset, a tie rounded
// towards the start. Evaluated pixel by pixel, with no clipping of its own.
__extension__ typedef __int128 Wide;
bool onLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t x,
            std::int64_t y) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (n == 0) {
        return false;
    }
    const std::int64_t a = xMajor ? std::llabs(dy) : std::llabs(dx);
    const std::int64_t along = xMajor ? (x - x0) * (dx < 0 ? -1 : 1) : (y - y0) * (dy < 0 ? -1 : 1);
    if (along < 0 || along >= n) {
        return false;
    }
    const Wide product = static_cast<Wide>(along) * a;
    const Wide whole = product / n;
    const Wide rest = product % n;
    const Wide offset = whole + (2 * rest > n ? 1 : 0);
    const std::int64_t across =
        xMajor ? (y - y0) * (dy < 0 ? -1 : 1) : (x - x0) * (dx < 0 ? -1 : 1);
    return across == offset;
}

// Coordinates for the random tests: mostly near the picture, some far away, some
// at the ends of the int range.
int randomCoordinate(std::mt19937& rng, int size) {
    static constexpr int kExtremes[] = {INT_MIN,     INT_MIN + 1, INT_MAX, INT_MAX - 1,
                                        -1000000007, 1000000007,  -65536,  65536};
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
        case 0:
            return kExtremes[std::uniform_int_distribution<int>(0, 7)(rng)];
        case 1:
            return std::uniform_int_distribution<int>(INT_MIN, INT_MAX)(rng);
        case 2:
            return std::uniform_int_distribution<int>(-1000, 1000)(rng);
        default:
            return std::uniform_int_distribution<int>(-8, size + 8)(rng);
    }
}

TEST(Line, EveryPixelFollowsTheRoundingRuleAndClippingLosesNone) {
    std::mt19937 rng(20001124);
    for (int round = 0; round < 4000; ++round) {
        const int w = std::uniform_int_distribution<int>(0, 13)(rng);
        const int h = std::uniform_int_distribution<int>(0, 11)(rng);
        Picture pic(w, h);
        const int x0 = randomCoordinate(rng, w);
        const int y0 = randomCoordinate(rng, h);
        // Half of the lines end near the picture, so that many cross it.
        const bool near = round % 2 == 0;
        const int x1 =
            near ? std::uniform_int_distribution<int>(-3, w + 3)(rng) : randomCoordinate(rng, w);
        const int y1 =
            near ? std::uniform_int_distribution<int>(-3, h + 3)(rng) : randomCoordinate(rng, h);
        line(pic, x0, y0, x1, y1, kInk);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(pic.at(x, y) == kInkValue, onLine(x0, y0, x1, y1, x, y))
                    << "line (" << x0 << ", " << y0 << ") -> (" << x1 << ", " << y1 << ") at (" << x
                    << ", " << y << ") on " << w << " x " << h;
            }
        }
    }
}

// --- Boxes and segments

TEST(Boxes, OutlineIncludesBothCornersWhicheverWayRound) {
    Picture a(8, 8);
    Picture b(8, 8);
    boxOutline(a, 1, 2, 4, 5, kInk);
    boxOutline(b, 4, 5, 1, 2, kInk);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.at(1, 2), kInkValue);
    EXPECT_EQ(a.at(4, 5), kInkValue);
    EXPECT_EQ(a.at(4, 2), kInkValue);
    EXPECT_EQ(a.at(1, 5), kInkValue);
    EXPECT_EQ(a.at(2, 3), kBlack) << "the inside stays";
    EXPECT_EQ(inked(a).size(), 12u);
}

TEST(Boxes, OnePixelBoxAndSegmentsDrawBothEnds) {
    Picture pic(8, 8);
    boxOutline(pic, 3, 3, 3, 3, kInk);
    EXPECT_EQ(inked(pic), (Points{{3, 3}}));
    pic.clear();
    segment(pic, 6, 1, 2, 1, kInk);
    EXPECT_EQ(inked(pic), (Points{{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}));
    pic.clear();
    segment(pic, 0, 7, 0, 5, kInk);
    EXPECT_EQ(inked(pic), (Points{{0, 5}, {0, 6}, {0, 7}}));
    pic.clear();
    boxOutline(pic, 2, 2, 3, 3, kInk);  // 2 x 2: no inside
    EXPECT_EQ(inked(pic).size(), 4u);
}

TEST(Boxes, FilledBoxCoversEveryPixelBetweenTheCorners) {
    Picture pic(8, 8);
    filledBox(pic, 5, 6, 2, 3, kInk);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(pic.at(x, y) == kInkValue, x >= 2 && x <= 5 && y >= 3 && y <= 6);
        }
    }
}

// Boxes, segments and pixels by their definitions, pixel by pixel, for corners
// anywhere in the int range.
TEST(Boxes, EveryPixelMatchesTheDefinitionForAnyCorners) {
    std::mt19937 rng(18022001);
    for (int round = 0; round < 3000; ++round) {
        const int w = std::uniform_int_distribution<int>(0, 9)(rng);
        const int h = std::uniform_int_distribution<int>(0, 9)(rng);
        const int x0 = randomCoordinate(rng, w);
        const int y0 = randomCoordinate(rng, h);
        const int x1 = randomCoordinate(rng, w);
        const int y1 = randomCoordinate(rng, h);
        const long long l = std::min(x0, x1), r = std::max(x0, x1);
        const long long t = std::min(y0, y1), b = std::max(y0, y1);
        Picture outline(w, h);
        Picture filled(w, h);
        Picture single(w, h);
        boxOutline(outline, x0, y0, x1, y1, kInk);
        filledBox(filled, x0, y0, x1, y1, kInk);
        pixel(single, x0, y0, kInk);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool inside = x >= l && x <= r && y >= t && y <= b;
                const bool border = inside && (x == l || x == r || y == t || y == b);
                ASSERT_EQ(outline.at(x, y) == kInkValue, border);
                ASSERT_EQ(filled.at(x, y) == kInkValue, inside);
                ASSERT_EQ(single.at(x, y) == kInkValue, x == x0 && y == y0);
            }
        }
    }
}

// --- Ellipse

TEST(Ellipse, SmallCirclesAreDiamondAndRings) {
    Picture pic(9, 9);
    ellipse(pic, 4, 4, 1.0, 1.0, kInk);
    EXPECT_EQ(inked(pic), (Points{{3, 4}, {5, 4}, {4, 3}, {4, 5}}));
    pic.clear();
    ellipse(pic, 4, 4, 1.5, 1.5, kInk);
    Points ring;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0) {
                ring.insert({4 + dx, 4 + dy});
            }
        }
    }
    EXPECT_EQ(inked(pic), ring);
    pic.clear();
    ellipse(pic, 4, 4, 2.0, 2.0, kInk);
    Points big;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const bool corner = std::abs(dx) == 2 && std::abs(dy) == 2;
            const bool inner = std::abs(dx) <= 1 && std::abs(dy) <= 1;
            if (!corner && !inner) {
                big.insert({4 + dx, 4 + dy});
            }
        }
    }
    EXPECT_EQ(inked(pic), big);
}

TEST(Ellipse, NonIntegralRadiiStayInTheirBoxAndAreSymmetric) {
    const double radii[][2] = {{4.0 / 3.0, 2.0}, {2.0, 3.0}, {1.5, 1.5}, {3.0, 1.0}, {0.0, 2.0}};
    for (const auto& r : radii) {
        Picture pic(15, 15);
        ellipse(pic, 7, 7, r[0], r[1], kInk);
        const Points pts = inked(pic);
        ASSERT_FALSE(pts.empty());
        bool top = false;
        bool left = false;
        for (auto [x, y] : pts) {
            EXPECT_LE(std::abs(x - 7), r[0] + 0.5);
            EXPECT_LE(std::abs(y - 7), r[1] + 0.5);
            EXPECT_TRUE(pts.count({14 - x, y}) && pts.count({x, 14 - y}))
                << "mirrored into four quadrants";
            EXPECT_FALSE(x == 7 && y == 7 && r[0] > 0) << "an outline, not a disc";
            top |= y == 7 - static_cast<int>(std::floor(r[1] + 0.5 - 1e-9));
            left |= x == 7 - static_cast<int>(std::floor(r[0] + 0.5 - 1e-9));
        }
        EXPECT_TRUE(top && left) << "reaches its radii";
    }
    Picture pic(15, 15);
    ellipse(pic, 7, 7, 4.0 / 3.0, 2.0, kInk);
    EXPECT_EQ(inked(pic), (Points{{7, 5}, {7, 9}, {6, 6}, {8, 6}, {6, 7}, {8, 7}, {6, 8}, {8, 8}}));
}

TEST(Ellipse, NegativeOrNanRadiusDrawsNothing) {
    Picture pic(9, 9);
    ellipse(pic, 4, 4, -1.0, 2.0, kInk);
    ellipse(pic, 4, 4, 2.0, std::nan(""), kInk);
    EXPECT_TRUE(inked(pic).empty());
}

// --- Clipping, all primitives

// Drawing on a small picture gives exactly the matching window of the same
// drawing on a larger one: clipping loses and adds nothing.
TEST(Clipping, SmallPictureIsAWindowOfALargerOne) {
    std::mt19937 rng(24112000);
    constexpr int kMargin = 40;
    for (int round = 0; round < 3000; ++round) {
        const int w = std::uniform_int_distribution<int>(1, 12)(rng);
        const int h = std::uniform_int_distribution<int>(1, 12)(rng);
        std::uniform_int_distribution<int> cx(-30, w + 30);
        std::uniform_int_distribution<int> cy(-30, h + 30);
        const int x0 = cx(rng), y0 = cy(rng), x1 = cx(rng), y1 = cy(rng);
        const double rx = std::uniform_real_distribution<double>(0.0, 25.0)(rng);
        const double ry = std::uniform_real_distribution<double>(0.0, 25.0)(rng);
        const int kind = round % 5;
        Picture small(w, h);
        Picture large(w + 2 * kMargin, h + 2 * kMargin);
        auto draw = [&](Picture& pic, int d) {
            switch (kind) {
                case 0:
                    line(pic, x0 + d, y0 + d, x1 + d, y1 + d, kInk);
                    break;
                case 1:
                    boxOutline(pic, x0 + d, y0 + d, x1 + d, y1 + d, kInk);
                    break;
                case 2:
                    filledBox(pic, x0 + d, y0 + d, x1 + d, y1 + d, kInk);
                    break;
                case 3:
                    segment(pic, x0 + d, y0 + d, x0 + d, y1 + d, kInk);
                    break;
                default:
                    ellipse(pic, x0 + d, y0 + d, rx, ry, kInk);
                    break;
            }
        };
        draw(small, 0);
        draw(large, kMargin);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(small.at(x, y), large.at(x + kMargin, y + kMargin))
                    << "primitive " << kind << " at (" << x << ", " << y << ")";
            }
        }
    }
}

// Extreme arguments for the ellipse: nothing may be written outside the buffer
// (the sanitizer watches) and whatever lands must be within the radii.
TEST(Clipping, EllipseWithExtremeArgumentsStaysInItsBox) {
    std::mt19937 rng(1250);
    const double radii[] = {0.0, 0.5, 1.0, 4.0 / 3.0, 7.5, 1e6, 3e9, 1e300, INFINITY};
    for (int round = 0; round < 2000; ++round) {
        const int w = std::uniform_int_distribution<int>(0, 10)(rng);
        const int h = std::uniform_int_distribution<int>(0, 10)(rng);
        const int cx = randomCoordinate(rng, w);
        const int cy = randomCoordinate(rng, h);
        const double rx = radii[std::uniform_int_distribution<int>(0, 8)(rng)];
        const double ry = radii[std::uniform_int_distribution<int>(0, 8)(rng)];
        Picture pic(w, h);
        ellipse(pic, cx, cy, rx, ry, kInk);
        for (auto [x, y] : inked(pic)) {
            ASSERT_LE(std::abs(static_cast<double>(x) - cx), rx + 0.5);
            ASSERT_LE(std::abs(static_cast<double>(y) - cy), ry + 0.5);
        }
    }
}

}  // namespace
}  // namespace quorvel::render
