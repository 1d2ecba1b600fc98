#include "render/cell_faces.h"

#include "core/geometry.h"
#include "render/primitives.h"

namespace quorvel::render {

void drawCellEdges(Picture& board, int px, int py, Rgb light, Rgb dark, Rgb shade,
                   bool topFromOrigin) {
    // The cell's outline (core/geometry.h): its top row runs from `left` to
    // `right`, its bottom row is `bottom`; each slanted edge ends `reach` rows down
    // or up and as many pixels out, one past the widest rows.
    const int left = px - 1;
    const int right = left + core::kCellEdgeLength - 1;
    const int bottom = py + core::kCellRows - 1;
    const int reach = core::kCellRows / 2;
    static_assert(core::cellWidening(core::kCellRows / 2 - 1) == core::kCellRows / 2 - 1);
    // Lines 1..6 are exactly the boundary of the hexagon and follow one another
    // round it; each leaves out its end point, which the next one starts from.
    line(board, topFromOrigin ? left + 1 : left, py, right, py, light);      // 1 top
    line(board, right, py, right + reach, py + reach, dark);                 // 2 upper right
    line(board, right, bottom, right + reach, bottom - reach, dark);         // 3 lower right
    line(board, right, bottom, left - 1, bottom, dark);                      // 4 bottom
    line(board, left - 1, bottom - 1, left - reach, bottom - reach, light);  // 5 lower left
    line(board, left, py, left - reach, py + reach, light);                  // 6 upper left
    // The shade one and two pixels inside the right-hand and bottom edges.
    line(board, right, py + 1, right + reach - 1, py + reach, shade);              // 7
    line(board, right, bottom - 1, right + reach - 1, bottom - reach, shade);      // 8
    line(board, right, bottom - 1, left - 1, bottom - 1, shade);                   // 9
    line(board, right, py + 2, right + reach - 1, py + reach + 1, shade);          // 10
    line(board, right, bottom - 2, right + reach - 1, bottom - reach - 1, shade);  // 11
}

void drawRaisedFace(Picture& board, int px, int py) {
    // Grey 127, where a new board's cells have 128: docs/kept-behaviour.md.
    drawCellEdges(board, px, py, grey(255), grey(0), grey(127), false);
}

void drawSunkenFace(Picture& board, int px, int py) {
    // The top edge starts one pixel further right; its first pixel (px - 1, py)
    // is the start of the upper-left edge, which is the same grey.
    drawCellEdges(board, px, py, grey(159), grey(127), grey(191), true);
}

void clearMiddle(Picture& board, int left, int py) {
    filledBox(board, left, py + 3, left + 8, py + 13, grey(191));
}

void drawPip(Picture& board, int x, int y) {
    filledBox(board, x - 1, y - 1, x + 1, y + 1, rgb(0, 255, 0));
    segment(board, x, y - 1, x, y + 1, rgb(0, 127, 0));
    segment(board, x - 1, y, x + 1, y, rgb(0, 127, 0));
    pixel(board, x, y, rgb(0, 63, 0));
}

}  // namespace quorvel::render
