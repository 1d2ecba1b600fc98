#pragma once
// Hexagonal board geometry: sides, cells, neighbours, and the hit test that turns
// a pixel of the board into a cell. Plain C++, no toolkit.
//
// A board of side N (4, 6, 8 or 10) has 2N-1 columns c = 0 .. 2N-2 and half-rows
// r = 0 .. 4N-4. Map space is the hit-test map of (34N-10) x (32N-16) pixels; the
// board surface is map space shifted by the 3-pixel frame.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace quorvel::core {

// The only sides a board may have.
inline constexpr std::array<int, 4> kSides{4, 6, 8, 10};

bool isValidSide(int side);

// Throws std::invalid_argument naming the side ("unsupported board side 5") unless
// the side is one of 4, 6, 8, 10. Every public operation of core that takes a side
// calls it.
void requireValidSide(int side);

// 3N(N-1)+1: 37, 91, 169, 271.
int cellCount(int side);

// Hit-test map size: (34N-10) x (32N-16).
int mapWidth(int side);
int mapHeight(int side);
// Board picture / board surface size: (34N-4) x (32N-10).
int boardWidth(int side);
int boardHeight(int side);

// (c, r) is a cell of the board of this side.
bool isCell(int side, int c, int r);

struct CellPos {
    int c;
    int r;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// Visits every cell of a board of this side, column by column, top to bottom:
// the order in which a lost or won board is uncovered.
template <typename Visit>
void forEachCell(int side, Visit visit) {
    for (int c = 0; c <= 2 * side - 2; ++c) {
        const int d = c > side - 1 ? c - (side - 1) : side - 1 - c;
        for (int r = d; r <= 4 * (side - 1) - d; r += 2) {
            visit(CellPos{c, r});
        }
    }
}

// The six neighbour offsets in the flood fill's fixed order:
// above, upper right, lower right, below, lower left, upper left.
inline constexpr std::array<CellPos, 6> kNeighbourOffsets{
    {{0, -2}, {1, -1}, {1, 1}, {0, 2}, {-1, 1}, {-1, -1}}};

// Columns stand 17 pixels apart and half-rows 8; the board surface is map space
// moved right and down by the 3-pixel frame.
inline constexpr int kColumnPitch = 17;
inline constexpr int kHalfRowPitch = 8;
inline constexpr int kFrameWidth = 3;

// The outline of a cell: 16 pixel rows, the top and the bottom row 10 pixels
// wide, each row nearer the middle one pixel wider on either side. Row k
// (0 .. 15) reaches cellWidening(k) pixels out beyond the ends of the top row;
// the top row of column c starts at map x 17c + 7. The hit test and the
// pictures' edges are both drawn from it.
inline constexpr int kCellRows = 16;
inline constexpr int kCellEdgeLength = 10;
inline constexpr int kCellLeftInColumn = 7;
constexpr int cellWidening(int row) {
    return row < kCellRows - 1 - row ? row : kCellRows - 1 - row;
}

// The anchor of a cell on the board surface: the left end of its top edge, a
// point the cell always contains.
inline constexpr int anchorX(int c) {
    return kColumnPitch * c + 12;
}
inline constexpr int cellY(int r) {
    return kHalfRowPitch * r + kFrameWidth;
}

namespace detail {
// The hit test's table of a side: the cell of every map pixel, -1 on none.
struct PixelCell {
    std::int8_t c;
    std::int8_t r;
};
struct PixelTable {
    int width;
    int height;
    const PixelCell* cells;
};
PixelTable pixelTable(int side);
}  // namespace detail

// The hit test: the cell containing map-space pixel (x, y), or none when the
// point is on no cell of the board of this side (negative coordinates, black
// corners, anything beyond the map). Exact for every pixel. Inline, since the
// mine placement asks it for point after point.
inline std::optional<CellPos> cellAtMapPoint(int side, int x, int y) {
    const detail::PixelTable table = detail::pixelTable(side);
    if (x < 0 || y < 0 || x >= table.width || y >= table.height) {
        return std::nullopt;
    }
    const detail::PixelCell cell = table.cells[y * table.width + x];
    if (cell.c < 0) {
        return std::nullopt;
    }
    return CellPos{cell.c, cell.r};
}
// The whole pixel a position lies in (its floor), any double accepted: far-off
// positions (and NaN) are clamped to a million pixels out. The one place where a
// pointer position becomes a pixel.
int wholePixel(double position);

// The cell under a pointer at board-surface position (x, y): the pixel it is in,
// less the frame. Any position is accepted, however far out (the pointer is
// captured while a button is held), NaN included.
std::optional<CellPos> cellUnderPointer(int side, double x, double y);

// The face button's hit mask (32 x 26): true inside the hexagon, false outside it
// and for every point outside the 32 x 26 pixels.
bool faceButtonMaskAt(int x, int y);
// Whether a pointer at (x, y) on the face button is over its hexagon.
bool onFaceButton(double x, double y);

}  // namespace quorvel::core
