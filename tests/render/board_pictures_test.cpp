#include "render/board_pictures.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "core/geometry.h"
#include "render/cell_looks.h"
#include "render_test_support.h"
#include "tests/support/hit_test_map.h"

namespace quorvel::render {
namespace {

using namespace testing;

constexpr int kRed = 0xFF0000;
constexpr int kBlue = 0x0000FF;

TEST(BoardPictures, SizesFollowTheSide) {
    const int sizes[][5] = {{4, 132, 118, 126, 112},
                            {6, 200, 182, 194, 176},
                            {8, 268, 246, 262, 240},
                            {10, 336, 310, 330, 304}};
    for (const auto& s : sizes) {
        EXPECT_EQ(boardPicture(s[0]).width(), s[1]);
        EXPECT_EQ(boardPicture(s[0]).height(), s[2]);
        EXPECT_EQ(hitTestMap(s[0]).width(), s[3]);
        EXPECT_EQ(hitTestMap(s[0]).height(), s[4]);
    }
}

TEST(BoardPictures, UnsupportedSidesThrow) {
    for (int side : {5, 0, -4, 3, 12, 100}) {
        EXPECT_THROW(boardPicture(side), std::invalid_argument) << side;
        EXPECT_THROW(hitTestMap(side), std::invalid_argument) << side;
        EXPECT_THROW(makeBoardPicture(side), std::invalid_argument) << side;
    }
}

TEST(BoardPictures, CachedPicturesAreBuiltOnceAndMatchFreshOnes) {
    for (int side : core::kSides) {
        EXPECT_EQ(&boardPicture(side), &boardPicture(side));
        EXPECT_EQ(&hitTestMap(side), &hitTestMap(side));
        EXPECT_EQ(boardPicture(side), makeBoardPicture(side));
        EXPECT_EQ(hitTestMap(side), makeHitTestMap(side));
    }
}

TEST(BoardPictures, ExactlyFourColoursOnBoardsAndThreeOnMaps) {
    for (int side : core::kSides) {
        EXPECT_EQ(coloursOf(boardPicture(side)),
                  (std::set<int>{kGrey192, kGrey128, kWhite, kBlack}));
        EXPECT_EQ(coloursOf(hitTestMap(side)), (std::set<int>{kBlack, kRed, kBlue}));
    }
}

TEST(BoardPictures, FrameIsSunkenWithBackgroundCorners) {
    for (int side : core::kSides) {
        const Picture& pic = boardPicture(side);
        const int w = pic.width();
        const int h = pic.height();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int frame = sunkenFrameColour(w, h, 3, x, y);
                if (frame >= 0) {
                    ASSERT_EQ(pic.at(x, y), frame) << side << " (" << x << ", " << y << ")";
                } else if (x < 3 || y < 3 || x >= w - 3 || y >= h - 3) {
                    ASSERT_EQ(pic.at(x, y), kGrey192) << "corner " << x << " " << y;
                }
            }
        }
        EXPECT_EQ(pic.at(w - 1, 0), kGrey192);
        EXPECT_EQ(pic.at(0, h - 1), kGrey192);
        EXPECT_EQ(pic.at(w - 3, 2), kGrey192);
        EXPECT_EQ(pic.at(2, h - 3), kGrey192);
        EXPECT_EQ(pic.at(w - 1, 1), kWhite);
        EXPECT_EQ(pic.at(1, 0), kGrey128);
        EXPECT_EQ(pic.at(0, 0), kGrey128);
        EXPECT_EQ(pic.at(w - 1, h - 1), kWhite);
    }
}

TEST(BoardPictures, Side4TopAndLeftCells) {
    const Picture& pic = boardPicture(4);
    for (int x = 61; x <= 69; ++x) {
        EXPECT_EQ(pic.at(x, 3), kWhite) << "top edge of cell (3, 0)";
    }
    EXPECT_EQ(pic.at(60, 3), kGrey192);
    EXPECT_EQ(pic.at(70, 3), kBlack) << "start of its upper-right edge";
    // Cell (0, 3), outline origin (11, 27): its left point on x = 3.
    EXPECT_EQ(pic.at(3, 34), kWhite);
    EXPECT_EQ(pic.at(3, 35), kWhite);
    EXPECT_EQ(pic.at(2, 34), kGrey128) << "the frame right next to it";
    EXPECT_EQ(pic.at(3, 33), kGrey192);
}

// Each cell: its boundary white on the top and left, black on the right and
// bottom, 35 shade pixels of grey 128 inside, the rest of its inside grey 192.
TEST(BoardPictures, EveryCellIsRaised) {
    for (int side : core::kSides) {
        const Picture& pic = boardPicture(side);
        core::forEachCell(side, [&](core::CellPos cell) {
            const auto [c, r] = cell;
            const auto [px, py] = cellOrigin(cell);
            int shade = 0;
            for (int k = 0; k <= 15; ++k) {
                const int m = std::min(k, 15 - k);
                const int left = px - 1 - m;
                const int right = px + 8 + m;
                for (int x = left; x <= right; ++x) {
                    const int got = pic.at(x, py + k);
                    int want = -1;
                    if (x == right || k == 15) {
                        want = kBlack;
                    } else if (x == left || k == 0) {
                        want = kWhite;
                    }
                    if (want >= 0) {
                        ASSERT_EQ(got, want)
                            << side << " (" << c << ", " << r << ") " << x << " " << k;
                    } else {
                        ASSERT_TRUE(got == kGrey192 || got == kGrey128);
                        shade += got == kGrey128;
                    }
                }
            }
            ASSERT_EQ(shade, 35) << side << " (" << c << ", " << r << ")";
        });
        // Whatever is not a cell or the frame is the background.
        int cells = 0;
        for (int y = 3; y < pic.height() - 3; ++y) {
            for (int x = 3; x < pic.width() - 3; ++x) {
                if (!core::cellAtMapPoint(side, x - 3, y - 3)) {
                    ASSERT_EQ(pic.at(x, y), kGrey192) << side << " " << x << " " << y;
                } else {
                    ++cells;
                }
            }
        }
        EXPECT_EQ(cells, 272 * core::cellCount(side));
    }
}

// The map as a tiling: every pixel lies in at most one cell's hexagon, is coloured
// exactly when it does, in the colour of the cell's column, and every cell has 272.
TEST(HitTestMaps, CellsTileTheMapWithoutGapsOrOverlaps) {
    for (int side : core::kSides) {
        const Picture& map = hitTestMap(side);
        std::map<std::pair<int, int>, int> area;
        for (int y = 0; y < map.height(); ++y) {
            for (int x = 0; x < map.width(); ++x) {
                int owners = 0;
                int column = -1;
                // Candidate cells: the columns whose 24-pixel span reaches x.
                for (int c = x / 17 - 1; c <= x / 17; ++c) {
                    for (int r = y / 8 - 2; r <= y / 8; ++r) {
                        if (c < 0 || r < 0 || !core::isCell(side, c, r)) {
                            continue;
                        }
                        // Map-space outline origin (17c + 8, 8r).
                        if (inHexagon(17 * c + 8, 8 * r, x, y)) {
                            ++owners;
                            column = c;
                            ++area[{c, r}];
                        }
                    }
                }
                ASSERT_LE(owners, 1) << side << " " << x << " " << y;
                const int want = owners == 0 ? kBlack : (column % 2 == 0 ? kRed : kBlue);
                ASSERT_EQ(map.at(x, y), want) << side << " " << x << " " << y;
            }
        }
        EXPECT_EQ(static_cast<int>(area.size()), core::cellCount(side));
        for (const auto& [cell, pixels] : area) {
            EXPECT_EQ(pixels, 272) << cell.first << " " << cell.second;
        }
    }
}

TEST(HitTestMaps, Side4RowsTopAndMiddle) {
    const Picture& map = hitTestMap(4);
    for (int x = 0; x < map.width(); ++x) {
        EXPECT_EQ(map.at(x, 0), x >= 58 && x <= 67 ? kBlue : kBlack) << x;
        EXPECT_NE(map.at(x, 31), kBlack) << x;
        EXPECT_NE(map.at(x, 32), kBlack) << x;
    }
}

// The hit test as the window would run it on the map's colours, read through a
// surface of the board's size (black beyond the map, -1 outside).
int colourAt(const Picture& map, int side, int x, int y) {
    if (x < 0 || y < 0 || x >= core::boardWidth(side) || y >= core::boardHeight(side)) {
        return -1;
    }
    const int c = map.at(x, y);
    return c < 0 ? kBlack : c;
}

core::CellPos colourHitTest(const Picture& map, int side, int x, int y) {
    return support::colourLookup(colourAt(map, side, x, y), kRed, kBlue, x, y);
}

TEST(HitTestMaps, ColourHitTestAgreesWithTheGeometryOnEveryPixel) {
    for (int side : core::kSides) {
        const Picture& map = hitTestMap(side);
        for (int y = -2; y < core::boardHeight(side) + 2; ++y) {
            for (int x = -2; x < core::boardWidth(side) + 2; ++x) {
                const core::CellPos byColour = colourHitTest(map, side, x, y);
                const auto cell = core::cellAtMapPoint(side, x, y);
                ASSERT_EQ(byColour, cell.value_or(core::CellPos{-1, -1}))
                    << side << " (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(Frames, SunkenFrameOfThicknessOneAndTwo) {
    for (int t : {1, 2}) {
        Picture pic(7, 5, grey(192));
        drawSunkenFrame(pic, t);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int frame = sunkenFrameColour(7, 5, t, x, y);
                EXPECT_EQ(pic.at(x, y), frame >= 0 ? frame : kGrey192) << t << " " << x << " " << y;
            }
        }
        EXPECT_EQ(pic.at(6, 0), kGrey192);
        EXPECT_EQ(pic.at(0, 4), kGrey192);
    }
}

}  // namespace
}  // namespace quorvel::render
