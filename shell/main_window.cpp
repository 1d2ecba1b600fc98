#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_faces.h"
#include "render/face_pictures.h"
#include "render/glyphs.h"
#include "shell/records.h"
#include "shell/surfaces.h"

namespace quorvel::shell {

namespace {
// The client area the window is created with, before the first board lays it out.
constexpr QSize kInitialClient{373, 460};
constexpr QPoint kFieldPos{9, 52};
constexpr QPoint kPanelPos{9, 9};
constexpr int kPanelHeight = 37;
constexpr QSize kFaceButtonSize{32, 26};

int levelIndex(core::Level level) {
    return static_cast<int>(level);
}
}  // namespace

// The window as the game sees it.
class MainWindow::View final : public core::GameView {
  public:
    explicit View(MainWindow& window) : w_(window) {}

    void DrawP2(int x, int y) override {
        render::DrawP2(w_.field_, x, y);
        w_.markFieldDirty(x, y);
    }
    void DrawPD(int& x, int y) override {
        render::DrawPD(w_.field_, x, y);
        w_.markFieldDirty(x, y);
    }
    void DrawP3(int& x, int y) override {
        render::DrawP3(w_.field_, x, y);
        w_.markFieldDirty(x, y);
    }
    void DrawNu(int x, int y, int n) override {
        render::DrawNu(w_.field_, x, y, n, w_.game_.FaceSet());
        w_.markFieldDirty(x, y);
    }
    void DrawMin(int& x, int y, int kind) override {
        render::DrawMin(w_.field_, x, y, kind);
        w_.markFieldDirty(x, y);
        w_.refreshField();
    }
    void DrawFlg(int x, int y) override {
        render::DrawFlg(w_.field_, x, y, w_.game_.FaceSet());
        w_.markFieldDirty(x, y);
    }
    void DrawCrs(int& x, int y) override {
        render::DrawCrs(w_.field_, x, y, w_.game_.FaceSet());
        w_.markFieldDirty(x, y);
    }
    void refreshField() override { w_.refreshField(); }
    void layoutBoard(int side) override { w_.layoutBoard(side); }
    void setFieldEnabled(bool) override {
        // The game keeps the enabled state; the surface asks it before each event,
        // so the board keeps the keyboard focus even while it takes no mouse input.
    }

    void showFace(core::Face face, int faceSet) override {
        w_.face_button_->setPicture(&render::facePicture(face, faceSet));
    }
    void showCounter(int leftGlyph, int rightGlyph) override {
        w_.panel_->setPlace(0, leftGlyph);
        w_.panel_->setPlace(1, rightGlyph);
    }
    void showClock(int seconds) override {
        w_.panel_->setPlace(2, seconds / 100);
        w_.panel_->setPlace(3, seconds / 10 % 10);
        w_.panel_->setPlace(4, seconds % 10);
    }
    void setTimerEnabled(bool enabled) override {
        if (enabled) {
            w_.timer_.start();
        } else {
            w_.timer_.stop();
        }
    }

    bool isMinimized() const override { return w_.isMinimized(); }
    void minimize() override { w_.showMinimized(); }
    void showLevelMark(core::Level) override { w_.syncMarks(); }
    void showFaceMark(int) override { w_.syncMarks(); }

    void setRecordPrompt(core::Level level) override {
        if (w_.records_ != nullptr) {
            w_.records_->setRecordPrompt(level);
        }
    }
    double bestTime(core::Level level) override {
        // Without a table no time counts as a record.
        return w_.records_ != nullptr ? w_.records_->bestTime(level) : 0.0;
    }
    void prepareNameEntry(core::Level level) override {
        if (w_.records_ != nullptr) {
            w_.records_->prepareNameEntry(level);
        }
    }
    void enterRecord(core::Level level, int seconds) override {
        // The dialogs run their own event loop: what the win drew (the flags on
        // the mines) must be on the screen behind them.
        w_.scheduleFieldRepaint();
        if (w_.records_ != nullptr && !w_.quitting_) {
            w_.records_->enterRecord(level, seconds, [this] { WriteK(); });
        }
    }
    void WriteK() override;

  private:
    MainWindow& w_;
};

void MainWindow::View::WriteK() {
    // After the write on the way out the program is ending: a handler that was
    // interrupted by the quit (a record dialog closed under it) writes nothing more.
    if (w_.records_ == nullptr || w_.settings_final_) {
        return;
    }
    WindowSettings settings;
    settings.difficulty = levelIndex(w_.game_.levelMark().value_or(core::Level::Beginner));
    settings.side = w_.game_.Side();
    settings.mines = w_.game_.MineCount();
    settings.faceSet = w_.game_.faceMark().value_or(0);
    settings.position = w_.storedPosition();
    w_.records_->write(settings);
}

MainWindow::MainWindow(core::RandomSource& random, Records* records, QWidget* parent)
    : QMainWindow(parent),
      view_(std::make_unique<View>(*this)),
      records_(records),
      game_(*view_, random) {
    setWindowTitle(QStringLiteral("Quorvel"));
    // A fixed single border: minimise and close, never maximise or resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    client_ = new ClientArea(this);
    client_->setFixedSize(kInitialClient);
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    panel_ = new Panel(client_);
    panel_->setGeometry(QRect(kPanelPos, QSize(kInitialClient.width() - 18, kPanelHeight)));
    face_button_ = new PictureSurface(panel_);
    face_button_->resize(kFaceButtonSize);
    face_button_->setMouse({
        [this](int button, double x, double y) {
            dispatch([&] { game_.Picture2_MouseDown(button, 0, x, y); });
        },
        [this](int buttons, double x, double y) {
            dispatch([&] { game_.Picture2_MouseMove(buttons, 0, x, y); });
        },
        [this](int button, double x, double y) {
            dispatch([&] { game_.Picture2_MouseUp(button, 0, x, y); });
        },
    });

    field_surface_ = new PictureSurface(client_);
    field_surface_->move(kFieldPos);
    field_surface_->setFocusPolicy(Qt::StrongFocus);
    // A disabled board takes no mouse input (the game disables it when a game ends).
    field_surface_->setMouse({
        [this](int button, double x, double y) {
            if (game_.fieldEnabled()) {
                dispatch([&] { game_.Field_MouseDown(button, 0, x, y); });
            }
        },
        [this](int buttons, double x, double y) {
            if (game_.fieldEnabled()) {
                dispatch([&] { game_.Field_MouseMove(buttons, 0, x, y); });
            }
        },
        [this](int button, double x, double y) {
            if (game_.fieldEnabled()) {
                dispatch([&] { game_.Field_MouseUp(button, 0, x, y); });
            }
        },
    });
    field_surface_->setFocus();

    timer_.setInterval(1000);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { dispatch([&] { game_.TimerT_Timer(); }); });

    buildMenus();
    if (records_ != nullptr) {
        records_->setDialogParent(this);
    }
    // The initial size is known before the first board lays the window out: start-up
    // centres a new settings file's window from it.
    layout()->activate();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::clientArea() const {
    return client_;
}

QAction* MainWindow::levelAction(core::Level level) const {
    return levels_.at(static_cast<std::size_t>(levelIndex(level)));
}

void MainWindow::buildMenus() {
    QMenu* game = menuBar()->addMenu(QStringLiteral("&Hra"));
    new_ = game->addAction(QStringLiteral("&Nová"));
    new_->setShortcut(QKeySequence(Qt::Key_F2));
    connect(new_, &QAction::triggered, this, [this] { dispatch([&] { game_.New_Click(); }); });
    game->addSeparator();

    const std::array<QString, 4> levelCaptions{
        QStringLiteral("&Začátečník"), QStringLiteral("&Pokročilý"), QStringLiteral("&Expert"),
        QStringLiteral("&Vlastní pole...")};
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i] = game->addAction(levelCaptions[i]);
        levels_[i]->setCheckable(true);
    }
    connect(levels_[0], &QAction::triggered, this, [this] { dispatch([&] { game_.NGB(); }); });
    connect(levels_[1], &QAction::triggered, this, [this] { dispatch([&] { game_.NGA(); }); });
    connect(levels_[2], &QAction::triggered, this, [this] { dispatch([&] { game_.NGE(); }); });
    connect(levels_[3], &QAction::triggered, this, [this] { NGC_Click(); });
    game->addSeparator();

    QMenu* skin = game->addMenu(QStringLiteral("&Tvář"));
    const std::array<QString, 3> faceCaptions{QStringLiteral("Běloch (žlutý běloch)"),
                                              QStringLiteral("Černoch"), QStringLiteral("Ufon")};
    for (std::size_t i = 0; i < skn_.size(); ++i) {
        skn_[i] = skin->addAction(faceCaptions[i]);
        skn_[i]->setCheckable(true);
        const int index = static_cast<int>(i);
        connect(skn_[i], &QAction::triggered, this, [this, index] {
            dispatch([&] { game_.Skn_Click(index); });
            // Qt toggled the item's mark itself; choosing the marked set
            // again changes nothing in the game, so put the marks back.
            syncMarks();
        });
    }
    game->addSeparator();

    best_times_ = game->addAction(QStringLiteral("Nejlepší ča&sy..."));
    connect(best_times_, &QAction::triggered, this, [this] {
        if (records_ != nullptr) {
            records_->showBestTimes([this] { view_->WriteK(); });
        }
    });
    game->addSeparator();
    quit_ = game->addAction(QStringLiteral("&Konec"));
    connect(quit_, &QAction::triggered, this, &MainWindow::Quit_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Nápo&věda"));
    about_ = help->addAction(QStringLiteral("&O hře Quorvel"));
    connect(about_, &QAction::triggered, this, &MainWindow::About_Click);
}

template <typename Handler>
void MainWindow::dispatch(Handler&& handler) {
    handler();
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
        levels_[i]->setChecked(level.has_value() && levelIndex(*level) == static_cast<int>(i));
    }
    const auto face = game_.faceMark();
    for (std::size_t i = 0; i < skn_.size(); ++i) {
        skn_[i]->setChecked(face.has_value() && *face == static_cast<int>(i));
    }
}

void MainWindow::markFieldDirty(int originX, int originY) {
    if (originX == core::kNoCell || originY == core::kNoCell) {
        return;  // nothing was drawn
    }
    // The largest glyph (the dark ground of a cross) reaches from 9 pixels left of
    // the outline origin to 15 right of it, over the cell's 16 rows.
    field_dirty_ += QRect(originX - 10, originY, 27, 16);
}

void MainWindow::refreshField() {
    if (!field_dirty_.isEmpty()) {
        field_surface_->repaint(field_dirty_);
        field_dirty_ = QRegion();
    }
}

void MainWindow::layoutBoard(int side) {
    const int w = core::boardWidth(side);
    const int h = core::boardHeight(side);
    field_ = render::boardPicture(side);
    field_dirty_ = QRegion();
    field_surface_->setGeometry(QRect(kFieldPos, QSize(w, h)));
    field_surface_->setPicture(&field_);
    field_surface_->update();
    panel_->resize(w, kPanelHeight);
    // The 32-pixel face button stands 9 pixels left of the panel's centre.
    face_button_->move(w / 2 - 25, 6);
    panel_->update();
    client_->setBoardSize(w, h);
    client_->setFixedSize(w + 18, h + 61);
    // Apply the new size now; the window's top-left corner stays where it is.
    layout()->activate();
}

void MainWindow::DetectK() {
    if (records_ == nullptr) {
        // No settings: the beginner level with the first face set.
        dispatch([&] { game_.NGB(); });
        dispatch([&] { game_.Skn_Click(0); });
        return;
    }
    const StartupSettings stored = records_->read(centredPosition());
    placeWindow(stored.position);
    switch (stored.level) {
        case core::Level::Beginner:
            dispatch([&] { game_.NGB(); });
            break;
        case core::Level::Advanced:
            dispatch([&] { game_.NGA(); });
            break;
        case core::Level::Expert:
            dispatch([&] { game_.NGE(); });
            break;
        case core::Level::Custom:
            dispatch([&] { game_.CustOK(stored.side, stored.mines); });
            break;
    }
    dispatch([&] { game_.Skn_Click(stored.faceSet); });
}

QPointF MainWindow::centredPosition() const {
    // Centred from the window's initial size, before any board has laid it out.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize outer = frameGeometry().size();
    return {area.x() + (area.width() - outer.width()) / 2.0,
            area.y() + (area.height() - outer.height()) / 2.0};
}

void MainWindow::placeWindow(QPointF stored) {
    placement_ = Placement{stored, std::nullopt};
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // The compositor places windows: keep what was read and write it back.
        return;
    }
    constexpr double kLimit = 1000000;
    QPoint at(static_cast<int>(std::floor(std::clamp(stored.x(), -kLimit, kLimit))),
              static_cast<int>(std::floor(std::clamp(stored.y(), -kLimit, kLimit))));
    // A window whose title bar would lie outside every screen could never be
    // dragged back: centre it instead.
    const QRect titleBar(at, QSize(frameGeometry().width(), 24));
    bool reachable = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        reachable = reachable || screen->availableGeometry().intersects(titleBar);
    }
    if (!reachable) {
        placement_->read = centredPosition();
        at = QPoint(static_cast<int>(std::floor(placement_->read.x())),
                    static_cast<int>(std::floor(placement_->read.y())));
    }
    move(at);
    placement_->at = at;
}

QPointF MainWindow::storedPosition() const {
    // Screen pixels are whole, the stored values need not be: while the window
    // stays where start-up put it, the values read are written back as they were.
    if (placement_ && (!placement_->at || pos() == *placement_->at)) {
        return placement_->read;
    }
    return QPointF(pos());
}

void MainWindow::NGC_Click() {
    syncMarks();
    if (records_ == nullptr) {
        return;
    }
    records_->askCustomBoard(game_.Side(), game_.MineCount(), [this](int side, int mines) {
        dispatch([&] { game_.CustOK(side, mines); });
    });
    syncMarks();
}

void MainWindow::About_Click() {
    // Five short lines, so that none of them wraps.
    const QString text = QStringLiteral(
        "Quorvel napsal tým Quorvel.\n"
        "24.11.2000 - 01.12.2000 (poopraveno 18.02.2001)\n"
        "Díky všem, kdo hru zkoušeli.\n"
        "\n"
        "Hra vznikla z nápadu na šestiúhelníky.");
    QMessageBox box(QMessageBox::Information, QStringLiteral("O hře Quorvel v1.2"), text,
                    QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::Quit_Click() {
    if (quitting_) {
        return;
    }
    quitting_ = true;
    view_->WriteK();
    settings_final_ = true;
    emit quitting();
    timer_.stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // F2 reaches the game through the menu's shortcut, so one press is one new game.
    if (event->key() == Qt::Key_Escape) {
        dispatch([&] { game_.Form_KeyDown(core::kKeyEsc, 0); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Quit_Click();
    event->accept();
}

}  // namespace quorvel::shell
