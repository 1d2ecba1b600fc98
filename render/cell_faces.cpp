#include "render/cell_faces.h"

#include "render/primitives.h"

namespace quorvel::render {

void drawCellEdges(Picture& board, int px, int py, Rgb light, Rgb dark, Rgb shade,
                   bool topFromOrigin) {
    // Lines 1..6 are exactly the boundary of the hexagon and follow one another
    // round it; each leaves out its end point, which the next one starts from.
    line(board, px + (topFromOrigin ? 0 : -1), py, px + 8, py, light);  // 1 top
    line(board, px + 8, py, px + 16, py + 8, dark);                     // 2 upper right
    line(board, px + 8, py + 15, px + 16, py + 7, dark);                // 3 lower right
    line(board, px + 8, py + 15, px - 2, py + 15, dark);                // 4 bottom
    line(board, px - 2, py + 14, px - 9, py + 7, light);                // 5 lower left
    line(board, px - 1, py, px - 9, py + 8, light);                     // 6 upper left
    line(board, px + 8, py + 1, px + 15, py + 8, shade);                // 7
    line(board, px + 8, py + 14, px + 15, py + 7, shade);               // 8
    line(board, px + 8, py + 14, px - 2, py + 14, shade);               // 9
    line(board, px + 8, py + 2, px + 15, py + 9, shade);                // 10
    line(board, px + 8, py + 13, px + 15, py + 6, shade);               // 11
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
