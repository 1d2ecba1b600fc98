#include "shell/window_parts.h"

namespace quorvel::shell {

WindowParts buildParts(QWidget& window, WindowFrame& frame, const WindowNeeds& needs) {
    // The widgets, which need nothing but their parents.
    auto* client = new ClientArea(&window);
    auto* panel = new Panel(client);
    auto* faceButton = new PictureSurface(panel);
    auto* clock = new QTimer(&window);
    auto board = std::make_unique<BoardCanvas>(*new PictureSurface(client));

    // What is kept between runs, and every way it is written.
    auto placed = std::make_unique<PlacedWindow>(window);
    auto session = std::make_unique<SettingsSession>(needs.store, *placed);
    auto records = std::make_unique<Records>(*session, needs.dialogs);
    auto lastWrite = std::make_unique<LastWrite>(*session, *records);

    // The game shows itself through the view; the accessible side reads the
    // game, so the view reports to it once both exist.
    auto view =
        std::make_unique<WindowView>(ViewParts{window, frame, *board, *panel, *faceButton, *clock});
    auto game = std::make_unique<core::Game>(*view, needs.random);
    auto accessible =
        std::make_unique<GameAccessibility>(*game, *panel, *faceButton, board->surface());
    view->reportTo(*accessible);

    return {.client = client,
            .panel = panel,
            .faceButton = faceButton,
            .clock = clock,
            .board = std::move(board),
            .placed = std::move(placed),
            .session = std::move(session),
            .records = std::move(records),
            .lastWrite = std::move(lastWrite),
            .view = std::move(view),
            .game = std::move(game),
            .accessible = std::move(accessible)};
}

}  // namespace quorvel::shell
