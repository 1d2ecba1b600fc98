#include "shell/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvel::shell {

Screens screensOf(const QWidget& window) {
    Screens screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.available.append(screen->availableGeometry());
    }
    const QSize outer = window.frameGeometry().size();
    screens.frameWidth = outer.width();
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect area = primary != nullptr ? primary->geometry() : QRect(0, 0, 1024, 768);
    screens.centred = {area.x() + (area.width() - outer.width()) / 2.0,
                       area.y() + (area.height() - outer.height()) / 2.0};
    screens.platformPlaces = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return screens;
}

}  // namespace quorvel::shell
