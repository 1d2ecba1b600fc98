#include "core/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorvel::core {

bool isValidSide(int side) {
    return std::find(kSides.begin(), kSides.end(), side) != kSides.end();
}

void requireValidSide(int side) {
    if (!isValidSide(side)) {
        throw std::invalid_argument("unsupported board side " + std::to_string(side) +
                                    " (only 4, 6, 8 and 10 exist)");
    }
}

int cellCount(int side) {
    requireValidSide(side);
    return 3 * side * (side - 1) + 1;
}

int mapWidth(int side) {
    requireValidSide(side);
    return 34 * side - 10;
}

int mapHeight(int side) {
    requireValidSide(side);
    return 32 * side - 16;
}

int boardWidth(int side) {
    return mapWidth(side) + 6;
}
int boardHeight(int side) {
    return mapHeight(side) + 6;
}

bool isCell(int side, int c, int r) {
    requireValidSide(side);
    const int d = std::abs(c - (side - 1));
    return c >= 0 && c <= 2 * side - 2 && d <= r && r <= 4 * (side - 1) - d && (r - d) % 2 == 0;
}

namespace {

// Floor division for the possibly negative coordinates of the point query.
int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The cell of the infinite column/half-row tiling that contains map pixel (x, y),
// restricted to the board. Column c covers x = 17c .. 17c+23, so a pixel lies in the
// band of column floor(x/17) and possibly in the right tip of the column before it.
// Within a column only half-rows of one parity hold cells (even columns odd
// half-rows, for the even sides), which leaves one candidate per column.
CellPos cellAt(int side, int x, int y) {
    requireValidSide(side);
    if (x < 0 || y < 0 || x >= mapWidth(side) || y >= mapHeight(side)) {
        return {-1, -1};
    }
    const int c0 = x / kColumnPitch;
    for (int c = c0; c >= c0 - 1 && c >= 0; --c) {
        // Half-row parity of this column: c - (N-1) and r have the same parity.
        const int parity = ((c - (side - 1)) % 2 + 2) % 2;
        int r = floorDiv(y, kHalfRowPitch);
        if (((r % 2) + 2) % 2 != parity) {
            --r;
        }
        if (r < 0) {
            continue;
        }
        const int k = y - kHalfRowPitch * r;
        const int left = kColumnPitch * c + kCellLeftInColumn - cellWidening(k);
        const int right =
            kColumnPitch * c + kCellLeftInColumn + kCellEdgeLength - 1 + cellWidening(k);
        if (x >= left && x <= right && isCell(side, c, r)) {
            return {c, r};
        }
    }
    return {-1, -1};
}

// The hit test answers from one table per side, filled once from cellAt: the
// mouse and above all the mine placement ask it for point after point. (The
// fill works in cells and never asks it.)
struct SideTable {
    int width = 0;
    int height = 0;
    std::vector<detail::PixelCell> cells;
};

SideTable buildTable(int side) {
    SideTable table;
    table.width = mapWidth(side);
    table.height = mapHeight(side);
    table.cells.resize(static_cast<std::size_t>(table.width) *
                       static_cast<std::size_t>(table.height));
    for (int y = 0; y < table.height; ++y) {
        for (int x = 0; x < table.width; ++x) {
            const CellPos cell = cellAt(side, x, y);
            table.cells[static_cast<std::size_t>(y * table.width + x)] = {
                static_cast<std::int8_t>(cell.c), static_cast<std::int8_t>(cell.r)};
        }
    }
    return table;
}

// Each side's table is filled when that side is first asked about: a player
// keeps to one or two sides, and the tables are not small (two bytes a map
// pixel: about 126 kB for the expert side 8, 200 kB for side 10). It is kept for
// the run and never destroyed.
template <int Side>
const SideTable& tableOf() {
    static const SideTable& table = *new SideTable(buildTable(Side));
    return table;
}

const SideTable& tableFor(int side) {
    static_assert(kSides == std::array<int, 4>{4, 6, 8, 10});
    switch (side) {
        case 4:
            return tableOf<4>();
        case 6:
            return tableOf<6>();
        case 8:
            return tableOf<8>();
        case 10:
            return tableOf<10>();
        default:
            requireValidSide(side);  // throws
            return tableOf<4>();
    }
}

}  // namespace

int wholePixel(double position) {
    constexpr double kFar = 1.0e6;
    if (!(position > -kFar)) {
        return -static_cast<int>(kFar);
    }
    if (position > kFar) {
        return static_cast<int>(kFar);
    }
    return static_cast<int>(std::floor(position));
}

detail::PixelTable detail::pixelTable(int side) {
    const SideTable& table = tableFor(side);
    return {table.width, table.height, table.cells.data()};
}

std::optional<CellPos> cellUnderPointer(int side, double x, double y) {
    return cellAtMapPoint(side, wholePixel(x) - kFrameWidth, wholePixel(y) - kFrameWidth);
}

bool faceButtonMaskAt(int x, int y) {
    if (y < 1 || y > 24 || x < 0 || x > 31) {
        return false;
    }
    const int from = std::max({12 - y, y - 13, 1});
    const int to = std::min({19 + y, 44 - y, 30});
    return from <= x && x <= to;
}

bool onFaceButton(double x, double y) {
    return faceButtonMaskAt(wholePixel(x), wholePixel(y));
}

}  // namespace quorvel::core
