// The face button: its hit mask, the outline and bevel every face picture shares,
// and where and how the fifteen faces are drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/game_view.h"
#include "core/geometry.h"
#include "render/face_pictures.h"
#include "tests/support/colours.h"
#include "tests/support/face_sets.h"

namespace quorvel::render {
namespace {

using core::Face;

constexpr int kWidth = 32;
constexpr int kHeight = 26;
using quorvel::support::kBlack;
using quorvel::support::kWhite;
constexpr int kBackground = quorvel::support::kGrey192;
constexpr int kDarkGrey = quorvel::support::kGrey128;

constexpr std::array kAllFaces = {Face::Normal, Face::Pressed, Face::Surprised, Face::Dead,
                                  Face::Winner};
constexpr std::array kRaisedFaces = {Face::Normal, Face::Surprised, Face::Dead, Face::Winner};

// The hexagon inside the outline, row by row, as the hit test has it (the core's
// tests hold the hit test to the button's description pixel by pixel).
struct Span {
    int left = kWidth;
    int right = -1;  // empty
};

std::array<Span, kHeight> hexagonRows() {
    std::array<Span, kHeight> rows{};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (core::faceButtonMaskAt(x, y)) {
                rows[y] = {std::min(rows[y].left, x), x};
            }
        }
    }
    return rows;
}

const std::array<Span, kHeight> kRows = hexagonRows();

// Row 0 and row 25 at x = 11..20; each row between has one pixel just outside each
// end of the hexagon's row.
bool onOutline(int x, int y) {
    if (y == 0 || y == kHeight - 1) {
        return 11 <= x && x <= 20;
    }
    return x == kRows[y].left - 1 || x == kRows[y].right + 1;
}

struct Bevel {
    std::set<std::pair<int, int>> light;             // top edge and the three left sides
    std::set<std::pair<int, int>> dark;              // bottom edge and the three right sides
    std::set<std::pair<int, int>> shadeTopLeft;      // one pixel inside the light line
    std::set<std::pair<int, int>> shadeBottomRight;  // one pixel inside the dark line
};

Bevel bevelLines() {
    Bevel b;
    for (int x = 11; x <= 20; ++x) {
        b.light.insert({x, 1});
        b.dark.insert({x, 24});
        b.shadeTopLeft.insert({x, 2});
        b.shadeBottomRight.insert({x, 23});
    }
    for (int y = 2; y <= 23; ++y) {
        b.light.insert({kRows[y].left, y});
        b.dark.insert({kRows[y].right, y});
        b.shadeTopLeft.insert({kRows[y].left + 1, y});
        b.shadeBottomRight.insert({kRows[y].right - 1, y});
    }
    return b;
}

const Bevel kBevel = bevelLines();

bool isPressed(Face face) {
    return face == Face::Pressed;
}

// The part of the button that a face may cover: the 17 x 17 box from (7, 4), or
// from (8, 5) on the pressed button.
bool inFaceBox(Face face, int x, int y) {
    const int left = isPressed(face) ? 8 : 7;
    const int top = isPressed(face) ? 5 : 4;
    return left <= x && x < left + 17 && top <= y && y < top + 17;
}

// Inside the hexagon and on none of the lines the picture's bevel draws.
bool plainInside(Face face, int x, int y) {
    const std::pair p{x, y};
    const auto& shade = isPressed(face) ? kBevel.shadeTopLeft : kBevel.shadeBottomRight;
    return core::faceButtonMaskAt(x, y) && !kBevel.light.contains(p) && !kBevel.dark.contains(p) &&
           !shade.contains(p);
}

void expectColour(const Picture& pic, int x, int y, int colour, const char* what) {
    EXPECT_EQ(pic.at(x, y), colour) << what << " at (" << x << ", " << y << ")";
}

// The picture and the hit test answer alike: white inside the hexagon, black
// elsewhere.
TEST(ButtonMask, IsWhiteExactlyInsideTheHexagonAndBlackElsewhere) {
    const Picture& mask = buttonMaskPicture();
    ASSERT_EQ(mask.width(), kWidth);
    ASSERT_EQ(mask.height(), kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            expectColour(mask, x, y, core::faceButtonMaskAt(x, y) ? kWhite : kBlack, "mask");
        }
    }
}

TEST(FaceButton, EveryPictureHasTheOutlineAndTheBackgroundOutsideTheHexagon) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kAllFaces) {
            const Picture& pic = facePicture(face, set);
            ASSERT_EQ(pic.width(), kWidth);
            ASSERT_EQ(pic.height(), kHeight);
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    if (!core::faceButtonMaskAt(x, y)) {
                        expectColour(pic, x, y, onOutline(x, y) ? kDarkGrey : kBackground,
                                     onOutline(x, y) ? "outline" : "background");
                    }
                }
            }
        }
    }
}

TEST(FaceButton, OutlinePointsAndFlatEdgesLieWhereTheButtonIsDescribed) {
    const Picture& pic = facePicture(Face::Normal, core::FaceSet::Yellow);
    for (const int y : {11, 12, 13, 14}) {
        expectColour(pic, 0, y, kDarkGrey, "left point");
        expectColour(pic, 31, y, kDarkGrey, "right point");
    }
    expectColour(pic, 0, 10, kBackground, "above the left point");
    expectColour(pic, 0, 15, kBackground, "below the left point");
    expectColour(pic, 10, 0, kBackground, "left of the top edge");
    expectColour(pic, 21, 25, kBackground, "right of the bottom edge");
    expectColour(pic, 10, 1, kDarkGrey, "first slant pixel");
}

TEST(FaceButton, RaisedBevelIsLightTopLeftAndDarkWithShadeBottomRight) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kRaisedFaces) {
            const Picture& pic = facePicture(face, set);
            for (const auto& [x, y] : kBevel.light) {
                expectColour(pic, x, y, kWhite, "top/left side");
            }
            for (const auto& [x, y] : kBevel.dark) {
                expectColour(pic, x, y, kBlack, "bottom/right side");
            }
            for (const auto& [x, y] : kBevel.shadeBottomRight) {
                expectColour(pic, x, y, kDarkGrey, "shade inside the bottom/right side");
            }
        }
    }
}

TEST(FaceButton, PressedBevelIsDarkWithShadeTopLeftAndLightBottomRight) {
    for (const core::FaceSet set : core::kFaceSets) {
        const Picture& pic = facePicture(Face::Pressed, set);
        for (const auto& [x, y] : kBevel.light) {
            expectColour(pic, x, y, kBlack, "top/left side");
        }
        for (const auto& [x, y] : kBevel.shadeTopLeft) {
            expectColour(pic, x, y, kDarkGrey, "shade inside the top/left side");
        }
        for (const auto& [x, y] : kBevel.dark) {
            expectColour(pic, x, y, kWhite, "bottom/right side");
        }
    }
}

// Swapping light and dark edges of a symmetric hexagon is the same as turning it
// through half a circle; the face box turns onto the pressed face box.
TEST(FaceButton, PressedButtonIsTheRaisedButtonTurnedHalfACircle) {
    for (const core::FaceSet set : core::kFaceSets) {
        const Picture& raised = facePicture(Face::Normal, set);
        const Picture& pressed = facePicture(Face::Pressed, set);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!inFaceBox(Face::Pressed, x, y)) {
                    EXPECT_EQ(pressed.at(x, y), raised.at(kWidth - 1 - x, kHeight - 1 - y))
                        << set << ": " << x << ", " << y;
                }
            }
        }
    }
}

TEST(FaceButton, FacesStayInsideTheirBoxAndOffTheBevel) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kAllFaces) {
            const Picture& pic = facePicture(face, set);
            int drawn = 0;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    if (!plainInside(face, x, y)) {
                        continue;
                    }
                    if (!inFaceBox(face, x, y)) {
                        expectColour(pic, x, y, kBackground, "outside the face box");
                    } else if (pic.at(x, y) != kBackground) {
                        ++drawn;
                    }
                }
            }
            // A head of some 15 pixels across fills most of its box.
            EXPECT_GT(drawn, 150) << "set " << set;
        }
    }
}

TEST(FaceButton, PressedFaceIsTheNormalFaceMovedOneRightAndOneDown) {
    for (const core::FaceSet set : core::kFaceSets) {
        const Picture& normal = facePicture(Face::Normal, set);
        const Picture& pressed = facePicture(Face::Pressed, set);
        for (int y = 4; y < 4 + 17; ++y) {
            for (int x = 7; x < 7 + 17; ++x) {
                const bool from = plainInside(Face::Normal, x, y);
                const bool to = plainInside(Face::Pressed, x + 1, y + 1);
                if (from && to) {
                    EXPECT_EQ(pressed.at(x + 1, y + 1), normal.at(x, y))
                        << set << ": " << x << ", " << y;
                } else if (from) {
                    expectColour(normal, x, y, kBackground, "face pixel lost when pressed");
                } else if (to) {
                    expectColour(pressed, x + 1, y + 1, kBackground, "face pixel gained");
                }
            }
        }
    }
}

TEST(FaceButton, EveryPictureUsesOnlyTheSixteenStandardColours) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kAllFaces) {
            const Picture& pic = facePicture(face, set);
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    EXPECT_TRUE(quorvel::support::kSixteenColours.contains(pic.at(x, y)))
                        << "set " << set << " (" << x << ", " << y << ") " << std::hex
                        << pic.at(x, y);
                }
            }
        }
    }
}

// How often each colour occurs in the face box (off the bevel), in rows
// [firstRow, lastRow] of the box.
int countInFace(Face face, core::FaceSet set, Rgb colour, int firstRow = 0, int lastRow = 16) {
    const Picture& pic = facePicture(face, set);
    const int left = isPressed(face) ? 8 : 7;
    const int top = isPressed(face) ? 5 : 4;
    int count = 0;
    for (int y = top + firstRow; y <= top + lastRow; ++y) {
        for (int x = left; x < left + 17; ++x) {
            if (plainInside(face, x, y) && pic.at(x, y) == static_cast<int>(colour)) {
                ++count;
            }
        }
    }
    return count;
}

TEST(FaceSets, HeadsHaveTheColoursOfTheirSet) {
    constexpr Rgb yellow = rgb(255, 255, 0);
    constexpr Rgb olive = rgb(128, 128, 0);
    constexpr Rgb darkRed = rgb(128, 0, 0);
    constexpr Rgb red = rgb(255, 0, 0);
    constexpr Rgb green = rgb(0, 255, 0);
    constexpr Rgb darkGreen = rgb(0, 128, 0);
    for (const Face face : {Face::Normal, Face::Surprised, Face::Dead, Face::Winner}) {
        EXPECT_GT(countInFace(face, core::FaceSet::Yellow, yellow), 100);
        EXPECT_GT(countInFace(face, core::FaceSet::Yellow, olive), 0);
        EXPECT_GT(countInFace(face, core::FaceSet::DarkRed, darkRed), 100);
        EXPECT_GT(countInFace(face, core::FaceSet::DarkRed, red), 0);
        // Each head is drawn in black outline.
        EXPECT_GT(countInFace(face, core::FaceSet::Yellow, kBlack), 30);
        EXPECT_GT(countInFace(face, core::FaceSet::DarkRed, kBlack), 30);
        EXPECT_GT(countInFace(face, core::FaceSet::Alien, kBlack), 30);
        // No set borrows the head colour of another.
        EXPECT_EQ(countInFace(face, core::FaceSet::Yellow, darkRed) +
                      countInFace(face, core::FaceSet::Yellow, green),
                  0);
        EXPECT_EQ(countInFace(face, core::FaceSet::DarkRed, yellow) +
                      countInFace(face, core::FaceSet::DarkRed, green),
                  0);
        EXPECT_EQ(countInFace(face, core::FaceSet::Alien, darkRed), 0);
    }
    EXPECT_GT(countInFace(Face::Normal, core::FaceSet::DarkRed, kWhite), 0);
    for (const Face face : {Face::Normal, Face::Surprised, Face::Winner}) {
        EXPECT_GT(countInFace(face, core::FaceSet::Alien, green), 100);
        EXPECT_GT(countInFace(face, core::FaceSet::Alien, darkGreen), 0);
    }
}

TEST(FaceSets, AlienHasYellowEyesWhenSurprisedWhiteEyesWhenWinningAndGoesBlackWhenDead) {
    constexpr Rgb yellow = rgb(255, 255, 0);
    EXPECT_EQ(countInFace(Face::Normal, core::FaceSet::Alien, yellow), 0);
    EXPECT_GT(countInFace(Face::Surprised, core::FaceSet::Alien, yellow), 0);
    EXPECT_EQ(countInFace(Face::Normal, core::FaceSet::Alien, kWhite), 0);
    EXPECT_GT(countInFace(Face::Winner, core::FaceSet::Alien, kWhite), 0);
    // Dead: the head is all black, every drawn pixel of the face box.
    const int black = countInFace(Face::Dead, core::FaceSet::Alien, kBlack);
    EXPECT_GT(black, 150);
    EXPECT_EQ(
        black + countInFace(Face::Dead, core::FaceSet::Alien, kBackground), 17 * 17 - [] {
            int off = 0;  // box pixels on the bevel or outside the hexagon
            for (int y = 4; y < 21; ++y) {
                for (int x = 7; x < 24; ++x) {
                    off += plainInside(Face::Dead, x, y) ? 0 : 1;
                }
            }
            return off;
        }());
}

TEST(FaceSets, WinnersWearDarkGlassesInSetZeroAndWhiteGlassesInSetOne) {
    // The glasses sit over the eyes, in the upper half of the head.
    EXPECT_GT(countInFace(Face::Winner, core::FaceSet::Yellow, kBlack, 0, 8),
              countInFace(Face::Normal, core::FaceSet::Yellow, kBlack, 0, 8) + 10);
    EXPECT_GT(countInFace(Face::Winner, core::FaceSet::DarkRed, kWhite, 0, 8),
              countInFace(Face::Normal, core::FaceSet::DarkRed, kWhite, 0, 8) + 10);
}

TEST(FaceSets, AllFifteenPicturesDifferWhereTheyShould) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (std::size_t a = 0; a < kAllFaces.size(); ++a) {
            for (std::size_t b = a + 1; b < kAllFaces.size(); ++b) {
                EXPECT_NE(facePicture(kAllFaces[a], set), facePicture(kAllFaces[b], set))
                    << "set " << set << " faces " << a << " and " << b;
            }
        }
    }
    for (const Face face : kAllFaces) {
        EXPECT_NE(facePicture(face, core::FaceSet::Yellow),
                  facePicture(face, core::FaceSet::DarkRed));
        EXPECT_NE(facePicture(face, core::FaceSet::Yellow),
                  facePicture(face, core::FaceSet::Alien));
        EXPECT_NE(facePicture(face, core::FaceSet::DarkRed),
                  facePicture(face, core::FaceSet::Alien));
    }
}

TEST(FaceSets, OnlyTheFiveFacesExist) {
    EXPECT_THROW(facePicture(static_cast<Face>(5), core::FaceSet::Yellow), std::out_of_range);
    EXPECT_THROW(makeFacePicture(static_cast<Face>(-1), core::FaceSet::Alien), std::out_of_range);
}

TEST(FaceSets, CachedPicturesAreBuiltOnceAndMatchAFreshBuild) {
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kAllFaces) {
            EXPECT_EQ(&facePicture(face, set), &facePicture(face, set));
            EXPECT_EQ(facePicture(face, set), makeFacePicture(face, set));
        }
    }
}

}  // namespace
}  // namespace quorvel::render
