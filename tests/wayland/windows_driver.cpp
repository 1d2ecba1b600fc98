// The game's window and its three dialogs, shown on the Wayland display this is
// started on, for compositor_test.py to read back from the compositor. Prints the
// title bar chosen, whether the compositor offers fractional scales, the window's
// scale factor and "shown" once every window is
// exposed, then answers the lines of its input (see answer()) until it ends. With
// the argument "board" it shows the game's window alone.

#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <optional>

#include "core/game.h"
#include "core/geometry.h"
#include "core/random_source.h"
#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/game_dialogs.h"
#include "dialogs/name_dialog.h"
#include "dialogs/title_bar.h"
#include "dialogs/wayland_offer.h"
#include "settings/settings_store.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/screen_pixels.h"
#include "tests/support/wayland_globals.h"
#include "tests/support/window_access.h"

using namespace quorvel;
using shell::WindowAccess;

namespace {

const char* titleBarName(dialogs::TitleBar bar) {
    switch (bar) {
        case dialogs::TitleBar::Desktop:
            return "desktop";
        case dialogs::TitleBar::Toolkit:
            return "toolkit";
        case dialogs::TitleBar::Own:
            return "own";
    }
    return "?";
}

// The cell a player who knows the mines opens next: the middle one on a new board,
// then every covered cell without a mine, column by column; none once the game is
// over.
std::optional<core::CellPos> nextSafeCell(const core::Game& game) {
    const int side = game.side();
    if (game.state() == core::GameState::Ready) {
        return core::CellPos{side - 1, 2 * side - 2};
    }
    std::optional<core::CellPos> next;
    if (game.state() == core::GameState::Running) {
        core::forEachCell(side, [&](core::CellPos cell) {
            if (!next && game.board().at(cell.c, cell.r) == core::Cell::Covered) {
                next = cell;
            }
        });
    }
    return next;
}

// "ratio": the window's factor now; "field": the board's device pixels in the window's surface,
// left top right bottom (one past); "paints X Y": the cell painted on the surface's device pixel
// (X, Y) by the pixel rule, or "none"; "next": the cell to open next (nextSafeCell) and
// its middle in the window, "C R X Y", or "none"; "covered C R": "yes" while that cell is covered.
void answer(shell::MainWindow& window, const char* line) {
    const double ratio = window.devicePixelRatioF();
    const QWidget* field = WindowAccess::fieldSurface(window);
    const QPoint at = field->mapTo(&window, QPoint(0, 0));
    int x = 0;
    int y = 0;
    if (std::strncmp(line, "ratio", 5) == 0) {
        std::printf("ratio %g\n", ratio);
    } else if (std::strncmp(line, "field", 5) == 0) {
        std::printf("field %d %d %d %d\n", shell::pixels::firstDevicePixel(at.x(), ratio),
                    shell::pixels::firstDevicePixel(at.y(), ratio),
                    shell::pixels::firstDevicePixel(at.x() + field->width(), ratio),
                    shell::pixels::firstDevicePixel(at.y() + field->height(), ratio));
    } else if (std::strncmp(line, "next", 4) == 0) {
        if (const auto cell = nextSafeCell(WindowAccess::game(window))) {
            // The middle of the cell, not its anchor: the anchor lies on the cell's
            // top edge, where a pointer one pixel off lands on the cell above.
            const QPoint middle =
                field->mapTo(&window, QPoint(core::anchorX(cell->c) + core::kCellEdgeLength / 2,
                                             core::cellY(cell->r) + core::kCellRows / 2));
            std::printf("next %d %d %d %d\n", cell->c, cell->r, middle.x(), middle.y());
        } else {
            std::printf("next none\n");
        }
    } else if (std::sscanf(line, "covered %d %d", &x, &y) == 2) {
        const core::Cell cell = WindowAccess::game(window).board().at(x, y);
        std::printf("covered %s\n",
                    cell == core::Cell::Covered || cell == core::Cell::CoveredMine ? "yes" : "no");
    } else if (std::sscanf(line, "paints %d %d", &x, &y) == 2) {
        const int side = WindowAccess::game(window).side();
        const auto cell = core::cellAtMapPoint(
            side, shell::pixels::windowPixelAt(x, ratio) - at.x() - core::kFrameWidth,
            shell::pixels::windowPixelAt(y, ratio) - at.y() - core::kFrameWidth);
        if (cell) {
            std::printf("paints %d %d\n", cell->c, cell->r);
        } else {
            std::printf("paints none\n");
        }
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    // "board": the game's window alone, nothing over its board.
    const bool dialogsToo = argc < 2 || std::strcmp(argv[1], "board") != 0;
    shell::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(shell::windowIcon(shell::screenDensity()));
    core::SystemRandom random;
    settings::FileSettingsStore store{
        settings::SettingsFile(settings::SettingsFile::defaultPath())};
    dialogs::Dialogs gameDialogs;
    shell::MainWindow window(random, store, gameDialogs);
    window.restoreSettings();
    window.show();

    settings::BestTimes table;
    QWidget* shown[] = {new dialogs::CustomDialog([](int, int) {}, &window),
                        new dialogs::NameDialog(&window),
                        new dialogs::BestTimesDialog(
                            table, [] {}, &window)};
    bool exposed = QTest::qWaitForWindowExposed(&window);
    for (QWidget* dialog : shown) {
        if (!dialogsToo) {
            break;
        }
        dialog->show();
        exposed = QTest::qWaitForWindowExposed(dialog) && exposed;
    }
    std::printf("title-bar %s\nfractional-offered %s\nratio %g\n%s\n",
                titleBarName(dialogs::sessionTitleBar()),
                support::offersFractionalScale(dialogs::compositorGlobals()) ? "yes" : "no",
                window.devicePixelRatioF(), exposed ? "shown" : "not exposed");
    std::fflush(stdout);

    // Every cell the game draws as the compositor's pointer presses it.
    WindowAccess::watchDrawing(window, [](core::CellPos cell, core::CellLook, int) {
        std::printf("drawn %d %d\n", cell.c, cell.r);
        std::fflush(stdout);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        if (std::fgets(line, sizeof line, stdin) == nullptr) {
            QCoreApplication::quit();
            return;
        }
        answer(window, line);
    });
    return QApplication::exec();
}
