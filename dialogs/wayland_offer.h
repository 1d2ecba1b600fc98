#pragma once
// What the Wayland compositor offers the game's windows, read from its list of
// globals over a short connection of our own: Qt keeps what it binds to itself
// (before Qt 6.5 not even the display is public), and the answer decides how the
// windows are made before Qt shows one.

#include <string>
#include <vector>

namespace quorvel::dialogs {

struct CompositorOffer {
    // Server-side title bars (xdg-decoration).
    bool titleBars = false;
};

// The interface names of the globals that the display in WAYLAND_DISPLAY
// offers; none where no display answers.
std::vector<std::string> compositorGlobals();

// The offer that a list of global interface names makes.
CompositorOffer offerOf(const std::vector<std::string>& globals);

// What the display in WAYLAND_DISPLAY offers; nothing where none answers.
CompositorOffer askCompositor();

}  // namespace quorvel::dialogs
