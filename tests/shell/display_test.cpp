// What the display decides at start-up: the scale factor's rounding per platform
// and the window icon at every size a taskbar asks for.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <optional>
#include <utility>
#include <vector>

#include "dialogs/display_platform.h"
#include "render/face_pictures.h"
#include "shell/application.h"

namespace quorvel::shell {
namespace {

using Policy = Qt::HighDpiScaleFactorRoundingPolicy;

// Wayland: the platform named, or none named in a Wayland session or beside a
// Wayland display. X11, and a Wayland session whose player asked for X11
// (XWayland), or no display at all.
Policy roundingFor(QByteArrayView platform, QByteArrayView sessionType, bool waylandDisplay) {
    return scaleRounding(dialogs::waylandPlatform(platform, sessionType, waylandDisplay));
}

TEST(ScaleRounding, PassesTheFractionOnWaylandAndRoundsItOnX11) {
    EXPECT_EQ(roundingFor("wayland", "", true), Policy::PassThrough);
    EXPECT_EQ(roundingFor("wayland-egl", "x11", false), Policy::PassThrough);
    EXPECT_EQ(roundingFor("", "wayland", false), Policy::PassThrough);
    EXPECT_EQ(roundingFor("", "", true), Policy::PassThrough) << "a Wayland display, no session";
    EXPECT_EQ(roundingFor("", "x11", false), Policy::Round);
    EXPECT_EQ(roundingFor("xcb", "wayland", true), Policy::Round);
    EXPECT_EQ(roundingFor("offscreen", "", true), Policy::Round);
}

// Once the application exists, the platform Qt took decides: these tests run
// on the offscreen platform, though everything Qt read to choose one now says
// Wayland.
TEST(ScaleRounding, ThisProcessIsOnWaylandOnlyAsThePlatformTakenSays) {
    const std::vector<const char*> names = {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                                            "WAYLAND_DISPLAY"};
    std::vector<std::optional<QByteArray>> before;
    for (const char* name : names) {
        before.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                         : std::nullopt);
    }
    qputenv("QT_QPA_PLATFORM", "wayland");
    qputenv("XDG_SESSION_TYPE", "wayland");
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    const bool wayland = dialogs::onWayland();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (before[i]) {
            qputenv(names[i], *before[i]);
        } else {
            qunsetenv(names[i]);
        }
    }
    EXPECT_FALSE(wayland);
}

QImage iconAt(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage art(int size) {
    const render::Picture& pic = render::iconPicture(size);
    return QImage(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                  pic.bytesPerLine(), QImage::Format_RGB32)
        .copy();
}

void expectWholeFactorEnlargements(const QIcon& icon,
                                   const std::vector<std::pair<int, int>>& sizes) {
    for (const auto& [size, from] : sizes) {
        const QImage shown = iconAt(icon, size);
        ASSERT_EQ(shown.size(), QSize(size, size)) << size;
        const QImage source = art(from);
        const int factor = size / from;
        int wrong = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                wrong += shown.pixel(x, y) != source.pixel(x / factor, y / factor) ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << size << " from " << from << ": not every pixel a sharp square";
    }
}

// Each size from the art it is a whole multiple of, the largest art that is.
TEST(WindowIcon, EverySizeATaskbarAsksForIsTheArtEnlargedByAWholeFactor) {
    const QIcon dense = windowIcon(2);
    expectWholeFactorEnlargements(dense,
                                  {{16, 16}, {32, 32}, {48, 16}, {64, 32}, {128, 32}, {256, 32}});
    EXPECT_EQ(dense.availableSizes().size(), 6);
    // The large ones only on a screen denser than 1x: a factor above 1, or a DPI
    // above 96 (120 dpi, which X11 rounds to a factor of 1, is 1.25).
    const QIcon plain = windowIcon(1);
    expectWholeFactorEnlargements(plain, {{16, 16}, {32, 32}});
    EXPECT_EQ(plain.availableSizes().size(), 2);
    EXPECT_EQ(windowIcon(1.25).availableSizes().size(), 6);
}

}  // namespace
}  // namespace quorvel::shell
