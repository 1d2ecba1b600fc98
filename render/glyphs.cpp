#include "render/glyphs.h"

#include <span>

#include "render/cell_faces.h"
#include "render/primitives.h"

namespace quorvel::render {

namespace {

enum class Stroke { Line, Box, Filled, Pixel };

// One stroke of a glyph, offsets from the glyph's origin.
struct Step {
    Stroke kind;
    int x0, y0, x1, y1;
    Rgb colour;
};

void drawSteps(Picture& board, int px, int py, std::span<const Step> steps) {
    for (const Step& s : steps) {
        const int ax = px + s.x0;
        const int ay = py + s.y0;
        const int bx = px + s.x1;
        const int by = py + s.y1;
        switch (s.kind) {
            case Stroke::Line:
                line(board, ax, ay, bx, by, s.colour);
                break;
            case Stroke::Box:
                boxOutline(board, ax, ay, bx, by, s.colour);
                break;
            case Stroke::Filled:
                filledBox(board, ax, ay, bx, by, s.colour);
                break;
            case Stroke::Pixel:
                pixel(board, ax, ay, s.colour);
                break;
        }
    }
}

constexpr Stroke L = Stroke::Line;
constexpr Stroke B = Stroke::Box;
constexpr Stroke F = Stroke::Filled;
constexpr Stroke P = Stroke::Pixel;

// --- Numbers, style 0: straight strokes, one colour per digit.
constexpr Rgb kBlue = rgb(0, 0, 255);
constexpr Rgb kGreen = rgb(0, 127, 0);
constexpr Rgb kRed = rgb(255, 0, 0);
constexpr Rgb kNavy = rgb(0, 0, 127);
constexpr Rgb kMaroon = rgb(127, 0, 0);
constexpr Rgb kTeal = rgb(0, 127, 127);

constexpr Step kPlain1[] = {{L, 1, 11, 7, 11, kBlue},
                            {F, 3, 3, 4, 11, kBlue},
                            {L, 2, 4, 4, 4, kBlue},
                            {L, 1, 5, 4, 5, kBlue}};
constexpr Step kPlain2[] = {{L, 1, 11, 8, 11, kGreen}, {L, 1, 10, 7, 4, kGreen},
                            {L, 2, 10, 8, 4, kGreen},  {L, 2, 3, 7, 3, kGreen},
                            {L, 1, 4, 2, 4, kGreen},   {L, 6, 4, 8, 4, kGreen}};
constexpr Step kPlain3[] = {{L, 1, 11, 7, 11, kRed}, {L, 6, 3, 6, 11, kRed}, {L, 7, 7, 7, 11, kRed},
                            {L, 7, 5, 7, 3, kRed},   {L, 2, 6, 6, 6, kRed},  {L, 2, 3, 6, 3, kRed}};
constexpr Step kPlain4[] = {
    {L, 1, 8, 7, 8, kNavy}, {F, 6, 4, 7, 12, kNavy}, {F, 1, 4, 2, 8, kNavy}};
constexpr Step kPlain5[] = {{L, 1, 4, 8, 4, kMaroon},  {F, 1, 4, 2, 7, kMaroon},
                            {L, 1, 7, 6, 7, kMaroon},  {L, 6, 7, 6, 13, kMaroon},
                            {L, 7, 8, 7, 12, kMaroon}, {L, 1, 12, 7, 12, kMaroon},
                            {L, 1, 11, 3, 11, kMaroon}};
constexpr Step kPlain6[] = {{L, 1, 5, 1, 12, kTeal},  {L, 2, 4, 2, 13, kTeal},
                            {L, 2, 12, 7, 12, kTeal}, {L, 7, 8, 7, 12, kTeal},
                            {L, 6, 7, 6, 13, kTeal},  {L, 2, 7, 7, 7, kTeal},
                            {L, 3, 4, 7, 4, kTeal},   {L, 6, 5, 8, 5, kTeal}};
constexpr std::span<const Step> kPlain[] = {{},      kPlain1, kPlain2, kPlain3,
                                            kPlain4, kPlain5, kPlain6};

// --- Numbers, style 1: slanted lines, several warm colours per digit.
constexpr Step kWarm1[] = {{L, 5, 3, 4, 12, rgb(191, 0, 0)},
                           {L, 4, 3, 3, 12, rgb(127, 0, 0)},
                           {L, 3, 4, 5, 4, rgb(191, 0, 63)},
                           {L, 2, 5, 5, 5, rgb(191, 63, 0)},
                           {L, 1, 6, 4, 5, rgb(127, 0, 0)}};
constexpr Step kWarm2[] = {{L, 1, 10, 8, 11, rgb(191, 0, 0)},
                           {L, 1, 10, 7, 4, rgb(223, 127, 0)},
                           {L, 2, 10, 8, 4, rgb(127, 127, 0)},
                           {L, 2, 4, 7, 3, rgb(191, 127, 0)},
                           {L, 6, 4, 8, 4, rgb(191, 191, 0)}};
constexpr Step kWarm3[] = {{L, 1, 9, 7, 10, rgb(127, 63, 0)},  {L, 1, 10, 7, 11, rgb(191, 127, 0)},
                           {L, 6, 3, 6, 11, rgb(127, 127, 0)}, {L, 7, 7, 6, 11, rgb(191, 63, 0)},
                           {L, 7, 5, 6, 3, rgb(63, 0, 0)},     {L, 3, 6, 6, 6, rgb(63, 31, 0)},
                           {L, 1, 4, 6, 3, rgb(191, 0, 0)}};
constexpr Step kWarm4[] = {{L, 1, 9, 8, 8, rgb(127, 0, 0)},
                           {L, 5, 6, 4, 13, rgb(127, 0, 0)},
                           {L, 6, 6, 5, 13, rgb(191, 127, 0)},
                           {L, 2, 4, 1, 9, rgb(127, 127, 0)},
                           {L, 3, 4, 2, 9, rgb(191, 127, 0)}};
constexpr Step kWarm5[] = {{L, 1, 4, 8, 5, rgb(0, 0, 0)},      {L, 1, 4, 2, 7, rgb(127, 0, 0)},
                           {L, 2, 4, 3, 7, rgb(127, 0, 0)},    {L, 1, 7, 6, 7, rgb(191, 127, 0)},
                           {L, 6, 7, 6, 13, rgb(127, 0, 0)},   {L, 7, 8, 7, 12, rgb(191, 127, 0)},
                           {L, 1, 11, 7, 12, rgb(127, 0, 0)},  {L, 1, 12, 7, 12, rgb(127, 127, 0)},
                           {L, 1, 10, 3, 11, rgb(255, 255, 0)}};
constexpr Step kWarm6[] = {{L, 4, 3, 1, 12, rgb(127, 31, 0)}, {L, 3, 3, 1, 10, rgb(127, 31, 0)},
                           {L, 2, 11, 7, 9, rgb(127, 31, 0)}, {L, 1, 11, 6, 9, rgb(191, 63, 0)},
                           {L, 6, 8, 4, 7, rgb(127, 31, 0)},  {L, 5, 8, 3, 7, rgb(191, 127, 0)}};
constexpr std::span<const Step> kWarm[] = {{}, kWarm1, kWarm2, kWarm3, kWarm4, kWarm5, kWarm6};

// --- Numbers, style 2: the pips of a die on a dark cell. Bit n of the mask is set
// when the pip is drawn for the number n.
struct Pip {
    int x, y;
    unsigned numbers;
};
constexpr unsigned bits(std::initializer_list<int> ns) {
    unsigned m = 0;
    for (int n : ns) {
        m |= 1u << n;
    }
    return m;
}
constexpr Pip kPips[] = {
    {3, 7, bits({1, 3, 5})},    {1, 10, bits({3, 4, 5, 6})}, {5, 10, bits({2, 4, 5, 6})},
    {5, 4, bits({3, 4, 5, 6})}, {1, 4, bits({2, 4, 5, 6})},  {1, 7, bits({6})},
    {5, 7, bits({6})}};

void drawDie(Picture& board, int px, int py, int n) {
    // Dark grey over the whole hexagon but the rightmost pixel of each row, which
    // keeps the sunken face's right edge.
    const Rgb dark = grey(63);
    for (int i = 0; i <= 7; ++i) {
        segment(board, px - 1 - i, py + i, px + 7 + i, py + i, dark);
        segment(board, px - 1 - i, py + 15 - i, px + 7 + i, py + 15 - i, dark);
    }
    if (n < 0 || n > 6) {
        return;
    }
    for (const Pip& pip : kPips) {
        if (pip.numbers & (1u << n)) {
            drawPip(board, px + pip.x, py + pip.y);
        }
    }
}

// --- Mine: the halo colour is the only difference between the kinds.
constexpr Rgb kHaloMark = 0x1000000;  // replaced by the kind's halo colour
constexpr Step kMine[] = {{B, 4, 3, 4, 13, kHaloMark}, {B, -1, 8, 9, 8, kHaloMark},
                          {B, 3, 5, 5, 11, kHaloMark}, {B, 1, 7, 7, 9, kHaloMark},
                          {L, 1, 5, 8, 12, kHaloMark}, {L, 1, 11, 8, 4, kHaloMark},
                          {F, 2, 6, 6, 10, grey(0)},   {B, 4, 4, 4, 12, grey(0)},
                          {B, 0, 8, 8, 8, grey(0)},    {P, 3, 7, 0, 0, grey(255)}};

// --- Flags, one per face set.
constexpr Step kFlag0[] = {{B, 1, 12, 7, 12, grey(127)},    {B, 3, 11, 5, 11, grey(127)},
                           {B, 2, 12, 6, 12, grey(0)},      {B, 4, 7, 4, 12, grey(0)},
                           {F, 0, 3, 4, 6, rgb(255, 0, 0)}, {B, 4, 3, 4, 6, rgb(127, 0, 0)},
                           {B, 3, 4, 3, 6, rgb(127, 0, 0)}, {B, 2, 5, 2, 6, rgb(127, 0, 0)},
                           {P, 1, 6, 0, 0, rgb(127, 0, 0)}};
constexpr Step kFlag1[] = {
    {B, 5, 3, 4, 11, grey(0)}, {B, 0, 3, 4, 7, rgb(255, 31, 0)}, {F, 1, 4, 3, 6, rgb(255, 127, 0)}};
constexpr Step kFlag2[] = {{B, 4, 3, 5, 12, rgb(0, 63, 0)}, {F, 0, 3, 5, 7, rgb(127, 127, 0)}};

// --- Crosses: shadow S and stroke T of each face set.
struct CrossColours {
    Rgb shadow;
    Rgb stroke;
};
constexpr CrossColours kCross[] = {{rgb(127, 0, 0), rgb(255, 0, 0)},
                                   {rgb(127, 63, 0), rgb(255, 191, 0)},
                                   {rgb(0, 127, 0), rgb(0, 255, 0)}};

// Hexagon of box outlines, rows py+i and py+15-i from px-i-grow to px+7+i.
void hexGround(Picture& board, int px, int py, int grow, Rgb colour) {
    for (int i = 0; i <= 7; ++i) {
        boxOutline(board, px - i - grow, py + i, px + 7 + i, py + i, colour);
        boxOutline(board, px - i - grow, py + 15 - i, px + 7 + i, py + 15 - i, colour);
    }
}

}  // namespace

void drawNumber(Picture& board, int px, int py, int n, core::FaceSet faceSet) {
    switch (faceSet) {
        case core::FaceSet::Yellow:
            if (n >= 1 && n <= 6) {
                drawSteps(board, px, py, kPlain[n]);
            }
            break;
        case core::FaceSet::DarkRed:
            if (n == 0) {
                // A small double ring, both ellipses 1.5 times taller than wide.
                ellipse(board, px + 3, py + 7, 2.0 / 1.5, 2.0, rgb(191, 0, 0));
                ellipse(board, px + 4, py + 7, 3.0 / 1.5, 3.0, rgb(191, 127, 0));
            } else if (n >= 1 && n <= 6) {
                drawSteps(board, px, py, kWarm[n]);
            }
            break;
        case core::FaceSet::Alien:
            drawDie(board, px, py, n);
            break;
    }
}

void drawMine(Picture& board, int px, int py, bool hit) {
    const Rgb halo = hit ? rgb(127, 0, 0) : grey(127);
    if (hit) {
        hexGround(board, px, py, 0, rgb(255, 0, 0));
    }
    Step steps[std::size(kMine)];
    for (std::size_t i = 0; i < std::size(kMine); ++i) {
        steps[i] = kMine[i];
        if (steps[i].colour == kHaloMark) {
            steps[i].colour = halo;
        }
    }
    drawSteps(board, px, py, steps);
}

void drawFlag(Picture& board, int px, int py, core::FaceSet faceSet) {
    switch (faceSet) {
        case core::FaceSet::Yellow:
            drawSteps(board, px, py, kFlag0);
            break;
        case core::FaceSet::DarkRed:
            drawSteps(board, px, py, kFlag1);
            break;
        case core::FaceSet::Alien:
            drawSteps(board, px, py, kFlag2);
            // A yellow disc brightening towards its centre.
            ellipse(board, px + 2, py + 5, 2.0, 2.0, rgb(191, 191, 0));
            ellipse(board, px + 2, py + 5, 1.5, 1.5, rgb(223, 223, 0));
            ellipse(board, px + 2, py + 5, 1.0, 1.0, rgb(255, 255, 0));
            pixel(board, px + 2, py + 5, rgb(255, 255, 0));
            break;
    }
}

void drawCross(Picture& board, int px, int py, core::FaceSet faceSet) {
    const auto [s, t] = kCross[core::faceSetNumber(faceSet)];
    if (faceSet == core::FaceSet::Alien) {
        hexGround(board, px, py, 1, grey(63));
    }
    const Step lines[] = {{L, -1, 4, 7, 12, s}, {L, 0, 4, 8, 12, s},  {L, 6, 4, -2, 12, s},
                          {L, 7, 4, -1, 12, s}, {L, -1, 3, 7, 11, t}, {L, 0, 3, 8, 11, t},
                          {L, 6, 3, -2, 11, t}, {L, 7, 3, -1, 11, t}};
    drawSteps(board, px, py, lines);
}

}  // namespace quorvel::render
