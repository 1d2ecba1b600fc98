#pragma once
// Colours as the pictures store them (0xRRGGBB, read back with Picture::at), and
// the colours a picture uses.

#include <set>

#include "render/picture.h"

namespace quorvel::support {

inline constexpr int kWhite = 0xFFFFFF;
inline constexpr int kBlack = 0x000000;
inline constexpr int kGrey192 = 0xC0C0C0;
inline constexpr int kGrey128 = 0x808080;
inline constexpr int kGrey127 = 0x7F7F7F;
inline constexpr int kGrey159 = 0x9F9F9F;
inline constexpr int kGrey191 = 0xBFBFBF;
inline constexpr int kGrey63 = 0x3F3F3F;

// The sixteen standard colours, the only ones the faces and the icon may use.
inline const std::set<int> kSixteenColours = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

inline std::set<int> coloursOf(const render::Picture& pic) {
    std::set<int> out;
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            out.insert(pic.at(x, y));
        }
    }
    return out;
}

}  // namespace quorvel::support
