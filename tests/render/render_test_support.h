#pragma once
// Helpers shared by the render tests: the hexagon of a cell, colour names and
// picture comparisons.

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "render/picture.h"
#include "tests/support/cells.h"
#include "tests/support/colours.h"
#include "tests/support/face_sets.h"

namespace quorvel::render::testing {

// The colours and coloursOf of the shared support.
using namespace quorvel::support;

constexpr int colour(int r, int g, int b) {
    return (r << 16) | (g << 8) | b;
}

// Row k of the cell hexagon with outline origin (px, py) covers
// px - 1 - m .. px + 8 + m, m = min(k, 15 - k).
inline bool inHexagon(int px, int py, int x, int y) {
    const int k = y - py;
    if (k < 0 || k > 15) {
        return false;
    }
    const int m = std::min(k, 15 - k);
    return x >= px - 1 - m && x <= px + 8 + m;
}

// Every pixel where two pictures of the same size differ (rows compared whole
// first, since most differences are small).
inline std::vector<std::pair<int, int>> differences(const Picture& a, const Picture& b) {
    std::vector<std::pair<int, int>> out;
    const int w = a.width();
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = a.data() + static_cast<std::size_t>(y) * w;
        const auto* rb = b.data() + static_cast<std::size_t>(y) * w;
        if (std::equal(ra, ra + w, rb)) {
            continue;
        }
        for (int x = 0; x < w; ++x) {
            if (ra[x] != rb[x]) {
                out.emplace_back(x, y);
            }
        }
    }
    return out;
}

// Pixels of `pic` that have colour c.
inline int countColour(const Picture& pic, int c) {
    int n = 0;
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            n += pic.at(x, y) == c;
        }
    }
    return n;
}

// Whether pixel (x, y) of a w x h picture belongs to a sunken frame of thickness t,
// and in which colour: dark grey 128, white, or -1 for "not part of the frame".
// Corners where the dark and the white sides meet belong to neither.
inline int sunkenFrameColour(int w, int h, int t, int x, int y) {
    for (int k = 0; k < t; ++k) {
        if ((y == k && x <= w - 2 - k) || (x == k && y <= h - 2 - k)) {
            return kGrey128;
        }
        if ((y == h - 1 - k && x >= k + 1) || (x == w - 1 - k && y >= k + 1)) {
            return kWhite;
        }
    }
    return -1;
}

}  // namespace quorvel::render::testing
