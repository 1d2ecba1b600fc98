#pragma once
// Cell faces drawn on the board surface's picture, measured from a cell's outline
// origin. The in/out x: DrawPD and DrawP3 move x left and write it back first;
// all three do nothing, and leave x alone, when x or y is -100.

#include "render/picture.h"

namespace quorvel::render {

// Raised face at outline origin (x, y).
void DrawP2(Picture& field, int x, int y);
// x -= 1, then the sunken face at (x, y).
void DrawPD(Picture& field, int& x, int y);
// x -= 2, then the cell's middle cleared to grey 191.
void DrawP3(Picture& field, int& x, int y);
// One green pip centred on (x, y).
void Puntik(Picture& field, int x, int y);

// The eleven edge lines of the cell with outline origin (px, py), in order: the
// top, lower-left and upper-left edges in `light`, the upper-right, lower-right and
// bottom edges in `dark`, the five inner shade lines in `shade`. The top edge
// starts at px - 1, or at px when `topFromOrigin` (the sunken face).
void drawCellEdges(Picture& field, int px, int py, Rgb light, Rgb dark, Rgb shade,
                   bool topFromOrigin);

}  // namespace quorvel::render
