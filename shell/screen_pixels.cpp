#include "shell/screen_pixels.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/geometry.h"

namespace quorvel::shell::pixels {

int windowPixelAt(int device, double ratio) {
    return core::wholePixel((device + 0.5) / ratio);
}

int firstDevicePixel(int pixel, double ratio) {
    // The estimate shows a pixel left of `pixel`: its centre, floor(pixel x ratio)
    // - 0.5 device pixels, lies below pixel x ratio. The rule walks on from there
    // to the first device pixel that shows `pixel` or one after it.
    int device = static_cast<int>(std::floor(pixel * ratio)) - 1;
    while (windowPixelAt(device, ratio) < pixel) {
        ++device;
    }
    return device;
}

double devicePixelUnder(double position, double ratio) {
    // The platform divides a whole device pixel by the factor; multiplied back it
    // may come out a hair below that pixel's edge.
    return std::floor(position * ratio + 1.0e-6);
}

double pointerPixelCentre(double position, double ratio) {
    return (devicePixelUnder(position, ratio) + 0.5) / ratio;
}

namespace {

// For each device pixel from `first` on, the image column (or row) it shows;
// `origin` is the window pixel of the image's first column. A device pixel just
// beside the image shows its edge: Qt may leave a device pixel that lies half on
// a widget and half on its parent to the widget alone.
std::vector<int> sourceIndices(int first, int count, int origin, int size, double ratio) {
    std::vector<int> indices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        indices[static_cast<std::size_t>(i)] =
            std::clamp(windowPixelAt(first + i, ratio) - origin, 0, size - 1);
    }
    return indices;
}

// The device pixels that show window pixels `from` .. `from + count - 1` by the
// rule; where the run ends at the widget's edge, every device pixel that the
// widget touches at all there, and one more.
std::pair<int, int> devicePixels(int from, int count, int widgetFrom, int widgetCount,
                                 double ratio) {
    int first = firstDevicePixel(from, ratio);
    int end = firstDevicePixel(from + count, ratio);
    if (from == widgetFrom) {
        first = std::min(first, static_cast<int>(std::floor(from * ratio)) - 1);
    }
    if (from + count == widgetFrom + widgetCount) {
        end = std::max(end, static_cast<int>(std::ceil((from + count) * ratio)) + 1);
    }
    return {first, end - first};
}

// A scaled painter's factor, and where its origin stands in the window in whole
// window pixels.
struct PainterPlace {
    double ratio;
    QPoint origin;

    explicit PainterPlace(const QPainter& painter)
        : ratio(painter.deviceTransform().m11()),
          origin(static_cast<int>(std::lround(painter.deviceTransform().dx() / ratio)),
                 static_cast<int>(std::lround(painter.deviceTransform().dy() / ratio))) {}

    // Device pixel (x, y) of the window in the painter's coordinates.
    QPointF fromDevice(int x, int y) const {
        return {x / ratio - origin.x(), y / ratio - origin.y()};
    }
};

}  // namespace

void paintByRule(QPainter& painter, const QImage& image, QPoint at, const QRect& area) {
    const QRect part = area.intersected(QRect(at, image.size()));
    if (part.isEmpty()) {
        return;
    }
    const PainterPlace place(painter);
    const double ratio = place.ratio;
    const QPoint origin = place.origin;
    const QRect inWindow = part.translated(origin);
    const QRect widget = painter.window().translated(origin);
    const auto [left, width] =
        devicePixels(inWindow.left(), inWindow.width(), widget.left(), widget.width(), ratio);
    const auto [top, height] =
        devicePixels(inWindow.top(), inWindow.height(), widget.top(), widget.height(), ratio);
    const QPoint imageOrigin = at + origin;
    const std::vector<int> columns =
        sourceIndices(left, width, imageOrigin.x(), image.width(), ratio);
    const std::vector<int> rows =
        sourceIndices(top, height, imageOrigin.y(), image.height(), ratio);

    QImage scaled(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(image.constScanLine(rows[static_cast<std::size_t>(y)]));
        auto* to = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < width; ++x) {
            to[x] = from[columns[static_cast<std::size_t>(x)]];
        }
    }
    // One image pixel to one device pixel, from a whole device pixel on.
    scaled.setDevicePixelRatio(ratio);
    painter.drawImage(place.fromDevice(left, top), scaled);
}

void fillByRule(QPainter& painter, const QRect& rect, const QColor& colour) {
    const PainterPlace place(painter);
    const QRect inWindow = rect.translated(place.origin);
    const int left = firstDevicePixel(inWindow.left(), place.ratio);
    const int right = firstDevicePixel(inWindow.right() + 1, place.ratio);
    const int top = firstDevicePixel(inWindow.top(), place.ratio);
    const int bottom = firstDevicePixel(inWindow.bottom() + 1, place.ratio);
    // Whole device pixels, written in the painter's coordinates.
    painter.fillRect(QRectF(place.fromDevice(left, top), place.fromDevice(right, bottom)), colour);
}

}  // namespace quorvel::shell::pixels
