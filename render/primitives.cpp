#include "render/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace quorvel::render {

namespace {

using i64 = std::int64_t;
// Clipping bounds of a line multiply two 33-bit quantities; they are worked out
// in 128 bits once per line, never inside the pixel loop.
__extension__ typedef __int128 i128;

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t word(Rgb colour) {
    return kOpaque | (colour & 0xFFFFFFu);
}

// Row y from x = a to x = b (a <= b), clipped.
void hSpan(Picture& pic, i64 y, i64 a, i64 b, std::uint32_t w) {
    if (y < 0 || y >= pic.height()) {
        return;
    }
    a = std::max<i64>(a, 0);
    b = std::min<i64>(b, pic.width() - 1);
    if (a > b) {
        return;
    }
    std::fill_n(pic.data() + y * pic.width() + a, b - a + 1, w);
}

// Column x from y = a to y = b (a <= b), clipped.
void vSpan(Picture& pic, i64 x, i64 a, i64 b, std::uint32_t w) {
    if (x < 0 || x >= pic.width()) {
        return;
    }
    a = std::max<i64>(a, 0);
    b = std::min<i64>(b, pic.height() - 1);
    const i64 stride = pic.width();
    std::uint32_t* p = pic.data() + a * stride + x;
    for (i64 y = a; y <= b; ++y, p += stride) {
        *p = w;
    }
}

i128 ceilDiv(i128 num, i128 den) {
    return num >= 0 ? (num + den - 1) / den : -((-num) / den);
}
i128 floorDiv(i128 num, i128 den) {
    return num >= 0 ? num / den : -((-num + den - 1) / den);
}

// Rounds half down (ties towards zero for the positive values used here); the
// small margin makes a value that is a tie in exact arithmetic but lands a hair
// above it in floating point round down as well.
i64 roundHalfDown(double v) {
    return static_cast<i64>(std::ceil(v - 0.5 - 1e-9));
}

}  // namespace

// Integer Bresenham. The longer axis ("major", x when |dx| = |dy|) advances by one
// pixel per step; at step i (0 <= i < n, n = major length, a = minor length) the
// minor axis has moved
//     m(i) = floor((2·i·a + n − 1) / (2n)),
// the exact offset i·a/n rounded to the nearest whole pixel, where an exact
// half-pixel tie keeps the minor coordinate of the previous pixel (rounds
// towards the start point): (0, 0) -> (4, 1) draws (0, 0), (1, 0), (2, 0), (3, 1).
// This is the textbook decision "step when d > 0". The end point (i = n) is never
// drawn, so a line from a point to itself draws nothing. The range of steps that
// land inside the picture is worked out once; the loop then only adds.
namespace {

// A line seen along its major axis: n steps there, a steps on the minor axis.
struct LineAxes {
    i64 n;
    i64 a;
    i64 major0;
    i64 minor0;
    i64 majorSign;
    i64 minorSign;
    i64 majorSize;
    i64 minorSize;
};

// The range of steps [first, last] whose pixels lie inside the picture, or
// nothing when none does. A pixel's minor offset m(i) only grows with i, so the
// steps inside on the minor axis are a range too.
std::optional<std::pair<i64, i64>> stepsInside(const LineAxes& l) {
    // Steps whose major coordinate is inside.
    i64 lo = l.majorSign > 0 ? -l.major0 : l.major0 - (l.majorSize - 1);
    i64 hi = l.majorSign > 0 ? l.majorSize - 1 - l.major0 : l.major0;
    // Minor offsets m that are inside.
    i64 kLo = l.minorSign > 0 ? -l.minor0 : l.minor0 - (l.minorSize - 1);
    const i64 kHi = l.minorSign > 0 ? l.minorSize - 1 - l.minor0 : l.minor0;
    kLo = std::max<i64>(kLo, 0);
    if (kLo > kHi) {
        return std::nullopt;
    }
    if (l.a == 0) {
        if (kLo > 0) {
            return std::nullopt;
        }
    } else {
        // m(i) >= kLo  <=>  i >= (2n·kLo − n + 1) / 2a;  m(i) <= kHi  <=>  i <= (2n·kHi + n) / 2a.
        const i128 twoA = static_cast<i128>(2) * l.a;
        const i128 minLo = ceilDiv(static_cast<i128>(2) * l.n * kLo - l.n + 1, twoA);
        const i128 maxHi = floorDiv(static_cast<i128>(2) * l.n * kHi + l.n, twoA);
        lo = static_cast<i64>(std::max<i128>(lo, std::max<i128>(minLo, 0)));
        hi = static_cast<i64>(std::min<i128>(hi, std::min<i128>(maxHi, l.n - 1)));
    }
    const i64 first = std::max<i64>(lo, 0);
    const i64 last = std::min<i64>(hi, l.n - 1);
    if (first > last) {
        return std::nullopt;
    }
    return std::pair{first, last};
}

}  // namespace

void line(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour) {
    const i64 width = pic.width();
    const i64 height = pic.height();
    const i64 dx = static_cast<i64>(x1) - x0;
    const i64 dy = static_cast<i64>(y1) - y0;
    if (width <= 0 || height <= 0 || (dx == 0 && dy == 0)) {
        return;
    }
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const LineAxes l{xMajor ? std::abs(dx) : std::abs(dy),
                     xMajor ? std::abs(dy) : std::abs(dx),
                     xMajor ? x0 : y0,
                     xMajor ? y0 : x0,
                     (xMajor ? dx : dy) < 0 ? -1 : 1,
                     (xMajor ? dy : dx) < 0 ? -1 : 1,
                     xMajor ? width : height,
                     xMajor ? height : width};
    const i64 n = l.n;
    const i64 a = l.a;

    const bool startInside = x0 >= 0 && x0 < width && y0 >= 0 && y0 < height;
    const bool endInside = x1 >= 0 && x1 < width && y1 >= 0 && y1 < height;
    const auto inside =
        startInside && endInside ? std::optional(std::pair<i64, i64>{0, n - 1}) : stepsInside(l);
    if (!inside) {
        return;
    }
    const auto [first, last] = *inside;

    // State at step `first`: e = 2·i·a + n − 1 − 2n·m, kept in 0 <= e < 2n.
    i64 m = 0;
    i64 e = n - 1;
    if (first > 0) {
        const i128 num = static_cast<i128>(2) * first * a + n - 1;
        m = static_cast<i64>(num / (static_cast<i128>(2) * n));
        e = static_cast<i64>(num - static_cast<i128>(2) * n * m);
    }
    const i64 twoN = 2 * n;
    const i64 twoA = 2 * a;

    const i64 x = xMajor ? l.major0 + l.majorSign * first : l.minor0 + l.minorSign * m;
    const i64 y = xMajor ? l.minor0 + l.minorSign * m : l.major0 + l.majorSign * first;
    const i64 majorStep = xMajor ? l.majorSign : l.majorSign * width;
    const i64 minorStep = xMajor ? l.minorSign * width : l.minorSign;
    std::uint32_t* p = pic.data() + y * width + x;
    const std::uint32_t w = word(colour);
    for (i64 i = first;; ++i) {
        *p = w;
        if (i == last) {
            break;
        }
        p += majorStep;
        e += twoA;
        if (e >= twoN) {
            e -= twoN;
            p += minorStep;
        }
    }
}

void boxOutline(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour) {
    const i64 left = std::min(x0, x1);
    const i64 right = std::max(x0, x1);
    const i64 top = std::min(y0, y1);
    const i64 bottom = std::max(y0, y1);
    const std::uint32_t w = word(colour);
    hSpan(pic, top, left, right, w);
    if (bottom != top) {
        hSpan(pic, bottom, left, right, w);
    }
    if (bottom - top >= 2) {
        vSpan(pic, left, top + 1, bottom - 1, w);
        if (right != left) {
            vSpan(pic, right, top + 1, bottom - 1, w);
        }
    }
}

void segment(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour) {
    boxOutline(pic, x0, y0, x1, y1, colour);
}

void filledBox(Picture& pic, int x0, int y0, int x1, int y1, Rgb colour) {
    const i64 left = std::max<i64>(std::min(x0, x1), 0);
    const i64 right = std::min<i64>(std::max(x0, x1), pic.width() - 1);
    const i64 top = std::max<i64>(std::min(y0, y1), 0);
    const i64 bottom = std::min<i64>(std::max(y0, y1), pic.height() - 1);
    if (left > right || top > bottom) {
        return;
    }
    const std::uint32_t w = word(colour);
    const i64 stride = pic.width();
    std::uint32_t* row = pic.data() + top * stride + left;
    for (i64 y = top; y <= bottom; ++y, row += stride) {
        std::fill_n(row, right - left + 1, w);
    }
}

void pixel(Picture& pic, int x, int y, Rgb colour) {
    pic.set(x, y, colour);
}

// Outline ellipse, sampled from its equation in both directions and mirrored into
// the four quadrants. With dx, dy the offsets from the centre:
//  - for every column dx = 0 .. floor(rx): the pixels (±dx, ±Y(dx)) with
//    Y(dx) = ry·sqrt(1 − dx²/rx²) (Y(0) = ry);
//  - for every row dy = 0 .. floor(ry): the pixels (±X(dy), ±dy) with
//    X(dy) = rx·sqrt(1 − dy²/ry²) (X(0) = rx);
// each value rounded to the nearest whole pixel with halves rounded down. Walking
// both directions closes the gaps that one direction alone leaves where the curve
// is steep. So radius 1 is the 4-pixel diamond around the centre, radius 1.5 the
// ring of the 8 neighbours, radius 2 a 12-pixel ring inside the 5 x 5 square
// without its corners. Negative or NaN radii draw nothing.
void ellipse(Picture& pic, int cx, int cy, double rx, double ry, Rgb colour) {
    const i64 width = pic.width();
    const i64 height = pic.height();
    if (!(rx >= 0.0) || !(ry >= 0.0) || width <= 0 || height <= 0) {
        return;
    }
    // Far beyond any picture; keeps every offset well inside 64 bits.
    constexpr double kFar = 8e9;
    rx = std::min(rx, kFar);
    ry = std::min(ry, kFar);
    const i64 spanX = static_cast<i64>(std::floor(rx));
    const i64 spanY = static_cast<i64>(std::floor(ry));
    const std::uint32_t w = word(colour);
    std::uint32_t* const data = pic.data();
    auto put = [&](i64 x, i64 y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            data[y * width + x] = w;
        }
    };
    auto yOf = [&](i64 dx) {
        if (dx == 0) {
            return roundHalfDown(ry);
        }
        const double t = static_cast<double>(dx) / rx;
        return roundHalfDown(ry * std::sqrt(std::max(0.0, 1.0 - t * t)));
    };
    auto xOf = [&](i64 dy) {
        if (dy == 0) {
            return roundHalfDown(rx);
        }
        const double t = static_cast<double>(dy) / ry;
        return roundHalfDown(rx * std::sqrt(std::max(0.0, 1.0 - t * t)));
    };
    // Only the columns (rows) whose mirrored x (y) can be inside are visited:
    // offsets d with c + d inside, then those with c − d inside.
    for (int side = 1; side >= -1; side -= 2) {
        i64 lo = side > 0 ? -static_cast<i64>(cx) : cx - (width - 1);
        i64 hi = side > 0 ? width - 1 - cx : cx;
        lo = std::max<i64>(lo, 0);
        hi = std::min<i64>(hi, spanX);
        for (i64 dx = lo; dx <= hi; ++dx) {
            const i64 dy = yOf(dx);
            put(cx + side * dx, cy + dy);
            put(cx + side * dx, cy - dy);
        }
        lo = side > 0 ? -static_cast<i64>(cy) : cy - (height - 1);
        hi = side > 0 ? height - 1 - cy : cy;
        lo = std::max<i64>(lo, 0);
        hi = std::min<i64>(hi, spanY);
        for (i64 dy = lo; dy <= hi; ++dy) {
            const i64 dx = xOf(dy);
            put(cx + dx, cy + side * dy);
            put(cx - dx, cy + side * dy);
        }
    }
}

}  // namespace quorvel::render
