#pragma once
// The window's client area as its pictures put together in their places: what a
// test expects the screen to show for a board surface, counter, clock and face.

#include <array>

#include "render/board_pictures.h"
#include "render/panel_pictures.h"
#include "render/picture.h"
#include "shell/client_layout.h"

namespace quorvel::support {

// `field` is the board surface's picture; digits are glyph indices (10 = minus).
// The places are the window's own (shell/client_layout.h).
inline render::Picture expectedClientArea(const render::Picture& field,
                                          const std::array<int, 2>& counter,
                                          const std::array<int, 3>& clock,
                                          const render::Picture& face) {
    namespace layout = shell::layout;
    const int w = field.width();
    const int h = field.height();
    render::Picture client(layout::clientWidth(w), layout::clientHeight(h));
    client.blit(render::backgroundPicture(), 0, 0);

    render::Picture panel(w, layout::kPanelHeight);
    panel.blit(render::panelPicture(), 0, 0);
    panel.blit(render::panelEdgePicture(), w - 2, 0);
    const auto boxWithDigits = [](render::Picture box, const auto& digits) {
        for (std::size_t i = 0; i < digits.size(); ++i) {
            box.blit(render::digitPicture(digits[i]), layout::digitX(0, static_cast<int>(i)),
                     layout::kDigitY - layout::kBoxY);
        }
        return box;
    };
    panel.blit(boxWithDigits(render::counterBoxPicture(), counter), layout::kCounterBoxX,
               layout::kBoxY);
    panel.blit(boxWithDigits(render::clockBoxPicture(), clock), layout::clockBoxX(w),
               layout::kBoxY);
    panel.blit(face, layout::faceButtonX(w), layout::kFaceButtonY);
    client.blit(panel, layout::kPanelX, layout::kPanelY);

    client.blit(field, layout::kFieldX, layout::kFieldY);
    client.blit(render::rightEdgePicture(), layout::rightStripX(w), 0);
    client.blit(render::bottomEdgePicture(), 0, layout::bottomStripY(h));
    return client;
}

}  // namespace quorvel::support
