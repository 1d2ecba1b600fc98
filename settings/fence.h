#pragma once
// The process fences itself in with the kernel's Landlock: from then on it may
// create, write, cut, rename and remove files only beneath one folder (the one
// that holds the settings file), and it opens no TCP connection. Reading stays
// open, so the toolkit can still load fonts, plugins and translations when it
// needs them. Unix sockets (the display, D-Bus, the accessibility bus) are not
// fenced. Best effort: it asks only for the rights the running kernel knows,
// and on a kernel without Landlock it does nothing; the game runs either way.
//
// Landlock binds the calling thread and what it starts afterwards, never a
// thread that already runs: fence before the toolkit starts any thread.

#include <cstdint>
#include <optional>

namespace quorvel::settings {

// The Landlock ABI the running kernel offers; 0 when it offers none.
int landlockAbi();

// What the process is fenced in by after fenceIn().
enum class Fenced {
    Nothing,          // no Landlock, or the kernel refused the fence
    Writes,           // writes beneath the folder only
    WritesAndNetwork  // that, and no TCP bind or connect
};

// Fences the process in as far as `abi` (at most what the kernel offers, see
// landlockAbi()) allows. `folder` is an open descriptor of the folder where
// writes stay allowed, or -1 for none: then nothing can be written anywhere.
// `tcpPort`, when given, is the one port that a TCP connection may still go
// to (a display reached over TCP, as X11 forwarded by ssh is).
Fenced fenceIn(int folder, int abi, std::optional<std::uint16_t> tcpPort = std::nullopt);

}  // namespace quorvel::settings
