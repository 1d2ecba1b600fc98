#pragma once
// What the Wayland compositor offers the game's windows, read from its list of
// globals over a short connection of our own: Qt keeps what it binds to itself
// (before Qt 6.5 not even the display is public), and the answer decides how the
// windows are made before Qt shows one.

namespace quorvel::dialogs {

struct CompositorOffer {
    // Server-side title bars (xdg-decoration).
    bool titleBars = false;
    // Fractional scales (wp_fractional_scale_v1 with wp_viewporter).
    bool fractionalScale = false;
};

// Asked of the display in WAYLAND_DISPLAY; nothing is offered where none answers.
CompositorOffer askCompositor();

// The offer that a list of global interface names makes.
CompositorOffer offerOf(const char* const* interfaces, int count);

}  // namespace quorvel::dialogs
