// Whether the game is on Wayland, asked before the application exists, as the
// start-up's scale rounding asks it: then only what Qt will read to choose its
// platform can tell. (This program makes no application object.)

#include <gtest/gtest.h>

#include <QByteArray>
#include <QGuiApplication>
#include <optional>
#include <vector>

#include "dialogs/display_platform.h"

namespace quorvel::dialogs {
namespace {

// The environment Qt reads to choose a platform, set for one test and put back.
class PlatformEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : kNames) {
            saved_.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                             : std::nullopt);
            qunsetenv(name);
        }
    }
    void TearDown() override {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i]) {
                qputenv(kNames[i], *saved_[i]);
            } else {
                qunsetenv(kNames[i]);
            }
        }
    }

  private:
    static constexpr const char* kNames[] = {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                                             "WAYLAND_DISPLAY"};
    std::vector<std::optional<QByteArray>> saved_;
};

// Qt 6.5 and later name their built-in default platform (xcb) before the
// application exists: that must not overrule what the environment asks for, or
// a fractional Wayland scale is rounded and the compositor resamples the window.
TEST_F(PlatformEnvironment, BeforeTheApplicationTheEnvironmentDecides) {
    ASSERT_EQ(QGuiApplication::instance(), nullptr);
    qputenv("QT_QPA_PLATFORM", "wayland");
    EXPECT_TRUE(onWayland()) << "the platform asked for";
    qunsetenv("QT_QPA_PLATFORM");
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(onWayland()) << "a Wayland display, no platform asked for";
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "wayland");
    EXPECT_TRUE(onWayland()) << "a Wayland session";
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_FALSE(onWayland()) << "X11 asked for in a Wayland session";
}

}  // namespace
}  // namespace quorvel::dialogs
