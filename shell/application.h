#pragma once
// Start-up of the program: what must happen before and after the application
// object exists.

#include <QByteArrayView>
#include <Qt>

class QApplication;
class QIcon;

namespace quorvel::shell {

// Before the QApplication: the scale factor's rounding (scaleRounding), unless
// the user chose Qt's own policy; a file-size limit fails a write instead of
// ending the process (SIGXFSZ ignored).
void prepareApplication();

// The rounding of the scale factor for the platform that Qt is about to take
// (QT_QPA_PLATFORM, XDG_SESSION_TYPE, whether WAYLAND_DISPLAY is set): the
// fraction passes through on Wayland, X11 rounds it to a whole factor.
Qt::HighDpiScaleFactorRoundingPolicy scaleRounding(QByteArrayView platform,
                                                   QByteArrayView sessionType, bool waylandDisplay);

// The window icon at every size a taskbar on a screen of `density` (its factor,
// or its DPI over 96) asks for: the 16- and 32-pixel art and their whole-factor
// enlargements, every pixel a sharp square: 16 and 32, and above 1x also 48, 64,
// 128 and 256.
QIcon windowIcon(double density);

// The primary screen's density: the larger of its factor and its DPI over 96.
double screenDensity();

// Names the application, reads the settings, shows the window and runs the event
// loop until the game quits.
int run(QApplication& app);

}  // namespace quorvel::shell
