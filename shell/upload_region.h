#pragma once
// The region in which what a move drew travels to the screen: a few rectangles,
// however many cells the move drew.

#include <QRegion>

namespace quorvel::shell {

// The toolkit sends a region to the display server one rectangle at a time (an
// X11 shared-memory put-image for each), so a move's cells, each a rectangle of
// its own, would make one request per cell.
inline constexpr int kMostUploadRects = 4;

// `drawn` itself when it has at most kMostUploadRects rectangles; else its rows of
// rectangles (each row's bounding box) merged, neighbour with neighbour, where a
// merge adds the least area that was not drawn, until kMostUploadRects remain.
// The result covers `drawn`; pixels inside it that were not drawn are sent
// unchanged, as the picture holds them.
QRegion uploadRegion(const QRegion& drawn);

}  // namespace quorvel::shell
