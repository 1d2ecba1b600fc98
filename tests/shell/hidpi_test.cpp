// On a high-density screen every picture pixel must be an exact square of whole
// device pixels: at a factor of 2 and, since the factor is rounded, at 1.5 too.

#include <gtest/gtest.h>

#include <QTest>

#include "render/face_pictures.h"
#include "render/panel_pictures.h"
#include "shell/surfaces.h"
#include "shell_support.h"

namespace quorvel::shell {
namespace {

using testing::FakeRecords;

// Each pixel of `pic` appears as a 2 x 2 block of `shot` at `origin` * 2.
void expectDoubled(const QImage& shot, const render::Picture& pic, QPoint origin) {
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            const QRgb want = testing::pictureRgb(pic, x, y);
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const QPoint at = (origin + QPoint(x, y)) * 2 + QPoint(dx, dy);
                    ASSERT_EQ(shot.pixel(at), want) << "picture pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(HighDensityScreen, PicturesAreScaledByWholePixelsWithoutSmoothing) {
    core::SeededRandom random(7);
    FakeRecords records;
    MainWindow window(random, records, records);
    window.restoreSettings();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(window.devicePixelRatio(), 2.0) << "the scale factor is not rounded to 2";
    // Open a cell so that the board shows a sunken face and a number too.
    QTest::mouseClick(WindowAccess::fieldSurface(window), Qt::LeftButton, {},
                      testing::anchorPoint(3, 6).toPoint());

    const QImage shot = testing::grabImage(WindowAccess::clientArea(window));
    ASSERT_EQ(shot.size(), QSize(300, 358));
    expectDoubled(shot, WindowAccess::fieldPicture(window), QPoint(9, 52));
    expectDoubled(
        shot, render::facePicture(WindowAccess::game(window).shownFace(), core::FaceSet::Yellow),
        QPoint(9 + 41, 9 + 6));
    expectDoubled(shot, render::digitPicture(7), QPoint(9 + 7 + 14, 9 + 6 + 1));
    expectDoubled(shot, render::digitPicture(1), QPoint(9 + 82 + 27, 9 + 6 + 1));
}

}  // namespace
}  // namespace quorvel::shell
