// The window's own title bar on Wayland: minimise and close, no maximise, the
// whole title on the narrowest window, across the window's width.

#include "shell/window_caption.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <algorithm>

#include "shell/client_layout.h"

namespace quorvel::shell {
namespace {

TEST(WindowCaption, OffersMinimiseAndCloseOnlyAndShowsTheWholeTitle) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quorvel"));
    window.setContentsMargins(0, WindowCaption::kHeight, 0, 0);
    auto* caption = new WindowCaption(window);
    // The beginner window, the narrowest the game has.
    window.resize(layout::kInitialClientWidth, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(caption->geometry(),
              QRect(0, 0, layout::kInitialClientWidth, WindowCaption::kHeight));
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

}  // namespace
}  // namespace quorvel::shell
