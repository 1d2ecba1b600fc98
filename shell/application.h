#pragma once
// Start-up of the program: what must happen before and after the application
// object exists.

#include <QByteArray>
#include <QByteArrayView>
#include <Qt>
#include <cstdint>
#include <optional>

#include "settings/fence.h"

class QApplication;
class QIcon;

namespace quorvel::shell {

// Before the QApplication: the scale factor's rounding (scaleRounding), unless
// the user chose Qt's own policy; a file-size limit fails a write instead of
// ending the process (SIGXFSZ ignored).
void prepareApplication();

// The rounding of the scale factor on the platform that Qt is about to take
// (dialogs::onWayland): the fraction passes through on Wayland, X11 rounds it to
// a whole factor.
Qt::HighDpiScaleFactorRoundingPolicy scaleRounding(bool wayland);

// Before the QApplication, while the process has no other thread: the
// process fences itself in (see settings/fence.h) so that from now on it
// writes nothing but beside the settings file, in the folder a write would
// find (made when missing), and opens no TCP connection but to its display.
// Without that folder it may write nowhere. `abi` is the Landlock ABI to use:
// the kernel's, or 0 for none.
settings::Fenced fenceIn(int abi = settings::landlockAbi());

// The TCP port of an X display reached over the network (DISPLAY as
// "host:N.S", which ssh's X11 forwarding sets: port 6000 + N); none for a
// display on this machine's Unix socket.
std::optional<std::uint16_t> tcpDisplayPort(const QByteArray& display);

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

// Ends the process with `code` once the application object is gone. By then the
// last settings write has been made and synced and the window is closed; what
// is left are the libraries' static data, which exit() would tear down one
// allocation at a time (most of a million instructions) only for the kernel to
// take the whole address space back anyway. So the standard streams are
// flushed, and the process ends without running exit()'s handlers.
[[noreturn]] void leave(int code);

}  // namespace quorvel::shell
