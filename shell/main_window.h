#pragma once
// The main window: menus, panel, face button, board surface and the one-second
// timer. It turns Qt events into the game's moves and lays itself out for each
// board; the game shows itself through WindowView, the settings go through
// SettingsSession, the records through Records, every way out through LastWrite.

#include <QMainWindow>
#include <optional>
#include <type_traits>

#include "core/game.h"
#include "dialogs/game_dialogs.h"
#include "settings/settings_store.h"
#include "shell/game_menus.h"
#include "shell/window_parts.h"

namespace quorvel::shell {

class MainWindow : public QMainWindow, private WindowFrame {
    Q_OBJECT
  public:
    // `random` places the mines; `store` keeps the settings; `dialogs` asks for
    // record names, shows the best times and the custom board. All three must
    // outlive the window.
    MainWindow(core::RandomSource& random, settings::SettingsStore& store,
               dialogs::GameDialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the settings, places the window and starts the first game.
    void restoreSettings();

    // Saves the settings and ends the program: the menu item, the window's close
    // button and the signals of a logout all come here.
    void quit();

  signals:
    // Emitted once, after the settings have been written on the way out.
    void quitting();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The tests reach the parts through it (tests/support/window_access.h).
    friend struct WindowAccess;

    void showAbout();
    // The custom-board dialog; its "OK" starts the board it confirms.
    void askCustomBoard();
    void layoutBoard(int side) override;
    void markLevel(core::Level level) override { menus_->markLevel(level); }
    void markFaceSet(core::FaceSet faceSet) override { menus_->markFaceSet(faceSet); }

    void connectSurfaces();
    void buildMenus();
    // Makes a move in the game, schedules a repaint of whatever it drew, then
    // does what the move handed back.
    template <typename Move>
    void dispatch(Move&& move) {
        if constexpr (std::is_void_v<std::invoke_result_t<Move>>) {
            move();
            parts_.board->scheduleRepaint();
        } else {
            const core::MoveOutcome outcome = move();
            // The record's dialogs run their own event loop: what the win drew (the
            // flags on the mines) must be on the screen behind them.
            parts_.board->scheduleRepaint();
            act(outcome);
        }
    }
    void act(const core::MoveOutcome& outcome);
    template <auto press, auto move, auto release>
    SurfaceMouse mouseMoves();

    dialogs::GameDialogs& dialogs_;
    // Made in their order by buildParts (window_parts.h).
    WindowParts parts_;
    // Made last, in the constructor's body: its items reach every part.
    std::optional<GameMenus> menus_;
};

}  // namespace quorvel::shell
