#pragma once
// The glyphs drawn on board cells, each at a cell's outline origin (px, py) and in
// the style of face set 0, 1 or 2 where the sets differ (any other face set draws
// nothing).

#include "render/picture.h"

namespace quorvel::render {

// The number n (0..6) of mines around an opened cell.
void drawNumber(Picture& board, int px, int py, int n, int faceSet);
// A mine: one uncovered by the loss, or the one the player hit, on a red ground.
void drawMine(Picture& board, int px, int py, bool hit);
void drawFlag(Picture& board, int px, int py, int faceSet);
// The cross over a wrongly flagged cell.
void drawCross(Picture& board, int px, int py, int faceSet);

}  // namespace quorvel::render
