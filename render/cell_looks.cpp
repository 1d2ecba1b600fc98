#include "render/cell_looks.h"

#include "render/cell_faces.h"
#include "render/glyphs.h"

namespace quorvel::render {

void drawLookAt(Picture& board, PixelPos origin, core::CellLook look, core::FaceSet faceSet) {
    const auto [px, py] = origin;
    switch (look) {
        case core::CellLook::Raised:
            drawRaisedFace(board, px, py);
            break;
        case core::CellLook::Sunken:
            drawSunkenFace(board, px, py);
            break;
        case core::CellLook::Flag:
            drawFlag(board, px, py, faceSet);
            break;
        case core::CellLook::FlagRemoved:
            // The flag's pixels lie in this box, which starts one pixel left of the
            // origin; the raised face's edges around it are left as they are.
            clearMiddle(board, px - 1, py);
            break;
        case core::CellLook::Mine:
        case core::CellLook::HitMine:
            drawSunkenFace(board, px, py);
            drawMine(board, px, py, look == core::CellLook::HitMine);
            break;
        case core::CellLook::WrongFlag:
            // The cross clears the flag from a box one pixel further right than a
            // flag taken off does; the sunken face then draws over its right edge.
            clearMiddle(board, px, py);
            drawSunkenFace(board, px, py);
            drawCross(board, px, py, faceSet);
            break;
    }
}

void drawOpenedAt(Picture& board, PixelPos origin, int minesAround, core::FaceSet faceSet) {
    drawSunkenFace(board, origin.x, origin.y);
    drawNumber(board, origin.x, origin.y, minesAround, faceSet);
}

void drawCell(Picture& board, core::CellPos cell, core::CellLook look, core::FaceSet faceSet) {
    drawLookAt(board, cellOrigin(cell), look, faceSet);
}

void drawOpenedCell(Picture& board, core::CellPos cell, int minesAround, core::FaceSet faceSet) {
    drawOpenedAt(board, cellOrigin(cell), minesAround, faceSet);
}

}  // namespace quorvel::render
