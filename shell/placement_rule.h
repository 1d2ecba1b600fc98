#pragma once
// The placement rule, which decides: where the window opens for the position
// the settings file holds, and which position a later write stores. Plain
// values in and out; placed_window.h applies it to the window.

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <optional>

namespace quorvel::shell {

struct Screens {
    // The part of each monitor that windows may use.
    QList<QRect> available;
    // The primary monitor's usable part: a window is centred there.
    QRect primary;
    // The platform places windows itself (Wayland): a program cannot.
    bool platformPlaces = false;
};

struct WindowPlacement {
    // The position as read, or the centre chosen instead of it.
    QPointF read;
    // Where the window was moved; none where the platform places windows.
    std::optional<QPoint> at;
};

// The top-left corner that centres a window of `size` on `area`; a half pixel
// stays a half.
QPointF centredOn(const QRect& area, QSize size);

// Whether a player can reach and drag a window of `size` whose top-left corner
// is at `at`: on one monitor's usable area, its top edge is not above the area
// and the part of the window on the area is at least half the window's width
// wide and half its height high. One row or one column on a screen, a title bar
// above it or a window in the gap beside a smaller monitor is not reachable.
bool isReachable(QPoint at, QSize size, const QList<QRect>& available);

// The window's top-left corner goes to the stored position, rounded down. A
// window of `size` that would not be reachable there is centred on the primary
// monitor instead. Where the platform places windows nothing is moved and the
// position read is kept.
WindowPlacement placeWindow(QPointF stored, QSize size, const Screens& screens);

// Once the window manager has reported the window's frame (X11 reports it only
// after the window is shown): the window placed by `placement`, measured with its
// frame of `framed` size, whose top-left corner is where it was placed. Where the
// frame keeps it from being reachable (a title bar the client-only measure left
// out), the placement that centres the framed window on the primary monitor;
// none where it may stay, and where the platform places windows.
std::optional<WindowPlacement> placeFramed(const WindowPlacement& placement, QSize framed,
                                           const Screens& screens);

// The position to store: while the window is where start-up put it (or where
// the platform put it), the values read, fractions included; once it has moved,
// where it is now.
QPointF positionToStore(const std::optional<WindowPlacement>& placement, QPoint now);

}  // namespace quorvel::shell
