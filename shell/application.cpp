#include "shell/application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/random_source.h"
#include "dialogs/display_platform.h"
#include "dialogs/game_dialogs.h"
#include "render/face_pictures.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/accessibility.h"
#include "shell/main_window.h"

namespace quorvel::shell {

void prepareApplication() {
#ifdef Q_OS_UNIX
    // Above a file-size limit (ulimit -f) a write fails like any other and
    // leaves the old settings file in place, instead of ending the game.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR_ROUNDING_POLICY")) {
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(scaleRounding(dialogs::onWayland()));
    }
}

Qt::HighDpiScaleFactorRoundingPolicy scaleRounding(bool wayland) {
    // On Wayland a fractional factor is the compositor's: passed through, Qt
    // paints at device size (Qt 6.8, wp_fractional_scale_v1) and the game paints
    // by its pixel rule; rounded, the compositor would resample a whole-factor
    // buffer. On X11 a fractional factor comes from the desktop's DPI, and
    // rounding it keeps every picture pixel an even square (docs/display.md).
    return wayland ? Qt::HighDpiScaleFactorRoundingPolicy::PassThrough
                   : Qt::HighDpiScaleFactorRoundingPolicy::Round;
}

settings::Fenced fenceIn(int abi) {
    if (abi < 1) {
        return settings::Fenced::Nothing;
    }
    // Why there is no folder is reported by the start-up read, which meets the
    // same reason.
    QString reason;
    const settings::SettingsFile file(settings::SettingsFile::defaultPath());
    const std::unique_ptr<settings::FileAtPath> folder = file.resolveFolder(reason);
    return settings::fenceIn(folder ? folder->folderDescriptor() : -1, abi,
                             tcpDisplayPort(qgetenv("DISPLAY")));
}

std::optional<std::uint16_t> tcpDisplayPort(const QByteArray& display) {
    const qsizetype colon = display.lastIndexOf(':');
    const QByteArray host = display.left(colon);
    if (colon <= 0 || host == "unix" || host.startsWith('/') || host.contains('/')) {
        return std::nullopt;
    }
    bool ok = false;
    const uint number = display.mid(colon + 1).split('.').first().toUInt(&ok);
    if (!ok || number > 65535 - 6000) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(6000 + number);
}

QIcon windowIcon(double density) {
    const auto art = [](int size) {
        const render::Picture& pic = render::iconPicture(size);
        return QImage(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                      pic.bytesPerLine(), QImage::Format_RGB32);
    };
    const QImage small = art(16);
    const QImage large = art(32);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(small));
    icon.addPixmap(QPixmap::fromImage(large));
    // On a screen denser than 1x the enlargements, each art pixel an n x n square
    // (Qt's fast scaling is nearest-neighbour): 48 is three times the 16-pixel art,
    // no multiple of the 32-pixel one; 64, 128 and 256 are the 32-pixel art doubled
    // and doubled again. At 1x taskbars show 16 to 32 pixels, and Qt hands X11 every
    // size twice at some 40 instructions a pixel: the four would cost start-up 4
    // million instructions there.
    if (density > 1) {
        icon.addPixmap(QPixmap::fromImage(small.scaled(48, 48)));
        for (const int size : {64, 128, 256}) {
            icon.addPixmap(QPixmap::fromImage(large.scaled(size, size)));
        }
    }
    return icon;
}

double screenDensity() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 1;
    }
    return std::max(screen->devicePixelRatio(), screen->logicalDotsPerInch() / 96);
}

#ifdef Q_OS_UNIX
namespace {
// A signal handler may only write to a descriptor; the event loop reads the other
// end and quits the ordinary way.
int quitSignalSockets[2] = {-1, -1};

void onQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(quitSignalSockets[1], &byte, 1);
}
}  // namespace

// A logout, a shutdown or a plain `kill` ends the program through quit() as
// closing the window does, so the settings are written on that way out too.
static void quitOnSignals(MainWindow& window, QObject& owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, quitSignalSockets) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(quitSignalSockets[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(quitSignalSockets[0], &byte, 1);
        notifier->setEnabled(false);
        window.quit();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        sigaction(signal, &action, nullptr);
    }
}
#endif

int run(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(windowIcon(screenDensity()));
    app.setQuitOnLastWindowClosed(false);
    installAccessibility();

    core::SystemRandom random;
    settings::FileSettingsStore store{
        settings::SettingsFile(settings::SettingsFile::defaultPath())};
    dialogs::Dialogs dialogs;
    MainWindow window(random, store, dialogs);
#ifdef Q_OS_UNIX
    // Before the start-up write: a signal during it quits once the loop runs.
    quitOnSignals(window, app);
#endif
    window.restoreSettings();
    window.show();
    return QApplication::exec();
}

void leave(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace quorvel::shell
