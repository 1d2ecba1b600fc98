// At every scale factor a click selects what the screen shows under the pointer.
// Each cell of the board (and the face button's hexagon) is painted in a colour of
// its own through the surfaces' own painting; then every screen pixel of the
// board and of the button is pressed through the window, as the platform hands a
// pointer to the program: a whole screen pixel divided by the factor.

#include <gtest/gtest.h>
#include <QTest>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>

#include "core/geometry.h"
#include "shell/client_layout.h"
#include "shell_support.h"

namespace quorvel::shell {
namespace {

using testing::FakeRecords;

constexpr int kSide = 4;
constexpr int kMarkBlue = 99;

// Where a test picture shows nothing: not black, so that a screen pixel left
// unpainted (black) stands out.
constexpr render::Rgb kNothing = render::grey(50);

// The board picture with cell (c, r) in RGB(40 + 20c, 40 + 10r, 99).
render::Picture cellColours() {
    render::Picture pic(core::boardWidth(kSide), core::boardHeight(kSide), kNothing);
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            const auto cell =
                core::cellAtMapPoint(kSide, x - core::kFrameWidth, y - core::kFrameWidth);
            if (cell) {
                pic.set(x, y, render::rgb(40 + 20 * cell->c, 40 + 10 * cell->r, kMarkBlue));
            }
        }
    }
    return pic;
}

// The face button's picture: its hexagon in one colour.
render::Picture hexagonColour() {
    render::Picture pic(layout::kFaceButtonWidth, layout::kFaceButtonHeight, kNothing);
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            if (core::faceButtonMaskAt(x, y)) {
                pic.set(x, y, render::rgb(250, 0, kMarkBlue));
            }
        }
    }
    return pic;
}

// What a pixel of the board or the button is: a cell "c,r", "hexagon" or "-".
std::string paintedThing(QRgb pixel) {
    if (qBlue(pixel) != kMarkBlue) {
        return "-";
    }
    if (qRed(pixel) == 250) {
        return "hexagon";
    }
    return std::to_string((qRed(pixel) - 40) / 20) + "," +
           std::to_string((qGreen(pixel) - 40) / 10);
}

struct Pointed {
    std::optional<QPointF> board;
    std::optional<QPointF> face;
};

// What the press selected, as the game reads the position it was handed.
std::string selectedThing(const Pointed& pointed) {
    if (pointed.board) {
        const auto cell = core::cellUnderPointer(kSide, pointed.board->x(), pointed.board->y());
        return cell ? std::to_string(cell->c) + "," + std::to_string(cell->r) : "-";
    }
    if (pointed.face) {
        return core::onFaceButton(pointed.face->x(), pointed.face->y()) ? "hexagon" : "-";
    }
    return "-";
}

// Presses and releases the right button on device pixel `device` of the window,
// through the window as the platform delivers it. A second apart, so that no
// press makes a double click.
void pressAt(QWindow* window, QPoint device, double ratio) {
    static int timestamp = 0;
    const QPointF at(device.x() / ratio, device.y() / ratio);
    const QPointF global = window->mapToGlobal(at);
    timestamp += 1000;
    qt_handleMouseEvent(window, at, global, Qt::RightButton, Qt::RightButton,
                        QEvent::MouseButtonPress, Qt::NoModifier, timestamp);
    qt_handleMouseEvent(window, at, global, Qt::NoButton, Qt::RightButton,
                        QEvent::MouseButtonRelease, Qt::NoModifier, timestamp + 1);
}

TEST(ScreenPixels, EveryScreenPixelSelectsWhatIsPaintedOnIt) {
    core::SeededRandom random(7);
    FakeRecords records;
    MainWindow window(random, records, records);
    window.restoreSettings();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const double ratio = window.devicePixelRatioF();
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());

    const render::Picture board = cellColours();
    const render::Picture face = hexagonColour();
    Pointed pointed;
    const auto recorder = [](std::optional<QPointF>& into) {
        return SurfaceMouse{[&into](int, double x, double y) { into = QPointF(x, y); }, {}, {}};
    };
    window.fieldSurface()->setPicture(&board);
    window.fieldSurface()->setMouse(recorder(pointed.board));
    window.faceButton()->setPicture(&face);
    window.faceButton()->setMouse(recorder(pointed.face));
    QCoreApplication::processEvents();
    // The window painted at its screen's pixels, children where they stand in it.
    const QImage shot = testing::grabImage(&window);
    ASSERT_EQ(shot.width(), static_cast<int>(std::ceil(window.width() * ratio)));

    int pixels = 0;
    int wrong = 0;
    int unpainted = 0;
    std::ostringstream firstWrong;
    for (const QWidget* surface : {static_cast<QWidget*>(window.fieldSurface()),
                                   static_cast<QWidget*>(window.faceButton())}) {
        // The surface's screen pixels and a margin of one around them.
        const QRect logical(surface->mapTo(&window, QPoint(0, 0)), surface->size());
        const int left = static_cast<int>(std::floor(logical.left() * ratio)) - 1;
        const int right = static_cast<int>(std::ceil((logical.right() + 1) * ratio)) + 1;
        const int top = static_cast<int>(std::floor(logical.top() * ratio)) - 1;
        const int bottom = static_cast<int>(std::ceil((logical.bottom() + 1) * ratio)) + 1;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                pointed = {};
                pressAt(window.windowHandle(), QPoint(x, y), ratio);
                const std::string painted = paintedThing(shot.pixel(x, y));
                const std::string selected = selectedThing(pointed);
                ++pixels;
                unpainted += shot.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
                if (painted != selected && ++wrong <= 5) {
                    firstWrong << " (" << x << "," << y << "): painted " << painted << ", selected "
                               << selected << ";";
                }
            }
        }
    }
    EXPECT_GT(pixels, 132 * 118 * ratio * ratio);
    EXPECT_EQ(unpainted, 0) << "screen pixels that no widget painted, at " << ratio;
    EXPECT_EQ(wrong, 0) << "of " << pixels << " screen pixels at " << ratio << ":"
                        << firstWrong.str();
}

}  // namespace
}  // namespace quorvel::shell
