#pragma once
// Where the window opens for the position the settings file holds, and which
// position a later write stores.

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <optional>

namespace quorvel::shell {

struct Screens {
    // The part of each screen that windows may use.
    QList<QRect> available;
    // The window's outer width, for its title bar.
    int frameWidth = 0;
    // The top-left corner that centres the window on the primary screen.
    QPointF centred;
    // The platform places windows itself (Wayland): a program cannot.
    bool platformPlaces = false;
};

struct WindowPlacement {
    // The position as read, or the centre chosen instead of it.
    QPointF read;
    // Where the window was moved; none where the platform places windows.
    std::optional<QPoint> at;
};

// The window's top-left corner goes to the stored position, rounded down. A
// position that leaves a 24-pixel title bar on no screen (a screen no longer
// attached) could never be dragged back: the window is centred instead. Where
// the platform places windows nothing is moved and the position read is kept.
WindowPlacement placeWindow(QPointF stored, const Screens& screens);

// The position to store: while the window is where start-up put it (or where
// the platform put it), the values read, fractions included; once it has moved,
// where it is now.
QPointF positionToStore(const std::optional<WindowPlacement>& placement, QPoint now);

}  // namespace quorvel::shell
