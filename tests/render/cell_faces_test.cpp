#include "render/cell_faces.h"

#include <gtest/gtest.h>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;

TEST(CellFaces, PressingTheTopCellOfSide4SinksItAndReleasingRaisesIt) {
    constexpr core::CellPos top{3, 0};
    const PixelPos origin = cellOrigin(top);
    EXPECT_EQ(origin.x, 62) << "one pixel left of the anchor";
    EXPECT_EQ(origin.y, 3);
    Picture field = boardPicture(4);
    drawCell(field, top, core::CellLook::Sunken, core::FaceSet::Yellow);
    for (int x = 62; x <= 69; ++x) {
        EXPECT_EQ(field.at(x, 3), kGrey159) << x;
    }
    EXPECT_EQ(field.at(61, 3), kGrey159) << "covered by the upper-left edge";
    EXPECT_EQ(field.at(70, 3), kGrey127);
    drawCell(field, top, core::CellLook::Raised, core::FaceSet::Yellow);
    for (int x = 61; x <= 69; ++x) {
        EXPECT_EQ(field.at(x, 3), kWhite) << x;
    }
    EXPECT_EQ(field.at(70, 3), kBlack);
}

// The board picture's raised cells and the raised look differ only in the inner shade.
TEST(CellFaces, RaisedFaceChangesOnlyTheShadeOfAnyBoardCell) {
    for (int side : core::kSides) {
        const Picture& board = boardPicture(side);
        core::forEachCell(side, [&](core::CellPos cell) {
            Picture field = board;
            drawCell(field, cell, core::CellLook::Raised, core::FaceSet::Yellow);
            const auto [px, py] = cellOrigin(cell);
            int shade = 0;
            for (auto [x, y] : differences(board, field)) {
                ASSERT_EQ(board.at(x, y), kGrey128) << side << " " << cell.c << " " << cell.r;
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
        });
    }
}

// A press and its release leave every cell exactly as a raised face drawn over the
// board picture.
TEST(CellFaces, PressAndReleaseRestoresTheBoardOutline) {
    for (int side : core::kSides) {
        const Picture& board = boardPicture(side);
        core::forEachCell(side, [&](core::CellPos cell) {
            Picture pressed = board;
            drawCell(pressed, cell, core::CellLook::Sunken, core::FaceSet::Yellow);
            ASSERT_NE(pressed, board);
            drawCell(pressed, cell, core::CellLook::Raised, core::FaceSet::Yellow);
            Picture raised = board;
            const auto [px, py] = cellOrigin(cell);
            drawRaisedFace(raised, px, py);
            ASSERT_EQ(pressed, raised) << side << " " << cell.c << " " << cell.r;
        });
    }
}

// The sunken face: its edges are the hexagon's boundary, light on the top and left,
// dark on the right and bottom; the cell's inside keeps what it had.
TEST(CellFaces, SunkenFaceRecoloursTheBoundaryAndLeavesTheInside) {
    Picture field(60, 30, rgb(10, 20, 30));
    const int px = 20;
    const int py = 5;
    drawSunkenFace(field, px, py);
    for (int k = 0; k <= 15; ++k) {
        const int m = std::min(k, 15 - k);
        const int left = px - 1 - m;
        const int right = px + 8 + m;
        EXPECT_EQ(field.at(right, py + k), kGrey127) << k;
        if (k <= 14) {
            EXPECT_EQ(field.at(left, py + k), kGrey159) << "upper- and lower-left edges " << k;
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

// Taking the flag off cell (3, 0) of side 4 clears the middle of the cell.
TEST(CellFaces, ClearingTheMiddlePaintsItsBoxOnly) {
    Picture field = boardPicture(4);
    const Picture before = field;
    drawCell(field, {3, 0}, core::CellLook::FlagRemoved, core::FaceSet::Yellow);
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
    Picture field(20, 20, grey(192));
    drawPip(field, 10, 10);
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
