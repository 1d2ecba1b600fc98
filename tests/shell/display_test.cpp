// What the display decides at start-up: the scale factor's rounding per platform
// and the window icon at every size a taskbar asks for.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <utility>
#include <vector>

#include "render/face_pictures.h"
#include "shell/application.h"

namespace quorvel::shell {
namespace {

using Policy = Qt::HighDpiScaleFactorRoundingPolicy;

TEST(ScaleRounding, PassesTheFractionOnWaylandAndRoundsItOnX11) {
    EXPECT_EQ(scaleRounding("wayland", "", true), Policy::PassThrough);
    EXPECT_EQ(scaleRounding("wayland-egl", "x11", false), Policy::PassThrough);
    EXPECT_EQ(scaleRounding("", "wayland", false), Policy::PassThrough);
    EXPECT_EQ(scaleRounding("", "", true), Policy::PassThrough) << "a Wayland display, no session";
    // X11, and a Wayland session whose player asked for X11 (XWayland).
    EXPECT_EQ(scaleRounding("", "x11", false), Policy::Round);
    EXPECT_EQ(scaleRounding("xcb", "wayland", true), Policy::Round);
    EXPECT_EQ(scaleRounding("offscreen", "", true), Policy::Round);
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
