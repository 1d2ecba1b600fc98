// A real click on the window: left press and release on a side-10 board whose only
// mine sits in a corner, from the event to the last refresh of the fill.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "core/random_source.h"
#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell/surfaces.h"
#include "tests/support/window_access.h"

namespace {

using quorvel::core::Level;
using quorvel::shell::MainWindow;
using quorvel::shell::WindowAccess;

QApplication& application() {
    static int argc = 1;
    static char name[] = "quorvel-bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

// Every draw lands on map pixel (5, 79), the left tip of corner cell (0, 9).
class CornerRandom final : public quorvel::core::RandomSource {
  public:
    void reseed() override { next_ = 0; }
    double uniform() override { return (next_++ % 2 == 0) ? 5.5 / 336.0 : 79.5 / 310.0; }

  private:
    int next_ = 0;
};

// Custom side 10 with one mine, nothing stored.
class SideTenStore final : public quorvel::settings::SettingsStore {
  public:
    quorvel::settings::StoredSettings read(QPointF) override {
        quorvel::settings::StoredSettings s;
        s.level = Level::Custom;
        s.side = 10;
        s.mines = 1;
        return s;
    }
    quorvel::settings::BestTimes write(const quorvel::settings::StoredSettings& s) override {
        return s.bestTimes;
    }
    quorvel::settings::BestTimes bestTimesNow(const quorvel::settings::BestTimes& mine) override {
        return mine;
    }
};

// Dialogs that never show: the benchmark wins no record and asks for no board.
class NoDialogs final : public quorvel::dialogs::GameDialogs {
  public:
    void setDialogParent(QWidget*) override {}
    void prepareNameEntry(const QString&) override {}
    QString askName(quorvel::core::Level) override { return {}; }
    void showBestTimes(quorvel::settings::BestTimes&, const std::function<void()>&) override {}
    void askCustomBoard(int, int, const std::function<void(int, int)>&) override {}
};

void BM_ClickOpensBoardSide10(benchmark::State& state) {
    application();
    CornerRandom random;
    SideTenStore store;
    NoDialogs dialogs;
    MainWindow window(random, store, dialogs);
    window.restoreSettings();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("window not exposed");
        return;
    }
    const QPoint farCell(17 * 18 + 12, 8 * 27 + 3);
    for (auto _ : state) {
        state.PauseTiming();
        WindowAccess::game(window).newGame();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QTest::mousePress(WindowAccess::fieldSurface(window), Qt::LeftButton, {}, farCell);
        QTest::mouseRelease(WindowAccess::fieldSurface(window), Qt::LeftButton, {}, farCell);
        // The last refresh: whatever the fill left to paint.
        QCoreApplication::processEvents();
    }
    state.counters["cells_opened"] = 270;
}
BENCHMARK(BM_ClickOpensBoardSide10)->Unit(benchmark::kMillisecond);

}  // namespace
