#pragma once
// The face button's pictures (32 x 26): outline, bevel and the fifteen faces; the
// hit mask; the window icon.

#include "core/game_view.h"
#include "render/picture.h"

namespace quorvel::render {

// A face of a face set, built on first use and kept for the run. Throws
// std::out_of_range for a face kind that does not exist.
const Picture& facePicture(core::Face face, core::FaceSet faceSet);
// The same picture built afresh on every call (for timing the build).
Picture makeFacePicture(core::Face face, core::FaceSet faceSet);
// White inside the hexagon, black outside.
const Picture& buttonMaskPicture();
// 16 or 32 pixels square; a larger multiple of 32 is the 32-pixel icon scaled up by
// whole pixels. Throws std::out_of_range for any other size.
const Picture& iconPicture(int size);
// The same picture built afresh on every call.
Picture makeIconPicture(int size);

}  // namespace quorvel::render
