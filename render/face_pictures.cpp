#include "render/face_pictures.h"

#include <algorithm>
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
// characters. '#' lines and blank lines are ignored. A legend line holds for the
// rows below it.
//
// A picture is read when it is first shown: one pass over the text keeps the
// legend as it stands and reads the rows of that picture only (the last one of
// that name), stepping over the rows of the others.

struct Art {
    int width = 0;
    int height = 0;
    // 0xRRGGBB per pixel, or -1 where the art leaves the pixel alone.
    std::vector<int> pixels;
};

// The colour of each character so far, kNotInLegend for one the legend lacks.
constexpr int kNotInLegend = -2;
using Legend = std::array<int, 256>;

[[noreturn]] void badArt(int lineNumber, const std::string& what) {
    throw std::logic_error("stored pixel art, line " + std::to_string(lineNumber) + ": " + what);
}

// The first few words of a line: a legend line has at most six that matter.
struct Words {
    std::array<std::string_view, 6> word{};
    std::size_t count = 0;
};

Words words(std::string_view line) {
    Words result;
    std::size_t pos = 0;
    while (pos < line.size() && result.count < result.word.size()) {
        const std::size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        result.word[result.count++] = line.substr(start, end - start);
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
void readArtRow(std::string_view line, int lineNumber, const Legend& legend, Art& art) {
    if (static_cast<int>(line.size()) != art.width) {
        badArt(lineNumber, "a row must have exactly as many characters as the width");
    }
    for (const char c : line) {
        const int colour = legend[static_cast<unsigned char>(c)];
        if (colour == kNotInLegend) {
            badArt(lineNumber, std::string("character '") + c + "' is not in the legend");
        }
        art.pixels.push_back(colour);
    }
}

// "legend C none" or "legend C R G B".
void readLegendLine(const Words& parts, int lineNumber, Legend& legend) {
    int& colour = legend[static_cast<unsigned char>(parts.word[1].front())];
    if (parts.word[2] == "none") {
        colour = -1;
    } else if (parts.count >= 5) {
        colour = static_cast<int>(rgb(number(parts.word[2], lineNumber, 0, 255),
                                      number(parts.word[3], lineNumber, 0, 255),
                                      number(parts.word[4], lineNumber, 0, 255)));
    } else {
        badArt(lineNumber, "a legend line needs a character and a colour");
    }
}

// The text line by line, each without its line end, numbered from 1.
class Lines {
  public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++number_;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return true;
    }
    int number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

Art readArt(std::string_view text, std::string_view name) {
    Legend legend;
    legend.fill(kNotInLegend);
    Art art;
    bool found = false;
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const Words parts = words(line);
        if (parts.count == 0 || parts.word[0].front() == '#') {
            continue;
        }
        if (parts.word[0] == "legend" && parts.count >= 3 && parts.word[1].size() == 1) {
            readLegendLine(parts, lines.number(), legend);
            continue;
        }
        if (parts.word[0] != "picture" || parts.count != 4) {
            badArt(lines.number(), "expected a legend or a picture line");
        }
        const int width = number(parts.word[2], lines.number(), 1, 1024);
        const int height = number(parts.word[3], lines.number(), 1, 1024);
        const bool wanted = parts.word[1] == name;
        if (wanted) {
            art = Art{width, height, {}};
            art.pixels.reserve(static_cast<std::size_t>(width * height));
            found = true;
        }
        for (int row = 0; row < height; ++row) {
            if (!lines.next(line)) {
                badArt(lines.number(), "the last picture has too few rows");
            }
            if (wanted) {
                readArtRow(line, lines.number(), legend, art);
            }
        }
    }
    if (!found) {
        throw std::logic_error("stored pixel art has no picture '" + std::string(name) + "'");
    }
    return art;
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

// The hexagon's inside (the mask's white) in one row: columns left .. right, or
// none when right < left.
struct Span {
    int left = kButtonWidth;
    int right = -1;
};

// Each row of the hexagon, read once from the hit mask.
const std::array<Span, kButtonHeight>& insideRows() {
    static const std::array<Span, kButtonHeight> rows = [] {
        std::array<Span, kButtonHeight> all{};
        for (int y = 0; y < kButtonHeight; ++y) {
            for (int x = 0; x < kButtonWidth; ++x) {
                if (core::faceButtonMaskAt(x, y)) {
                    all[static_cast<std::size_t>(y)] = {std::min(all[y].left, x), x};
                }
            }
        }
        return all;
    }();
    return rows;
}

bool inside(const std::array<Span, kButtonHeight>& rows, int x, int y) {
    if (y < 0 || y >= kButtonHeight) {
        return false;
    }
    const Span& row = rows[static_cast<std::size_t>(y)];
    return row.left <= x && x <= row.right;
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
    const auto& rows = insideRows();
    Picture pic(kButtonWidth, kButtonHeight, kBackground);
    for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
            if (!inside(rows, x, y) && (inside(rows, x - 1, y) || inside(rows, x + 1, y) ||
                                        inside(rows, x, y - 1) || inside(rows, x, y + 1))) {
                pic.set(x, y, kShade);
            }
        }
    }

    const Rgb upperLeft = pressed ? kBlack : kWhite;
    const Rgb lowerRight = pressed ? kWhite : kBlack;
    for (int x = rows[kInsideTop].left; x <= rows[kInsideTop].right; ++x) {
        pic.set(x, kInsideTop, upperLeft);
    }
    for (int x = rows[kInsideBottom].left; x <= rows[kInsideBottom].right; ++x) {
        pic.set(x, kInsideBottom, lowerRight);
    }
    for (int y = kInsideTop + 1; y < kInsideBottom; ++y) {
        pic.set(rows[y].left, y, upperLeft);
        pic.set(rows[y].right, y, lowerRight);
    }

    // The shade line inside the black line.
    const int shadeRow = pressed ? kInsideTop + 1 : kInsideBottom - 1;
    const int flatRow = pressed ? kInsideTop : kInsideBottom;
    for (int x = rows[flatRow].left; x <= rows[flatRow].right; ++x) {
        pic.set(x, shadeRow, kShade);
    }
    for (int y = kInsideTop + 1; y < kInsideBottom; ++y) {
        pic.set(pressed ? rows[y].left + 1 : rows[y].right - 1, y, kShade);
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

// The icon as it is stored, 16 or 32 pixels square.
Picture storedIcon(int size) {
    const Art art = readArt(stored_art::iconArtText(), size == 16 ? "icon-16" : "icon-32");
    Picture pic(art.width, art.height, kBackground);
    drawArt(pic, art, 0, 0);
    return pic;
}

}  // namespace

Picture makeFacePicture(core::Face face, int faceSet) {
    checkFace(face, faceSet);
    const bool pressed = face == core::Face::Pressed;
    Picture pic = makeButton(pressed);
    const std::string name = "face-" + std::to_string(faceSet) + "-" + kindName(face);
    const Art art = readArt(stored_art::faceArtText(), name);
    if (art.width != kFaceBoxSize || art.height != kFaceBoxSize) {
        throw std::logic_error("face '" + name + "' must be 17 x 17 pixels");
    }
    drawArt(pic, art, kFaceBoxLeft + (pressed ? 1 : 0), kFaceBoxTop + (pressed ? 1 : 0));
    return pic;
}

const Picture& facePicture(core::Face face, int faceSet) {
    checkFace(face, faceSet);
    // Each face is built when it is first shown: most runs show only a few.
    static std::mutex mutex;
    static std::array<std::unique_ptr<const Picture>, kFaceSets * kFaceKinds> pictures;
    const std::lock_guard lock(mutex);
    auto& slot = pictures[static_cast<std::size_t>(faceSet * kFaceKinds + static_cast<int>(face))];
    if (!slot) {
        slot = std::make_unique<const Picture>(makeFacePicture(face, faceSet));
    }
    return *slot;
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
        return storedIcon(size);
    }
    if (size <= 32 || size % 32 != 0 || size > 1024) {
        throw std::out_of_range(
            "the icon comes in 16, 32 or a multiple of 32 pixels up to 1024, not " +
            std::to_string(size));
    }
    const Picture source = storedIcon(32);
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
