#pragma once
// The board picture and the hit-test map of each side, generated from their rules
// on first use and kept for the rest of the run.

#include "render/picture.h"

namespace quorvel::render {

// (34N-4) x (32N-10): every cell raised inside a sunken frame of thickness 3.
const Picture& boardPicture(int side);
// (34N-10) x (32N-16): cells of even columns red, odd columns blue, black elsewhere.
const Picture& hitTestMap(int side);

// The same pictures built afresh on every call (the cached ones above are built by
// these). An unsupported side throws std::invalid_argument.
Picture makeBoardPicture(int side);
Picture makeHitTestMap(int side);

// Sunken frame of thickness t drawn over a picture.
void drawSunkenFrame(Picture& pic, int thickness);

}  // namespace quorvel::render
