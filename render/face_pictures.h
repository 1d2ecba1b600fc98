#pragma once
// The face button's pictures (32 x 26): outline, bevel and the fifteen faces; the
// hit mask; the window icon.

#include "core/game_view.h"
#include "render/picture.h"

namespace quorvel::render {

// Face kind of face set 0, 1 or 2.
const Picture& facePicture(core::Face face, int faceSet);
// White inside the hexagon, black outside.
const Picture& buttonMaskPicture();
// 16 or 32 pixels square (other sizes are scaled up from 32 by whole pixels).
const Picture& iconPicture(int size);

}  // namespace quorvel::render
