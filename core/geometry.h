#pragma once
// Hexagonal board geometry: sides, cells, neighbours, pixel positions and the
// map-space pixel -> cell mapping. Plain C++, no toolkit.
//
// A board of side N (4, 6, 8 or 10) has 2N-1 columns c = 0 .. 2N-2 and half-rows
// r = 0 .. 4N-4. Map space is the hit-test map of (34N-10) x (32N-16) pixels; Field
// space (the visible board surface) is map space shifted by the 3-pixel frame.

#include <array>
#include <stdexcept>

namespace quorvel::core {

// "No cell": the value of PressedX/PressedY when nothing is held.
inline constexpr int kNoCell = -100;

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
// Board picture / Field size: (34N-4) x (32N-10).
int boardWidth(int side);
int boardHeight(int side);

// (c, r) is a cell of the board of this side.
bool isCell(int side, int c, int r);

struct CellPos {
    int c;
    int r;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// The six neighbour offsets in the flood fill's fixed order:
// above, upper right, lower right, below, lower left, upper left.
inline constexpr std::array<CellPos, 6> kNeighbourOffsets{
    {{0, -2}, {1, -1}, {1, 1}, {0, 2}, {-1, 1}, {-1, -1}}};

// Columns stand 17 pixels apart and half-rows 8; Field space is map space moved
// right and down by the 3-pixel frame.
inline constexpr int kColumnPitch = 17;
inline constexpr int kHalfRowPitch = 8;
inline constexpr int kFrameWidth = 3;

// Field-space points of a cell: the anchor, the outline origin one pixel left of
// it (where the drawing procedures leave x), and the top row.
inline constexpr int anchorX(int c) {
    return kColumnPitch * c + 12;
}
inline constexpr int originX(int c) {
    return anchorX(c) - 1;
}
inline constexpr int cellY(int r) {
    return kHalfRowPitch * r + kFrameWidth;
}

// Map-space pixel -> column / half-row of the cell containing it, or -1 when the
// point is on no cell of the board of this side (negative coordinates, black
// corners, anything beyond the map). Exact for every pixel.
int GetPX(int side, int x, int y);
int GetPY(int side, int x, int y);

// The face button's hit mask (32 x 26): true inside the hexagon, false outside it
// and for every point outside the 32 x 26 pixels.
bool faceButtonMaskAt(int x, int y);

}  // namespace quorvel::core
