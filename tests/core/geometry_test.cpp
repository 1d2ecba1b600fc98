// The pixel -> cell mapping against an independent oracle: the red/blue hit-test
// map painted from the cell shape, read back with the colour-based lookup that the
// map was designed for.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "tests/support/hit_test_map.h"

namespace quorvel::core {
namespace {

enum Colour { kBlack = 0, kRed = 1, kBlue = 2 };

// The hidden surface PiX: the board's size (map plus a 6-pixel stripe right and
// below), black background, every cell of an even column red and of an odd
// column blue. `owner` records which cell painted each pixel.
struct HitMap {
    int side;
    int width;
    int height;
    std::vector<int> colour;
    std::vector<CellPos> owner;
    int overlaps = 0;

    explicit HitMap(int s)
        : side(s),
          width(34 * s - 4),
          height(32 * s - 10),
          colour(static_cast<std::size_t>(width * height), kBlack),
          owner(static_cast<std::size_t>(width * height), CellPos{-1, -1}) {
        for (int c = 0; c <= 2 * s - 2; ++c) {
            for (int r = 0; r <= 4 * s - 4; ++r) {
                if (isCell(s, c, r)) {
                    paint(c, r);
                }
            }
        }
    }

    void paint(int c, int r) {
        // A flat-topped hexagon 24 wide and 16 tall: 10 pixels at the top edge,
        // one more on each side per row down to 24 in the middle two rows.
        for (int k = 0; k < 16; ++k) {
            const int m = k < 8 ? k : 15 - k;
            const int y = 8 * r + k;
            for (int x = 17 * c + 7 - m; x <= 17 * c + 16 + m; ++x) {
                const auto i = static_cast<std::size_t>(y * width + x);
                if (colour[i] != kBlack) {
                    ++overlaps;
                }
                colour[i] = c % 2 == 0 ? kRed : kBlue;
                owner[i] = {c, r};
            }
        }
    }

    // Point query: the pixel's colour, -1 outside the surface.
    int at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return -1;
        }
        return colour[static_cast<std::size_t>(y * width + x)];
    }
    CellPos ownerAt(int x, int y) const {
        if (at(x, y) <= 0) {
            return {-1, -1};
        }
        return owner[static_cast<std::size_t>(y * width + x)];
    }
};

CellPos colourLookup(const HitMap& map, int x, int y) {
    return support::colourLookup(map.at(x, y), kRed, kBlue, x, y);
}

CellPos lookup(int side, int x, int y) {
    return cellAtMapPoint(side, x, y).value_or(CellPos{-1, -1});
}

class EverySide : public ::testing::TestWithParam<int> {};

TEST_P(EverySide, EveryPixelMapsToTheCellThatContainsIt) {
    const int side = GetParam();
    const HitMap map(side);
    ASSERT_EQ(map.overlaps, 0) << "cells must tile without overlap";
    ASSERT_EQ(mapWidth(side) + 6, map.width);
    ASSERT_EQ(mapHeight(side) + 6, map.height);

    std::map<std::pair<int, int>, int> pixelsPerCell;
    int mismatches = 0;
    // Well beyond the surface on every side: negative points and the stripe past
    // the map must all be "no cell".
    for (int y = -40; y < map.height + 40; ++y) {
        for (int x = -40; x < map.width + 40; ++x) {
            const CellPos truth = map.ownerAt(x, y);
            const CellPos byColour = colourLookup(map, x, y);
            const CellPos got = lookup(side, x, y);
            if (!(byColour == truth) || !(got == truth)) {
                if (++mismatches <= 5) {
                    ADD_FAILURE() << "side " << side << " pixel " << x << "," << y << ": owner "
                                  << truth.c << "," << truth.r << ", colour lookup " << byColour.c
                                  << "," << byColour.r << ", cellAtMapPoint " << got.c << ","
                                  << got.r;
                }
            }
            if (got.c >= 0) {
                ++pixelsPerCell[{got.c, got.r}];
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(static_cast<int>(pixelsPerCell.size()), cellCount(side));
    for (const auto& [cell, pixels] : pixelsPerCell) {
        EXPECT_EQ(pixels, 272) << "cell " << cell.first << "," << cell.second;
    }
}

TEST_P(EverySide, AnchorsMapToTheirCellAndStepToNeighbours) {
    const int side = GetParam();
    for (int c = 0; c <= 2 * side - 2; ++c) {
        for (int r = 0; r <= 4 * side - 4; ++r) {
            if (!isCell(side, c, r)) {
                continue;
            }
            for (const int x : {anchorX(c), anchorX(c) - 1}) {
                const int y = cellY(r);
                ASSERT_EQ(lookup(side, x, y), (CellPos{c, r})) << x << "," << y;
                for (const CellPos& d : kNeighbourOffsets) {
                    const CellPos n{c + d.c, r + d.r};
                    const CellPos expected = isCell(side, n.c, n.r) ? n : CellPos{-1, -1};
                    EXPECT_EQ(lookup(side, x + 17 * d.c, y + 8 * d.r), expected)
                        << "from " << c << "," << r << " by " << d.c << "," << d.r;
                }
            }
        }
    }
}

TEST_P(EverySide, TipPixelsBelongToTheRightNeighbours) {
    const int side = GetParam();
    const auto cellOrNone = [side](int c, int r) {
        return isCell(side, c, r) ? CellPos{c, r} : CellPos{-1, -1};
    };
    for (int c = 0; c <= 2 * side - 2; ++c) {
        for (int r = 0; r <= 4 * side - 4; ++r) {
            if (!isCell(side, c, r)) {
                continue;
            }
            SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
            EXPECT_EQ(lookup(side, 17 * c, 8 * r + 7), (CellPos{c, r}));
            EXPECT_EQ(lookup(side, 17 * c + 23, 8 * r + 8), (CellPos{c, r}));
            EXPECT_EQ(lookup(side, 17 * c - 1, 8 * r + 7), cellOrNone(c - 1, r - 1));
            EXPECT_EQ(lookup(side, 17 * c - 1, 8 * r + 8), cellOrNone(c - 1, r + 1));
            // In column c's band but outside its cell: the column to the left.
            EXPECT_EQ(lookup(side, 17 * c + 3, 8 * r + 2), cellOrNone(c - 1, r - 1));
            EXPECT_EQ(lookup(side, 17 * c + 3, 8 * r + 13), cellOrNone(c - 1, r + 1));
            EXPECT_EQ(lookup(side, 17 * c + 24, 8 * r + 8), cellOrNone(c + 1, r + 1));
        }
    }
}

TEST_P(EverySide, CornersEdgesAndNegativePointsAreNoCell) {
    const int side = GetParam();
    const int w = mapWidth(side);
    const int h = mapHeight(side);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0},
                                                               {w - 1, 0},
                                                               {0, h - 1},
                                                               {w - 1, h - 1},
                                                               {-1, 8 * (2 * side - 2)},
                                                               {w / 2, -1},
                                                               {w, h / 2},
                                                               {w + 5, h / 2},
                                                               {w / 2, h},
                                                               {w / 2, h + 5},
                                                               {-1000000, -1000000}}) {
        EXPECT_EQ(lookup(side, x, y), (CellPos{-1, -1})) << x << "," << y;
    }
}

TEST_P(EverySide, ColumnsHoldTheRightCells) {
    const int side = GetParam();
    int total = 0;
    for (int c = 0; c <= 2 * side - 2; ++c) {
        int inColumn = 0;
        for (int r = -2; r <= 4 * side; ++r) {
            if (isCell(side, c, r)) {
                ++inColumn;
                // Even columns hold odd half-rows and odd columns even ones.
                EXPECT_NE(c % 2, r % 2);
            }
        }
        EXPECT_EQ(inColumn, 2 * side - 1 - std::abs(c - (side - 1))) << "column " << c;
        total += inColumn;
    }
    EXPECT_EQ(total, cellCount(side));
    EXPECT_TRUE(isCell(side, side - 1, 0));
    EXPECT_TRUE(isCell(side, side - 1, 4 * side - 4));
    EXPECT_TRUE(isCell(side, 0, side - 1));
    EXPECT_TRUE(isCell(side, 2 * side - 2, 3 * side - 3));
    EXPECT_FALSE(isCell(side, -1, 2 * side - 2));
    EXPECT_FALSE(isCell(side, 2 * side - 1, 2 * side - 2));
}

TEST_P(EverySide, EachCellIsVisitedOnceColumnByColumnTopToBottom) {
    const int side = GetParam();
    std::vector<CellPos> visited;
    forEachCell(side, [&](CellPos cell) { visited.push_back(cell); });
    std::vector<CellPos> expected;
    for (int c = -1; c <= 2 * side; ++c) {
        for (int r = -1; r <= 4 * side; ++r) {
            if (isCell(side, c, r)) {
                expected.push_back({c, r});
            }
        }
    }
    EXPECT_EQ(visited, expected);
}

// The pointer is on the board surface, three pixels of frame off the map, and may
// be anywhere at all while a button is held.
TEST_P(EverySide, ThePointerIsTakenAtThePixelItIsInLessTheFrame) {
    const int side = GetParam();
    const std::optional<CellPos> topCell = CellPos{side - 1, 0};
    const int topX = 17 * (side - 1) + 7;  // the left end of the top cell's top edge
    EXPECT_EQ(cellUnderPointer(side, topX + 3, 3), topCell);
    EXPECT_EQ(cellUnderPointer(side, topX + 3.99, 3.99), topCell);
    EXPECT_EQ(cellUnderPointer(side, topX + 2.99, 3), std::nullopt);
    EXPECT_EQ(cellUnderPointer(side, topX + 3, 2.99), std::nullopt);
    for (const double far : {std::nan(""), 1e300, -1e300, 2147483648.0, -2147483649.0}) {
        EXPECT_EQ(cellUnderPointer(side, far, 50), std::nullopt) << far;
        EXPECT_EQ(cellUnderPointer(side, 50, far), std::nullopt) << far;
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, EverySide, ::testing::Values(4, 6, 8, 10));

TEST(Geometry, SizesAndCellCountsOfEachSide) {
    EXPECT_EQ(cellCount(4), 37);
    EXPECT_EQ(cellCount(6), 91);
    EXPECT_EQ(cellCount(8), 169);
    EXPECT_EQ(cellCount(10), 271);
    EXPECT_EQ(mapWidth(4), 126);
    EXPECT_EQ(mapHeight(4), 112);
    EXPECT_EQ(boardWidth(4), 132);
    EXPECT_EQ(boardHeight(4), 118);
    EXPECT_EQ(boardWidth(10), 336);
    EXPECT_EQ(boardHeight(10), 310);
}

TEST(Geometry, UnsupportedSidesThrowNamingTheSide) {
    for (const int side : {5, 0, -4, 3, 12}) {
        SCOPED_TRACE(side);
        try {
            cellAtMapPoint(side, 10, 10);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(side)), std::string::npos)
                << e.what();
        }
        EXPECT_THROW(cellUnderPointer(side, 10, 10), std::invalid_argument);
        EXPECT_THROW(isCell(side, 0, 0), std::invalid_argument);
        EXPECT_THROW(cellCount(side), std::invalid_argument);
        EXPECT_THROW(boardWidth(side), std::invalid_argument);
    }
}

// The hexagon as the button is described: a flat top x = 11..20 in row 1, one
// pixel wider on each side per row down to x = 1..30 in row 11, the same in rows
// 11..14, and one pixel narrower per row again to x = 11..20 in row 24.
TEST(FaceButtonMask, WhiteExactlyInsideTheHexagon) {
    int white = 0;
    int expected = 0;
    for (int y = -2; y < 28; ++y) {
        const int inset = y <= 11 ? 11 - y : y >= 14 ? y - 14 : 0;
        for (int x = -2; x < 34; ++x) {
            const bool inside = 1 <= y && y <= 24 && 1 + inset <= x && x <= 30 - inset;
            EXPECT_EQ(faceButtonMaskAt(x, y), inside) << x << ", " << y;
            white += faceButtonMaskAt(x, y) ? 1 : 0;
            expected += inside ? 1 : 0;
        }
    }
    // Rows 1..24: 10 wide at rows 1 and 24, growing by 2 a row to 30 in rows 11..14.
    EXPECT_EQ(white, expected);
    EXPECT_EQ(expected, 2 * (10 + 12 + 14 + 16 + 18 + 20 + 22 + 24 + 26 + 28) + 4 * 30);
    EXPECT_TRUE(faceButtonMaskAt(11, 1));
    EXPECT_TRUE(faceButtonMaskAt(20, 1));
    EXPECT_FALSE(faceButtonMaskAt(10, 1));
    EXPECT_FALSE(faceButtonMaskAt(21, 1));
    EXPECT_TRUE(faceButtonMaskAt(1, 11));
    EXPECT_TRUE(faceButtonMaskAt(30, 14));
    EXPECT_FALSE(faceButtonMaskAt(0, 12));
    EXPECT_FALSE(faceButtonMaskAt(31, 12));
    EXPECT_TRUE(faceButtonMaskAt(11, 24));
    EXPECT_FALSE(faceButtonMaskAt(15, 0));
    EXPECT_FALSE(faceButtonMaskAt(15, 25));
    EXPECT_FALSE(faceButtonMaskAt(0, 0));
    EXPECT_FALSE(faceButtonMaskAt(31, 25));
}

}  // namespace
}  // namespace quorvel::core
