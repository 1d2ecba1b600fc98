#pragma once
// Fixed pictures of the window's panel and edges, and the seven-segment digits.
// Each is generated from its rule on first use and kept; the make... functions
// build a fresh copy on every call.

#include <array>

#include "render/picture.h"

namespace quorvel::render {

// 13 x 23; index 0..9 the digits, 10 the minus sign. Any other index throws
// std::out_of_range.
const Picture& digitPicture(int index);
const Picture& panelPicture();       // 350 x 37
const Picture& panelEdgePicture();   // 2 x 37
const Picture& rightEdgePicture();   // 4 x 434
const Picture& bottomEdgePicture();  // 463 x 3
const Picture& backgroundPicture();  // 463 x 434
const Picture& counterBoxPicture();  // 28 x 25
const Picture& clockBoxPicture();    // 41 x 25

Picture makeDigitPicture(int index);
Picture makePanelPicture();
// The panel at any width: 37 pixels high with a sunken frame of thickness 2. The
// 350-pixel panel cut off two pixels short of `width` with the edge strip at its
// right end comes out the same.
Picture makePanelPicture(int width);
Picture makePanelEdgePicture();
Picture makeRightEdgePicture();
Picture makeBottomEdgePicture();
Picture makeBackgroundPicture();
Picture makeCounterBoxPicture();
Picture makeClockBoxPicture();

// A box filled with one colour, corners included.
struct FilledArea {
    int left, top, right, bottom;
    Rgb colour;
};
// The background picture's rule for a client area of width x height, as boxes
// filled in this order: grey 192, with a white band 3 pixels wide along the top
// and along the left. backgroundPicture() is this at 463 x 434.
std::array<FilledArea, 3> backgroundAreas(int width, int height);

}  // namespace quorvel::render
