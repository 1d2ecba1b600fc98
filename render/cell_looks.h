#pragma once
// A board cell drawn in one of the looks the game asks for. This is where a cell
// of the board becomes pixels: its outline origin, and where each face and glyph
// goes from there.

#include "core/game_view.h"
#include "core/geometry.h"
#include "render/picture.h"

namespace quorvel::render {

struct PixelPos {
    int x;
    int y;
};

// The outline origin of a cell on the board picture: one pixel left of its anchor.
constexpr PixelPos cellOrigin(core::CellPos cell) {
    return {core::anchorX(cell.c) - 1, core::cellY(cell.r)};
}

// The cell in `look` over what it showed before; glyphs in the style of the face
// set.
void drawCell(Picture& board, core::CellPos cell, core::CellLook look, core::FaceSet faceSet);
// An opened cell: sunken, with its number.
void drawOpenedCell(Picture& board, core::CellPos cell, int minesAround, core::FaceSet faceSet);

// The same for a cell drawn at any outline origin (a cell on a picture of its own).
void drawLookAt(Picture& picture, PixelPos origin, core::CellLook look, core::FaceSet faceSet);
void drawOpenedAt(Picture& picture, PixelPos origin, int minesAround, core::FaceSet faceSet);

}  // namespace quorvel::render
