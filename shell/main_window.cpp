#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "settings/game_dialogs.h"
#include "settings/settings_store.h"
#include "settings/stored_settings.h"
#include "shell/client_layout.h"
#include "shell/main_window_view.h"
#include "shell/screens.h"
#include "shell/surfaces.h"
#include "shell/window_texts.h"

namespace quorvel::shell {

namespace {
QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
}
}  // namespace

MainWindow::MainWindow(core::RandomSource& random, settings::SettingsStore* store,
                       settings::GameDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      view_(std::make_unique<View>(*this)),
      store_(store),
      dialogs_(dialogs),
      game_(*view_, random) {
    setWindowTitle(text(texts::kTitle));
    // A fixed single border: minimise and close, never maximise or resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    createSurfaces();

    timer_.setInterval(1000);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { dispatch([&] { game_.tick(); }); });

    buildMenus();
    if (dialogs_ != nullptr) {
        dialogs_->setDialogParent(this);
    }
    // The initial size is known before the first board lays the window out: start-up
    // centres a new settings file's window from it.
    layout()->activate();
}

MainWindow::~MainWindow() = default;

void MainWindow::createSurfaces() {
    client_ = new ClientArea(this);
    client_->setFixedSize(layout::kInitialClientWidth, layout::kInitialClientHeight);
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    panel_ = new Panel(client_);
    panel_->setGeometry(layout::kPanelX, layout::kPanelY,
                        layout::kInitialClientWidth - 2 * layout::kPanelX, layout::kPanelHeight);
    face_button_ = new PictureSurface(panel_);
    face_button_->resize(layout::kFaceButtonWidth, layout::kFaceButtonHeight);
    face_button_->setMouse({
        [this](int button, double x, double y) {
            dispatch([&] { game_.facePress(button, x, y); });
        },
        [this](int buttons, double x, double y) {
            dispatch([&] { game_.faceMove(buttons, x, y); });
        },
        [this](int button, double x, double y) {
            dispatch([&] { game_.faceRelease(button, x, y); });
        },
    });

    // The game ignores board input while the board is disabled; the surface
    // itself stays enabled, so it keeps the keyboard focus.
    field_surface_ = new PictureSurface(client_);
    field_surface_->move(layout::kFieldX, layout::kFieldY);
    field_surface_->setFocusPolicy(Qt::StrongFocus);
    field_surface_->setMouse({
        [this](int button, double x, double y) {
            dispatch([&] { game_.boardPress(button, x, y); });
        },
        [this](int buttons, double x, double y) {
            dispatch([&] { game_.boardMove(buttons, x, y); });
        },
        [this](int button, double x, double y) {
            dispatch([&] { game_.boardRelease(button, x, y); });
        },
    });
    field_surface_->setFocus();
}

QWidget* MainWindow::clientArea() const {
    return client_;
}

void MainWindow::buildMenus() {
    QMenu* game = menuBar()->addMenu(text(texts::kGameMenu));
    new_ = game->addAction(text(texts::kNewGame));
    new_->setShortcut(QKeySequence(Qt::Key_F2));
    connect(new_, &QAction::triggered, this, [this] { dispatch([&] { game_.newGame(); }); });
    game->addSeparator();
    addLevelItems(game);
    game->addSeparator();
    addFaceItems(game->addMenu(text(texts::kFaceMenu)));
    game->addSeparator();

    QAction* bestTimes = game->addAction(text(texts::kBestTimes));
    connect(bestTimes, &QAction::triggered, this, [this] {
        if (dialogs_ != nullptr) {
            if (store_ != nullptr) {
                bestTimes_ = store_->bestTimesNow(bestTimes_);
            }
            dialogs_->showBestTimes(bestTimes_, [this] { writeSettings(); });
        }
    });
    game->addSeparator();
    quit_ = game->addAction(text(texts::kQuit));
    connect(quit_, &QAction::triggered, this, &MainWindow::quit);

    QMenu* help = menuBar()->addMenu(text(texts::kHelpMenu));
    about_ = help->addAction(text(texts::kAbout));
    connect(about_, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::addLevelItems(QMenu* menu) {
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i] = menu->addAction(text(texts::kLevels[i]));
        levels_[i]->setCheckable(true);
    }
    for (const core::Level level :
         {core::Level::Beginner, core::Level::Advanced, core::Level::Expert}) {
        connect(levelAction(level), &QAction::triggered, this,
                [this, level] { dispatch([&] { game_.chooseLevel(level); }); });
    }
    connect(levelAction(core::Level::Custom), &QAction::triggered, this,
            [this] { askCustomBoard(); });
}

void MainWindow::addFaceItems(QMenu* menu) {
    for (std::size_t i = 0; i < faceSets_.size(); ++i) {
        faceSets_[i] = menu->addAction(text(texts::kFaceSets[i]));
        faceSets_[i]->setCheckable(true);
        const int index = static_cast<int>(i);
        connect(faceSets_[i], &QAction::triggered, this, [this, index] {
            dispatch([&] { game_.chooseFaceSet(index); });
            // Qt toggled the item's mark itself; choosing the marked set
            // again changes nothing in the game, so put the marks back.
            syncMarks();
        });
    }
}

template <typename Move>
void MainWindow::dispatch(Move&& move) {
    move();
    scheduleFieldRepaint();
}

void MainWindow::scheduleFieldRepaint() {
    if (!field_dirty_.isEmpty()) {
        field_surface_->update(field_dirty_);
        field_dirty_ = QRegion();
    }
}

void MainWindow::syncMarks() {
    const auto level = game_.levelMark();
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i]->setChecked(level.has_value() && levelAction(*level) == levels_[i]);
    }
    const auto face = game_.faceMark();
    for (std::size_t i = 0; i < faceSets_.size(); ++i) {
        faceSets_[i]->setChecked(face.has_value() && *face == static_cast<int>(i));
    }
}

void MainWindow::markCellDirty(core::CellPos cell) {
    // The largest glyph (the dark ground of a cross) reaches from 9 pixels left of
    // the outline origin to 15 right of it, over the cell's 16 rows.
    const render::PixelPos origin = render::cellOrigin(cell);
    field_dirty_ += QRect(origin.x - 10, origin.y, 27, 16);
}

void MainWindow::refreshField() {
    if (!field_dirty_.isEmpty()) {
        field_surface_->repaint(field_dirty_);
        field_dirty_ = QRegion();
    }
}

const render::Picture& MainWindow::fieldPicture() const {
    const render::Picture* shown = field_surface_->picture();
    return shown != nullptr ? *shown : field_;
}

render::Picture& MainWindow::fieldToDraw() {
    const render::Picture* shown = field_surface_->picture();
    if (shown != nullptr && shown != &field_) {
        field_ = *shown;
        field_surface_->showCopy(&field_);
    }
    return field_;
}

void MainWindow::layoutBoard(int side) {
    const int w = core::boardWidth(side);
    const int h = core::boardHeight(side);
    // Every cell raised: the new board shows the shared picture until a cell is
    // drawn on it.
    field_dirty_ = QRegion();
    field_surface_->setGeometry(layout::kFieldX, layout::kFieldY, w, h);
    field_surface_->setPicture(&render::boardPicture(side));
    field_surface_->update();
    panel_->resize(w, layout::kPanelHeight);
    face_button_->move(layout::faceButtonX(w), layout::kFaceButtonY);
    panel_->update();
    client_->setBoardSize(w, h);
    client_->setFixedSize(layout::clientWidth(w), layout::clientHeight(h));
    // Apply the new size now; the window's top-left corner stays where it is.
    layout()->activate();
}

void MainWindow::restoreSettings() {
    if (store_ == nullptr) {
        // No settings: the beginner level with the first face set.
        dispatch([&] { settings::startGame(game_, settings::StoredSettings{}); });
        return;
    }
    // Centred from the window's initial size, before any board has laid it out.
    const settings::Screens screens = screensOf(*this);
    const settings::StoredSettings stored = store_->read(screens.centred);
    bestTimes_ = stored.bestTimes;
    placement_ = settings::placeWindow(stored.position, screens);
    if (placement_->at) {
        move(*placement_->at);
    }
    dispatch([&] { settings::startGame(game_, stored); });
}

void MainWindow::writeSettings() {
    // After the write on the way out the program is ending: a move that was
    // interrupted by the quit (a record dialog closed under it) writes nothing more.
    if (!quitting_) {
        storeSettings();
    }
}

void MainWindow::storeSettings() {
    if (store_ != nullptr) {
        const QPointF position = settings::positionToStore(placement_, pos());
        bestTimes_ = store_->write(settings::settingsOf(game_, position, bestTimes_));
    }
}

void MainWindow::askCustomBoard() {
    syncMarks();
    if (dialogs_ == nullptr) {
        return;
    }
    dialogs_->askCustomBoard(game_.side(), game_.mines(), [this](int side, int mines) {
        dispatch([&] { game_.chooseCustomBoard(side, mines); });
    });
    syncMarks();
}

void MainWindow::showAbout() {
    QMessageBox box(QMessageBox::Information, text(texts::kAboutTitle), text(texts::kAboutText),
                    QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::quit() {
    if (quitting_) {
        return;
    }
    quitting_ = true;
    storeSettings();
    emit quitting();
    timer_.stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // F2 reaches the game through the menu's shortcut, so one press is one new game.
    if (event->key() == Qt::Key_Escape) {
        dispatch([&] { game_.keyDown(core::Key::Escape); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    quit();
    event->accept();
}

}  // namespace quorvel::shell
