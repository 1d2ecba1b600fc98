#include "render/board_pictures.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "core/geometry.h"
#include "render/cell_faces.h"
#include "render/cell_looks.h"
#include "render/primitives.h"

namespace quorvel::render {

namespace {

// The raised cell of a new board as the pixels its edges set, for a picture
// `stride` pixels wide: each as its offset from the cell's outline origin and its
// word. The edges reach 9 pixels left of the origin and 16 right, 15 down.
class CellStamp {
  public:
    explicit CellStamp(int stride) {
        // Drawn over two grounds: a pixel the edges set is the same on both.
        Picture a(kWidth, kHeight, rgb(0, 0, 0));
        Picture b(kWidth, kHeight, rgb(255, 255, 255));
        for (Picture* pic : {&a, &b}) {
            // Grey 128, where a cell drawn again later gets 127: docs/kept-behaviour.md.
            drawCellEdges(*pic, kLeft, 0, grey(255), grey(0), grey(128), false);
        }
        for (int i = 0; i < kWidth * kHeight; ++i) {
            if (a.data()[i] == b.data()[i]) {
                const std::ptrdiff_t offset =
                    static_cast<std::ptrdiff_t>(i / kWidth) * stride + i % kWidth - kLeft;
                pixels_.push_back({offset, a.data()[i]});
            }
        }
    }

    // The same pixels as drawing the edges at `origin`, which lies far enough
    // inside `pic` for the whole cell.
    void drawAt(Picture& pic, PixelPos origin) const {
        std::uint32_t* at =
            pic.data() + static_cast<std::ptrdiff_t>(origin.y) * pic.width() + origin.x;
        for (const Pixel& p : pixels_) {
            at[p.offset] = p.word;
        }
    }

    // Whether the whole cell at `origin` lies inside a picture of this size.
    static bool fits(PixelPos origin, int width, int height) {
        return origin.x - kLeft >= 0 && origin.x - kLeft + kWidth <= width && origin.y >= 0 &&
               origin.y + kHeight <= height;
    }

  private:
    static constexpr int kLeft = 9;
    static constexpr int kWidth = kLeft + 17;
    static constexpr int kHeight = 16;
    struct Pixel {
        std::ptrdiff_t offset;
        std::uint32_t word;
    };
    std::vector<Pixel> pixels_;
};

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
    // Every cell raised, drawn one after another so that a cell's edges cover those
    // of the cells before it: each cell's edges are the same pixels at its own
    // origin, worked out once.
    const CellStamp stamp(pic.width());
    core::forEachCell(side, [&](core::CellPos cell) {
        const PixelPos origin = cellOrigin(cell);
        if (!CellStamp::fits(origin, pic.width(), pic.height())) {
            throw std::logic_error("a cell lies outside the board picture");
        }
        stamp.drawAt(pic, origin);
    });
    return pic;
}

Picture makeHitTestMap(int side) {
    core::requireValidSide(side);
    Picture pic(core::mapWidth(side), core::mapHeight(side), rgb(0, 0, 0));
    // Each pixel in the colour of the cell that the game's own hit test answers
    // for it, so that the map shows that test and not a second drawing of the cells.
    std::uint32_t* pixel = pic.data();
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x, ++pixel) {
            if (const std::optional<core::CellPos> cell = core::cellAtMapPoint(side, x, y)) {
                *pixel = 0xFF000000u | (cell->c % 2 == 0 ? rgb(255, 0, 0) : rgb(0, 0, 255));
            }
        }
    }
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
