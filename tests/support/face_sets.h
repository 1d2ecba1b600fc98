#pragma once
// Face sets in test messages: printed by their number, as the menu and the
// settings file count them.

#include <ostream>

#include "core/face_set.h"

namespace quorvel::core {

inline std::ostream& operator<<(std::ostream& out, FaceSet set) {
    return out << faceSetNumber(set);
}

}  // namespace quorvel::core
