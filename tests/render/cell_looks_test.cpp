#include "render/cell_looks.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_faces.h"
#include "render/glyphs.h"
#include "render_test_support.h"

namespace quorvel::render {
namespace {

using namespace testing;
using core::CellLook;

Picture withLook(core::CellPos cell, CellLook look, core::FaceSet faceSet) {
    Picture board = boardPicture(4);
    drawCell(board, cell, look, faceSet);
    return board;
}

// A cell's look is the face and the glyph it shows, both at the cell's origin.
TEST(CellLooks, EachLookIsItsFaceAndGlyphAtTheCellOrigin) {
    for (const core::FaceSet faceSet : core::kFaceSets) {
        core::forEachCell(4, [&](core::CellPos cell) {
            const auto [px, py] = cellOrigin(cell);
            const auto expectMadeOf = [&](CellLook look,
                                          const std::function<void(Picture&)>& draw) {
                Picture parts = boardPicture(4);
                draw(parts);
                EXPECT_EQ(withLook(cell, look, faceSet), parts)
                    << "look " << static_cast<int>(look) << " set " << faceSet << " on (" << cell.c
                    << ", " << cell.r << ")";
            };
            expectMadeOf(CellLook::Raised, [&](Picture& p) { drawRaisedFace(p, px, py); });
            expectMadeOf(CellLook::Sunken, [&](Picture& p) { drawSunkenFace(p, px, py); });
            expectMadeOf(CellLook::Flag, [&](Picture& p) { drawFlag(p, px, py, faceSet); });
            for (const bool hit : {false, true}) {
                expectMadeOf(hit ? CellLook::HitMine : CellLook::Mine, [&](Picture& p) {
                    drawSunkenFace(p, px, py);
                    drawMine(p, px, py, hit);
                });
            }
            for (int n = 0; n <= 6; ++n) {
                Picture opened = boardPicture(4);
                drawOpenedCell(opened, cell, n, faceSet);
                Picture parts = boardPicture(4);
                drawSunkenFace(parts, px, py);
                drawNumber(parts, px, py, n, faceSet);
                EXPECT_EQ(opened, parts) << "number " << n << " set " << faceSet;
            }
        });
    }
}

// A flag taken off, or crossed out after a loss, leaves no pixel of the flag: the
// cell looks as if it had never been flagged.
TEST(CellLooks, TakingAFlagOffOrCrossingItOutLeavesNothingOfTheFlag) {
    for (const core::FaceSet faceSet : core::kFaceSets) {
        core::forEachCell(4, [&](core::CellPos cell) {
            for (const CellLook after : {CellLook::FlagRemoved, CellLook::WrongFlag}) {
                Picture flagged = withLook(cell, CellLook::Flag, faceSet);
                drawCell(flagged, cell, after, faceSet);
                EXPECT_EQ(flagged, withLook(cell, after, faceSet))
                    << "look " << static_cast<int>(after) << " set " << faceSet << " on (" << cell.c
                    << ", " << cell.r << ")";
            }
        });
    }
}

}  // namespace
}  // namespace quorvel::render
