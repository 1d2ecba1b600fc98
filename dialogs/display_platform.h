#pragma once
// Whether the game runs on Wayland, decided here for every part that asks: the
// start-up's scale rounding, the windows' title bars and their placing.

#include <QByteArrayView>

namespace quorvel::dialogs {

// Whether Qt takes its Wayland platform. `platform` is the platform's name: the
// one Qt has taken, or before the application exists QT_QPA_PLATFORM. Where it
// is empty Qt goes by the session: Wayland where WAYLAND_DISPLAY is set or
// XDG_SESSION_TYPE (`sessionType`) says so.
bool waylandPlatform(QByteArrayView platform, QByteArrayView sessionType, bool waylandDisplay);

// This process's answer: by the platform Qt has taken once the application
// exists, before that by what Qt will read to take one.
bool onWayland();

}  // namespace quorvel::dialogs
