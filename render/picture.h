#pragma once
// A width x height RGB picture with a background colour. Pixels are stored as
// 0xFFRRGGBB words, row after row, so a toolkit can show the buffer as it is.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel::render {

// 0xRRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
    return (static_cast<Rgb>(r & 0xFF) << 16) | (static_cast<Rgb>(g & 0xFF) << 8) |
           static_cast<Rgb>(b & 0xFF);
}
// Grey RGB(v, v, v).
constexpr Rgb grey(int v) {
    return rgb(v, v, v);
}

class Picture {
  public:
    Picture() = default;
    Picture(int width, int height, Rgb background = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb background() const { return background_; }

    // Every pixel back to the background colour.
    void clear();
    // The colour at (x, y) as 0xRRGGBB, or -1 outside the picture.
    int at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return -1;
        }
        return static_cast<int>(pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu);
    }
    // Sets one pixel; ignored outside the picture.
    void set(int x, int y, Rgb colour) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return;
        }
        pixels_[static_cast<std::size_t>(y) * width_ + x] = kOpaque | (colour & 0xFFFFFFu);
    }
    // Copies `source` with its top-left corner at (x, y), clipped.
    void blit(const Picture& source, int x, int y);

    // 0xFFRRGGBB words, width() per row.
    const std::uint32_t* data() const { return pixels_.data(); }
    std::uint32_t* data() { return pixels_.data(); }
    int bytesPerLine() const { return width_ * 4; }

    friend bool operator==(const Picture&, const Picture&) = default;

  private:
    static constexpr std::uint32_t kOpaque = 0xFF000000u;

    int width_ = 0;
    int height_ = 0;
    Rgb background_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace quorvel::render
