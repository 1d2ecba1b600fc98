#pragma once
// What the screens tell about placing a window.

#include "shell/placement_rule.h"

namespace quorvel::shell {

// The monitors' usable areas, the primary one's, and whether the platform
// places windows itself (Wayland).
Screens currentScreens();

}  // namespace quorvel::shell
