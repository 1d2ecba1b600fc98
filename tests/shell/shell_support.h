#pragma once
// Helpers for driving the real main window with real Qt events on the offscreen
// platform.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/geometry.h"
#include "core/random_source.h"
#include "dialogs/game_dialogs.h"
#include "render/picture.h"
#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell/surfaces.h"
#include "tests/support/cells.h"
#include "tests/support/window_access.h"

namespace quorvel::shell::testing {

// A settings store and dialogs that keep everything in memory and count what
// the window asks.
class FakeRecords : public settings::SettingsStore, public dialogs::GameDialogs {
  public:
    settings::StoredSettings stored;
    std::vector<settings::StoredSettings> writes;
    int reads = 0;
    std::vector<std::pair<core::Level, int>> records;
    std::optional<std::pair<int, int>> customAnswer;  // nullopt: Storno
    std::optional<core::Level> named;                 // the level of the name just asked for
    QWidget* parent = nullptr;
    // For each name asked for: whether the window was minimised then.
    std::vector<bool> minimizedWhenAsked;

    settings::StoredSettings read(QPointF) override {
        ++reads;
        return stored;
    }
    settings::BestTimes write(const settings::StoredSettings& settings) override {
        writes.push_back(settings);
        return settings.bestTimes;
    }
    // What the file holds now where another game has written meanwhile; else
    // the file holds this game's table.
    std::optional<settings::BestTimes> fileTimes;
    settings::BestTimes bestTimesNow(const settings::BestTimes& mine) override {
        return fileTimes.value_or(mine);
    }

    void setDialogParent(QWidget* window) override { parent = window; }
    void prepareNameEntry(const QString&) override {}
    QString askName(core::Level level) override {
        named = level;
        minimizedWhenAsked.push_back(parent != nullptr && parent->isMinimized());
        return QString();
    }
    // A record shows the table right after its name: the record as the table holds it.
    void showBestTimes(settings::BestTimes& table, const std::function<void()>&) override {
        if (const auto level = std::exchange(named, std::nullopt)) {
            records.emplace_back(*level, static_cast<int>(table.best(*level)));
        }
    }
    void askCustomBoard(int, int, const std::function<void(int, int)>& confirm) override {
        if (customAnswer) {
            confirm(customAnswer->first, customAnswer->second);
        }
    }
};

// A random source that always lands on one map pixel, so that the first opening
// puts every mine it can on that pixel's cell and the rest nearby.
class FixedPointRandom : public core::RandomSource {
  public:
    FixedPointRandom(double u, double v) : values_{u, v} {}
    void reseed() override { next_ = 0; }
    double uniform() override { return values_[next_++ % 2]; }

  private:
    double values_[2];
    int next_ = 0;
};

// The menu item with this caption, found where the player finds it: in the
// window's menus.
inline QAction* menuItem(QMainWindow& window, const char16_t* caption) {
    for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
        if (action->text() == QString::fromUtf16(caption)) {
            return action;
        }
    }
    ADD_FAILURE() << "no menu item " << QString::fromUtf16(caption).toStdString();
    return nullptr;
}

// The window's picture of a widget as an image at device pixels.
inline QImage grabImage(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// What the screen shows of a widget: its part of the top-level window's backing
// store, after the pending paints. Unlike grabImage this catches a repaint that
// was never scheduled.
inline QImage screenImage(QWidget* widget) {
    QCoreApplication::processEvents();
    QWidget* top = widget->window();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    return top->screen()
        ->grabWindow(top->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

inline QRgb pictureRgb(const render::Picture& pic, int x, int y) {
    return 0xFF000000u | static_cast<QRgb>(pic.at(x, y));
}

// The anchor pixel of cell (c, r) on the board surface: a point every cell contains.
inline QPointF anchorPoint(int c, int r) {
    return {static_cast<qreal>(core::anchorX(c)), static_cast<qreal>(core::cellY(r))};
}

// Wins the window's game with real left clicks on the board surface.
inline void playToWin(MainWindow& window) {
    quorvel::support::playToWin(WindowAccess::game(window), [&](int c, int r) {
        QTest::mouseClick(WindowAccess::fieldSurface(window), Qt::LeftButton, {},
                          anchorPoint(c, r).toPoint());
    });
}

}  // namespace quorvel::shell::testing
