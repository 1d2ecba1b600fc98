#pragma once
// The window's client area as its pictures put together in their places: what a
// test expects the screen to show for a board surface, counter, clock and face.

#include <array>

#include "render/board_pictures.h"
#include "render/panel_pictures.h"
#include "render/picture.h"

namespace quorvel::testing {

// `field` is the board surface's picture (W x H); digits are glyph indices
// (10 = minus); the client area is (W + 18) x (H + 61).
inline render::Picture expectedClientArea(const render::Picture& field,
                                          const std::array<int, 2>& counter,
                                          const std::array<int, 3>& clock,
                                          const render::Picture& face) {
    const int w = field.width();
    const int h = field.height();
    render::Picture client(w + 18, h + 61);
    client.blit(render::backgroundPicture(), 0, 0);

    render::Picture panel(w, 37);
    panel.blit(render::panelPicture(), 0, 0);
    panel.blit(render::panelEdgePicture(), w - 2, 0);
    render::Picture counterBox = render::counterBoxPicture();
    for (int i = 0; i < 2; ++i) {
        counterBox.blit(render::digitPicture(counter[static_cast<std::size_t>(i)]), 1 + 13 * i, 1);
    }
    panel.blit(counterBox, 7, 6);
    render::Picture clockBox = render::clockBoxPicture();
    for (int i = 0; i < 3; ++i) {
        clockBox.blit(render::digitPicture(clock[static_cast<std::size_t>(i)]), 1 + 13 * i, 1);
    }
    panel.blit(clockBox, w - 50, 6);
    panel.blit(face, w / 2 - 25, 6);
    client.blit(panel, 9, 9);

    client.blit(field, 9, 52);
    client.blit(render::rightEdgePicture(), w + 14, 0);
    client.blit(render::bottomEdgePicture(), 0, h + 58);
    return client;
}

}  // namespace quorvel::testing
