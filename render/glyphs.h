#pragma once
// The glyphs drawn on board cells, each at a cell's outline origin (px, py) and in
// the style of the face set where the sets differ.

#include "core/face_set.h"
#include "render/picture.h"

namespace quorvel::render {

// The number n (0..6) of mines around an opened cell.
void drawNumber(Picture& board, int px, int py, int n, core::FaceSet faceSet);
// A mine: one uncovered by the loss, or the one the player hit, on a red ground.
void drawMine(Picture& board, int px, int py, bool hit);
void drawFlag(Picture& board, int px, int py, core::FaceSet faceSet);
// The cross over a wrongly flagged cell.
void drawCross(Picture& board, int px, int py, core::FaceSet faceSet);

}  // namespace quorvel::render
