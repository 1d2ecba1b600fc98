#include "shell/application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
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

namespace {
// What the toolkit would otherwise first write after the fence, where it would
// be refused, done while the process may still write anywhere.
void writeAheadOfTheFence() {
#ifdef Q_OS_UNIX
    // Fontconfig keeps a cache of every font folder whose cache is missing or
    // out of date (the player's own fonts, ~/.cache/fontconfig) and writes it
    // when it first loads the fonts; refused, it would read every font file
    // again at every start. Loaded here, the fonts are the ones the toolkit
    // takes later. The toolkit brings the library in: it is looked up, not
    // linked, so a toolkit without it leaves nothing to do.
    using Init = int (*)();
    if (const auto init = reinterpret_cast<Init>(::dlsym(RTLD_DEFAULT, "FcInit"))) {
        init();
    }
#endif
    // Without XDG_RUNTIME_DIR the toolkit makes a runtime folder of its own in
    // the temporary folder; made now, it is only found there later. The
    // toolkit says that it defaults every time it is asked: here it is not
    // heard, so a start shows that once, as it would without the fence.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        qInstallMessageHandler(previous);
    }
}
}  // namespace

StartUp fenceIn(int abi) {
    QByteArray path = settings::SettingsFile::defaultPath();
    if (abi < 1) {
        return {settings::Fenced::Nothing, settings::SettingsFile(std::move(path))};
    }
    writeAheadOfTheFence();
    // Why there is no folder is reported by the start-up read or write, which
    // meets the same reason.
    std::unique_ptr<files::FileAtPath> folder = settings::SettingsFile(path).resolveFolder().value;
    const settings::Fenced fenced = settings::fenceIn(folder ? folder->folderDescriptor() : -1, abi,
                                                      tcpDisplayPort(qgetenv("DISPLAY")));
    return {fenced, settings::SettingsFile(std::move(path), std::move(folder))};
}

std::optional<std::uint16_t> tcpDisplayPort(const QByteArray& display) {
    // Read as the X client library reads DISPLAY: "[protocol/][host]:N[.S]",
    // the protocol up to the last '/', the host up to the last ':', N and S as
    // strtoul reads them (leading blanks and a sign allowed, N beyond range
    // wrapping into the port as the library's arithmetic does). A name that
    // begins with '/' is the path of a Unix socket.
    if (display.isEmpty() || display.startsWith('/')) {
        return std::nullopt;
    }
    const qsizetype slash = display.lastIndexOf('/');
    const QByteArray protocol = slash < 0 ? QByteArray() : display.left(slash);
    const QByteArray name = display.mid(slash + 1);
    const qsizetype colon = name.lastIndexOf(':');
    if (colon < 0) {
        return std::nullopt;
    }
    const QByteArray host = name.left(colon);
    const char* const digits = name.constData() + colon + 1;
    char* end = nullptr;
    const unsigned long number = std::strtoul(digits, &end, 10);
    if (end == digits || (*end != '\0' && *end != '.')) {
        return std::nullopt;
    }
    if (*end == '.') {
        const char* const screen = end + 1;
        std::strtoul(screen, &end, 10);
        if (end == screen || *end != '\0') {
            return std::nullopt;
        }
    }
    // A named host is reached over TCP unless it or the protocol says "unix";
    // no host and no protocol is the local socket first, then TCP to this
    // machine when that socket cannot be reached (an X server that listens on
    // TCP only).
    const bool named = !host.isEmpty() && host != "unix";
    const bool tcp =
        named ? protocol.isNull() || protocol == "tcp" || protocol == "inet" || protocol == "inet6"
              : protocol.isNull() && host.isEmpty();
    if (!tcp) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(6000U + static_cast<unsigned>(number));
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

int run(QApplication& app, settings::SettingsFile settingsFile) {
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(windowIcon(screenDensity()));
    app.setQuitOnLastWindowClosed(false);
    installAccessibility();

    core::SystemRandom random;
    settings::FileSettingsStore store{std::move(settingsFile)};
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
