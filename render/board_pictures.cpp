#include "render/board_pictures.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/geometry.h"
#include "render/cell_faces.h"
#include "render/cell_looks.h"
#include "render/primitives.h"

namespace quorvel::render {

namespace {

// Cached pictures, indexed by side / 2 - 2 (sides 4, 6, 8, 10).
std::size_t slotOf(int side) {
    core::requireValidSide(side);
    return static_cast<std::size_t>(side / 2 - 2);
}

}  // namespace

void drawSunkenFrame(Picture& pic, int thickness) {
    const int w = pic.width();
    const int h = pic.height();
    const Rgb dark = grey(128);
    const Rgb light = grey(255);
    // Dark along the top and left, white along the bottom and right; the two
    // corners where they meet, (w-1-k, k) and (k, h-1-k), keep the background.
    for (int k = 0; k < thickness; ++k) {
        segment(pic, 0, k, w - 2 - k, k, dark);
        segment(pic, k, 0, k, h - 2 - k, dark);
        segment(pic, k + 1, h - 1 - k, w - 1, h - 1 - k, light);
        segment(pic, w - 1 - k, k + 1, w - 1 - k, h - 1, light);
    }
}

Picture makeBoardPicture(int side) {
    core::requireValidSide(side);
    Picture pic(core::boardWidth(side), core::boardHeight(side), grey(192));
    drawSunkenFrame(pic, 3);
    core::forEachCell(side, [&](core::CellPos cell) {
        const PixelPos origin = cellOrigin(cell);
        drawCellEdges(pic, origin.x, origin.y, grey(255), grey(0), grey(128), false);
    });
    return pic;
}

Picture makeHitTestMap(int side) {
    core::requireValidSide(side);
    Picture pic(core::mapWidth(side), core::mapHeight(side), rgb(0, 0, 0));
    core::forEachCell(side, [&](core::CellPos cell) {
        const auto [c, r] = cell;
        const std::uint32_t colour = 0xFF000000u | (c % 2 == 0 ? rgb(255, 0, 0) : rgb(0, 0, 255));
        for (int k = 0; k <= 15; ++k) {
            const int m = std::min(k, 15 - k);
            std::uint32_t* row = pic.data() + static_cast<std::size_t>(8 * r + k) * pic.width();
            std::fill(row + 17 * c + 7 - m, row + 17 * c + 17 + m, colour);
        }
    });
    return pic;
}

const Picture& boardPicture(int side) {
    static auto& cache = *new std::array<std::unique_ptr<Picture>, 4>{};
    auto& slot = cache[slotOf(side)];
    if (!slot) {
        slot = std::make_unique<Picture>(makeBoardPicture(side));
    }
    return *slot;
}

const Picture& hitTestMap(int side) {
    static auto& cache = *new std::array<std::unique_ptr<Picture>, 4>{};
    auto& slot = cache[slotOf(side)];
    if (!slot) {
        slot = std::make_unique<Picture>(makeHitTestMap(side));
    }
    return *slot;
}

}  // namespace quorvel::render
