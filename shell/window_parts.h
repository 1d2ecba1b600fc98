#pragma once
// The main window's parts and the one place that makes them: each part is made
// from the window, what the window is given, and parts made before it. They are
// made as locals of buildParts, one after another, so a part can only be handed
// one that exists: a line moved above a part it needs does not compile.

#include <QTimer>
#include <memory>

#include "core/game.h"
#include "dialogs/game_dialogs.h"
#include "settings/settings_store.h"
#include "shell/accessibility.h"
#include "shell/board_canvas.h"
#include "shell/last_write.h"
#include "shell/placed_window.h"
#include "shell/records.h"
#include "shell/settings_session.h"
#include "shell/surfaces.h"
#include "shell/window_view.h"

namespace quorvel::shell {

// What the window is given; all three outlive it.
struct WindowNeeds {
    core::RandomSource& random;
    settings::SettingsStore& store;
    dialogs::GameDialogs& dialogs;
};

// The widgets and the timer belong to the window (Qt's parents); the rest is
// held here, each on the heap so that the references between them stay good
// when the parts are handed over. They go in the reverse order of their making.
struct WindowParts {
    ClientArea* client;
    Panel* panel;
    PictureSurface* faceButton;
    QTimer* clock;
    std::unique_ptr<BoardCanvas> board;
    std::unique_ptr<PlacedWindow> placed;
    std::unique_ptr<SettingsSession> session;
    std::unique_ptr<Records> records;
    std::unique_ptr<LastWrite> lastWrite;
    std::unique_ptr<WindowView> view;
    std::unique_ptr<core::Game> game;
    std::unique_ptr<GameAccessibility> accessible;
};

// Makes the parts of `window`, whose own side the view reaches through `frame`.
WindowParts buildParts(QWidget& window, WindowFrame& frame, const WindowNeeds& needs);

}  // namespace quorvel::shell
