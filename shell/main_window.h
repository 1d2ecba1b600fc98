#pragma once
// The main window: menus, panel, face button, board surface and the one-second
// timer. It turns Qt events into the game's moves and shows what the game asks
// for; the behaviour lives in core::Game, what is stored and how in settings/.

#include <QMainWindow>
#include <QRegion>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "core/game.h"
#include "render/picture.h"
#include "settings/best_times.h"
#include "settings/window_position.h"

class QAction;

namespace quorvel::settings {
class GameDialogs;
class SettingsStore;
}  // namespace quorvel::settings

namespace quorvel::shell {

class PictureSurface;
class Panel;
class ClientArea;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `random` places the mines; `store` keeps the settings (nullptr: nothing is
    // read or written); `dialogs` asks for record names, shows the best times and
    // the custom board (nullptr: none of them). Both must outlive the window.
    explicit MainWindow(core::RandomSource& random, settings::SettingsStore* store = nullptr,
                        settings::GameDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the settings, places the window and starts the first game.
    void restoreSettings();

    core::Game& game() { return game_; }
    // What the board surface shows.
    const render::Picture& fieldPicture() const;
    PictureSurface* fieldSurface() const { return field_surface_; }
    PictureSurface* faceButton() const { return face_button_; }
    Panel* panel() const { return panel_; }
    QWidget* clientArea() const;
    QTimer& timer() { return timer_; }

    // Menu items, by their names in the game's vocabulary.
    QAction* newAction() const { return new_; }
    QAction* levelAction(core::Level level) const {
        return levels_.at(static_cast<std::size_t>(level));
    }
    QAction* faceAction(int index) const { return faceSets_.at(static_cast<std::size_t>(index)); }
    QAction* quitAction() const { return quit_; }
    QAction* aboutAction() const { return about_; }

    // Saves the settings and ends the program: the menu item, the window's close
    // button and the signals of a logout all come here.
    void quit();
    void showAbout();
    // The custom-board dialog; its "OK" starts the board it confirms.
    void askCustomBoard();

  signals:
    // Emitted once, after the settings have been written on the way out.
    void quitting();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class View;
    friend class View;

    void createSurfaces();
    void buildMenus();
    void addLevelItems(QMenu* menu);
    void addFaceItems(QMenu* menu);
    void layoutBoard(int side);
    void markCellDirty(core::CellPos cell);
    // The board picture to draw cells on: a copy of the shared new-board picture,
    // made when the board's first cell is drawn.
    render::Picture& fieldToDraw();
    void refreshField();
    // Hands whatever was drawn since the last refresh to the next paint.
    void scheduleFieldRepaint();
    // Makes a move in the game, then schedules a repaint of whatever it drew.
    template <typename Move>
    void dispatch(Move&& move);
    void syncMarks();
    // Rewrites the settings, unless the program is already on its way out.
    void writeSettings();
    void storeSettings();

    std::unique_ptr<View> view_;
    settings::SettingsStore* store_;
    settings::GameDialogs* dialogs_;
    core::Game game_;
    settings::BestTimes bestTimes_;
    render::Picture field_;
    QRegion field_dirty_;
    QTimer timer_;
    // Set when quit() starts: the last write has been made or is being made.
    bool quitting_ = false;
    // Where start-up put the window for the stored position.
    std::optional<settings::WindowPlacement> placement_;

    ClientArea* client_ = nullptr;
    Panel* panel_ = nullptr;
    PictureSurface* face_button_ = nullptr;
    PictureSurface* field_surface_ = nullptr;

    QAction* new_ = nullptr;
    std::array<QAction*, 4> levels_{};
    std::array<QAction*, 3> faceSets_{};
    QAction* quit_ = nullptr;
    QAction* about_ = nullptr;
};

}  // namespace quorvel::shell
