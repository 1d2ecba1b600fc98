#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>

#include "dialogs/title_bar.h"
#include "shell/client_layout.h"
#include "shell/screens.h"
#include "shell/surfaces.h"
#include "shell/window_texts.h"

namespace quorvel::shell {

using texts::text;

MainWindow::MainWindow(core::RandomSource& random, settings::SettingsStore& store,
                       dialogs::GameDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      client_(new ClientArea(this)),
      panel_(new Panel(client_)),
      face_button_(new PictureSurface(panel_)),
      board_(*new PictureSurface(client_)),
      session_(store, dialogs, game_, *this),
      view_({*this, *this, board_, *panel_, *face_button_, timer_, game_}),
      game_(view_, random) {
    setWindowTitle(text(texts::kTitle));
    // A fixed single border: minimise and close, never maximise or resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    dialogs::takeTitleBar(*this, dialogs::CaptionButtons::MinimiseAndClose);
    client_->setFixedSize(layout::kInitialClientWidth, layout::kInitialClientHeight);
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    panel_->setGeometry(layout::kPanelX, layout::kPanelY,
                        layout::kInitialClientWidth - 2 * layout::kPanelX, layout::kPanelHeight);
    face_button_->resize(layout::kFaceButtonWidth, layout::kFaceButtonHeight);
    connectSurfaces();

    timer_.setInterval(1000);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { dispatch([&] { game_.tick(); }); });

    buildMenus();
    // The initial size is known before the first board lays the window out: start-up
    // centres a new settings file's window from it.
    layout()->activate();
}

MainWindow::~MainWindow() = default;

// The mouse of a surface, each event a move of the game.
template <auto press, auto move, auto release>
SurfaceMouse MainWindow::mouseMoves() {
    return {
        [this](int button, double x, double y) { dispatch([&] { (game_.*press)(button, x, y); }); },
        [this](int buttons, double x, double y) {
            dispatch([&] { (game_.*move)(buttons, x, y); });
        },
        [this](int button, double x, double y) {
            dispatch([&] { return (game_.*release)(button, x, y); });
        },
    };
}

void MainWindow::connectSurfaces() {
    using core::Game;
    face_button_->setMouse(mouseMoves<&Game::facePress, &Game::faceMove, &Game::faceRelease>());
    // The game ignores board input while the board is disabled; the surface
    // itself stays enabled, so it keeps the keyboard focus.
    PictureSurface& field = board_.surface();
    field.move(layout::kFieldX, layout::kFieldY);
    field.setFocusPolicy(Qt::StrongFocus);
    field.setMouse(mouseMoves<&Game::boardPress, &Game::boardMove, &Game::boardRelease>());
    field.setFocus();
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
    connect(bestTimes, &QAction::triggered, this, [this] { session_.showBestTimes(); });
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
    for (const core::FaceSet set : core::kFaceSets) {
        const auto i = static_cast<std::size_t>(core::faceSetNumber(set));
        QAction* item = faceSets_[i] = menu->addAction(text(texts::kFaceSets[i]));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, set] {
            dispatch([&] { return game_.chooseFaceSet(set); });
            // Qt toggled the item's mark itself; choosing the marked set
            // again changes nothing in the game, so put the marks back.
            showMarks();
        });
    }
}

void MainWindow::showMarks() {
    const auto level = game_.levelMark();
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i]->setChecked(level.has_value() && levelAction(*level) == levels_[i]);
    }
    for (const core::FaceSet set : core::kFaceSets) {
        faceAction(set)->setChecked(game_.faceMark() == set);
    }
}

void MainWindow::layoutBoard(int side) {
    const int w = core::boardWidth(side);
    const int h = core::boardHeight(side);
    board_.reset(side, QPoint(layout::kFieldX, layout::kFieldY));
    panel_->resize(w, layout::kPanelHeight);
    face_button_->move(layout::faceButtonX(w), layout::kFaceButtonY);
    panel_->update();
    client_->setBoardSize(w, h);
    client_->setFixedSize(layout::clientWidth(w), layout::clientHeight(h));
    // Apply the new size now; the window's top-left corner stays where it is.
    layout()->activate();
}

void MainWindow::act(const core::MoveOutcome& outcome) {
    if (outcome.won) {
        session_.recordWin(*outcome.won);
    }
    if (outcome.faceSetChanged) {
        session_.save();
    }
    if (outcome.minimize) {
        showMinimized();
    }
}

void MainWindow::restoreSettings() {
    session_.restore([this](const settings::StoredSettings& stored) {
        dispatch([&] { return startStored(game_, stored); });
    });
}

void MainWindow::askCustomBoard() {
    showMarks();
    session_.askCustomBoard(
        [this](int side, int mines) { dispatch([&] { game_.chooseCustomBoard(side, mines); }); });
    showMarks();
}

void MainWindow::showAbout() {
    QMessageBox box(QMessageBox::Information, text(texts::kAboutTitle), text(texts::kAboutText),
                    QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::quit() {
    if (!session_.quit()) {
        return;
    }
    emit quitting();
    timer_.stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // F2 reaches the game through the menu's shortcut, so one press is one new game.
    if (event->key() == Qt::Key_Escape) {
        dispatch([&] { return game_.keyDown(core::Key::Escape); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    quit();
    event->accept();
}

}  // namespace quorvel::shell
