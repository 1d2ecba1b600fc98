#include "shell/window_placement.h"

#include <algorithm>
#include <cmath>

namespace quorvel::shell {

namespace {

// No stored value, however large, may overflow a screen coordinate.
constexpr double kLimit = 1000000;

QPoint wholePixels(QPointF position) {
    const auto whole = [](double v) {
        return static_cast<int>(std::floor(std::clamp(v, -kLimit, kLimit)));
    };
    return {whole(position.x()), whole(position.y())};
}

}  // namespace

WindowPlacement placeWindow(QPointF stored, const Screens& screens) {
    WindowPlacement placement{stored, std::nullopt};
    if (screens.platformPlaces) {
        return placement;
    }
    QPoint at = wholePixels(stored);
    const QRect titleBar(at, QSize(screens.frameWidth, 24));
    const bool reachable =
        std::any_of(screens.available.begin(), screens.available.end(),
                    [&](const QRect& screen) { return screen.intersects(titleBar); });
    if (!reachable) {
        placement.read = screens.centred;
        at = wholePixels(screens.centred);
    }
    placement.at = at;
    return placement;
}

QPointF positionToStore(const std::optional<WindowPlacement>& placement, QPoint now) {
    // Screen pixels are whole, the stored values need not be.
    if (placement && (!placement->at || now == *placement->at)) {
        return placement->read;
    }
    return QPointF(now);
}

}  // namespace quorvel::shell
