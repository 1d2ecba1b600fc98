#include "shell/screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorvel::shell {

Screens currentScreens() {
    Screens screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.available.append(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    screens.primary = primary != nullptr ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
    screens.platformPlaces = onWayland();
    return screens;
}

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace quorvel::shell
