#include "render/panel_pictures.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "render/board_pictures.h"
#include "render/primitives.h"

namespace quorvel::render {

namespace {

constexpr Rgb kBackground = grey(192);
constexpr Rgb kDark = grey(128);
constexpr Rgb kWhite = grey(255);

// A horizontal run of one row of a segment: row y, x from x0 to x1.
struct Span {
    int y, x0, x1;
};
// A segment, as its rows. Unlit, the top, middle and bottom segments are dotted
// on even x + y, the side segments on odd x + y.
struct Segment {
    std::array<Span, 9> rows;
    int count;
    bool horizontal;
};

constexpr Segment across(int y, int lo, int hi, int growth) {
    // Three rows; `growth` = +1 widens downwards (top), -1 upwards (bottom), 0 for
    // the middle's narrow-wide-narrow.
    if (growth == 0) {
        return {{{{y, lo + 1, hi - 1}, {y + 1, lo, hi}, {y + 2, lo + 1, hi - 1}}}, 3, true};
    }
    if (growth > 0) {
        return {{{{y, lo, hi}, {y + 1, lo + 1, hi - 1}, {y + 2, lo + 2, hi - 2}}}, 3, true};
    }
    return {{{{y, lo + 2, hi - 2}, {y + 1, lo + 1, hi - 1}, {y + 2, lo, hi}}}, 3, true};
}

// A side segment of nine rows from row `top`: one pixel at the outer column, then
// two, five rows of three, two and one again, growing inwards from `outer` in the
// direction `inward` (+1 on the left, -1 on the right).
constexpr Segment upright(int top, int outer, int inward) {
    const int two = outer + inward;
    const int three = outer + 2 * inward;
    const int lo2 = std::min(outer, two);
    const int hi2 = std::max(outer, two);
    const int lo3 = std::min(outer, three);
    const int hi3 = std::max(outer, three);
    return {{{{top, outer, outer},
              {top + 1, lo2, hi2},
              {top + 2, lo3, hi3},
              {top + 3, lo3, hi3},
              {top + 4, lo3, hi3},
              {top + 5, lo3, hi3},
              {top + 6, lo3, hi3},
              {top + 7, lo2, hi2},
              {top + 8, outer, outer}}},
            9,
            false};
}

// Top, upper left, upper right, middle, lower left, lower right, bottom. No two
// segments share a pixel.
constexpr Segment kSegments[7] = {across(1, 2, 10, 1),  upright(2, 1, 1),  upright(2, 11, -1),
                                  across(10, 2, 10, 0), upright(12, 1, 1), upright(12, 11, -1),
                                  across(19, 2, 10, -1)};

// Which segments are lit, bit 0 = top, 1 = upper left, 2 = upper right,
// 3 = middle, 4 = lower left, 5 = lower right, 6 = bottom.
constexpr unsigned kLit[11] = {
    0b1110111,  // 0: all but the middle
    0b0100100,  // 1: the two right ones
    0b1011101,  // 2
    0b1101101,  // 3
    0b0101110,  // 4
    0b1101011,  // 5
    0b1111011,  // 6: all but the upper right
    0b0100101,  // 7
    0b1111111,  // 8
    0b1101111,  // 9: all but the lower left
    0b0001000,  // minus: the middle only
};

void paintSegment(Picture& pic, const Segment& s, bool lit) {
    const Rgb on = rgb(255, 0, 0);
    const Rgb dotted = rgb(128, 0, 0);
    for (int i = 0; i < s.count; ++i) {
        const Span& row = s.rows[i];
        for (int x = row.x0; x <= row.x1; ++x) {
            if (lit) {
                pic.set(x, row.y, on);
            } else if (((x + row.y) % 2 == 0) == s.horizontal) {
                pic.set(x, row.y, dotted);
            }
        }
    }
}

Picture makeBox(int width, int height) {
    Picture pic(width, height, kBackground);
    filledBox(pic, 1, 1, width - 2, height - 2, rgb(0, 0, 0));
    drawSunkenFrame(pic, 1);
    return pic;
}

}  // namespace

Picture makeDigitPicture(int index) {
    if (index < 0 || index > 10) {
        throw std::out_of_range("no digit picture " + std::to_string(index));
    }
    Picture pic(13, 23, rgb(0, 0, 0));
    for (int s = 0; s < 7; ++s) {
        paintSegment(pic, kSegments[s], (kLit[index] >> s) & 1u);
    }
    return pic;
}

Picture makePanelPicture(int width) {
    Picture pic(width, 37, kBackground);
    drawSunkenFrame(pic, 2);
    return pic;
}

Picture makePanelPicture() {
    return makePanelPicture(350);
}

Picture makePanelEdgePicture() {
    const Picture panel = makePanelPicture();
    Picture pic(2, 37, kBackground);
    pic.blit(panel, 2 - panel.width(), 0);
    return pic;
}

Picture makeRightEdgePicture() {
    Picture pic(4, 434, kDark);
    // Rows 0..2: white left of x = 3 - y, the background grey at it.
    for (int y = 0; y <= 2; ++y) {
        if (3 - y > 0) {
            segment(pic, 0, y, 2 - y, y, kWhite);
        }
        pixel(pic, 3 - y, y, kBackground);
    }
    segment(pic, 0, 3, 0, 433, kBackground);
    return pic;
}

Picture makeBottomEdgePicture() {
    Picture pic(463, 3, kDark);
    for (int y = 0; y <= 2; ++y) {
        if (2 - y > 0) {
            segment(pic, 0, y, 1 - y, y, kWhite);
        }
        pixel(pic, 2 - y, y, kBackground);
    }
    return pic;
}

std::array<FilledArea, 3> backgroundAreas(int width, int height) {
    return {{{0, 0, width - 1, height - 1, kBackground},
             {0, 0, width - 1, 2, kWhite},
             {0, 0, 2, height - 1, kWhite}}};
}

Picture makeBackgroundPicture() {
    Picture pic(463, 434, kBackground);
    for (const FilledArea& area : backgroundAreas(pic.width(), pic.height())) {
        filledBox(pic, area.left, area.top, area.right, area.bottom, area.colour);
    }
    return pic;
}

Picture makeCounterBoxPicture() {
    return makeBox(28, 25);
}
Picture makeClockBoxPicture() {
    return makeBox(41, 25);
}

const Picture& digitPicture(int index) {
    if (index < 0 || index > 10) {
        throw std::out_of_range("no digit picture " + std::to_string(index));
    }
    // Each digit is built when it is first shown.
    static std::mutex mutex;
    static auto& digits = *new std::array<std::unique_ptr<const Picture>, 11>{};
    const std::lock_guard lock(mutex);
    auto& slot = digits[static_cast<std::size_t>(index)];
    if (!slot) {
        slot = std::make_unique<const Picture>(makeDigitPicture(index));
    }
    return *slot;
}

// Each fixed picture is built from its rule on first use and kept for the run. Like
// every picture render/ keeps, it is never destroyed: the program ends without
// freeing them one by one.
const Picture& panelPicture() {
    static const Picture& pic = *new Picture(makePanelPicture());
    return pic;
}
const Picture& panelEdgePicture() {
    static const Picture& pic = *new Picture(makePanelEdgePicture());
    return pic;
}
const Picture& rightEdgePicture() {
    static const Picture& pic = *new Picture(makeRightEdgePicture());
    return pic;
}
const Picture& bottomEdgePicture() {
    static const Picture& pic = *new Picture(makeBottomEdgePicture());
    return pic;
}
const Picture& backgroundPicture() {
    static const Picture& pic = *new Picture(makeBackgroundPicture());
    return pic;
}
const Picture& counterBoxPicture() {
    static const Picture& pic = *new Picture(makeCounterBoxPicture());
    return pic;
}
const Picture& clockBoxPicture() {
    static const Picture& pic = *new Picture(makeClockBoxPicture());
    return pic;
}

}  // namespace quorvel::render
