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
    const QByteArray taken = QGuiApplication::platformName().toUtf8();
    return waylandPlatform(taken.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : taken,
                           qgetenv("XDG_SESSION_TYPE"),
                           qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
}

}  // namespace quorvel::dialogs
