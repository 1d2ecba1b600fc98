#pragma once
// What the screens tell about placing a window.

#include "shell/window_placement.h"

class QWidget;

namespace quorvel::shell {

// The screens' usable areas, the window's outer width, the top-left corner that
// centres the window's present size on the primary screen, and whether the
// platform places windows itself (Wayland).
Screens screensOf(const QWidget& window);

}  // namespace quorvel::shell
