#include "render/glyphs.h"

#include <gtest/gtest.h>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;

using core::CellLook;

// The top cell of side 4, outline origin (62, 3), on which the glyphs' pixels are
// checked.
constexpr core::CellPos kTop{3, 0};

Picture opened(int n, core::FaceSet faceSet) {
    Picture field = boardPicture(4);
    drawOpenedCell(field, kTop, n, faceSet);
    return field;
}

Picture drawn(CellLook look, core::FaceSet faceSet) {
    Picture field = boardPicture(4);
    drawCell(field, kTop, look, faceSet);
    return field;
}

// The pixels `field` changed on `board` that the hit test does not give to `cell`.
int strayPixels(const Picture& board, const Picture& field, int side, core::CellPos cell) {
    int stray = 0;
    for (auto [x, y] : differences(board, field)) {
        stray += core::cellAtMapPoint(side, x - core::kFrameWidth, y - core::kFrameWidth) != cell;
    }
    return stray;
}

// Every look and every opened cell, in every face set, changes only pixels of its own
// cell.
TEST(Glyphs, NoGlyphLeavesItsCell) {
    constexpr CellLook kLooks[] = {CellLook::Raised,      CellLook::Sunken, CellLook::Flag,
                                   CellLook::FlagRemoved, CellLook::Mine,   CellLook::HitMine,
                                   CellLook::WrongFlag};
    for (int side : {4, 10}) {
        const Picture& board = boardPicture(side);
        core::forEachCell(side, [&](core::CellPos cell) {
            // Side 4 in full; of side 10 the outer columns and the middle one, which
            // hold every cell next to the frame.
            if (side == 10 && cell.c != 0 && cell.c != side - 1 && cell.c != 2 * side - 2) {
                return;
            }
            for (const core::FaceSet faceSet : core::kFaceSets) {
                for (const CellLook look : kLooks) {
                    // Of the looks, the face set changes only the flag and the cross.
                    if (faceSet != core::FaceSet::Yellow && look != CellLook::Flag &&
                        look != CellLook::WrongFlag) {
                        continue;
                    }
                    Picture field = board;
                    drawCell(field, cell, look, faceSet);
                    EXPECT_EQ(strayPixels(board, field, side, cell), 0)
                        << "look " << static_cast<int>(look) << " set " << faceSet << " on ("
                        << cell.c << ", " << cell.r << ") of side " << side;
                }
                for (int n = 0; n <= 6; ++n) {
                    Picture field = board;
                    drawOpenedCell(field, cell, n, faceSet);
                    EXPECT_EQ(strayPixels(board, field, side, cell), 0)
                        << "number " << n << " set " << faceSet << " on (" << cell.c << ", "
                        << cell.r << ") of side " << side;
                }
            }
        });
    }
}

TEST(Glyphs, StrokedNumbersStayInTheirBox) {
    const Picture base = drawn(CellLook::Sunken, core::FaceSet::Yellow);
    for (const core::FaceSet faceSet : {core::FaceSet::Yellow, core::FaceSet::DarkRed}) {
        for (int n = 0; n <= 6; ++n) {
            const Picture field = opened(n, faceSet);
            const auto changed = differences(base, field);
            EXPECT_EQ(changed.empty(), faceSet == core::FaceSet::Yellow && n == 0)
                << faceSet << " " << n;
            for (auto [x, y] : changed) {
                EXPECT_TRUE(x >= 62 + 1 && x <= 62 + 8 && y >= 3 + 3 && y <= 3 + 13)
                    << "set " << faceSet << " n " << n << " at (" << x - 62 << ", " << y - 3 << ")";
            }
        }
    }
}

TEST(Glyphs, EveryNumberLooksDifferentInEveryStyle) {
    for (const core::FaceSet faceSet : core::kFaceSets) {
        for (int a = 0; a <= 6; ++a) {
            for (int b = a + 1; b <= 6; ++b) {
                EXPECT_NE(opened(a, faceSet), opened(b, faceSet))
                    << faceSet << ": " << a << " vs " << b;
            }
        }
    }
}

TEST(Glyphs, PlainOneHasATwoPixelStemAndAnOpenBase) {
    const Picture f = opened(1, core::FaceSet::Yellow);
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
    const Picture f = opened(3, core::FaceSet::Yellow);
    const int red = colour(255, 0, 0);
    EXPECT_EQ(f.at(62 + 7, 3 + 5), red);
    EXPECT_EQ(f.at(62 + 7, 3 + 4), red);
    EXPECT_EQ(f.at(62 + 7, 3 + 3), kGrey192);
}

TEST(Glyphs, WarmZeroIsTwoRings) {
    const Picture f = opened(0, core::FaceSet::DarkRed);
    EXPECT_GT(countColour(f, colour(191, 0, 0)), 0);
    EXPECT_GT(countColour(f, colour(191, 127, 0)), 0);
    EXPECT_EQ(f.at(62 + 4, 3 + 4), colour(191, 127, 0)) << "top of the larger ring";
    EXPECT_EQ(f.at(62 + 4, 3 + 10), colour(191, 127, 0)) << "bottom of the larger ring";
}

TEST(Glyphs, DieZeroDarkensTheCellButItsRightEdge) {
    const Picture f = opened(0, core::FaceSet::Alien);
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
        const Picture f = opened(n, core::FaceSet::Alien);
        EXPECT_EQ(countColour(f, colour(0, 63, 0)), static_cast<int>(pips[n].size())) << n;
        for (auto [dx, dy] : pips[n]) {
            EXPECT_EQ(f.at(62 + dx, 3 + dy), colour(0, 63, 0)) << n;
            EXPECT_EQ(f.at(62 + dx - 1, 3 + dy - 1), colour(0, 255, 0)) << n;
        }
    }
    EXPECT_EQ(opened(6, core::FaceSet::Alien).at(62 + 3, 3 + 7), kGrey63)
        << "six has no centre pip";
}

TEST(Glyphs, MineOnTheTopCellOfSide4) {
    for (int kind : {0, 1}) {
        const Picture f =
            drawn(kind == 1 ? CellLook::HitMine : CellLook::Mine, core::FaceSet::Yellow);
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
}

TEST(Glyphs, CrossOnTheTopCellOfSide4) {
    for (const core::FaceSet faceSet : core::kFaceSets) {
        const Picture f = drawn(CellLook::WrongFlag, faceSet);
        const int shadow[] = {colour(127, 0, 0), colour(127, 63, 0), colour(0, 127, 0)};
        const int stroke[] = {colour(255, 0, 0), colour(255, 191, 0), colour(0, 255, 0)};
        const int i = core::faceSetNumber(faceSet);
        EXPECT_EQ(f.at(61, 7), shadow[i]) << "first shadow line starts at (px-1, py+4)";
        EXPECT_EQ(f.at(62 + 6, 3 + 11), shadow[i]);
        EXPECT_EQ(f.at(61, 6), stroke[i]);
        EXPECT_EQ(f.at(62 + 3, 3 + 7), stroke[i]) << "the strokes cross";
        const int ground = faceSet == core::FaceSet::Alien ? kGrey63 : kGrey191;
        EXPECT_EQ(f.at(62 + 7, 3 + 12), ground) << "the shadow leaves out (px+7, py+12)";
        if (faceSet == core::FaceSet::Alien) {
            EXPECT_EQ(f.at(62 - 8, 3 + 7), kGrey63) << "dark ground one pixel wider on the left";
        }
    }
}

TEST(Glyphs, FlagOnTheTopCellOfSide4) {
    const Picture& before = boardPicture(4);
    const Picture f = drawn(CellLook::Flag, core::FaceSet::Yellow);
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
    for (const core::FaceSet faceSet : core::kFaceSets) {
        flags.push_back(drawn(CellLook::Flag, faceSet));
        crosses.push_back(drawn(CellLook::WrongFlag, faceSet));
        mines.push_back(drawn(CellLook::HitMine, faceSet));
    }
    EXPECT_NE(flags[0], flags[1]);
    EXPECT_NE(flags[1], flags[2]);
    EXPECT_NE(flags[0], flags[2]);
    EXPECT_NE(crosses[0], crosses[1]);
    EXPECT_NE(crosses[1], crosses[2]);
    EXPECT_NE(crosses[0], crosses[2]);
    EXPECT_EQ(mines[0], mines[1]);
    EXPECT_EQ(mines[1], mines[2]);
}

TEST(Glyphs, FaceSet2FlagDiscBrightensTowardsItsCentre) {
    Picture f(20, 20, grey(192));
    drawFlag(f, 5, 5, core::FaceSet::Alien);
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
