// Where the window opens for a stored position, and what a later write stores.

#include "shell/placement_rule.h"

#include <gtest/gtest.h>

namespace quorvel::shell {
namespace {

// The beginner window with its frame.
constexpr QSize kWindow(152, 217);

Screens oneScreen() {
    Screens screens;
    screens.available = {QRect(0, 0, 1280, 1024)};
    screens.primary = screens.available.front();
    return screens;
}

// Where the window goes when the stored position cannot be kept.
constexpr QPoint kCentre(564, 403);

TEST(WindowPosition, ReachablePositionIsKeptRoundedDown) {
    const WindowPlacement placement = placeWindow(QPointF(453.5, 0.5), kWindow, oneScreen());
    EXPECT_EQ(placement.at, QPoint(453, 0));
    EXPECT_EQ(placement.read, QPointF(453.5, 0.5));
    // A monitor above the first one: rounded down, not towards zero.
    Screens two = oneScreen();
    two.available.append(QRect(0, -768, 1024, 768));
    EXPECT_EQ(placeWindow(QPointF(10.5, -200.5), kWindow, two).at, QPoint(10, -201));
}

// Half of the window's width and half its height on one monitor, its top edge
// not above that monitor: two thirds of the window on the screen is enough, one
// row or one column is not.
TEST(WindowPosition, HalfTheWindowOnOneMonitorIsReachable) {
    const QList<QRect> screen = oneScreen().available;
    EXPECT_TRUE(isReachable(QPoint(-50, 10), kWindow, screen)) << "two thirds across";
    EXPECT_TRUE(isReachable(QPoint(1280 - 101, 1024 - 145), kWindow, screen)) << "two thirds";
    EXPECT_TRUE(isReachable(QPoint(-76, 1024 - 109), kWindow, screen)) << "exactly half";
    EXPECT_FALSE(isReachable(QPoint(-77, 10), kWindow, screen)) << "one column short of half";
    EXPECT_FALSE(isReachable(QPoint(10, 1024 - 108), kWindow, screen));
    EXPECT_FALSE(isReachable(QPoint(100, 1023), kWindow, screen)) << "one row";
    EXPECT_FALSE(isReachable(QPoint(1279, 100), kWindow, screen)) << "one column";
    EXPECT_FALSE(isReachable(QPoint(1279, 1023), kWindow, screen)) << "a corner";
    EXPECT_FALSE(isReachable(QPoint(100, -22), kWindow, screen)) << "title bar above the screen";
    EXPECT_FALSE(isReachable(QPoint(100, -1), kWindow, screen)) << "top row above the screen";
}

// Two monitors side by side of different heights: the gap below the lower one
// is inside their bounding box but on neither of them, and a window that is
// half on each is on neither by half.
TEST(WindowPosition, OnlyOneMonitorAtATimeCountsNotTheBoxAroundThem) {
    Screens two;
    two.available = {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
    two.primary = two.available.front();
    const QPoint centre(324, 191);
    EXPECT_EQ(placeWindow(QPointF(600, 650), kWindow, two).at, centre) << "in the gap";
    EXPECT_EQ(placeWindow(QPointF(650, 650), kWindow, two).at, centre) << "two columns beside";
    EXPECT_EQ(placeWindow(QPointF(724, 500), kWindow, two).at, QPoint(724, 500));
    EXPECT_EQ(placeWindow(QPointF(760, 650), kWindow, two).at, QPoint(760, 650));
}

TEST(WindowPosition, UnreachablePositionCentresTheWindowOnThePrimaryMonitor) {
    for (const QPointF stored : {QPointF(-200, 10), QPointF(3000, 10), QPointF(10, -24),
                                 QPointF(1e300, -1e300), QPointF(100, 1023), QPointF(1279, 1023)}) {
        const WindowPlacement placement = placeWindow(stored, kWindow, oneScreen());
        EXPECT_EQ(placement.at, kCentre) << stored.x() << " " << stored.y();
        // The centre, half pixel and all, is what a later write stores while the
        // window stays there.
        EXPECT_EQ(positionToStore(placement, kCentre), QPointF(564, 403.5));
    }
    // The primary monitor's usable area, not the whole screen: a panel takes the
    // top 30 rows, and a second monitor to the left is not where it goes.
    Screens screens = oneScreen();
    screens.primary = QRect(0, 30, 1280, 994);
    screens.available = {screens.primary, QRect(-1920, 0, 1920, 1080)};
    EXPECT_EQ(placeWindow(QPointF(5000, 5000), kWindow, screens).at, QPoint(564, 418));
    EXPECT_EQ(centredOn(QRect(0, 0, 1280, 1024), QSize(373, 479)), QPointF(453.5, 272.5));
}

TEST(WindowPosition, WherePlatformPlacesWindowsNothingMovesAndTheReadValuesStay) {
    Screens screens = oneScreen();
    screens.platformPlaces = true;
    const WindowPlacement placement = placeWindow(QPointF(-5000.25, 7), kWindow, screens);
    EXPECT_FALSE(placement.at.has_value());
    EXPECT_EQ(positionToStore(placement, QPoint(0, 0)), QPointF(-5000.25, 7));
}

TEST(WindowPosition, MovedWindowStoresWhereItIsNow) {
    const WindowPlacement placement = placeWindow(QPointF(20.75, 30.5), kWindow, oneScreen());
    EXPECT_EQ(positionToStore(placement, QPoint(20, 30)), QPointF(20.75, 30.5));
    EXPECT_EQ(positionToStore(placement, QPoint(21, 30)), QPointF(21, 30));
    // A window that never read a position stores where it is.
    EXPECT_EQ(positionToStore(std::nullopt, QPoint(5, 6)), QPointF(5, 6));
}

// Before the window is shown only its client area is known; a stored position
// that keeps half of the client on the screen may leave less than half of the
// window with its title bar there. Once the frame is reported, that window is
// centred at its framed size; one that is reachable with its frame stays.
TEST(WindowPosition, TheFrameOnceReportedCountsInTheHalfOnAMonitorRule) {
    const QSize client(150, 198);
    const QSize framed(152, 221);  // a 22-pixel title bar and a 1-pixel border
    const WindowPlacement clientOnly = placeWindow(QPointF(300, 1024 - 99), client, oneScreen());
    ASSERT_EQ(clientOnly.at, QPoint(300, 1024 - 99)) << "half the client on the screen";

    const auto framedPlacement = placeFramed(clientOnly, framed, oneScreen());
    ASSERT_TRUE(framedPlacement.has_value()) << "99 of the window's 221 rows on the screen";
    EXPECT_EQ(framedPlacement->at, QPoint(564, 401));
    EXPECT_EQ(framedPlacement->read, QPointF(564, 401.5));
    EXPECT_EQ(positionToStore(framedPlacement, QPoint(564, 401)), QPointF(564, 401.5));

    const WindowPlacement high = placeWindow(QPointF(300, 1024 - 111), client, oneScreen());
    EXPECT_EQ(placeFramed(high, framed, oneScreen()), std::nullopt) << "111 of 221 rows";
    Screens wayland = oneScreen();
    wayland.platformPlaces = true;
    EXPECT_EQ(placeFramed(placeWindow(QPointF(300, 1000), client, wayland), framed, wayland),
              std::nullopt);
}

}  // namespace
}  // namespace quorvel::shell
