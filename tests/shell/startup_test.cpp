// Start-up of the program before and around its application object: which
// display port the fence leaves open.

#include <gtest/gtest.h>

#include <QByteArray>
#include <cstdint>
#include <optional>

#include "shell/application.h"

namespace quorvel::shell {
namespace {

struct DisplayCase {
    const char* display;
    std::optional<std::uint16_t> port;
};

void expectPorts(std::initializer_list<DisplayCase> cases) {
    for (const DisplayCase& c : cases) {
        EXPECT_EQ(tcpDisplayPort(c.display), c.port) << '"' << c.display << '"';
    }
}

// A display on another machine, or on this one through the network (ssh's X11
// forwarding, a server on the far side of a virtual machine), in every way of
// naming it that the X client library takes.
TEST(DisplayPort, EveryNetworkFormKeepsItsPort) {
    expectPorts({
        {"localhost:10.0", 6010},
        {"192.168.1.2:0", 6000},
        {"tcp/localhost:3", 6003},
        {"inet/127.0.0.1:4.1", 6004},
        {"inet6/::1:5", 6005},
        {"inet6/localhost:5", 6005},
        {"::1:6", 6006},
        {"[::1]:7.0", 6007},
        {"::ffff:127.0.0.1:8", 6008},
        {"inet6/[::1]:9", 6009},
        {"tcp/host.example:0", 6000},
    });
}

// ":N" tries the Unix socket, then TCP on this machine: an X server that
// listens on TCP only is reached there.
TEST(DisplayPort, ALocalDisplayKeepsTheTcpFallback) {
    expectPorts({{":0", 6000}, {":1.0", 6001}, {":57", 6057}});
}

// Where the library tries only a Unix socket, or takes no connection at all,
// no port stays open.
TEST(DisplayPort, UnixOnlyAndRefusedNamesKeepNone) {
    expectPorts({
        {"", std::nullopt},
        {"unix:0", std::nullopt},
        {"unix/:0", std::nullopt},
        {"unix/host:0", std::nullopt},
        {"tcp/:0", std::nullopt},
        {"tcp/unix:0", std::nullopt},
        {"TCP/localhost:0", std::nullopt},
        {"foo/localhost:0", std::nullopt},
        {"a/tcp/localhost:0", std::nullopt},
        {"/tmp/launch-x/org.x:0", std::nullopt},
        {"/tmp/.X11-unix/X0", std::nullopt},
        {"host:x", std::nullopt},
        {"host", std::nullopt},
        {"host:", std::nullopt},
        {"host:0x10", std::nullopt},
        {"host:5.", std::nullopt},
        {"host:5.x", std::nullopt},
        {"host:5.1.2", std::nullopt},
        {"host:5 ", std::nullopt},
    });
}

// The display number is read as the library reads it, and its port is the
// library's sum in 16 bits: a number no server uses still names the port the
// library would connect to, never another.
TEST(DisplayPort, NumbersAreReadAsTheLibraryReadsThem) {
    expectPorts({
        {"host:057", 6057},
        {"host:+5", 6005},
        {"host: 5", 6005},
        {"host:5.+1", 6005},
        {"host:59535", 65535},
        {"host:65000", 5464},
        {"host:4294967296", 6000},
        {"host:-1", 5999},
        {"host:99999999999999999999999", 5999},
    });
}

}  // namespace
}  // namespace quorvel::shell
