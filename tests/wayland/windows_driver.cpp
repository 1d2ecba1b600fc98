// The game's window and its three dialogs, shown on the Wayland display this is
// started on, for compositor_test.py to read back from the compositor. Prints the
// title bar chosen, whether the compositor offers fractional scales, the window's
// scale factor and "shown" once every window is
// exposed, then waits until its input ends.

#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QTest>
#include <cstdio>

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

using namespace quorvel;

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

}  // namespace

int main(int argc, char** argv) {
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
        dialog->show();
        exposed = QTest::qWaitForWindowExposed(dialog) && exposed;
    }
    std::printf("title-bar %s\nfractional-offered %s\nratio %g\n%s\n",
                titleBarName(dialogs::sessionTitleBar()),
                dialogs::askCompositor().fractionalScale ? "yes" : "no", window.devicePixelRatioF(),
                exposed ? "shown" : "not exposed");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        if (std::fgets(line, sizeof line, stdin) == nullptr) {
            QCoreApplication::quit();
        }
    });
    return QApplication::exec();
}
