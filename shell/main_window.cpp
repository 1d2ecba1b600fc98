#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>

#include "dialogs/about_box.h"
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
      dialogs_(dialogs),
      parts_(buildParts(*this, *this, {random, store, dialogs})) {
    dialogs_.setDialogParent(this);
    setWindowTitle(text(texts::kTitle));
    // A fixed single border: minimise and close, never maximise or resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    dialogs::takeTitleBar(*this, dialogs::CaptionButtons::MinimiseAndClose);
    parts_.client->setFixedSize(layout::kInitialClientWidth, layout::kInitialClientHeight);
    setCentralWidget(parts_.client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    parts_.panel->setGeometry(layout::kPanelX, layout::kPanelY,
                              layout::kInitialClientWidth - 2 * layout::kPanelX,
                              layout::kPanelHeight);
    parts_.faceButton->resize(layout::kFaceButtonWidth, layout::kFaceButtonHeight);
    connectSurfaces();

    parts_.clock->setInterval(1000);
    parts_.clock->setTimerType(Qt::PreciseTimer);
    connect(parts_.clock, &QTimer::timeout, this,
            [this] { dispatch([&] { parts_.game->tick(); }); });

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
        [this](int button, double x, double y) {
            dispatch([&] { (parts_.game.get()->*press)(button, x, y); });
        },
        [this](int buttons, double x, double y) {
            dispatch([&] { (parts_.game.get()->*move)(buttons, x, y); });
        },
        [this](int button, double x, double y) {
            dispatch([&] { return (parts_.game.get()->*release)(button, x, y); });
        },
    };
}

void MainWindow::connectSurfaces() {
    using core::Game;
    parts_.faceButton->setMouse(
        mouseMoves<&Game::facePress, &Game::faceMove, &Game::faceRelease>());
    // The game ignores board input while the board is disabled; the surface
    // itself stays enabled, so it keeps the keyboard focus.
    PictureSurface& field = parts_.board->surface();
    field.move(layout::kFieldX, layout::kFieldY);
    field.setFocusPolicy(Qt::StrongFocus);
    field.setMouse(mouseMoves<&Game::boardPress, &Game::boardMove, &Game::boardRelease>());
    field.setFocus();
}

void MainWindow::buildMenus() {
    menus_.emplace(*menuBar(), *this,
                   MenuMoves{
                       .newGame = [this] { dispatch([&] { parts_.game->newGame(); }); },
                       .chooseLevel =
                           [this](core::Level level) {
                               dispatch([&] { return parts_.game->chooseLevel(level); });
                           },
                       .askCustomBoard = [this] { askCustomBoard(); },
                       .chooseFaceSet =
                           [this](core::FaceSet set) {
                               dispatch([&] { return parts_.game->chooseFaceSet(set); });
                           },
                       .showBestTimes = [this] { parts_.records->showBestTimes(); },
                       .quit = [this] { quit(); },
                       .showAbout = [this] { showAbout(); },
                   });
}

void MainWindow::layoutBoard(int side) {
    const int w = core::boardWidth(side);
    const int h = core::boardHeight(side);
    parts_.board->reset(side, QPoint(layout::kFieldX, layout::kFieldY));
    parts_.panel->resize(w, layout::kPanelHeight);
    parts_.faceButton->move(layout::faceButtonX(w), layout::kFaceButtonY);
    parts_.panel->update();
    parts_.client->setBoardSize(w, h);
    parts_.client->setFixedSize(layout::clientWidth(w), layout::clientHeight(h));
    // Apply the new size now; the window's top-left corner stays where it is.
    layout()->activate();
}

void MainWindow::act(const core::MoveOutcome& outcome) {
    if (outcome.boardChosen) {
        parts_.session->boardChosen(*outcome.boardChosen);
    }
    if (outcome.won) {
        parts_.records->recordWin(*outcome.won);
    }
    if (outcome.faceSetChosen) {
        parts_.session->faceSetChosen(*outcome.faceSetChosen);
    }
    if (outcome.minimize) {
        showMinimized();
    }
}

void MainWindow::restoreSettings() {
    parts_.session->restore([this](const settings::StoredSettings& stored) {
        dispatch([&] { return startStored(*parts_.game, stored); });
    });
}

void MainWindow::askCustomBoard() {
    // Opened at the board being played; its "OK" chooses the board it confirms.
    dialogs_.askCustomBoard(parts_.game->side(), parts_.game->mines(), [this](int side, int mines) {
        dispatch([&] { return parts_.game->chooseCustomBoard(side, mines); });
    });
}

void MainWindow::showAbout() {
    dialogs::makeAboutBox(this, text(texts::kAboutTitle), text(texts::kAboutText))->exec();
}

void MainWindow::quit() {
    if (!parts_.lastWrite->make()) {
        return;
    }
    emit quitting();
    parts_.clock->stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // F2 reaches the game through the menu's shortcut, so one press is one new game.
    if (event->key() == Qt::Key_Escape) {
        dispatch([&] { return parts_.game->keyDown(core::Key::Escape); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    quit();
    event->accept();
}

}  // namespace quorvel::shell
