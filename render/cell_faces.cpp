#include "render/cell_faces.h"

#include "core/geometry.h"
#include "render/primitives.h"

namespace quorvel::render {

namespace {

bool noCell(int x, int y) {
    return x == core::kNoCell || y == core::kNoCell;
}

}  // namespace

void drawCellEdges(Picture& field, int px, int py, Rgb light, Rgb dark, Rgb shade,
                   bool topFromOrigin) {
    // Lines 1..6 are exactly the boundary of the hexagon and follow one another
    // round it; each leaves out its end point, which the next one starts from.
    line(field, px + (topFromOrigin ? 0 : -1), py, px + 8, py, light);  // 1 top
    line(field, px + 8, py, px + 16, py + 8, dark);                     // 2 upper right
    line(field, px + 8, py + 15, px + 16, py + 7, dark);                // 3 lower right
    line(field, px + 8, py + 15, px - 2, py + 15, dark);                // 4 bottom
    line(field, px - 2, py + 14, px - 9, py + 7, light);                // 5 lower left
    line(field, px - 1, py, px - 9, py + 8, light);                     // 6 upper left
    line(field, px + 8, py + 1, px + 15, py + 8, shade);                // 7
    line(field, px + 8, py + 14, px + 15, py + 7, shade);               // 8
    line(field, px + 8, py + 14, px - 2, py + 14, shade);               // 9
    line(field, px + 8, py + 2, px + 15, py + 9, shade);                // 10
    line(field, px + 8, py + 13, px + 15, py + 6, shade);               // 11
}

void DrawP2(Picture& field, int x, int y) {
    if (noCell(x, y)) {
        return;
    }
    drawCellEdges(field, x, y, Sed(255), Sed(0), Sed(127), false);
}

void DrawPD(Picture& field, int& x, int y) {
    if (noCell(x, y)) {
        return;
    }
    x -= 1;
    // The top edge starts one pixel further right; its first pixel (px - 1, py)
    // is the start of the upper-left edge, which is the same grey.
    drawCellEdges(field, x, y, Sed(159), Sed(127), Sed(191), true);
}

void DrawP3(Picture& field, int& x, int y) {
    if (noCell(x, y)) {
        return;
    }
    x -= 2;
    filledBox(field, x - 1, y + 3, x + 7, y + 13, Sed(191));
}

void Puntik(Picture& field, int x, int y) {
    filledBox(field, x - 1, y - 1, x + 1, y + 1, rgb(0, 255, 0));
    segment(field, x, y - 1, x, y + 1, rgb(0, 127, 0));
    segment(field, x - 1, y, x + 1, y, rgb(0, 127, 0));
    pixel(field, x, y, rgb(0, 63, 0));
}

}  // namespace quorvel::render
