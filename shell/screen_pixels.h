#pragma once
// Which screen pixel shows which pixel of the window at a scale factor. The
// pictures are painted by this rule and a pointer's screen pixel is turned into
// a window pixel by it, so a click selects what the screen shows under the
// pointer at every factor.
//
// Device pixels are the screen's, counted from the window's top-left corner;
// window pixels are the layout's (logical) pixels. A device pixel shows the
// window pixel under its centre; a centre that lies exactly on the edge between
// two window pixels shows the one to the right of it or below it. At a whole
// factor n every window pixel is an n x n square; at 1.5 window pixels are
// alternately 1 and 2 device pixels wide, at 1.25 every fourth one is 2 wide,
// at 1.75 every fourth one is 1 wide.

class QColor;
class QImage;
class QPainter;
class QPoint;
class QRect;

namespace quorvel::shell::pixels {

// The window pixel that `device` shows, along one axis, at factor `ratio`.
int windowPixelAt(int device, double ratio);

// The first device pixel that shows window pixel `pixel` (or one after it).
int firstDevicePixel(int pixel, double ratio);

// The device pixel under a pointer at `position`, in window pixels as the
// platform reports it: a whole device pixel divided by the factor, unrounded.
// A whole number; NaN for NaN.
double devicePixelUnder(double position, double ratio);

// The centre of that device pixel, in window pixels. The game takes the window
// pixel it lies in (core::wholePixel, which also guards against far-off and NaN
// positions): the same window pixel that windowPixelAt paints there.
double pointerPixelCentre(double position, double ratio);

// Paints `image` with its top-left corner at `at` (the painter's coordinates,
// whole window pixels) by the rule above, the part in `area` only. For painters
// whose device is scaled; the painter's translation must be whole window pixels.
void paintByRule(QPainter& painter, const QImage& image, QPoint at, const QRect& area);

// Fills `rect` (the painter's coordinates, whole window pixels) by the rule above:
// every device pixel that shows one of its window pixels, and no other. For the
// same painters as paintByRule.
void fillByRule(QPainter& painter, const QRect& rect, const QColor& colour);

}  // namespace quorvel::shell::pixels
