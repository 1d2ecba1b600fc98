#include "render/face_pictures.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"

namespace quorvel::render {

// The text of resources/faces.txt and resources/icon.txt, compiled in by the
// build (stored_art.cpp is generated from them).
namespace stored_art {
std::string_view faceArtText();
std::string_view iconArtText();
}  // namespace stored_art

namespace {

constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 26;
// The face box: 17 x 17 from column 7, row 4; the pressed button shows its face
// one pixel further right and down.
constexpr int kFaceBoxLeft = 7;
constexpr int kFaceBoxTop = 4;
constexpr int kFaceBoxSize = 17;
// Rows 1 and 24 are the flat top and bottom rows of the hexagon inside the outline.
constexpr int kInsideTop = 1;
constexpr int kInsideBottom = 24;

constexpr Rgb kBackground = grey(192);
constexpr Rgb kShade = grey(128);
constexpr Rgb kWhite = grey(255);
constexpr Rgb kBlack = grey(0);

// ---------------------------------------------------------------------------
// Stored pixel art.
//
// The text holds "legend <char> <r> <g> <b> <name>" lines (or "legend <char> none"
// for a pixel that leaves what is below it), then pictures: a line
// "picture <name> <width> <height>" followed by <height> rows of <width>
// characters. '#' lines and blank lines are ignored.

struct Art {
    int width = 0;
    int height = 0;
    // 0xRRGGBB per pixel, or -1 where the art leaves the pixel alone.
    std::vector<int> pixels;
};

[[noreturn]] void badArt(int lineNumber, const std::string& what) {
    throw std::logic_error("stored pixel art, line " + std::to_string(lineNumber) + ": " + what);
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        result.push_back(line.substr(start, end - start));
        pos = end;
    }
    return result;
}

int number(std::string_view word, int lineNumber, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) {
        badArt(lineNumber, "bad number '" + std::string(word) + "'");
    }
    return value;
}

// One row of the picture being read: every character must be in the legend.
void readArtRow(std::string_view line, int lineNumber, const std::map<char, int>& legend,
                Art& art) {
    if (static_cast<int>(line.size()) != art.width) {
        badArt(lineNumber, "a row must have exactly as many characters as the width");
    }
    for (const char c : line) {
        const auto found = legend.find(c);
        if (found == legend.end()) {
            badArt(lineNumber, std::string("character '") + c + "' is not in the legend");
        }
        art.pixels.push_back(found->second);
    }
}

// "legend C none" or "legend C R G B".
void readLegendLine(const std::vector<std::string_view>& parts, int lineNumber,
                    std::map<char, int>& legend) {
    const char c = parts[1].front();
    if (parts[2] == "none") {
        legend[c] = -1;
    } else if (parts.size() >= 5) {
        legend[c] = static_cast<int>(rgb(number(parts[2], lineNumber, 0, 255),
                                         number(parts[3], lineNumber, 0, 255),
                                         number(parts[4], lineNumber, 0, 255)));
    } else {
        badArt(lineNumber, "a legend line needs a character and a colour");
    }
}

std::map<std::string, Art, std::less<>> parseArt(std::string_view text) {
    std::map<char, int> legend;
    std::map<std::string, Art, std::less<>> pictures;
    Art* current = nullptr;
    int rowsLeft = 0;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (rowsLeft > 0) {
            readArtRow(line, lineNumber, legend, *current);
            --rowsLeft;
            continue;
        }
        const std::vector<std::string_view> parts = words(line);
        if (parts.empty() || parts.front().front() == '#') {
            continue;
        }
        if (parts[0] == "legend" && parts.size() >= 3 && parts[1].size() == 1) {
            readLegendLine(parts, lineNumber, legend);
        } else if (parts[0] == "picture" && parts.size() == 4) {
            Art& art = pictures[std::string(parts[1])];
            art.width = number(parts[2], lineNumber, 1, 1024);
            art.height = number(parts[3], lineNumber, 1, 1024);
            art.pixels.clear();
            current = &art;
            rowsLeft = art.height;
        } else {
            badArt(lineNumber, "expected a legend or a picture line");
        }
    }
    if (rowsLeft > 0) {
        badArt(lineNumber, "the last picture has too few rows");
    }
    return pictures;
}

enum class ArtFile { Faces, Icon };

const Art& storedArt(ArtFile file, std::string_view name) {
    // Each text is parsed once, on first use; the maps' nodes never move.
    static const auto faces = parseArt(stored_art::faceArtText());
    static const auto icons = parseArt(stored_art::iconArtText());
    const auto& pictures = file == ArtFile::Faces ? faces : icons;
    const auto found = pictures.find(name);
    if (found == pictures.end()) {
        throw std::logic_error("stored pixel art has no picture '" + std::string(name) + "'");
    }
    return found->second;
}

// Lays the art over `pic` with its top left corner at (left, top).
void drawArt(Picture& pic, const Art& art, int left, int top) {
    for (int y = 0; y < art.height; ++y) {
        for (int x = 0; x < art.width; ++x) {
            const int colour = art.pixels[static_cast<std::size_t>(y * art.width + x)];
            if (colour >= 0) {
                pic.set(left + x, top + y, static_cast<Rgb>(colour));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The button.

// First and last column of the hexagon's inside (the mask's white) in row y.
int insideLeft(int y) {
    int x = 0;
    while (!core::faceButtonMaskAt(x, y)) {
        ++x;
    }
    return x;
}

int insideRight(int y) {
    int x = kButtonWidth - 1;
    while (!core::faceButtonMaskAt(x, y)) {
        --x;
    }
    return x;
}

// The bare button, raised or pressed, without a face.
//
// Outline: every pixel outside the hexagon that touches an inside pixel along a
// side (not only at a corner). That gives row 0 and row 25 at columns 11..20, one
// pixel per row on each slanted side (10 and 21 in row 1 ... 1 and 30 in row 10),
// and the points at columns 0 and 31 in rows 11..14.
//
// Bevel, read from the hexagon's eight runs of edge pixels inside the outline:
// the top edge is the whole first inside row (row 1, columns 11..20) and the
// bottom edge the whole last one (row 24, columns 11..20); every row between them
// gives its first inside pixel to the three left sides and its last one to the
// three right sides. So the corner pixels (20, 1) and (11, 24) belong to the flat
// edges, and each edge pixel gets exactly one colour.
// The shade line runs one pixel further in along the dark sides: on the raised
// button the row above the bottom edge (row 23, columns 11..20) and the pixel
// left of each right-side pixel in rows 2..23; it begins at (20, 2), right under
// the end of the white top edge, as the shade of a raised box begins under the
// end of its light top line. The pressed button turns this round: black along the
// top and left, its shade line in row 2 (columns 11..20) and right of each
// left-side pixel in rows 2..23, and white along the bottom and right. The
// pressed bevel is thus the raised one turned through half a circle.
Picture makeButton(bool pressed) {
    Picture pic(kButtonWidth, kButtonHeight, kBackground);
    for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
            if (!core::faceButtonMaskAt(x, y) &&
                (core::faceButtonMaskAt(x - 1, y) || core::faceButtonMaskAt(x + 1, y) ||
                 core::faceButtonMaskAt(x, y - 1) || core::faceButtonMaskAt(x, y + 1))) {
                pic.set(x, y, kShade);
            }
        }
    }

    const Rgb upperLeft = pressed ? kBlack : kWhite;
    const Rgb lowerRight = pressed ? kWhite : kBlack;
    for (int x = insideLeft(kInsideTop); x <= insideRight(kInsideTop); ++x) {
        pic.set(x, kInsideTop, upperLeft);
    }
    for (int x = insideLeft(kInsideBottom); x <= insideRight(kInsideBottom); ++x) {
        pic.set(x, kInsideBottom, lowerRight);
    }
    for (int y = kInsideTop + 1; y < kInsideBottom; ++y) {
        pic.set(insideLeft(y), y, upperLeft);
        pic.set(insideRight(y), y, lowerRight);
    }

    // The shade line inside the black line.
    const int shadeRow = pressed ? kInsideTop + 1 : kInsideBottom - 1;
    const int flatRow = pressed ? kInsideTop : kInsideBottom;
    for (int x = insideLeft(flatRow); x <= insideRight(flatRow); ++x) {
        pic.set(x, shadeRow, kShade);
    }
    for (int y = kInsideTop + 1; y < kInsideBottom; ++y) {
        pic.set(pressed ? insideLeft(y) + 1 : insideRight(y) - 1, y, kShade);
    }
    return pic;
}

const char* kindName(core::Face face) {
    switch (face) {
        case core::Face::Normal:
        case core::Face::Pressed:
            return "normal";
        case core::Face::Surprised:
            return "surprised";
        case core::Face::Dead:
            return "dead";
        case core::Face::Winner:
            return "winner";
    }
    throw std::out_of_range("no such face");
}

constexpr int kFaceKinds = 5;
constexpr int kFaceSets = 3;

void checkFace(core::Face face, int faceSet) {
    if (faceSet < 0 || faceSet >= kFaceSets) {
        throw std::out_of_range("face set must be 0, 1 or 2, not " + std::to_string(faceSet));
    }
    const int kind = static_cast<int>(face);
    if (kind < 0 || kind >= kFaceKinds) {
        throw std::out_of_range("no such face");
    }
}

const Picture& iconArtPicture(int size) {
    static const Picture small = [] {
        const Art& art = storedArt(ArtFile::Icon, "icon-16");
        Picture pic(art.width, art.height, kBackground);
        drawArt(pic, art, 0, 0);
        return pic;
    }();
    static const Picture large = [] {
        const Art& art = storedArt(ArtFile::Icon, "icon-32");
        Picture pic(art.width, art.height, kBackground);
        drawArt(pic, art, 0, 0);
        return pic;
    }();
    return size == 16 ? small : large;
}

}  // namespace

Picture makeFacePicture(core::Face face, int faceSet) {
    checkFace(face, faceSet);
    const bool pressed = face == core::Face::Pressed;
    Picture pic = makeButton(pressed);
    const std::string name = "face-" + std::to_string(faceSet) + "-" + kindName(face);
    const Art& art = storedArt(ArtFile::Faces, name);
    if (art.width != kFaceBoxSize || art.height != kFaceBoxSize) {
        throw std::logic_error("face '" + name + "' must be 17 x 17 pixels");
    }
    drawArt(pic, art, kFaceBoxLeft + (pressed ? 1 : 0), kFaceBoxTop + (pressed ? 1 : 0));
    return pic;
}

const Picture& facePicture(core::Face face, int faceSet) {
    checkFace(face, faceSet);
    static const std::array<Picture, kFaceSets* kFaceKinds> pictures = [] {
        std::array<Picture, kFaceSets * kFaceKinds> all;
        for (int set = 0; set < kFaceSets; ++set) {
            for (int kind = 0; kind < kFaceKinds; ++kind) {
                all[static_cast<std::size_t>(set * kFaceKinds + kind)] =
                    makeFacePicture(static_cast<core::Face>(kind), set);
            }
        }
        return all;
    }();
    return pictures[static_cast<std::size_t>(faceSet * kFaceKinds + static_cast<int>(face))];
}

const Picture& buttonMaskPicture() {
    static const Picture mask = [] {
        Picture pic(kButtonWidth, kButtonHeight, kBlack);
        for (int y = 0; y < kButtonHeight; ++y) {
            for (int x = 0; x < kButtonWidth; ++x) {
                if (core::faceButtonMaskAt(x, y)) {
                    pic.set(x, y, kWhite);
                }
            }
        }
        return pic;
    }();
    return mask;
}

Picture makeIconPicture(int size) {
    if (size == 16 || size == 32) {
        return iconArtPicture(size);
    }
    if (size <= 32 || size % 32 != 0 || size > 1024) {
        throw std::out_of_range(
            "the icon comes in 16, 32 or a multiple of 32 pixels up to 1024, not " +
            std::to_string(size));
    }
    const Picture& source = iconArtPicture(32);
    const int factor = size / 32;
    Picture pic(size, size, source.background());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pic.set(x, y, static_cast<Rgb>(source.at(x / factor, y / factor)));
        }
    }
    return pic;
}

const Picture& iconPicture(int size) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<const Picture>> cache;
    const std::lock_guard lock(mutex);
    auto& slot = cache[size];
    if (!slot) {
        try {
            slot = std::make_unique<const Picture>(makeIconPicture(size));
        } catch (...) {
            cache.erase(size);
            throw;
        }
    }
    return *slot;
}

}  // namespace quorvel::render
