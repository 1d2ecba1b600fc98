#pragma once
// What the screens tell about placing a window.

#include "shell/window_placement.h"

namespace quorvel::shell {

// The monitors' usable areas, the primary one's, and whether the platform
// places windows itself (Wayland).
Screens currentScreens();

// The program runs on Wayland, where the platform places windows and may leave
// their title bars to the program.
bool onWayland();

}  // namespace quorvel::shell
