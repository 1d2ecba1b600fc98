#include "render/picture.h"

#include <algorithm>
#include <stdexcept>

namespace quorvel::render {

Picture::Picture(int width, int height, Rgb background)
    : width_(width), height_(height), background_(background & 0xFFFFFFu) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("a picture cannot have a negative size");
    }
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                   kOpaque | background_);
}

void Picture::clear() {
    std::fill(pixels_.begin(), pixels_.end(), kOpaque | background_);
}

void Picture::blit(const Picture& source, int x, int y) {
    // Clip the source rectangle against this picture in 64 bits, so that no
    // position, however far off, can overflow.
    const long long left = std::max<long long>(0, x);
    const long long top = std::max<long long>(0, y);
    const long long right = std::min<long long>(width_, static_cast<long long>(x) + source.width_);
    const long long bottom =
        std::min<long long>(height_, static_cast<long long>(y) + source.height_);
    if (left >= right || top >= bottom) {
        return;
    }
    const auto count = static_cast<std::size_t>(right - left);
    for (long long row = top; row < bottom; ++row) {
        const std::uint32_t* from = source.pixels_.data() +
                                    static_cast<std::size_t>(row - y) * source.width_ +
                                    static_cast<std::size_t>(left - x);
        std::uint32_t* to = pixels_.data() + static_cast<std::size_t>(row) * width_ +
                            static_cast<std::size_t>(left);
        std::copy_n(from, count, to);
    }
}

}  // namespace quorvel::render
