#pragma once
// The process fences itself in with the kernel's Landlock: from then on it may
// create, write, cut and remove regular files only beneath one folder (the one
// that holds the settings file: in it and in every folder below it, as
// Landlock fences a subtree), rename them only within their folder, make no
// folder, link, FIFO, socket or device file anywhere, and bind and connect no
// TCP port but one. Landlock leaves the rest open: reading (the toolkit still
// loads fonts, plugins and translations when it needs them), a file's
// permissions, owner, attributes and times, UDP, Unix sockets abstract or not
// (the display, D-Bus, the accessibility bus) and signals. Best effort: it asks
// only for the rights the running kernel knows, and on a kernel without
// Landlock it does nothing; the game runs either way.
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
