#include "render/glyphs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_faces.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;

// A cell opened as the game opens it: the sunken face, then the number.
Picture opened(int side, int c, int r, int n, int faceSet) {
    Picture field = boardPicture(side);
    int x = core::originX(c) + 1;
    DrawPD(field, x, core::cellY(r));
    DrawNu(field, core::originX(c), core::cellY(r), n, faceSet);
    return field;
}

Picture sunken(int side, int c, int r) {
    Picture field = boardPicture(side);
    int x = core::originX(c) + 1;
    DrawPD(field, x, core::cellY(r));
    return field;
}

// Every glyph, drawn at a cell the way its callers place it.
struct Glyph {
    std::string name;
    std::function<void(Picture&, int c, int r)> draw;
};

std::vector<Glyph> allGlyphs() {
    std::vector<Glyph> out;
    for (int faceSet = 0; faceSet <= 3; ++faceSet) {
        for (int n = 0; n <= 6; ++n) {
            out.push_back({"number " + std::to_string(n) + " set " + std::to_string(faceSet),
                           [=](Picture& f, int c, int r) {
                               int x = core::originX(c) + 1;
                               DrawPD(f, x, core::cellY(r));
                               DrawNu(f, x, core::cellY(r), n, faceSet);
                           }});
        }
        out.push_back({"flag set " + std::to_string(faceSet), [=](Picture& f, int c, int r) {
                           DrawFlg(f, core::anchorX(c) - 1, core::cellY(r), faceSet);
                       }});
        out.push_back({"cross set " + std::to_string(faceSet), [=](Picture& f, int c, int r) {
                           int x = core::anchorX(c) + 1;
                           DrawCrs(f, x, core::cellY(r), faceSet);
                       }});
    }
    for (int kind = 0; kind <= 2; ++kind) {
        out.push_back({"mine kind " + std::to_string(kind), [=](Picture& f, int c, int r) {
                           int x = core::anchorX(c);
                           DrawMin(f, x, core::cellY(r), static_cast<core::MineKind>(kind));
                       }});
    }
    return out;
}

TEST(Glyphs, NoGlyphLeavesItsCell) {
    for (int side : {4, 10}) {
        const Picture& board = boardPicture(side);
        for (const Glyph& glyph : allGlyphs()) {
            for (int c = 0; c <= 2 * side - 2; ++c) {
                // Side 4 in full; of side 10 the outer columns and the middle one,
                // which hold every cell next to the frame.
                if (side == 10 && c != 0 && c != side - 1 && c != 2 * side - 2) {
                    continue;
                }
                for (int r = 0; r <= 4 * side - 4; ++r) {
                    if (!core::isCell(side, c, r)) {
                        continue;
                    }
                    Picture field = board;
                    glyph.draw(field, c, r);
                    for (auto [x, y] : differences(board, field)) {
                        ASSERT_TRUE(inHexagon(core::originX(c), core::cellY(r), x, y))
                            << glyph.name << " on cell (" << c << ", " << r << ") of side " << side
                            << " drew (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
}

TEST(Glyphs, StrokedNumbersStayInTheirBox) {
    // Side 4, cell (3, 0): outline origin (62, 3).
    const Picture base = sunken(4, 3, 0);
    for (int faceSet : {0, 1}) {
        for (int n = 0; n <= 6; ++n) {
            const Picture field = opened(4, 3, 0, n, faceSet);
            const auto changed = differences(base, field);
            EXPECT_EQ(changed.empty(), faceSet == 0 && n == 0) << faceSet << " " << n;
            for (auto [x, y] : changed) {
                EXPECT_TRUE(x >= 62 + 1 && x <= 62 + 8 && y >= 3 + 3 && y <= 3 + 13)
                    << "set " << faceSet << " n " << n << " at (" << x - 62 << ", " << y - 3 << ")";
            }
        }
    }
}

TEST(Glyphs, EveryNumberLooksDifferentInEveryStyle) {
    for (int faceSet = 0; faceSet <= 2; ++faceSet) {
        for (int a = 0; a <= 6; ++a) {
            for (int b = a + 1; b <= 6; ++b) {
                EXPECT_NE(opened(4, 3, 0, a, faceSet), opened(4, 3, 0, b, faceSet))
                    << faceSet << ": " << a << " vs " << b;
            }
        }
    }
    EXPECT_EQ(opened(4, 3, 0, 5, 3), sunken(4, 3, 0)) << "an unknown face set draws nothing";
}

TEST(Glyphs, PlainOneHasATwoPixelStemAndAnOpenBase) {
    const Picture f = opened(4, 3, 0, 1, 0);
    const int blue = colour(0, 0, 255);
    for (int y = 3; y <= 11; ++y) {
        EXPECT_EQ(f.at(62 + 3, 3 + y), blue);
        EXPECT_EQ(f.at(62 + 4, 3 + y), blue);
    }
    EXPECT_EQ(f.at(62 + 1, 3 + 11), blue);
    EXPECT_EQ(f.at(62 + 6, 3 + 11), blue);
    EXPECT_EQ(f.at(62 + 7, 3 + 11), kGrey192) << "the base leaves out its end point";
}

TEST(Glyphs, PlainThreeUpwardStrokeStopsShortOfItsEnd) {
    const Picture f = opened(4, 3, 0, 3, 0);
    const int red = colour(255, 0, 0);
    EXPECT_EQ(f.at(62 + 7, 3 + 5), red);
    EXPECT_EQ(f.at(62 + 7, 3 + 4), red);
    EXPECT_EQ(f.at(62 + 7, 3 + 3), kGrey192);
}

TEST(Glyphs, WarmZeroIsTwoRings) {
    const Picture f = opened(4, 3, 0, 0, 1);
    EXPECT_GT(countColour(f, colour(191, 0, 0)), 0);
    EXPECT_GT(countColour(f, colour(191, 127, 0)), 0);
    EXPECT_EQ(f.at(62 + 4, 3 + 4), colour(191, 127, 0)) << "top of the larger ring";
    EXPECT_EQ(f.at(62 + 4, 3 + 10), colour(191, 127, 0)) << "bottom of the larger ring";
}

TEST(Glyphs, DieZeroDarkensTheCellButItsRightEdge) {
    const Picture f = opened(4, 3, 0, 0, 2);
    for (int k = 0; k <= 15; ++k) {
        const int m = std::min(k, 15 - k);
        for (int x = 62 - 1 - m; x < 62 + 8 + m; ++x) {
            ASSERT_EQ(f.at(x, 3 + k), kGrey63) << x << " " << k;
        }
        EXPECT_EQ(f.at(62 + 8 + m, 3 + k), kGrey127) << "right edge of the sunken face, row " << k;
    }
}

TEST(Glyphs, DieShowsItsPips) {
    // Pip centres as offsets from the outline origin, by number.
    const std::vector<std::vector<std::pair<int, int>>> pips = {
        {},
        {{3, 7}},
        {{5, 10}, {1, 4}},
        {{3, 7}, {1, 10}, {5, 4}},
        {{1, 10}, {5, 10}, {5, 4}, {1, 4}},
        {{3, 7}, {1, 10}, {5, 10}, {5, 4}, {1, 4}},
        {{1, 10}, {5, 10}, {5, 4}, {1, 4}, {1, 7}, {5, 7}}};
    for (int n = 0; n <= 6; ++n) {
        const Picture f = opened(4, 3, 0, n, 2);
        EXPECT_EQ(countColour(f, colour(0, 63, 0)), static_cast<int>(pips[n].size())) << n;
        for (auto [dx, dy] : pips[n]) {
            EXPECT_EQ(f.at(62 + dx, 3 + dy), colour(0, 63, 0)) << n;
            EXPECT_EQ(f.at(62 + dx - 1, 3 + dy - 1), colour(0, 255, 0)) << n;
        }
    }
    EXPECT_EQ(opened(4, 3, 0, 6, 2).at(62 + 3, 3 + 7), kGrey63) << "six has no centre pip";
}

TEST(Glyphs, MineOnTheTopCellOfSide4) {
    for (int kind : {0, 1}) {
        Picture f = boardPicture(4);
        int x = 63;
        DrawMin(f, x, 3, static_cast<core::MineKind>(kind));
        EXPECT_EQ(x, 62);
        for (int y = 9; y <= 13; ++y) {
            for (int xx = 64; xx <= 68; ++xx) {
                if (!(xx == 65 && y == 10)) {
                    EXPECT_EQ(f.at(xx, y), kBlack) << xx << " " << y;
                }
            }
        }
        EXPECT_EQ(f.at(65, 10), kWhite) << "highlight";
        EXPECT_EQ(f.at(66, 7), kBlack) << "upper spike";
        const int halo = kind == 1 ? colour(127, 0, 0) : kGrey127;
        EXPECT_EQ(f.at(66, 6), halo) << "halo above the spike";
        EXPECT_EQ(f.at(61, 11), halo) << "halo left of the left spike";
        // Off the mine, the ground: red hexagon or the plain cell.
        EXPECT_EQ(f.at(62 - 7, 3 + 7), kind == 1 ? colour(255, 0, 0) : kGrey192);
        EXPECT_EQ(f.at(62 + 7, 3 + 0), kind == 1 ? colour(255, 0, 0) : kGrey159);
    }
    Picture other = boardPicture(4);
    int x = 63;
    DrawMin(other, x, 3, static_cast<core::MineKind>(2));
    Picture plain = boardPicture(4);
    int plainX = 63;
    DrawPD(plain, plainX, 3);
    EXPECT_EQ(other, plain) << "other kinds draw only the sunken face";
}

TEST(Glyphs, CrossOnTheTopCellOfSide4) {
    for (int faceSet = 0; faceSet <= 2; ++faceSet) {
        Picture f = boardPicture(4);
        int x = 64;
        DrawCrs(f, x, 3, faceSet);
        EXPECT_EQ(x, 62);
        const int shadow[] = {colour(127, 0, 0), colour(127, 63, 0), colour(0, 127, 0)};
        const int stroke[] = {colour(255, 0, 0), colour(255, 191, 0), colour(0, 255, 0)};
        EXPECT_EQ(f.at(61, 7), shadow[faceSet]) << "first shadow line starts at (px-1, py+4)";
        EXPECT_EQ(f.at(62 + 6, 3 + 11), shadow[faceSet]);
        EXPECT_EQ(f.at(61, 6), stroke[faceSet]);
        EXPECT_EQ(f.at(62 + 3, 3 + 7), stroke[faceSet]) << "the strokes cross";
        const int ground = faceSet == 2 ? kGrey63 : kGrey191;
        EXPECT_EQ(f.at(62 + 7, 3 + 12), ground) << "the shadow leaves out (px+7, py+12)";
        if (faceSet == 2) {
            EXPECT_EQ(f.at(62 - 8, 3 + 7), kGrey63) << "dark ground one pixel wider on the left";
        }
    }
}

TEST(Glyphs, FlagOnTheTopCellOfSide4) {
    Picture f = boardPicture(4);
    const Picture before = f;
    DrawFlg(f, 62, 3, 0);
    EXPECT_EQ(f.at(62, 6), colour(255, 0, 0));
    EXPECT_EQ(f.at(62, 9), colour(255, 0, 0));
    EXPECT_EQ(f.at(66, 6), colour(127, 0, 0)) << "shaded right column";
    EXPECT_EQ(f.at(63, 9), colour(127, 0, 0));
    EXPECT_EQ(f.at(66, 12), kBlack) << "pole";
    EXPECT_EQ(f.at(63, 15), kGrey127) << "foot's grey edge";
    EXPECT_EQ(f.at(64, 15), kBlack) << "foot";
    EXPECT_EQ(f.at(62, 2 + 3), before.at(62, 5)) << "no background drawn";
}

TEST(Glyphs, FaceSetsChangeFlagsAndCrossesButNotTheMine) {
    std::vector<Picture> flags;
    std::vector<Picture> crosses;
    std::vector<Picture> mines;
    for (int faceSet = 0; faceSet <= 2; ++faceSet) {
        Picture f = boardPicture(4);
        DrawFlg(f, 62, 3, faceSet);
        flags.push_back(f);
        Picture g = boardPicture(4);
        int x = 64;
        DrawCrs(g, x, 3, faceSet);
        crosses.push_back(g);
    }
    EXPECT_NE(flags[0], flags[1]);
    EXPECT_NE(flags[1], flags[2]);
    EXPECT_NE(flags[0], flags[2]);
    EXPECT_NE(crosses[0], crosses[1]);
    EXPECT_NE(crosses[1], crosses[2]);
    EXPECT_NE(crosses[0], crosses[2]);
    Picture none = boardPicture(4);
    DrawFlg(none, 62, 3, 3);
    EXPECT_EQ(none, boardPicture(4));
}

TEST(Glyphs, FaceSet2FlagDiscBrightensTowardsItsCentre) {
    Picture f(20, 20, Sed(192));
    DrawFlg(f, 5, 5, 2);
    EXPECT_EQ(f.at(7, 10), colour(255, 255, 0)) << "centre";
    EXPECT_EQ(f.at(7, 8), colour(191, 191, 0)) << "outer ring, top";
    EXPECT_EQ(f.at(9, 9), colour(191, 191, 0)) << "outer ring";
    EXPECT_EQ(f.at(8, 11), colour(223, 223, 0)) << "middle ring, corner";
    EXPECT_EQ(f.at(8, 10), colour(255, 255, 0)) << "inner ring";
    EXPECT_EQ(f.at(10, 10), colour(127, 127, 0)) << "the flag covers the pole beside it";
    EXPECT_EQ(f.at(10, 13), colour(0, 63, 0)) << "pole below the flag";
}

}  // namespace
}  // namespace quorvel::render
