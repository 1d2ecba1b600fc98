// Where the window opens for a stored position, and what a later write stores.

#include "shell/window_placement.h"

#include <gtest/gtest.h>

namespace quorvel::shell {
namespace {

Screens oneScreen() {
    Screens screens;
    screens.available = {QRect(0, 0, 1024, 740)};
    screens.frameWidth = 220;
    screens.centred = QPointF(401.5, 154);
    return screens;
}

TEST(WindowPosition, StoredPositionOnAScreenIsRoundedDown) {
    const WindowPlacement placement = placeWindow(QPointF(453.5, -0.5), oneScreen());
    EXPECT_EQ(placement.at, QPoint(453, -1));
    EXPECT_EQ(placement.read, QPointF(453.5, -0.5));
    // The title bar only has to touch a screen: 219 pixels may hang off the left.
    EXPECT_EQ(placeWindow(QPointF(-219, 10), oneScreen()).at, QPoint(-219, 10));
    // A second screen to the right counts as well.
    Screens two = oneScreen();
    two.available.append(QRect(1024, 0, 800, 600));
    EXPECT_EQ(placeWindow(QPointF(1500, 500), two).at, QPoint(1500, 500));
}

TEST(WindowPosition, TitleBarOnNoScreenCentresTheWindow) {
    for (const QPointF stored : {QPointF(-220, 10), QPointF(3000, 10), QPointF(10, -24),
                                 QPointF(1e300, -1e300), QPointF(10, 740)}) {
        const WindowPlacement placement = placeWindow(stored, oneScreen());
        EXPECT_EQ(placement.at, QPoint(401, 154)) << stored.x() << " " << stored.y();
        // The centre is what a later write stores while the window stays there.
        EXPECT_EQ(positionToStore(placement, QPoint(401, 154)), QPointF(401.5, 154));
    }
}

// Two monitors side by side of different heights: the corner below the lower
// one is inside their bounding box but on neither of them.
TEST(WindowPosition, OnlyTheMonitorsThemselvesCountNotTheBoxAroundThem) {
    Screens two;
    two.available = {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
    two.frameWidth = 190;
    two.centred = QPointF(305, 200);
    EXPECT_EQ(placeWindow(QPointF(600, 700), two).at, QPoint(305, 200));
    // With its title bar's right end on the second monitor it stays.
    EXPECT_EQ(placeWindow(QPointF(611, 700), two).at, QPoint(611, 700));
}

TEST(WindowPosition, WherePlatformPlacesWindowsNothingMovesAndTheReadValuesStay) {
    Screens screens = oneScreen();
    screens.platformPlaces = true;
    const WindowPlacement placement = placeWindow(QPointF(-5000.25, 7), screens);
    EXPECT_FALSE(placement.at.has_value());
    EXPECT_EQ(positionToStore(placement, QPoint(0, 0)), QPointF(-5000.25, 7));
}

TEST(WindowPosition, MovedWindowStoresWhereItIsNow) {
    const WindowPlacement placement = placeWindow(QPointF(20.75, 30.5), oneScreen());
    EXPECT_EQ(positionToStore(placement, QPoint(20, 30)), QPointF(20.75, 30.5));
    EXPECT_EQ(positionToStore(placement, QPoint(21, 30)), QPointF(21, 30));
    // A window that never read a position stores where it is.
    EXPECT_EQ(positionToStore(std::nullopt, QPoint(5, 6)), QPointF(5, 6));
}

}  // namespace
}  // namespace quorvel::shell
