#pragma once
// What a compositor's list of globals says about fractional scales, for the
// tests that ask whether a buffer of device size can be expected: Qt paints at a
// fractional factor only where the compositor offers the fractional-scale
// protocol and the viewporter beside it.

#include <algorithm>
#include <string>
#include <vector>

namespace quorvel::support {

inline bool offersFractionalScale(const std::vector<std::string>& globals) {
    const auto offers = [&](const char* name) {
        return std::find(globals.begin(), globals.end(), name) != globals.end();
    };
    return offers("wp_fractional_scale_manager_v1") && offers("wp_viewporter");
}

}  // namespace quorvel::support
