#pragma once
// The faces of a board cell, drawn on the board picture and measured from the
// cell's outline origin (px, py): one pixel left of its anchor, on its top row.

#include "render/picture.h"

namespace quorvel::render {

// The raised face every covered cell shows.
void drawRaisedFace(Picture& board, int px, int py);
// The sunken face of a held or opened cell.
void drawSunkenFace(Picture& board, int px, int py);
// The middle of a cell cleared to the sunken face's light grey: the box from
// (left, py + 3) to (left + 8, py + 13).
void clearMiddle(Picture& board, int left, int py);
// One green pip centred on (x, y).
void drawPip(Picture& board, int x, int y);

// The eleven edge lines of the cell with outline origin (px, py), in order: the
// top, lower-left and upper-left edges in `light`, the upper-right, lower-right and
// bottom edges in `dark`, the five inner shade lines in `shade`. The top edge
// starts at px - 1, or at px when `topFromOrigin` (the sunken face).
void drawCellEdges(Picture& board, int px, int py, Rgb light, Rgb dark, Rgb shade,
                   bool topFromOrigin);

}  // namespace quorvel::render
