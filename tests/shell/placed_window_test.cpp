// The placement applied to a real window: once the platform reports the frame
// around a shown window, a window that the frame leaves out of reach is placed
// again at its framed size.

#include "shell/placed_window.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "shell/screens.h"

namespace quorvel::shell {
namespace {

TEST(PlacedWindow, AWindowItsFrameLeavesOutOfReachIsCentredOnceTheFrameIsReported) {
    QWidget window;
    window.setFixedSize(100, 100);
    const Screens screens = currentScreens();
    ASSERT_FALSE(screens.platformPlaces);
    PlacedWindow placed(window);
    // Half of the window's rows on the primary monitor, by the client-only
    // measure: reachable there until its frame counts.
    const QRect area = screens.primary;
    const QPoint stored(area.x() + 10, area.y() + area.height() - 50);
    placed.place(QPointF(stored), screens);
    ASSERT_EQ(window.pos(), stored);
    placed.placeAgainWhenFramed();

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const QSize framed = window.frameGeometry().size();
    ASSERT_GT(framed.height(), window.height()) << "the platform reports no frame";
    const QPointF centre = centredOn(area, framed);
    EXPECT_EQ(window.pos(), QPoint(static_cast<int>(centre.x()), static_cast<int>(centre.y())))
        << "left at " << window.x() << "," << window.y();
    EXPECT_EQ(placed.toStore(), centre) << "the centre is what a write stores";
}

}  // namespace
}  // namespace quorvel::shell
