#pragma once
// The pixel primitives every picture of the game is drawn with. Each one clips at
// the picture's edges and never writes outside it, whatever the coordinates.

#include "render/picture.h"

namespace quorvel::render {

// Straight line from (x0, y0) towards (x1, y1), the end point not drawn.
void line(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour);
// Border pixels of the rectangle with these corners, both corners included.
void boxOutline(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour);
// Every pixel from A to B, both ends drawn (A and B share x or y).
void segment(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour);
// Every pixel of the rectangle with these corners.
void filledBox(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour);
void pixel(Picture& pic, int x, int y, Rgb colour);
// Outline ellipse centred on (cx, cy) with horizontal radius rx and vertical
// radius ry, which may be non-integral (4/3, 1.5, 2).
void ellipse(Picture& pic, int cx, int cy, double rx, double ry, Rgb colour);

}  // namespace quorvel::render
