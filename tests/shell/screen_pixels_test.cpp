// At every scale factor a click selects what the screen shows under the pointer.
// Each cell of the board and the face button's hexagon is painted in a colour of
// its own through the surfaces' own painting; then every screen pixel of both is
// pressed through the window as the platform hands a pointer to the program: a
// whole screen pixel divided by the factor.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/geometry.h"
#include "shell/client_layout.h"
#include "shell/screen_pixels.h"
#include "shell_support.h"
#include "tests/support/client_picture.h"

namespace quorvel::shell {
namespace {

constexpr int kSide = 4;
constexpr int kHexagon = 100;
// Where a test picture shows nothing: not black, which marks an unpainted pixel.
constexpr render::Rgb kNothing = render::grey(50);

// A picture in which what `thing(x, y)` names (a number, or -1 for nothing) is
// drawn in RGB(thing, 0, 99).
template <typename Thing>
render::Picture paintThings(int width, int height, Thing thing) {
    render::Picture pic(width, height, kNothing);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (const int t = thing(x, y); t >= 0) {
                pic.set(x, y, render::rgb(t, 0, 99));
            }
        }
    }
    return pic;
}

int cellNumber(std::optional<core::CellPos> cell) {
    return cell ? cell->c * 13 + cell->r : -1;
}

int paintedThing(QRgb pixel) {
    return qBlue(pixel) == 99 ? qRed(pixel) : -1;
}

// Presses and releases the right button on device pixel (x, y) of the window,
// through the window; a second apart, so that no two presses make a double click.
void pressAt(QWindow* window, int x, int y, double ratio) {
    static int timestamp = 0;
    const QPointF at(x / ratio, y / ratio);
    timestamp += 1000;
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held(type == QEvent::MouseButtonPress ? Qt::RightButton
                                                                     : Qt::NoButton);
        qt_handleMouseEvent(window, at, window->mapToGlobal(at), held, Qt::RightButton, type,
                            Qt::NoModifier, timestamp);
    }
}

TEST(ScreenPixels, EveryScreenPixelSelectsWhatIsPaintedOnIt) {
    core::SeededRandom random(7);
    testing::FakeRecords records;
    MainWindow window(random, records, records);
    window.restoreSettings();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const double ratio = window.devicePixelRatioF();
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());

    const render::Picture board =
        paintThings(core::boardWidth(kSide), core::boardHeight(kSide), [](int x, int y) {
            const int frame = core::kFrameWidth;
            return cellNumber(core::cellAtMapPoint(kSide, x - frame, y - frame));
        });
    const render::Picture face =
        paintThings(layout::kFaceButtonWidth, layout::kFaceButtonHeight,
                    [](int x, int y) { return core::faceButtonMaskAt(x, y) ? kHexagon : -1; });
    // What the game is handed, turned into the thing it selects.
    int selected = -1;
    WindowAccess::fieldSurface(window)->setPicture(&board);
    WindowAccess::fieldSurface(window)->setMouse({[&](int, double x, double y) {
                                                      selected = cellNumber(
                                                          core::cellUnderPointer(kSide, x, y));
                                                  },
                                                  {},
                                                  {}});
    WindowAccess::faceButton(window)->setPicture(&face);
    WindowAccess::faceButton(window)->setMouse(
        {[&](int, double x, double y) { selected = core::onFaceButton(x, y) ? kHexagon : -1; },
         {},
         {}});
    // The window painted at its screen's pixels, children where they stand in it.
    const QImage shot = testing::grabImage(&window);
    ASSERT_EQ(shot.width(), static_cast<int>(std::ceil(window.width() * ratio)));

    int pixels = 0;
    int wrong = 0;
    int unpainted = 0;
    QString firstWrong;
    for (const QWidget* surface : {static_cast<QWidget*>(WindowAccess::fieldSurface(window)),
                                   static_cast<QWidget*>(WindowAccess::faceButton(window))}) {
        // The surface's screen pixels and one more all round.
        const QRectF on = QRectF(surface->mapTo(&window, QPoint(0, 0)), surface->size());
        for (int y = int(std::floor(on.top() * ratio)) - 1; y <= on.bottom() * ratio; ++y) {
            for (int x = int(std::floor(on.left() * ratio)) - 1; x <= on.right() * ratio; ++x) {
                selected = -1;
                pressAt(window.windowHandle(), x, y, ratio);
                const int painted = paintedThing(shot.pixel(x, y));
                ++pixels;
                unpainted += shot.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
                if (painted != selected && ++wrong <= 5) {
                    firstWrong += QStringLiteral(" (%1,%2): painted %3, selected %4;")
                                      .arg(x)
                                      .arg(y)
                                      .arg(painted)
                                      .arg(selected);
                }
            }
        }
    }
    EXPECT_GT(pixels, 132 * 118 * ratio * ratio);
    EXPECT_EQ(unpainted, 0) << "screen pixels that no widget painted, at " << ratio;
    EXPECT_EQ(wrong, 0) << "of " << pixels << " screen pixels at " << ratio << ":"
                        << firstWrong.toStdString();
}

// Whether device pixel `d` (one axis) is cut by the edge at window pixel `edge`.
bool cutBy(int d, int edge, double ratio) {
    return d < edge * ratio && edge * ratio < d + 1;
}

// Whether device pixel (x, y) is cut by an edge of `rect` (window pixels): Qt
// clips each widget to whole device pixels, and such a pixel belongs to one of
// the two widgets whatever the rule says.
bool onASeam(int x, int y, const QRect& rect, double ratio) {
    const QRect grown(QPoint(rect.left() - 1, rect.top() - 1), rect.size() + QSize(2, 2));
    const bool near =
        QRectF(grown.x() * ratio, grown.y() * ratio, grown.width() * ratio, grown.height() * ratio)
            .contains(x + 0.5, y + 0.5);
    return near && (cutBy(x, rect.left(), ratio) || cutBy(x, rect.right() + 1, ratio) ||
                    cutBy(y, rect.top(), ratio) || cutBy(y, rect.bottom() + 1, ratio));
}

// The client area around the board (background, frames, bevels, panel, digits,
// face) is painted by the same rule as the board: each screen pixel shows the
// client picture's pixel that the rule gives it, never a colour of Qt's scaler.
// Only where a widget's edge cuts a device pixel does Qt's clip decide.
TEST(ScreenPixels, TheClientAreaAroundTheBoardFollowsTheSameRule) {
    core::SeededRandom random(7);
    testing::FakeRecords records;
    MainWindow window(random, records, records);
    window.restoreSettings();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const double ratio = window.devicePixelRatioF();
    const QImage shot = testing::grabImage(&window);

    const Panel& panel = *WindowAccess::panel(window);
    const auto glyph = [&](PanelPlace place) {
        return WindowAccess::place(panel, place).value_or(0);
    };
    const render::Picture client = support::expectedClientArea(
        WindowAccess::fieldPicture(window),
        {glyph(PanelPlace::CounterTens), glyph(PanelPlace::CounterOnes)},
        {glyph(PanelPlace::ClockHundreds), glyph(PanelPlace::ClockTens),
         glyph(PanelPlace::ClockOnes)},
        *WindowAccess::faceButton(window)->picture());
    const QPoint origin = WindowAccess::clientArea(window)->mapTo(&window, QPoint(0, 0));
    const QRect area(origin, WindowAccess::clientArea(window)->size());
    ASSERT_EQ(area.size(), QSize(client.width(), client.height()));
    QList<QRect> widgets{area};
    for (const QWidget* part : {static_cast<const QWidget*>(WindowAccess::fieldSurface(window)),
                                static_cast<const QWidget*>(WindowAccess::panel(window)),
                                static_cast<const QWidget*>(WindowAccess::faceButton(window))}) {
        widgets.append(QRect(part->mapTo(&window, QPoint(0, 0)), part->size()));
    }

    int pixels = 0;
    int seams = 0;
    int wrong = 0;
    QString firstWrong;
    for (int y = pixels::firstDevicePixel(area.top(), ratio);
         y < pixels::firstDevicePixel(area.bottom() + 1, ratio) && y < shot.height(); ++y) {
        for (int x = pixels::firstDevicePixel(area.left(), ratio);
             x < pixels::firstDevicePixel(area.right() + 1, ratio) && x < shot.width(); ++x) {
            if (std::any_of(widgets.begin(), widgets.end(),
                            [&](const QRect& r) { return onASeam(x, y, r, ratio); })) {
                ++seams;
                continue;
            }
            const int cx = pixels::windowPixelAt(x, ratio) - origin.x();
            const int cy = pixels::windowPixelAt(y, ratio) - origin.y();
            const QRgb expected = static_cast<QRgb>(client.at(cx, cy)) | 0xff000000u;
            ++pixels;
            if (shot.pixel(x, y) != expected && ++wrong <= 5) {
                firstWrong += QStringLiteral(" (%1,%2) shows %3, the rule %4;")
                                  .arg(x)
                                  .arg(y)
                                  .arg(shot.pixel(x, y), 0, 16)
                                  .arg(expected, 0, 16);
            }
        }
    }
    // Whole factors cut no device pixel.
    EXPECT_EQ(seams == 0, ratio == std::floor(ratio)) << seams << " at " << ratio;
    EXPECT_GE(pixels, static_cast<int>(area.width() * area.height() * ratio * ratio * 0.9));
    EXPECT_EQ(wrong, 0) << "of " << pixels << " screen pixels at " << ratio << ":"
                        << firstWrong.toStdString();
}

// The platform hands a pointer on device pixel d as d / factor: the pixel just
// left of or above the window is -1, never the window's first.
TEST(ScreenPixels, APointerJustOutsideTheWindowIsOnNoPixelOfIt) {
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        for (const int device : {-2, -1, 0, 1, 7}) {
            EXPECT_EQ(pixels::devicePixelUnder(device / ratio, ratio), device) << "at " << ratio;
        }
    }
}

}  // namespace
}  // namespace quorvel::shell
