#pragma once
// The tests' way into the main window: the parts that a test reads or steers and
// the program itself never asks for (the game behind the window, the board
// picture, the panel's digits, the timer, the menu items by what they choose, a
// watch on every cell drawn and the clock of the showing). MainWindow,
// BoardCanvas and Panel take it as a friend; nothing in the program uses it.

#include <QAction>
#include <QTimer>
#include <optional>
#include <utility>

#include "core/game.h"
#include "render/picture.h"
#include "shell/board_canvas.h"
#include "shell/main_window.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

struct WindowAccess {
    static core::Game& game(MainWindow& window) { return *window.parts_.game; }
    // What the board surface shows.
    static const render::Picture& fieldPicture(const MainWindow& window) {
        return window.parts_.board->picture();
    }
    static PictureSurface* fieldSurface(const MainWindow& window) {
        return &window.parts_.board->surface();
    }
    static PictureSurface* faceButton(const MainWindow& window) { return window.parts_.faceButton; }
    static Panel* panel(const MainWindow& window) { return window.parts_.panel; }
    static QWidget* clientArea(const MainWindow& window) { return window.parts_.client; }
    static QTimer& timer(MainWindow& window) { return *window.parts_.clock; }

    static QAction* newAction(const MainWindow& window) { return window.menus_->newAction(); }
    static QAction* levelAction(const MainWindow& window, core::Level level) {
        return window.menus_->levelAction(level);
    }
    static QAction* faceAction(const MainWindow& window, core::FaceSet set) {
        return window.menus_->faceAction(set);
    }

    // Told of every cell the board canvas draws (BoardCanvas::DrawWatcher).
    static void watchDrawing(MainWindow& window, BoardCanvas::DrawWatcher watcher) {
        window.parts_.board->watcher_ = std::move(watcher);
    }
    // The clock that measures how long the board's drawing has waited.
    static void setDrawingClock(MainWindow& window, BoardCanvas::Clock clock) {
        window.parts_.board->clock_ = std::move(clock);
    }

    // The glyph a digit place of the panel shows; none before its first digit.
    static std::optional<int> place(const Panel& panel, PanelPlace place) {
        return panel.places_.at(Panel::index(place));
    }
};

}  // namespace quorvel::shell
