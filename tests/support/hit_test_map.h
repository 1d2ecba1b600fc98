#pragma once
// The lookup the red/blue hit-test map was designed for, the oracle of the core's
// pixel -> cell mapping and of the map render/ paints.

#include "core/geometry.h"

namespace quorvel::support {

// `colour` is the colour of pixel (x, y), 0 or less for black or off the map; even
// columns are `red`, odd ones `blue`. The colour decides whether the pixel belongs
// to the column whose 17-pixel band holds it; otherwise the place inside that band
// picks the left or right column, and the place inside the 16-pixel band the cell
// half a row up or down.
inline core::CellPos colourLookup(int colour, int red, int blue, int x, int y) {
    if (colour <= 0) {
        return {-1, -1};
    }
    const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const auto floorMod = [&](int a, int b) { return a - b * floorDiv(a, b); };
    constexpr int band = 2 * core::kHalfRowPitch;
    const int c0 = floorDiv(x, core::kColumnPitch);
    const int p = floorMod(c0, 2);
    const int t = y + core::kHalfRowPitch * (1 - p);
    const int base = 2 * floorDiv(t, band) - 1 + p;
    if (c0 >= 0 && colour == (p == 0 ? red : blue)) {
        return {c0, base};
    }
    return {floorMod(x, core::kColumnPitch) < 9 ? c0 - 1 : c0 + 1,
            floorMod(t, band) < core::kHalfRowPitch ? base - 1 : base + 1};
}

}  // namespace quorvel::support
