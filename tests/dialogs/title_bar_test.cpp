// Whose title bar the game's windows take, and the game's own caption on a
// dialog: the dialog's whole client area below it, close alone.

#include "dialogs/title_bar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/name_dialog.h"
#include "dialogs/wayland_offer.h"
#include "settings/best_times.h"

namespace quorvel::dialogs {
namespace {

TEST(TitleBar, TheDesktopsWhereverItDrawsOneQtsWhereItLooksNativeElseTheGamesOwn) {
    // X11: the window manager's, whatever else is said.
    EXPECT_EQ(chooseTitleBar({false, false, false}), TitleBar::Desktop);
    EXPECT_EQ(chooseTitleBar({false, false, true}), TitleBar::Desktop);
    // A compositor that draws title bars (sway, KWin) draws the game's too.
    EXPECT_EQ(chooseTitleBar({true, true, false}), TitleBar::Desktop);
    EXPECT_EQ(chooseTitleBar({true, true, true}), TitleBar::Desktop);
    // GNOME with Qt 6.8: Qt's Adwaita decoration.
    EXPECT_EQ(chooseTitleBar({true, false, true}), TitleBar::Toolkit);
    // weston, or GNOME with Qt 6.4: the game's own.
    EXPECT_EQ(chooseTitleBar({true, false, false}), TitleBar::Own);
}

TEST(TitleBar, QtsDecorationLooksNativeOnGnomeWithAdwaitaOrWhereTheUserNamedOne) {
    EXPECT_TRUE(toolkitLooksNative("", "GNOME", true, false));
    EXPECT_TRUE(toolkitLooksNative("", "ubuntu:GNOME", true, false));
    EXPECT_FALSE(toolkitLooksNative("", "GNOME", false, false)) << "Qt 6.4 has none";
    EXPECT_FALSE(toolkitLooksNative("", "GNOME-Flashback:XFCE", true, false));
    EXPECT_FALSE(toolkitLooksNative("", "", true, false)) << "weston";
    EXPECT_TRUE(toolkitLooksNative("bradient", "", false, false)) << "the user's choice stands";
    EXPECT_FALSE(toolkitLooksNative("adwaita", "GNOME", true, true)) << "Qt draws none";
}

TEST(TitleBar, TheCompositorOffersTitleBarsAndFractionalScalesByItsGlobals) {
    const char* sway[] = {"wl_compositor", "xdg_wm_base", "zxdg_decoration_manager_v1",
                          "wp_viewporter", "wp_fractional_scale_manager_v1"};
    const CompositorOffer full = offerOf(sway, 5);
    EXPECT_TRUE(full.titleBars);
    EXPECT_TRUE(full.fractionalScale);
    // A fraction the game cannot show at device size without the viewporter.
    const char* noViewporter[] = {"wl_compositor", "wp_fractional_scale_manager_v1"};
    EXPECT_FALSE(offerOf(noViewporter, 2).fractionalScale);
    const char* weston[] = {"wl_compositor", "xdg_wm_base", "wp_viewporter"};
    const CompositorOffer bare = offerOf(weston, 3);
    EXPECT_FALSE(bare.titleBars);
    EXPECT_FALSE(bare.fractionalScale);
}

// Every dialog under a caption of the game's own: grown by the caption, its
// contents moved below it unchanged, close its only button up there.
template <typename Dialog>
void expectWholeUnderOwnCaption(Dialog& plain, Dialog& captioned) {
    takeTitleBar(captioned, CaptionButtons::Close, TitleBar::Own);
    EXPECT_EQ(captioned.size(), plain.size() + QSize(0, WindowCaption::kHeight));
    EXPECT_EQ(captioned.minimumSize(), captioned.maximumSize()) << "still of fixed size";
    EXPECT_TRUE(captioned.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(captioned.windowType(), Qt::Dialog);
    const auto* caption = captioned.template findChild<WindowCaption*>();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->minimiseButton(), nullptr);
    for (const auto* widget : plain.template findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const auto* moved = captioned.template findChild<QWidget*>(widget->objectName(),
                                                                   Qt::FindDirectChildrenOnly);
        if (widget->objectName().isEmpty() || moved == nullptr) {
            continue;
        }
        EXPECT_EQ(moved->geometry(), widget->geometry().translated(0, WindowCaption::kHeight))
            << widget->objectName().toStdString();
        EXPECT_TRUE(captioned.rect().contains(moved->geometry()))
            << widget->objectName().toStdString();
    }
    // Under any other title bar the dialog stays as it is.
    Dialog& same = plain;
    const QSize before = same.size();
    takeTitleBar(same, CaptionButtons::Close, TitleBar::Toolkit);
    takeTitleBar(same, CaptionButtons::Close, TitleBar::Desktop);
    EXPECT_EQ(same.size(), before);
    EXPECT_EQ(same.template findChild<WindowCaption*>(), nullptr);
}

TEST(TitleBar, EachDialogShowsItsWholeClientAreaBelowACaptionOfTheGamesOwn) {
    {
        CustomDialog plain([](int, int) {});
        CustomDialog captioned([](int, int) {});
        EXPECT_EQ(plain.size(), QSize(233, 77));
        expectWholeUnderOwnCaption(plain, captioned);
    }
    {
        NameDialog plain;
        NameDialog captioned;
        EXPECT_EQ(plain.size(), QSize(222, 105));
        expectWholeUnderOwnCaption(plain, captioned);
    }
    {
        settings::BestTimes table;
        BestTimesDialog plain(table, [] {});
        BestTimesDialog captioned(table, [] {});
        EXPECT_EQ(plain.size(), QSize(323, 154));
        expectWholeUnderOwnCaption(plain, captioned);
    }
}

}  // namespace
}  // namespace quorvel::dialogs
