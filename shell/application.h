#pragma once
// Start-up of the program: what must happen before and after the application
// object exists.

#include <QByteArray>
#include <Qt>
#include <cstdint>
#include <optional>

#include "settings/fence.h"
#include "settings/settings_file.h"

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

// What the fence at start-up did, and the settings file for the start-up read,
// holding the folder the fence was put around, so that the read starts from
// it instead of resolving the path again.
struct StartUp {
    settings::Fenced fenced = settings::Fenced::Nothing;
    settings::SettingsFile settingsFile;
};

// Before the QApplication, while the process has no other thread: the
// process fences itself in (see settings/fence.h for all that the fence
// refuses and leaves open) so that from now on it creates and writes files
// only beneath the folder a write of the settings file would find (made when
// missing), that folder's whole subtree, and connects to no TCP port but its
// display's (tcpDisplayPort). Without that folder it may write nowhere. What
// the toolkit would write after the fence is written first: fontconfig's cache
// of fonts it has not cached yet, the runtime folder Qt makes without
// XDG_RUNTIME_DIR. `abi` is the Landlock ABI to use: the kernel's, or 0 for
// none (then nothing of this is done).
StartUp fenceIn(int abi = settings::landlockAbi());

// The TCP port (6000 + N) that the X client library may connect to for
// DISPLAY, in every form it accepts: "host:N.S" (ssh's X11 forwarding), with a
// protocol ("tcp/host:N", "inet/...", "inet6/...") and IPv6 literals
// ("::1:N", "[::1]:N"), and ":N", which falls back to TCP on this machine when
// the server has no Unix socket. None where only a Unix socket is tried
// ("unix:N", "unix/...", a socket's path) or the library would refuse the name.
std::optional<std::uint16_t> tcpDisplayPort(const QByteArray& display);

// The window icon at every size a taskbar on a screen of `density` (its factor,
// or its DPI over 96) asks for: the 16- and 32-pixel art and their whole-factor
// enlargements, every pixel a sharp square: 16 and 32, and above 1x also 48, 64,
// 128 and 256.
QIcon windowIcon(double density);

// The primary screen's density: the larger of its factor and its DPI over 96.
double screenDensity();

// Names the application, reads the settings from `settingsFile` (the one
// fenceIn hands back), shows the window and runs the event loop until the game
// quits.
int run(QApplication& app, settings::SettingsFile settingsFile);

// Ends the process with `code` once the application object is gone. By then the
// last settings write has been made and synced and the window is closed; what
// is left are the libraries' static data, which exit() would tear down one
// allocation at a time (most of a million instructions) only for the kernel to
// take the whole address space back anyway. So the standard streams are
// flushed, and the process ends without running exit()'s handlers.
[[noreturn]] void leave(int code);

}  // namespace quorvel::shell
