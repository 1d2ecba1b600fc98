// The game's own title bar: minimise and close for the game, close alone for a
// dialog, no maximise; the whole title on the narrowest window, across the
// window's width; symbols in whole device pixels at every scale factor.

#include "dialogs/window_caption.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <set>

namespace quorvel::dialogs {
namespace {

// The beginner window, the narrowest the game has.
constexpr int kNarrowest = 150;

TEST(WindowCaption, OffersMinimiseAndCloseOnlyAndShowsTheWholeTitle) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quorvel"));
    window.setContentsMargins(0, WindowCaption::kHeight, 0, 0);
    auto* caption = new WindowCaption(window, CaptionButtons::MinimiseAndClose);
    window.resize(kNarrowest, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(caption->geometry(), QRect(0, 0, kNarrowest, WindowCaption::kHeight));
    const auto buttons = caption->findChildren<QAbstractButton*>();
    EXPECT_EQ(buttons.size(), 2) << "minimise and close, no maximise";
    const auto labels = caption->findChildren<QLabel*>();
    const auto shown = std::find_if(labels.begin(), labels.end(),
                                    [](const QLabel* label) { return !label->text().isEmpty(); });
    ASSERT_NE(shown, labels.end());
    EXPECT_EQ((*shown)->text(), QStringLiteral("Quorvel"));
    EXPECT_GE((*shown)->width(), (*shown)->fontMetrics().horizontalAdvance((*shown)->text()))
        << "the title is cut";

    // Minimise, then close, side by side at the caption's right end.
    const QRect minimise = caption->minimiseButton()->geometry();
    const QRect close = caption->closeButton()->geometry();
    EXPECT_EQ(minimise.right() + 1, close.left());
    EXPECT_EQ(close.right() + 2, caption->width());
    EXPECT_GT(minimise.left(), (*shown)->geometry().left());
    EXPECT_EQ(caption->closeButton()->accessibleName(), QStringLiteral("Zavřít"));
    EXPECT_EQ(caption->minimiseButton()->accessibleName(), QStringLiteral("Minimalizovat"));

    window.setWindowTitle(QStringLiteral("Quorvel 2"));
    EXPECT_EQ(caption->title(), QStringLiteral("Quorvel 2"));
    window.resize(300, 200);
    EXPECT_EQ(caption->width(), 300);

    caption->minimiseButton()->click();
    EXPECT_TRUE(window.isMinimized());
    window.showNormal();
    caption->closeButton()->click();
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowCaption, ADialogsCaptionOffersCloseAlone) {
    QWidget dialog;
    auto* caption = new WindowCaption(dialog, CaptionButtons::Close);
    EXPECT_EQ(caption->minimiseButton(), nullptr);
    EXPECT_EQ(caption->findChildren<QAbstractButton*>().size(), 1);
}

// The colours of a button's picture drawn at `ratio`.
std::set<QRgb> coloursAt(CaptionButton& button, double ratio) {
    const int side = static_cast<int>(button.width() * ratio);
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(button.palette().color(QPalette::Window));
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    std::set<QRgb> colours;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

TEST(WindowCaption, SymbolsAreWholeDevicePixelsAtEveryFactorNeverBlurred) {
    QWidget parent;
    for (const auto symbol : {CaptionButton::Symbol::Minimise, CaptionButton::Symbol::Close}) {
        CaptionButton button(symbol, &parent);
        const QRgb ground = button.palette().color(QPalette::Window).rgb();
        const QRgb ink = button.palette().color(QPalette::WindowText).rgb();
        for (const double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
            const std::set<QRgb> colours = coloursAt(button, ratio);
            // Ground and ink only: a symbol enlarged or smoothed by the toolkit
            // leaves greys between them.
            EXPECT_EQ(colours, (std::set<QRgb>{ground, ink})) << ratio;
        }
    }
}

TEST(WindowCaption, SymbolStrokesGrowWithTheFactorAndStayCentred) {
    EXPECT_EQ(CaptionButton::strokeWidth(1.0), 1);
    EXPECT_EQ(CaptionButton::strokeWidth(1.25), 1);
    EXPECT_EQ(CaptionButton::strokeWidth(2.0), 2);
    EXPECT_EQ(CaptionButton::strokeWidth(3.0), 3);
    for (const int side : {20, 25, 30, 40, 60}) {
        const QRect square = CaptionButton::symbolSquare(side);
        EXPECT_EQ(square.width(), side / 2) << side;
        EXPECT_LE(std::abs(square.left() - (side - square.right() - 1)), 1) << side;
    }
}

}  // namespace
}  // namespace quorvel::dialogs
