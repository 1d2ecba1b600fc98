#pragma once
// The main window: menus, panel, face button, board surface and the one-second
// timer. It turns Qt events into the game's handlers and shows what the game asks
// for; the behaviour itself lives in core::Game.

#include <QMainWindow>
#include <QRegion>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "core/game.h"
#include "render/picture.h"

class QAction;

namespace quorvel::shell {

class PictureSurface;
class Panel;
class ClientArea;
class Records;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `random` places the mines; `records` keeps the settings file and the best
    // times (nullptr: nothing is read or written).
    explicit MainWindow(core::RandomSource& random, Records* records = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the settings and starts the first game (the window's load step).
    void DetectK();

    core::Game& game() { return game_; }
    const render::Picture& fieldPicture() const { return field_; }
    PictureSurface* fieldSurface() const { return field_surface_; }
    PictureSurface* faceButton() const { return face_button_; }
    Panel* panel() const { return panel_; }
    QWidget* clientArea() const;
    QTimer& timer() { return timer_; }

    // Menu items, by their names in the game's vocabulary.
    QAction* newAction() const { return new_; }
    QAction* levelAction(core::Level level) const;
    QAction* faceAction(int index) const { return skn_.at(static_cast<std::size_t>(index)); }
    QAction* bestTimesAction() const { return best_times_; }
    QAction* quitAction() const { return quit_; }
    QAction* aboutAction() const { return about_; }

    void Quit_Click();
    void About_Click();
    void NGC_Click();

  signals:
    // Emitted once, after the settings have been written on the way out.
    void quitting();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class View;
    friend class View;

    void buildMenus();
    void layoutBoard(int side);
    void markFieldDirty(int originX, int originY);
    void refreshField();
    // Hands whatever was drawn since the last refresh to the next paint.
    void scheduleFieldRepaint();
    // Runs a game handler, then schedules a repaint of whatever it drew.
    template <typename Handler>
    void dispatch(Handler&& handler);
    void syncMarks();
    QPointF centredPosition() const;
    void placeWindow(QPointF stored);
    QPointF storedPosition() const;

    std::unique_ptr<View> view_;
    Records* records_;
    core::Game game_;
    render::Picture field_;
    QRegion field_dirty_;
    QTimer timer_;
    bool quitting_ = false;
    bool settings_final_ = false;
    // The position read at start-up and where the window was put for it (none
    // where the platform places windows itself).
    struct Placement {
        QPointF read;
        std::optional<QPoint> at;
    };
    std::optional<Placement> placement_;

    ClientArea* client_ = nullptr;
    Panel* panel_ = nullptr;
    PictureSurface* face_button_ = nullptr;
    PictureSurface* field_surface_ = nullptr;

    QAction* new_ = nullptr;
    std::array<QAction*, 4> levels_{};
    std::array<QAction*, 3> skn_{};
    QAction* best_times_ = nullptr;
    QAction* quit_ = nullptr;
    QAction* about_ = nullptr;
};

}  // namespace quorvel::shell
