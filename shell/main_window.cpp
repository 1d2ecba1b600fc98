#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>

#include "dialogs/title_bar.h"
#include "dialogs/toolkit_texts.h"
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
      dialogs_(dialogs),
      placed_(*this),
      session_(store, placed_),
      records_(session_, dialogs),
      lastWrite_(session_, records_),
      accessible_(game_, *panel_, *face_button_, board_.surface()),
      view_({*this, *this, board_, *panel_, *face_button_, timer_, accessible_}),
      game_(view_, random) {
    dialogs_.setDialogParent(this);
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
    menus_.emplace(
        *menuBar(), *this,
        MenuMoves{
            .newGame = [this] { dispatch([&] { game_.newGame(); }); },
            .chooseLevel =
                [this](core::Level level) { dispatch([&] { return game_.chooseLevel(level); }); },
            .askCustomBoard = [this] { askCustomBoard(); },
            .chooseFaceSet =
                [this](core::FaceSet set) { dispatch([&] { return game_.chooseFaceSet(set); }); },
            .showBestTimes = [this] { records_.showBestTimes(); },
            .quit = [this] { quit(); },
            .showAbout = [this] { showAbout(); },
        });
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
    if (outcome.boardChosen) {
        session_.boardChosen(*outcome.boardChosen);
    }
    if (outcome.won) {
        records_.recordWin(*outcome.won);
    }
    if (outcome.faceSetChosen) {
        session_.faceSetChosen(*outcome.faceSetChosen);
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
    // Opened at the board being played; its "OK" chooses the board it confirms.
    dialogs_.askCustomBoard(game_.side(), game_.mines(), [this](int side, int mines) {
        dispatch([&] { return game_.chooseCustomBoard(side, mines); });
    });
}

void MainWindow::showAbout() {
    dialogs::useToolkitTexts();
    QMessageBox box(QMessageBox::Information, text(texts::kAboutTitle), text(texts::kAboutText),
                    QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::quit() {
    if (!lastWrite_.make()) {
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
