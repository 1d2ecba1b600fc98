#include "dialogs/display_platform.h"

#include <QGuiApplication>

namespace quorvel::dialogs {

bool waylandPlatform(QByteArrayView platform, QByteArrayView sessionType, bool waylandDisplay) {
    if (platform.isEmpty()) {
        return waylandDisplay || sessionType == QByteArrayView("wayland");
    }
    // "wayland", "wayland-egl", "wayland-brcm", ...
    return platform.startsWith("wayland");
}

bool onWayland() {
    // Before the application exists, Qt 6.5 and later answer platformName() with
    // the platform built in as the default (xcb), not the one Qt will take.
    const QByteArray taken = QGuiApplication::instance() != nullptr
                                 ? QGuiApplication::platformName().toUtf8()
                                 : QByteArray();
    return waylandPlatform(taken.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : taken,
                           qgetenv("XDG_SESSION_TYPE"),
                           qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
}

}  // namespace quorvel::dialogs
