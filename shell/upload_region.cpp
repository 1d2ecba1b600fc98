#include "shell/upload_region.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace quorvel::shell {

namespace {

std::int64_t area(const QRect& rect) {
    return static_cast<std::int64_t>(rect.width()) * rect.height();
}

// The bounding box of each row of the region: QRegion keeps its rectangles
// top to bottom in rows of equal top and bottom, left to right in a row.
std::vector<QRect> rowBoxes(const QRegion& region) {
    std::vector<QRect> rows;
    for (const QRect& rect : region) {
        if (!rows.empty() && rows.back().top() == rect.top() &&
            rows.back().bottom() == rect.bottom()) {
            rows.back() |= rect;
        } else {
            rows.push_back(rect);
        }
    }
    return rows;
}

}  // namespace

QRegion uploadRegion(const QRegion& drawn) {
    if (drawn.rectCount() <= kMostUploadRects) {
        return drawn;
    }
    // Each box keeps the area of the row boxes merged into it, so that a merge is
    // judged by what it adds between them, not by what earlier merges added.
    std::vector<QRect> boxes = rowBoxes(drawn);
    std::vector<std::int64_t> rowsArea;
    for (const QRect& box : boxes) {
        rowsArea.push_back(area(box));
    }
    while (boxes.size() > static_cast<std::size_t>(kMostUploadRects)) {
        std::size_t best = 0;
        std::int64_t leastWaste = std::numeric_limits<std::int64_t>::max();
        for (std::size_t i = 0; i + 1 < boxes.size(); ++i) {
            const std::int64_t waste =
                area(boxes[i] | boxes[i + 1]) - rowsArea[i] - rowsArea[i + 1];
            if (waste < leastWaste) {
                leastWaste = waste;
                best = i;
            }
        }
        boxes[best] |= boxes[best + 1];
        rowsArea[best] += rowsArea[best + 1];
        boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(best) + 1);
        rowsArea.erase(rowsArea.begin() + static_cast<std::ptrdiff_t>(best) + 1);
    }
    QRegion region;
    for (const QRect& box : boxes) {
        region += box;
    }
    return region;
}

}  // namespace quorvel::shell
