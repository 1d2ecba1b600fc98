#pragma once
// The face sets of the face menu: the faces the face button shows and how the
// board draws its numbers, flags and crosses.

#include <array>
#include <optional>

namespace quorvel::core {

// In the menu's order. A set's number (0, 1, 2) is its place there and what the
// settings file stores as Face.
enum class FaceSet { Yellow, DarkRed, Alien };

inline constexpr std::array<FaceSet, 3> kFaceSets{FaceSet::Yellow, FaceSet::DarkRed,
                                                  FaceSet::Alien};

constexpr int faceSetNumber(FaceSet set) {
    return static_cast<int>(set);
}

// The set with this number; nothing for any other number (a fraction, 3, NaN).
// The one place that knows which numbers name a set.
constexpr std::optional<FaceSet> faceSetNumbered(double number) {
    for (const FaceSet set : kFaceSets) {
        if (number == faceSetNumber(set)) {
            return set;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel::core
