#pragma once
// Number, mine, flag and cross glyphs drawn onto the board surface's picture.

#include "core/game_view.h"
#include "render/picture.h"

namespace quorvel::render {

// Number n (0..6) at outline origin (x, y) in the style of face set 0, 1 or 2
// (any other face set draws nothing).
void DrawNu(Picture& field, int x, int y, int n, int faceSet);
// Sunken face (x -= 1), then the mine: a revealed one on the sunken cell, the hit
// one on a red ground; a value outside the enumeration draws only the sunken face.
void DrawMin(Picture& field, int& x, int y, core::MineKind kind);
// Flag of the face set at (x, y); x unchanged.
void DrawFlg(Picture& field, int x, int y, int faceSet);
// x += 1, DrawP3, DrawPD, then the cross of the face set.
void DrawCrs(Picture& field, int& x, int y, int faceSet);

}  // namespace quorvel::render
