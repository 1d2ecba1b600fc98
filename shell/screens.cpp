#include "shell/screens.h"

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/display_platform.h"

namespace quorvel::shell {

Screens currentScreens() {
    Screens screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.available.append(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    screens.primary = primary != nullptr ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
    screens.platformPlaces = dialogs::onWayland();
    return screens;
}

}  // namespace quorvel::shell
