// The window with its real settings file: what survives a restart, and the record
// dialogs answered as a player would.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/geometry.h"
#include "dialogs/best_times_dialog.h"
#include "dialogs/game_dialogs.h"
#include "dialogs/name_dialog.h"
#include "settings/number_text.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/surfaces.h"
#include "shell_support.h"
#include "tests/support/files.h"
#include "tests/support/image_compare.h"
#include "tests/support/modal_dialogs.h"

namespace quorvel::shell {
namespace {

using core::Cell;
using core::GameState;
using core::Level;
using testing::playToWin;

constexpr auto& readAll = quorvel::support::readBytes;
constexpr auto& writeAll = quorvel::support::writeBytes;

// Answers the modal dialogs of a record as they come up: types `name` into the
// name dialog and confirms it, then closes the table with "OK".
class DialogAnswerer : public QObject {
  public:
    // `onNameDialog` runs when the name dialog is first seen, before it is answered.
    explicit DialogAnswerer(QString name, std::function<void()> onNameDialog = {})
        : name_(std::move(name)), onNameDialog_(std::move(onNameDialog)) {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start();
    }
    QStringList seen;

  private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<dialogs::NameDialog*>(modal)) {
            seen << QStringLiteral("name:") + dialog->prompt();
            if (onNameDialog_) {
                onNameDialog_();
                if (QApplication::activeModalWidget() != dialog) {
                    return;
                }
            }
            auto* field = dialog->findChild<QLineEdit*>();
            field->selectAll();
            quorvel::support::typeText(field, name_);
            clickButton(dialog, QStringLiteral("OK"));
        } else if (auto* table = qobject_cast<dialogs::BestTimesDialog*>(modal)) {
            seen << QStringLiteral("table");
            clickButton(table, QStringLiteral("OK"));
        }
    }
    static void clickButton(QWidget* dialog, const QString& text) {
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == text) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
    }
    QString name_;
    std::function<void()> onNameDialog_;
    QTimer timer_;
};

class PersistenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("config/winmine.ini"));
    }

    std::unique_ptr<MainWindow> start() {
        store_ = std::make_unique<settings::FileSettingsStore>(settings::SettingsFile(path_));
        dialogs_ = std::make_unique<dialogs::Dialogs>();
        auto window = std::make_unique<MainWindow>(random_, *store_, *dialogs_);
        window->restoreSettings();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    QTemporaryDir dir_;
    QString path_;
    core::SeededRandom random_{99};
    std::unique_ptr<settings::FileSettingsStore> store_;
    std::unique_ptr<dialogs::Dialogs> dialogs_;
};

TEST_F(PersistenceTest, LevelFaceSetAndPositionSurviveARestart) {
    {
        auto window = start();
        ASSERT_TRUE(QFile::exists(path_)) << "start-up creates the file";
        EXPECT_EQ(WindowAccess::game(*window).side(), 4);
        WindowAccess::levelAction(*window, Level::Expert)->trigger();
        WindowAccess::faceAction(*window, core::FaceSet::DarkRed)->trigger();
        window->move(57, 43);
        window->close();
    }
    const QByteArray written = readAll(path_);
    EXPECT_TRUE(written.contains("Difficulty=2\r\nSize=8\r\nMines=49\r\nFace=1\r\n"))
        << written.data();

    auto window = start();
    EXPECT_EQ(WindowAccess::game(*window).side(), 8);
    EXPECT_EQ(WindowAccess::game(*window).mines(), 49);
    EXPECT_EQ(WindowAccess::game(*window).levelMark(), Level::Expert);
    EXPECT_EQ(WindowAccess::game(*window).faceSet(), core::FaceSet::DarkRed);
    EXPECT_TRUE(WindowAccess::faceAction(*window, core::FaceSet::DarkRed)->isChecked());
    EXPECT_EQ(window->pos(), QPoint(57, 43));
    EXPECT_EQ(WindowAccess::clientArea(*window)->size(), QSize(286, 307));
}

TEST_F(PersistenceTest, CustomBoardSurvivesARestartAndABadPairFallsBackToBeginner) {
    QDir().mkpath(dir_.filePath(QStringLiteral("config")));
    writeAll(path_, "[Quorvel]\r\nDifficulty=3\r\nSize=10\r\nMines=135\r\nFace=2\r\n");
    {
        auto window = start();
        EXPECT_EQ(WindowAccess::game(*window).side(), 10);
        EXPECT_EQ(WindowAccess::game(*window).mines(), 135);
        EXPECT_TRUE(WindowAccess::levelAction(*window, Level::Custom)->isChecked());
        EXPECT_FALSE(WindowAccess::levelAction(*window, Level::Beginner)->isChecked());
        EXPECT_EQ(WindowAccess::place(*WindowAccess::panel(*window), PanelPlace::CounterTens), 9);
        EXPECT_EQ(WindowAccess::place(*WindowAccess::panel(*window), PanelPlace::CounterOnes), 9);
    }
    writeAll(path_, "[Quorvel]\r\nDifficulty=3\r\nSize=4\r\nMines=1\r\n");
    auto window = start();
    EXPECT_EQ(WindowAccess::game(*window).side(), 4);
    EXPECT_EQ(WindowAccess::game(*window).mines(), 7);
    EXPECT_TRUE(WindowAccess::levelAction(*window, Level::Beginner)->isChecked());
    EXPECT_FALSE(WindowAccess::levelAction(*window, Level::Custom)->isChecked());
}

TEST_F(PersistenceTest, ARecordIsNamedShownStoredAndReadBack) {
    QDir().mkpath(dir_.filePath(QStringLiteral("config")));
    // Another program's sections, before and after ours, must come through intact.
    const QByteArray before = "[Jiny]\r\nklic=\xe8\xe1st\r\n";
    const QByteArray after = "[Pozdejsi]\r\nTime1=5\r\n";
    writeAll(path_, before + "[Quorvel]\r\nDifficulty=1\r\nTime2=999\r\n" + after);
    int seconds = -1;
    {
        auto window = start();
        ASSERT_EQ(WindowAccess::game(*window).levelMark(), Level::Advanced);
        // Behind the dialogs the board already shows the won game, flags and all.
        bool boardShown = false;
        DialogAnswerer answers(QStringLiteral("Žofie"), [&] {
            const QImage onScreen = testing::screenImage(WindowAccess::fieldSurface(*window));
            boardShown =
                quorvel::support::compareWhole(onScreen, WindowAccess::fieldPicture(*window))
                    .empty();
        });
        playToWin(*window);
        ASSERT_EQ(WindowAccess::game(*window).state(), GameState::Won);
        seconds = WindowAccess::game(*window).seconds();
        EXPECT_EQ(answers.seen, (QStringList{QStringLiteral("name:") +
                                                 dialogs::NameDialog::promptText(Level::Advanced),
                                             QStringLiteral("table")}));
        EXPECT_TRUE(boardShown);
        const QByteArray written = readAll(path_);
        EXPECT_TRUE(written.startsWith(before + after)) << written.data();
        EXPECT_TRUE(written.contains("Time2=" + QByteArray::number(seconds) + "\r\n"));
        EXPECT_TRUE(
            written.contains("Name2=\x8e"
                             "ofie\r\n"))
            << "Windows-1250 bytes";
        EXPECT_TRUE(written.endsWith("Name3=Nezn\xe1m\xfd hr\xe1\xe8\r\n"));
    }
    start();
    const settings::BestTimes table = store_->read(QPointF()).bestTimes;
    EXPECT_EQ(table.name(Level::Advanced), QStringLiteral("Žofie"));
    EXPECT_EQ(table.fileTime(1), QString::number(seconds));
}

// A logout while the name is typed: the record is kept with the name so far,
// and nothing typed reads as the unknown player next time.
TEST_F(PersistenceTest, QuittingWhileTheNameIsAskedForStoresTheRecordWithTheNameSoFar) {
    for (const QString& typed : {QStringLiteral("Poz"), QString()}) {
        QFile::remove(path_);
        {
            auto window = start();
            WindowAccess::levelAction(*window, Level::Advanced)->trigger();
            DialogAnswerer answers(QStringLiteral("Pozdě"), [&] {
                auto* field = QApplication::activeModalWidget()->findChild<QLineEdit*>();
                quorvel::support::typeText(field, typed);
                window->quit();
            });
            playToWin(*window);
            ASSERT_EQ(WindowAccess::game(*window).state(), GameState::Won);
            EXPECT_EQ(answers.seen.size(), 1) << answers.seen.join(QLatin1Char(',')).toStdString();
            const QByteArray written = readAll(path_);
            EXPECT_TRUE(written.contains("Difficulty=1\r\n")) << "the quit wrote the settings";
            EXPECT_TRUE(written.contains("Time2=" +
                                         QByteArray::number(WindowAccess::game(*window).seconds())))
                << written.data();
        }
        start();
        const settings::BestTimes table = store_->read(QPointF()).bestTimes;
        EXPECT_EQ(table.name(Level::Advanced), typed.isEmpty() ? settings::unknownPlayer() : typed);
    }
}

TEST_F(PersistenceTest, ANewFileCentresTheWindowAsItOpensAndKeepsTheHalfPixel) {
    auto window = start();
    ASSERT_EQ(WindowAccess::game(*window).side(), 4);
    // The beginner window as it opened, on the primary monitor's usable area. Its
    // frame is not known before it is shown: the size inside the frame counts.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window->size();
    const double x = area.x() + (area.width() - size.width()) / 2.0;
    const double y = area.y() + (area.height() - size.height()) / 2.0;
    const QByteArray expected =
        "Xpos=" + settings::numberBytes(x) + "\r\nYpos=" + settings::numberBytes(y) + "\r\n";
    const QByteArray written = readAll(path_);
    EXPECT_TRUE(written.contains(expected)) << expected.data() << " in\n" << written.data();
    EXPECT_EQ(window->pos(), QPoint(static_cast<int>(x), static_cast<int>(y)));
}

TEST_F(PersistenceTest, AnUnmovedWindowWritesBackThePositionAsRead) {
    QDir().mkpath(dir_.filePath(QStringLiteral("config")));
    writeAll(path_, "[Quorvel]\r\nXpos=33.5\r\nYpos=21.25\r\n");
    {
        auto window = start();
        EXPECT_EQ(window->pos(), QPoint(33, 21));
        window->close();
    }
    EXPECT_TRUE(readAll(path_).contains("Xpos=33.5\r\nYpos=21.25\r\n")) << readAll(path_).data();
    {
        auto window = start();
        window->move(40, 50);
        window->close();
    }
    EXPECT_TRUE(readAll(path_).contains("Xpos=40\r\nYpos=50\r\n")) << readAll(path_).data();
}

TEST_F(PersistenceTest, APositionOffEveryScreenCentresTheWindow) {
    QDir().mkpath(dir_.filePath(QStringLiteral("config")));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // -300 leaves none of the beginner window's title bar on the screen (the
    // window is narrower than the one created before the board laid it out).
    for (const char* position : {"Xpos=-5000\r\nYpos=90000.5", "Xpos=-300\r\nYpos=90"}) {
        writeAll(path_, QByteArray("[Quorvel]\r\nDifficulty=0\r\n") + position + "\r\n");
        auto window = start();
        EXPECT_TRUE(screen.contains(window->pos())) << position << ": " << window->pos().x();
    }

    // A position on the screen is taken as it stands.
    writeAll(path_, "[Quorvel]\r\nDifficulty=0\r\nXpos=33\r\nYpos=21\r\n");
    auto window = start();
    EXPECT_EQ(window->pos(), QPoint(33, 21));
}

TEST_F(PersistenceTest, AnUnusableLocationNeverStopsTheGameAndIsReportedOnce) {
    // The settings directory's place is taken by a plain file: nothing can be
    // created, read or written there.
    const QString blocker = dir_.filePath(QStringLiteral("config"));
    writeAll(blocker, "not a directory");
    QStringList reports;
    store_ = std::make_unique<settings::FileSettingsStore>(
        settings::SettingsFile(path_, [&](const QString& message) { reports << message; }));
    {
        testing::FakeRecords dialogs;
        MainWindow window(random_, *store_, dialogs);
        window.restoreSettings();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(WindowAccess::game(window).side(), 4);
        EXPECT_EQ(WindowAccess::game(window).state(), GameState::Ready);
        WindowAccess::faceAction(window, core::FaceSet::Alien)->trigger();
        WindowAccess::levelAction(window, Level::Advanced)->trigger();
        QTest::mouseClick(WindowAccess::fieldSurface(window), Qt::LeftButton, {},
                          testing::anchorPoint(5, 10).toPoint());
        EXPECT_EQ(WindowAccess::game(window).state(), GameState::Running);
        window.close();
    }
    EXPECT_EQ(readAll(blocker), QByteArray("not a directory"));
    ASSERT_EQ(reports.size(), 1) << reports.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(reports[0].contains(path_)) << reports[0].toStdString();
}

}  // namespace
}  // namespace quorvel::shell
