#pragma once
// Screenshots and window grabs (QImage) compared with the pictures render/ makes.

#include <QImage>
#include <sstream>
#include <string>

#include "render/picture.h"

namespace quorvel::support {

// Compares the pixels of `shot` at (x, y) with the whole of `want`. Empty when
// they agree, otherwise how many differ and where the first one is.
inline std::string compareArea(const QImage& shot, int x, int y, const render::Picture& want) {
    if (x < 0 || y < 0 || x + want.width() > shot.width() || y + want.height() > shot.height()) {
        std::ostringstream out;
        out << want.width() << "x" << want.height() << " at (" << x << ", " << y
            << ") does not fit into the " << shot.width() << "x" << shot.height() << " image";
        return out.str();
    }
    int differing = 0;
    std::ostringstream first;
    for (int py = 0; py < want.height(); ++py) {
        for (int px = 0; px < want.width(); ++px) {
            const unsigned got = shot.pixel(x + px, y + py) & 0xFFFFFFu;
            const auto expected = static_cast<unsigned>(want.at(px, py));
            if (got != expected) {
                if (differing == 0) {
                    first << "first at (" << px << ", " << py << "): got #" << std::hex << got
                          << ", want #" << expected;
                }
                ++differing;
            }
        }
    }
    if (differing == 0) {
        return {};
    }
    std::ostringstream out;
    out << differing << " of " << want.width() * want.height() << " pixels differ, " << first.str();
    return out.str();
}

// Empty when `image` is exactly `want`: the same size and every pixel alike.
inline std::string compareWhole(const QImage& image, const render::Picture& want) {
    if (image.width() != want.width() || image.height() != want.height()) {
        std::ostringstream out;
        out << "the image is " << image.width() << "x" << image.height() << ", the picture "
            << want.width() << "x" << want.height();
        return out.str();
    }
    return compareArea(image, 0, 0, want);
}

// A whole image as a picture, for comparing two screenshots.
inline render::Picture toPicture(const QImage& image) {
    render::Picture picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            picture.set(x, y, image.pixel(x, y) & 0xFFFFFFu);
        }
    }
    return picture;
}

}  // namespace quorvel::support
