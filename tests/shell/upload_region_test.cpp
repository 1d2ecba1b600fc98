// The region a move's drawing travels in: bounded, covering, and no wider than
// the rows it merges need.

#include "shell/upload_region.h"

#include <gtest/gtest.h>

namespace quorvel::shell {
namespace {

// Cells 27 x 16 at every other place of a grid of `rows` rows, 8 pixels apart
// vertically as the board's half rows are.
QRegion scatteredCells(int rows, int columns) {
    QRegion region;
    for (int r = 0; r < rows; ++r) {
        for (int c = (r % 2); c < columns; c += 2) {
            region += QRect(c * 18, r * 8, 27, 16);
        }
    }
    return region;
}

TEST(UploadRegion, AFewRectanglesTravelAsTheyAre) {
    const QRegion one(QRect(10, 20, 27, 16));
    EXPECT_EQ(uploadRegion(one), one);
    QRegion chord;
    for (const QPoint at : {QPoint(0, 0), QPoint(100, 0), QPoint(0, 100)}) {
        chord += QRect(at, QSize(27, 16));
    }
    ASSERT_LE(chord.rectCount(), kMostUploadRects);
    EXPECT_EQ(uploadRegion(chord), chord);
    EXPECT_TRUE(uploadRegion(QRegion()).isEmpty());
}

TEST(UploadRegion, ManyCellsTravelInAtMostTheBoundCoveringThemAll) {
    for (const int rows : {3, 10, 38}) {
        const QRegion drawn = scatteredCells(rows, 19);
        ASSERT_GT(drawn.rectCount(), kMostUploadRects);
        const QRegion sent = uploadRegion(drawn);
        EXPECT_LE(sent.rectCount(), kMostUploadRects) << rows;
        EXPECT_TRUE((drawn - sent).isEmpty()) << rows;
        EXPECT_EQ(sent.boundingRect(), drawn.boundingRect()) << rows;
    }
}

TEST(UploadRegion, DistantGroupsStayApart) {
    // Two clusters of cells far apart on a tall board: the gap between them is never
    // sent, only the small gaps inside each cluster.
    QRegion drawn = scatteredCells(4, 6);
    drawn += scatteredCells(4, 6).translated(200, 250);
    const QRegion sent = uploadRegion(drawn);
    EXPECT_LE(sent.rectCount(), kMostUploadRects);
    EXPECT_TRUE((drawn - sent).isEmpty());
    EXPECT_FALSE(sent.contains(QPoint(150, 150)));
    EXPECT_FALSE(sent.contains(QPoint(20, 260)));
}

}  // namespace
}  // namespace quorvel::shell
