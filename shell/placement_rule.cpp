#include "shell/placement_rule.h"

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

QPointF centredOn(const QRect& area, QSize size) {
    return {area.x() + (area.width() - size.width()) / 2.0,
            area.y() + (area.height() - size.height()) / 2.0};
}

bool isReachable(QPoint at, QSize size, const QList<QRect>& available) {
    const QRect window(at, size);
    return std::any_of(available.begin(), available.end(), [&](const QRect& area) {
        const QRect shown = area.intersected(window);
        return window.top() >= area.top() && 2 * shown.width() >= window.width() &&
               2 * shown.height() >= window.height() && !shown.isEmpty();
    });
}

WindowPlacement placeWindow(QPointF stored, QSize size, const Screens& screens) {
    WindowPlacement placement{stored, std::nullopt};
    if (screens.platformPlaces) {
        return placement;
    }
    QPoint at = wholePixels(stored);
    if (!isReachable(at, size, screens.available)) {
        placement.read = centredOn(screens.primary, size);
        at = wholePixels(placement.read);
    }
    placement.at = at;
    return placement;
}

std::optional<WindowPlacement> placeFramed(const WindowPlacement& placement, QSize framed,
                                           const Screens& screens) {
    if (screens.platformPlaces || !placement.at ||
        isReachable(*placement.at, framed, screens.available)) {
        return std::nullopt;
    }
    const QPointF centre = centredOn(screens.primary, framed);
    return WindowPlacement{centre, wholePixels(centre)};
}

QPointF positionToStore(const std::optional<WindowPlacement>& placement, QPoint now) {
    // Screen pixels are whole, the stored values need not be.
    if (placement && (!placement->at || now == *placement->at)) {
        return placement->read;
    }
    return QPointF(now);
}

}  // namespace quorvel::shell
