// The main window driven with real Qt events on the offscreen platform.

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <chrono>

#include "core/geometry.h"
#include "dialogs/toolkit_texts.h"
#include "render/board_pictures.h"
#include "render/face_pictures.h"
#include "render/panel_pictures.h"
#include "shell/application.h"
#include "shell/surfaces.h"
#include "shell/upload_region.h"
#include "shell/window_texts.h"
#include "shell_support.h"
#include "tests/support/client_picture.h"
#include "tests/support/image_compare.h"
#include "tests/support/modal_dialogs.h"

namespace quorvel::shell {
namespace {

using core::Cell;
using core::Face;
using core::GameState;
using core::Level;
using testing::anchorPoint;
using testing::FakeRecords;
using testing::FixedPointRandom;
using testing::screenImage;

// Counts paint events of a widget and keeps their regions.
class PaintSpy : public QObject {
  public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<QRegion> regions;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        }
        return false;
    }
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { open(random_); }

    void open(core::RandomSource& random) {
        window_ = std::make_unique<MainWindow>(random, records_, records_);
        window_->restoreSettings();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    void TearDown() override {
        // QTest remembers held buttons from one test to the next: let go of all.
        if (window_) {
            for (auto button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
                QTest::mouseRelease(field(), button, {}, QPoint(-50, -50));
            }
        }
        window_.reset();
    }

    core::Game& game() { return WindowAccess::game(*window_); }
    PictureSurface* field() { return WindowAccess::fieldSurface(*window_); }

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(field(), button, {}, at.toPoint());
    }
    void moveTo(QPointF at) { QTest::mouseMove(field(), at.toPoint()); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(field(), button, {}, at.toPoint());
    }
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        press(at, button);
        release(at, button);
    }

    std::array<std::optional<int>, 5> places() {
        std::array<std::optional<int>, 5> result;
        for (int i = 0; i < 5; ++i) {
            result[static_cast<std::size_t>(i)] =
                WindowAccess::place(*WindowAccess::panel(*window_), static_cast<PanelPlace>(i));
        }
        return result;
    }
    const render::Picture* shownFace() { return WindowAccess::faceButton(*window_)->picture(); }

    // Every pixel of the board surface on screen equals the window's picture of it.
    void expectFieldShowsPicture() {
        EXPECT_EQ(quorvel::support::compareWhole(screenImage(field()),
                                                 WindowAccess::fieldPicture(*window_)),
                  "");
    }

    core::SeededRandom random_{20261207};
    FakeRecords records_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(WindowTest, ClientAreaFollowsTheSideAndKeepsTheTopLeftCorner) {
    struct Expected {
        QAction* action;
        QSize client;
        int faceLeft;
        int clockLeft;
    };
    window_->move(40, 30);
    const QPoint corner = window_->pos();
    records_.customAnswer = std::make_pair(10, 135);
    const std::vector<Expected> cases{
        {WindowAccess::levelAction(*window_, Level::Advanced), {218, 243}, 75, 150},
        {WindowAccess::levelAction(*window_, Level::Custom), {354, 371}, 143, 286},
        {WindowAccess::levelAction(*window_, Level::Expert), {286, 307}, 109, 218},
        {WindowAccess::levelAction(*window_, Level::Beginner), {150, 179}, 41, 82},
    };
    for (const auto& c : cases) {
        c.action->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(WindowAccess::clientArea(*window_)->size(), c.client);
        EXPECT_EQ(window_->pos(), corner);
        EXPECT_EQ(WindowAccess::faceButton(*window_)->pos(), QPoint(c.faceLeft, 6));
        EXPECT_EQ(WindowAccess::panel(*window_)->placeRect(PanelPlace::ClockHundreds).left(),
                  c.clockLeft + 1);
        EXPECT_EQ(field()->geometry(), QRect(9, 52, c.client.width() - 18, c.client.height() - 61));
        // The window is never resizable by the user.
        EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    }
    EXPECT_EQ(game().mines(), 7);
}

// The whole client area, pixel by pixel, as the layout puts the pictures together.
TEST_F(WindowTest, ClientAreaIsExactlyItsPicturesInTheirPlaces) {
    records_.customAnswer = std::make_pair(10, 135);
    for (QAction* level : {WindowAccess::levelAction(*window_, Level::Beginner),
                           WindowAccess::levelAction(*window_, Level::Custom),
                           WindowAccess::levelAction(*window_, Level::Advanced)}) {
        level->trigger();
        const int mines = game().mines();
        const render::Picture expected = quorvel::support::expectedClientArea(
            render::boardPicture(game().side()),
            {mines >= 100 ? 9 : mines / 10, mines >= 100 ? 9 : mines % 10}, {0, 0, 0},
            render::facePicture(Face::Normal, core::FaceSet::Yellow));

        ASSERT_EQ(quorvel::support::compareWhole(screenImage(WindowAccess::clientArea(*window_)),
                                                 expected),
                  "")
            << "side " << game().side();
    }
}

TEST_F(WindowTest, MenuTreeHasTheExactCaptionsShortcutAndMarks) {
    const auto menus = window_->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&Hra"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Nápo&věda"));

    QStringList captions;
    for (QAction* item : menus[0]->menu()->actions()) {
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(captions,
              (QStringList{"&Nová", "-", "&Začátečník", "&Pokročilý", "&Expert", "&Vlastní pole...",
                           "-", "&Tvář", "-", "Nejlepší ča&sy...", "-", "&Konec"}));
    EXPECT_EQ(WindowAccess::newAction(*window_)->shortcut(), QKeySequence(Qt::Key_F2));

    QStringList faces;
    for (QAction* item : menus[0]->menu()->actions()[7]->menu()->actions()) {
        faces << item->text();
    }
    EXPECT_EQ(faces, (QStringList{"Běloch (žlutý běloch)", "Černoch", "Ufon"}));
    ASSERT_EQ(menus[1]->menu()->actions().size(), 1);
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(), QStringLiteral("&O hře Quorvel"));

    auto marked = [&] {
        QString marks;
        for (Level level : {Level::Beginner, Level::Advanced, Level::Expert, Level::Custom}) {
            marks += WindowAccess::levelAction(*window_, level)->isChecked() ? 'x' : '.';
        }
        marks += ' ';
        for (const core::FaceSet set : core::kFaceSets) {
            marks += WindowAccess::faceAction(*window_, set)->isChecked() ? 'x' : '.';
        }
        return marks;
    };
    EXPECT_EQ(marked(), QStringLiteral("x... x.."));
    WindowAccess::levelAction(*window_, Level::Expert)->trigger();
    EXPECT_EQ(marked(), QStringLiteral("..x. x.."));
    // Choosing the marked level again keeps its mark.
    WindowAccess::levelAction(*window_, Level::Expert)->trigger();
    EXPECT_EQ(marked(), QStringLiteral("..x. x.."));
    // Cancelling the custom dialog changes no mark.
    WindowAccess::levelAction(*window_, Level::Custom)->trigger();
    EXPECT_EQ(marked(), QStringLiteral("..x. x.."));

    const auto writes = records_.writes.size();
    WindowAccess::faceAction(*window_, core::FaceSet::Alien)->trigger();
    EXPECT_EQ(marked(), QStringLiteral("..x. ..x"));
    EXPECT_EQ(records_.writes.size(), writes + 1);
    EXPECT_EQ(records_.writes.back().faceSet, core::FaceSet::Alien);
    // The marked face set again: no new game, no write, mark kept.
    WindowAccess::faceAction(*window_, core::FaceSet::Alien)->trigger();
    EXPECT_EQ(marked(), QStringLiteral("..x. ..x"));
    EXPECT_EQ(records_.writes.size(), writes + 1);
}

TEST_F(WindowTest, StartUpWritesOnceAndShowsAReadyGame) {
    EXPECT_EQ(records_.reads, 1);
    ASSERT_EQ(records_.writes.size(), 1u);
    EXPECT_EQ(records_.writes[0].level, Level::Beginner);
    EXPECT_EQ(game().state(), GameState::Ready);
    EXPECT_EQ(places(), (std::array<std::optional<int>, 5>{0, 7, 0, 0, 0}));
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Normal, core::FaceSet::Yellow));
    expectFieldShowsPicture();
    EXPECT_EQ(WindowAccess::fieldPicture(*window_), render::boardPicture(4));
}

TEST_F(WindowTest, LeftPressHoldsTheCellAndReleaseOpensIt) {
    const QPointF cell = anchorPoint(3, 6);
    press(cell);
    EXPECT_EQ(game().heldCell(), (core::CellPos{3, 6}));
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Surprised, core::FaceSet::Yellow));
    expectFieldShowsPicture();
    EXPECT_EQ(WindowAccess::fieldPicture(*window_).at(62, 51), render::grey(159));

    release(cell);
    EXPECT_EQ(game().board().at(3, 6), Cell::Opened);
    EXPECT_FALSE(game().heldCell());
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Normal, core::FaceSet::Yellow));
    EXPECT_EQ(places()[2], 0);
    EXPECT_EQ(places()[3], 0);
    EXPECT_EQ(places()[4], 1);
    expectFieldShowsPicture();
}

TEST_F(WindowTest, DraggingOffTheBoardRaisesTheCellAndDraggingBackHoldsAgain) {
    press(anchorPoint(3, 6));
    moveTo(QPointF(1, 1));  // the frame: on no cell
    EXPECT_FALSE(game().heldCell());
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Normal, core::FaceSet::Yellow));
    // Nothing of the press is left on the board.
    EXPECT_EQ(WindowAccess::fieldPicture(*window_).at(62, 51), render::boardPicture(4).at(62, 51));

    moveTo(QPointF(-30, -30));  // outside the surface: still captured, still no cell
    EXPECT_FALSE(game().heldCell());

    moveTo(anchorPoint(3, 4));
    EXPECT_EQ(game().heldCell(), (core::CellPos{3, 4}));
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Surprised, core::FaceSet::Yellow));
    release(anchorPoint(3, 4));
    EXPECT_EQ(game().board().at(3, 4), Cell::Opened);
    EXPECT_EQ(game().board().at(3, 6), Cell::Covered);
}

TEST_F(WindowTest, AFastMoveTwoColumnsAwayKeepsTheFirstCellAndOpensIt) {
    press(anchorPoint(2, 5));
    moveTo(anchorPoint(4, 5));  // same anchor y, two columns away
    EXPECT_EQ(game().heldCell(), (core::CellPos{2, 5}));
    release(anchorPoint(4, 5));
    EXPECT_EQ(game().board().at(2, 5), Cell::Opened);
    EXPECT_NE(game().board().at(4, 5), Cell::Opened);
}

TEST_F(WindowTest, RightPressWhileTheLeftHoldsTheCellFlagsNothing) {
    const QPointF cell = anchorPoint(3, 6);
    press(cell);
    press(cell, Qt::RightButton);
    EXPECT_EQ(game().board().at(3, 6), Cell::Covered);
    EXPECT_EQ(places()[1], 7);
    release(cell, Qt::RightButton);
    release(cell);
    EXPECT_EQ(game().board().at(3, 6), Cell::Opened);
}

TEST_F(WindowTest, FlagsMoveTheCounterAndMayOutnumberTheMines) {
    const std::vector<std::pair<int, int>> cells{{0, 3}, {0, 5}, {0, 7}, {0, 9}, {1, 2},
                                                 {1, 4}, {1, 6}, {1, 8}, {1, 10}};
    for (auto [c, r] : cells) {
        click(anchorPoint(c, r), Qt::RightButton);
    }
    EXPECT_EQ(game().board().at(0, 3), Cell::FlaggedSafe);
    EXPECT_EQ(game().counter(), -2);
    EXPECT_EQ(places()[0], 10);
    EXPECT_EQ(places()[1], 2);
    expectFieldShowsPicture();

    click(anchorPoint(0, 3), Qt::RightButton);
    EXPECT_EQ(game().board().at(0, 3), Cell::Covered);
    EXPECT_EQ(game().counter(), -1);
    // A flagged cell cannot be held or opened.
    click(anchorPoint(0, 5));
    EXPECT_EQ(game().board().at(0, 5), Cell::FlaggedSafe);
}

TEST_F(WindowTest, MiddleButtonDoesNothing) {
    const render::Picture before = WindowAccess::fieldPicture(*window_);
    click(anchorPoint(3, 6), Qt::MiddleButton);
    EXPECT_EQ(game().board().at(3, 6), Cell::Covered);
    EXPECT_EQ(WindowAccess::fieldPicture(*window_), before);
    EXPECT_EQ(game().state(), GameState::Ready);
}

TEST_F(WindowTest, FaceButtonStartsAGameOnlyWhenReleasedInsideItsHexagon) {
    click(anchorPoint(3, 6));
    ASSERT_NE(game().state(), GameState::Ready);
    const GameState playing = game().state();
    QWidget* button = WindowAccess::faceButton(*window_);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(16, 13));
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Pressed, core::FaceSet::Yellow));
    // (QTest takes the point (0, 0) for "the middle of the widget".)
    QTest::mouseMove(button, QPoint(31, 1));
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Pressed, core::FaceSet::Yellow));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(31, 1));
    EXPECT_EQ(game().state(), playing);
    EXPECT_EQ(shownFace(), &render::facePicture(game().restingFace(), core::FaceSet::Yellow));

    // A corner outside the hexagon never presses the button.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_NE(shownFace(), &render::facePicture(Face::Pressed, core::FaceSet::Yellow));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(16, 13));
    EXPECT_EQ(game().state(), playing);

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(16, 13));
    EXPECT_EQ(game().state(), GameState::Ready);
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Normal, core::FaceSet::Yellow));
    EXPECT_EQ(WindowAccess::fieldPicture(*window_), render::boardPicture(4));
}

TEST_F(WindowTest, F2StartsExactlyOneNewGame) {
    click(anchorPoint(3, 6));
    QSignalSpy newGames(WindowAccess::newAction(*window_), &QAction::triggered);
    QTest::keyClick(field(), Qt::Key_F2);
    EXPECT_EQ(newGames.count(), 1);
    EXPECT_EQ(game().state(), GameState::Ready);
    EXPECT_EQ(places()[4], 0);
}

TEST_F(WindowTest, EscOpensTheHeldCellThenMinimises) {
    press(anchorPoint(3, 6));
    QTest::keyClick(field(), Qt::Key_Escape);
    EXPECT_EQ(game().board().at(3, 6), Cell::Opened);
    EXPECT_FALSE(game().heldCell());
    EXPECT_TRUE(window_->isMinimized());
}

// The opening that Esc makes can win: the record is asked for on the screen,
// and only then does the window go to the task bar.
TEST_F(WindowTest, EscThatWinsAsksForTheRecordBeforeMinimising) {
    quorvel::support::playToWin(game(), [&](int c, int r) {
        window_->showNormal();
        press(anchorPoint(c, r));
        QTest::keyClick(field(), Qt::Key_Escape);
        EXPECT_TRUE(window_->isMinimized());
    });
    ASSERT_EQ(game().state(), GameState::Won);
    EXPECT_EQ(records_.minimizedWhenAsked, std::vector<bool>{false});
}

TEST_F(WindowTest, EscWithNothingHeldOnlyMinimises) {
    const render::Picture before = WindowAccess::fieldPicture(*window_);
    QTest::keyClick(field(), Qt::Key_Escape);
    EXPECT_TRUE(window_->isMinimized());
    EXPECT_EQ(WindowAccess::fieldPicture(*window_), before);
    EXPECT_EQ(game().state(), GameState::Ready);
}

TEST_F(WindowTest, ClockDoesNotAdvanceWhileMinimised) {
    click(anchorPoint(3, 6));
    if (game().state() != GameState::Running) {
        GTEST_SKIP() << "the first opening ended the game";
    }
    ASSERT_EQ(game().seconds(), 1);
    // The window's own ticks, each a real timeout of its timer, without waiting.
    const auto tick = [&] {
        ASSERT_TRUE(QMetaObject::invokeMethod(&WindowAccess::timer(*window_), "timeout"));
    };
    ASSERT_TRUE(WindowAccess::timer(*window_).isActive());
    window_->showMinimized();
    tick();
    tick();
    EXPECT_EQ(game().seconds(), 1);
    window_->showNormal();
    tick();
    EXPECT_EQ(game().seconds(), 2);
    EXPECT_EQ(places()[4], 2);
}

TEST_F(WindowTest, ClosingTheWindowRunsQuitWhichWritesOnce) {
    WindowAccess::levelAction(*window_, Level::Advanced)->trigger();
    const auto writes = records_.writes.size();
    QSignalSpy quitting(window_.get(), &MainWindow::quitting);
    window_->close();
    EXPECT_EQ(quitting.count(), 1);
    ASSERT_EQ(records_.writes.size(), writes + 1);
    EXPECT_EQ(records_.writes.back().level, Level::Advanced);
    EXPECT_EQ(records_.writes.back().side, 6);
    testing::menuItem(*window_, texts::kQuit)->trigger();
    EXPECT_EQ(records_.writes.size(), writes + 1);
}

TEST_F(WindowTest, WritesStoreTheBoardAndFaceSetTheMovesChose) {
    records_.customAnswer = {6, 20};
    WindowAccess::levelAction(*window_, Level::Custom)->trigger();
    EXPECT_EQ(records_.writes.size(), 1u) << "choosing a board writes nothing";
    WindowAccess::faceAction(*window_, core::FaceSet::DarkRed)->trigger();
    ASSERT_EQ(records_.writes.size(), 2u);
    const auto expectChosen = [&] {
        const settings::StoredSettings& written = records_.writes.back();
        EXPECT_EQ(written.level, Level::Custom);
        EXPECT_EQ(written.side, 6);
        EXPECT_EQ(written.mines, 20);
        EXPECT_EQ(written.faceSet, core::FaceSet::DarkRed);
    };
    expectChosen();
    // A custom dialog cancelled and a new game change nothing that is stored.
    records_.customAnswer.reset();
    WindowAccess::levelAction(*window_, Level::Custom)->trigger();
    WindowAccess::newAction(*window_)->trigger();
    window_->close();
    ASSERT_EQ(records_.writes.size(), 3u);
    expectChosen();
}

TEST_F(WindowTest, AboutBoxShowsItsTitleAndFiveLinesAndChangesNothing) {
    click(anchorPoint(3, 6));
    const GameState before = game().state();
    QString title;
    QStringList lines;
    bool information = false;
    quorvel::support::whenModalShown([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        lines = box->text().split(QLatin1Char('\n'));
        information = box->icon() == QMessageBox::Information;
        ASSERT_EQ(box->buttons().size(), 1);
        box->buttons().first()->click();
    });
    testing::menuItem(*window_, texts::kAbout)->trigger();
    EXPECT_EQ(title, QStringLiteral("O hře Quorvel v1.2"));
    EXPECT_TRUE(information);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], QStringLiteral("24.11.2000 - 01.12.2000 (poopraveno 18.02.2001)"));
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_FALSE(lines[0].isEmpty());
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_FALSE(lines[4].isEmpty());
    EXPECT_EQ(game().state(), before);
}

TEST_F(WindowTest, MovesInsideTheHeldCellRepaintNothing) {
    const QPointF cell = anchorPoint(3, 6);
    press(cell);
    QCoreApplication::processEvents();
    PaintSpy fieldPaints(field());
    PaintSpy facePaints(WindowAccess::faceButton(*window_));
    for (int dx = -3; dx <= 3; ++dx) {
        moveTo(cell + QPointF(dx, 2));
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(fieldPaints.regions.empty());
    EXPECT_TRUE(facePaints.regions.empty());
    release(cell);
}

// A side-10 board whose only mine sits in the left corner cell (0, 9).
class FloodWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        records_.stored.level = Level::Custom;
        records_.stored.side = 10;
        records_.stored.mines = 1;
        // Map pixel (5, 79) is the left tip of cell (0, 9).
        open(corner_);
    }
    FixedPointRandom corner_{5.5 / 336.0, 79.5 / 310.0};
};

// A clock that a frame passes on at every reading: the slowest machine, on which
// every showing of the board has waited a frame.
BoardCanvas::Clock frameEveryReading() {
    return [now = std::chrono::steady_clock::time_point{}]() mutable {
        return now += BoardCanvas::kFrame;
    };
}

// A clock that stands still: a machine on which a whole move takes no time.
BoardCanvas::Clock stillClock() {
    return [] { return std::chrono::steady_clock::time_point{}; };
}

TEST_F(FloodWindowTest, FillShowsWhileItSpreadsAndEachRefreshCoversOnlyNewCells) {
    ASSERT_EQ(game().side(), 10);
    QCoreApplication::processEvents();
    WindowAccess::setDrawingClock(*window_, frameEveryReading());
    PaintSpy paints(field());
    click(anchorPoint(18, 27));
    ASSERT_EQ(game().board().at(0, 9), Cell::CoveredMine);
    EXPECT_EQ(game().state(), GameState::Won);
    EXPECT_TRUE(records_.records.empty()) << "a custom board keeps no records";

    // Far more than one paint: the fill became visible while it spread, and no
    // single refresh repainted a large part of the board.
    EXPECT_GT(paints.regions.size(), 100u);
    const int boardArea = 336 * 310;
    for (const QRegion& region : paints.regions) {
        const QRect box = region.boundingRect();
        EXPECT_LT(box.width() * box.height(), boardArea / 10) << box.x() << "," << box.y();
    }
    expectFieldShowsPicture();
}

TEST_F(FloodWindowTest, FillWithinAFrameReachesTheScreenOnceInAFewRectangles) {
    QCoreApplication::processEvents();
    WindowAccess::setDrawingClock(*window_, stillClock());
    PaintSpy paints(field());
    click(anchorPoint(18, 27));
    ASSERT_EQ(game().state(), GameState::Won);
    QCoreApplication::processEvents();

    // The whole board changed: one paint, in at most four rectangles, whatever the
    // number of cells opened.
    ASSERT_EQ(paints.regions.size(), 1u);
    EXPECT_LE(paints.regions[0].rectCount(), kMostUploadRects);
    EXPECT_TRUE(paints.regions[0].contains(QRect(0, 0, 336, 310)));
    expectFieldShowsPicture();
}

// A machine on which each cell takes a quarter of a frame: a move that opens
// many cells takes many frames, though no cell takes one.
BoardCanvas::Clock quarterFrameEveryReading() {
    return [now = std::chrono::steady_clock::time_point{}]() mutable {
        return now += BoardCanvas::kFrame / 4;
    };
}

TEST_F(FloodWindowTest, FillLongerThanAFrameShowsWhileItSpreadsThoughNoCellTakesAFrame) {
    QCoreApplication::processEvents();
    WindowAccess::setDrawingClock(*window_, quarterFrameEveryReading());
    PaintSpy paints(field());
    click(anchorPoint(18, 27));
    ASSERT_EQ(game().state(), GameState::Won);
    // The wait for a showing runs from the first cell drawn since the last one,
    // not from the newest: some 300 opened cells take some 75 frames.
    EXPECT_GT(paints.regions.size(), 20u);
    expectFieldShowsPicture();
}

// A side-10 board crowded with mines, played until a click loses.
class CrowdedWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        records_.stored.level = Level::Custom;
        records_.stored.side = 10;
        records_.stored.mines = 150;
        open(random_);
    }
};

TEST_F(CrowdedWindowTest, LossShowsEveryMineInOnePaintOfAFewRectanglesAndNothingElse) {
    ASSERT_EQ(game().side(), 10);
    QCoreApplication::processEvents();
    WindowAccess::setDrawingClock(*window_, stillClock());
    PaintSpy paints(field());
    render::Picture before = WindowAccess::fieldPicture(*window_);
    std::vector<std::pair<int, int>> drawn;
    WindowAccess::watchDrawing(*window_, [&drawn](core::CellPos cell, core::CellLook, int) {
        drawn.emplace_back(cell.c, cell.r);
    });
    for (int r = 0; r < 19 && game().state() != GameState::Lost; ++r) {
        for (int c = 0; c < 19 && game().state() != GameState::Lost; ++c) {
            if (game().board().at(c, r) != Cell::Covered &&
                game().board().at(c, r) != Cell::CoveredMine) {
                continue;
            }
            // The press shows the cell held; the release is the move.
            press(anchorPoint(c, r));
            QCoreApplication::processEvents();
            before = WindowAccess::fieldPicture(*window_);
            paints.regions.clear();
            drawn.clear();
            release(anchorPoint(c, r));
            QCoreApplication::processEvents();
        }
    }
    ASSERT_EQ(game().state(), GameState::Lost);

    // Every cell the loss changed is inside the one paint, which is at most four
    // rectangles; a cell it did not change lies wholly outside it.
    ASSERT_EQ(paints.regions.size(), 1u);
    const QRegion painted = paints.regions[0];
    EXPECT_LE(painted.rectCount(), kMostUploadRects);
    const render::Picture after = WindowAccess::fieldPicture(*window_);
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.at(x, y) != before.at(x, y)) {
                ASSERT_TRUE(painted.contains(QPoint(x, y))) << x << "," << y;
            }
        }
    }
    // A loss that shows many mines, each a rectangle of its own before the merge.
    EXPECT_GT(drawn.size(), 100u);
    expectFieldShowsPicture();
}

TEST_F(WindowTest, WinningAFixedLevelAsksForTheRecord) {
    testing::playToWin(*window_);
    ASSERT_EQ(game().state(), GameState::Won);
    ASSERT_EQ(records_.records.size(), 1u);
    EXPECT_EQ(records_.records[0].first, Level::Beginner);
    EXPECT_EQ(records_.records[0].second, game().seconds());
    EXPECT_EQ(shownFace(), &render::facePicture(Face::Winner, core::FaceSet::Yellow));
    EXPECT_EQ(places()[0], 0);
    EXPECT_EQ(places()[1], 0);
    // A won board takes no more clicks.
    const render::Picture after = WindowAccess::fieldPicture(*window_);
    click(anchorPoint(3, 0), Qt::RightButton);
    EXPECT_EQ(WindowAccess::fieldPicture(*window_), after);
    expectFieldShowsPicture();
}

// Another game wrote a better time to the file while this one was played: the
// record check goes by the file as it is at the win, so this game's time, a
// record only against the table it read at start-up, asks for no name and
// overwrites nothing.
TEST_F(WindowTest, AWinIsARecordOnlyAgainstTheFilesBestTimesAtThatMoment) {
    settings::BestTimes meanwhile;
    meanwhile.setRecord(Level::Beginner, 0, QStringLiteral("Druhá hra"));
    records_.fileTimes = meanwhile;
    const std::size_t writesBefore = records_.writes.size();
    testing::playToWin(*window_);
    ASSERT_EQ(game().state(), GameState::Won);
    EXPECT_TRUE(records_.records.empty()) << "asked for a name against 999 seconds";
    EXPECT_EQ(records_.writes.size(), writesBefore);
    window_->quit();
    ASSERT_EQ(records_.writes.size(), writesBefore + 1);
    EXPECT_EQ(records_.writes.back().bestTimes.best(Level::Beginner), 0);
}

// A kernel without Landlock, simulated by asking for none: start-up fences
// nothing (a file outside any settings folder can still be made) and the game
// that follows starts and writes as ever.
TEST(StartUpFence, WithoutLandlockNothingIsFencedAndTheGameStarts) {
    ASSERT_EQ(fenceIn(0).fenced, settings::Fenced::Nothing);
    QTemporaryDir elsewhere;
    QFile file(elsewhere.filePath(QStringLiteral("free")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    core::SeededRandom random{1};
    FakeRecords records;
    MainWindow window(random, records, records);
    window.restoreSettings();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(records.writes.size(), 1u);
}

// The toolkit's own texts, in a locale that is not Czech: a text field's
// context menu and a standard button.
TEST(ToolkitTexts, AreCzechWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator* czech = dialogs::useToolkitTexts();
    ASSERT_NE(czech, nullptr) << "Qt's Czech catalogue is missing";
    QLineEdit field;
    field.setText(QStringLiteral("7"));
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << action->text().section(u'\t', 0, 0);
    }
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    const QString cancel = buttons.button(QDialogButtonBox::Cancel)->text();
    QCoreApplication::removeTranslator(czech);
    delete czech;
    QLocale::setDefault(before);

    EXPECT_TRUE(items.contains(QStringLiteral("Vybrat vše"))) << items.join(u'|').toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("&Zpět")));
    EXPECT_EQ(cancel, QStringLiteral("Zrušit"));
}

}  // namespace
}  // namespace quorvel::shell
