#include "render/cell_faces.h"

#include <gtest/gtest.h>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;

TEST(CellFaces, NoCellPositionDrawsNothingAndKeepsX) {
    Picture field = boardPicture(4);
    const Picture before = field;
    DrawP2(field, -100, 3);
    int x = 63;
    DrawPD(field, x, -100);
    EXPECT_EQ(x, 63);
    x = -100;
    DrawPD(field, x, 3);
    EXPECT_EQ(x, -100);
    int y = -100;
    x = -100;
    DrawP3(field, x, y);
    EXPECT_EQ(x, -100);
    x = 63;
    DrawP3(field, x, -100);
    EXPECT_EQ(x, 63);
    EXPECT_EQ(field, before);
}

TEST(CellFaces, PressingTheTopCellOfSide4SinksItAndReleasingRaisesIt) {
    Picture field = boardPicture(4);
    int pressedX = 63;  // anchor of cell (3, 0)
    DrawPD(field, pressedX, 3);
    EXPECT_EQ(pressedX, 62) << "left at the outline origin";
    for (int x = 62; x <= 69; ++x) {
        EXPECT_EQ(field.at(x, 3), kGrey159) << x;
    }
    EXPECT_EQ(field.at(61, 3), kGrey159) << "covered by the upper-left edge";
    EXPECT_EQ(field.at(70, 3), kGrey127);
    DrawP2(field, pressedX, 3);
    for (int x = 61; x <= 69; ++x) {
        EXPECT_EQ(field.at(x, 3), kWhite) << x;
    }
    EXPECT_EQ(field.at(70, 3), kBlack);
}

// The board picture's raised cells and DrawP2 differ only in the inner shade.
TEST(CellFaces, RaisedFaceChangesOnlyTheShadeOfAnyBoardCell) {
    for (int side : core::kSides) {
        const Picture& board = boardPicture(side);
        for (const auto [c, r] : cellsOf(side)) {
            Picture field = board;
            const int px = core::originX(c);
            const int py = core::cellY(r);
            DrawP2(field, px, py);
            int shade = 0;
            for (auto [x, y] : differences(board, field)) {
                ASSERT_EQ(board.at(x, y), kGrey128) << side << " " << c << " " << r;
                ASSERT_EQ(field.at(x, y), kGrey127);
                ASSERT_TRUE(inHexagon(px, py, x, y));
                ++shade;
            }
            ASSERT_GT(shade, 0);
            for (int y = py; y < py + 16; ++y) {
                for (int x = px - 9; x <= px + 16; ++x) {
                    ASSERT_FALSE(inHexagon(px, py, x, y) && field.at(x, y) == kGrey128)
                        << "every shade pixel of the cell is redrawn";
                }
            }
        }
    }
}

// A press and its release, with the same variables, leave every cell exactly as a
// raised face drawn over the board picture.
TEST(CellFaces, PressAndReleaseRestoresTheBoardOutline) {
    for (int side : core::kSides) {
        const Picture& board = boardPicture(side);
        for (const auto [c, r] : cellsOf(side)) {
            Picture pressed = board;
            int pressedX = core::anchorX(c);
            int pressedY = core::cellY(r);
            DrawPD(pressed, pressedX, pressedY);
            ASSERT_NE(pressed, board);
            DrawP2(pressed, pressedX, pressedY);
            Picture raised = board;
            DrawP2(raised, core::originX(c), core::cellY(r));
            ASSERT_EQ(pressed, raised) << side << " " << c << " " << r;
        }
    }
}

// The sunken face: its edges are the hexagon's boundary, light on the top and left,
// dark on the right and bottom; the cell's inside keeps what it had.
TEST(CellFaces, SunkenFaceRecoloursTheBoundaryAndLeavesTheInside) {
    Picture field(60, 30, rgb(10, 20, 30));
    int x = 21;
    DrawPD(field, x, 5);
    const int px = 20;
    const int py = 5;
    for (int k = 0; k <= 15; ++k) {
        const int m = std::min(k, 15 - k);
        const int left = px - 1 - m;
        const int right = px + 8 + m;
        EXPECT_EQ(field.at(right, py + k), kGrey127) << k;
        if (k >= 1 && k <= 14) {
            EXPECT_EQ(field.at(left, py + k), kGrey159) << k;
        }
        for (int xx = left + 1; xx < right; ++xx) {
            const int got = field.at(xx, py + k);
            if (k == 0) {
                EXPECT_EQ(got, kGrey159);
            } else if (k == 15) {
                EXPECT_EQ(got, kGrey127);
            } else {
                EXPECT_TRUE(got == 0x0A141E || got == kGrey191) << xx << " " << k;
            }
        }
    }
    EXPECT_EQ(field.at(px - 1, py + 15), kGrey127) << "bottom row is the dark bottom edge";
    for (auto [dx, dy] : {std::pair{-2, 0}, {px + 9 - px, 0}, {0, -1}, {0, 16}, {-10, 7}}) {
        EXPECT_EQ(field.at(px + dx, py + dy), 0x0A141E) << "outside the hexagon";
    }
}

TEST(CellFaces, SunkenFaceTwiceMovesOnePixelFurtherLeft) {
    Picture twice(60, 30, Sed(192));
    int x = 22;
    DrawPD(twice, x, 5);
    DrawPD(twice, x, 5);
    EXPECT_EQ(x, 20);
    Picture apart(60, 30, Sed(192));
    int first = 22;
    int second = 21;
    DrawPD(apart, first, 5);
    DrawPD(apart, second, 5);
    EXPECT_EQ(twice, apart);
    EXPECT_EQ(twice.at(19, 5), kGrey159) << "second face's upper-left edge";
    EXPECT_EQ(twice.at(28, 5), kGrey127) << "second face's upper-right edge";
}

TEST(CellFaces, ClearingTheMiddlePaintsItsBoxOnly) {
    Picture field = boardPicture(4);
    const Picture before = field;
    int x = 64;  // anchor x + 1 of cell (3, 0)
    DrawP3(field, x, 3);
    EXPECT_EQ(x, 62);
    for (auto [px, py] : differences(before, field)) {
        EXPECT_TRUE(px >= 61 && px <= 69 && py >= 6 && py <= 16) << px << " " << py;
    }
    for (int y = 6; y <= 16; ++y) {
        for (int xx = 61; xx <= 69; ++xx) {
            EXPECT_EQ(field.at(xx, y), kGrey191);
        }
    }
    for (int y : {3, 4, 5, 17, 18}) {
        for (int xx = 50; xx <= 80; ++xx) {
            EXPECT_EQ(field.at(xx, y), before.at(xx, y));
        }
    }
}

TEST(CellFaces, PipIsABeadOfThreeGreens) {
    Picture field(20, 20, Sed(192));
    Puntik(field, 10, 10);
    for (auto [x, y] : {std::pair{9, 9}, {11, 9}, {9, 11}, {11, 11}}) {
        EXPECT_EQ(field.at(x, y), colour(0, 255, 0));
    }
    for (auto [x, y] : {std::pair{10, 9}, {9, 10}, {11, 10}, {10, 11}}) {
        EXPECT_EQ(field.at(x, y), colour(0, 127, 0));
    }
    EXPECT_EQ(field.at(10, 10), colour(0, 63, 0));
    EXPECT_EQ(countColour(field, kGrey192), 400 - 9);
}

}  // namespace
}  // namespace quorvel::render
