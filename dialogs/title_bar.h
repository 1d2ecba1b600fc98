#pragma once
// Whose title bar the game's windows take, decided at run time by what the
// display and Qt offer, and the game's own caption where it falls to the game.
//
// On X11 the window manager's (Desktop). On Wayland the compositor's wherever it
// offers server-side title bars (Desktop: sway, KWin, most wlroots desktops);
// else Qt's own decoration where it has the desktop's look (Toolkit: from Qt 6.8
// the Adwaita one that Qt itself picks on GNOME, or the decoration the user named
// in QT_WAYLAND_DECORATION); else the game's own caption (Own: Qt 6.4 on GNOME,
// weston). docs/display.md says why.

#include <QByteArrayView>

#include "dialogs/window_caption.h"

class QWidget;

namespace quorvel::dialogs {

enum class TitleBar { Desktop, Toolkit, Own };

struct TitleBarOffer {
    bool wayland = false;
    // The compositor draws title bars for windows that ask (xdg-decoration).
    bool compositorDraws = false;
    // Qt's decoration on this desktop has the desktop's look.
    bool toolkitLooksNative = false;
};

TitleBar chooseTitleBar(const TitleBarOffer& offer);

// Whether the decoration Qt loads has the desktop's look. `chosen` is
// QT_WAYLAND_DECORATION (the user's choice stands), `desktop` XDG_CURRENT_DESKTOP
// (Qt itself takes its Adwaita decoration only on GNOME), `adwaitaInstalled`
// whether that plugin is there (Qt 6.8 and later); `disabled` is
// QT_WAYLAND_DISABLE_WINDOWDECORATION set: Qt then draws none.
bool toolkitLooksNative(QByteArrayView chosen, QByteArrayView desktop, bool adwaitaInstalled,
                        bool disabled);

// This session's choice, asked of the display and Qt once.
TitleBar sessionTitleBar();

// Gives `window`, a top-level window of fixed size, the title bar `bar`: for Own
// the window loses Qt's and the compositor's and gets the caption above its
// contents, the window growing by its height; otherwise the window stays as it is.
void takeTitleBar(QWidget& window, CaptionButtons buttons, TitleBar bar = sessionTitleBar());

}  // namespace quorvel::dialogs
