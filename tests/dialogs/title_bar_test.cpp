// Whose title bar the game's windows take on each desktop, and the game's own
// caption on a dialog and the About box: the whole client area below it, close
// alone.

#include "dialogs/title_bar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "dialogs/about_box.h"
#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/name_dialog.h"
#include "dialogs/wayland_offer.h"
#include "settings/best_times.h"
#include "tests/support/wayland_globals.h"

namespace quorvel::dialogs {
namespace {

// The title bar a session of each desktop gives the game's windows, from what
// the session shows the game: the platform, the compositor's globals, the
// desktop's name and whether Qt has its Adwaita decoration.
struct Session {
    const char* desktop;
    bool wayland;
    std::vector<std::string> globals;
    bool adwaitaInstalled;
};

TitleBar titleBarOf(const Session& session) {
    return chooseTitleBar(
        {session.wayland, offerOf(session.globals).titleBars,
         toolkitLooksNative("", session.desktop, session.adwaitaInstalled, false)});
}

const std::vector<std::string> kDecorating = {"wl_compositor", "xdg_wm_base",
                                              "zxdg_decoration_manager_v1"};
const std::vector<std::string> kBare = {"wl_compositor", "xdg_wm_base", "wp_viewporter"};

TEST(TitleBar, EachDesktopGivesTheGamesWindowsItsOwnLookAndTheGameDrawsOneOnlyWhereNoneHasIt) {
    // The window manager's, whatever the desktop.
    EXPECT_EQ(titleBarOf({"GNOME", false, {}, true}), TitleBar::Desktop) << "X11";
    EXPECT_EQ(titleBarOf({"", false, {}, false}), TitleBar::Desktop) << "X11, openbox";
    // Compositors that draw title bars draw the game's too, Adwaita or not.
    EXPECT_EQ(titleBarOf({"sway", true, kDecorating, false}), TitleBar::Desktop);
    EXPECT_EQ(titleBarOf({"KDE", true, kDecorating, false}), TitleBar::Desktop);
    EXPECT_EQ(titleBarOf({"GNOME", true, kDecorating, true}), TitleBar::Desktop);
    // GNOME draws none: Qt 6.8's Adwaita decoration, or with Qt 6.4 the game's.
    EXPECT_EQ(titleBarOf({"GNOME", true, kBare, true}), TitleBar::Toolkit);
    EXPECT_EQ(titleBarOf({"ubuntu:GNOME", true, kBare, false}), TitleBar::Own);
    // weston: neither the compositor nor a decoration with its look.
    EXPECT_EQ(titleBarOf({"", true, kBare, true}), TitleBar::Own);
    EXPECT_EQ(titleBarOf({"", true, {}, false}), TitleBar::Own) << "no display answered";
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
    const std::vector<std::string> sway = {"wl_compositor", "xdg_wm_base",
                                           "zxdg_decoration_manager_v1", "wp_viewporter",
                                           "wp_fractional_scale_manager_v1"};
    EXPECT_TRUE(offerOf(sway).titleBars);
    EXPECT_TRUE(support::offersFractionalScale(sway));
    // A fraction the game cannot show at device size without the viewporter.
    EXPECT_FALSE(
        support::offersFractionalScale({"wl_compositor", "wp_fractional_scale_manager_v1"}));
    const std::vector<std::string> weston = {"wl_compositor", "xdg_wm_base", "wp_viewporter"};
    EXPECT_FALSE(offerOf(weston).titleBars);
    EXPECT_FALSE(support::offersFractionalScale(weston));
}

// The About box takes the title bar the other dialogs take: under the game's
// own caption it has close alone and shows its text and button whole below it.
TEST(TitleBar, TheAboutBoxTakesTheCaptionTheOtherDialogsTake) {
    const auto box = makeAboutBox(nullptr, QStringLiteral("O hře"), QStringLiteral("Řádek\nŘádek"),
                                  TitleBar::Own);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
    const auto* caption = box->findChild<WindowCaption*>();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->title(), QStringLiteral("O hře"));
    EXPECT_EQ(caption->minimiseButton(), nullptr);
    EXPECT_NE(caption->closeButton(), nullptr);
    for (const QWidget* part : box->findChildren<QWidget*>()) {
        if (part->isVisible() && part->parentWidget() == box.get() && part != caption) {
            EXPECT_GE(part->y(), WindowCaption::kHeight) << part->metaObject()->className();
            EXPECT_LE(part->geometry().bottom(), box->height()) << part->metaObject()->className();
        }
    }
    // Elsewhere a title and a close button from the desktop, never maximise.
    const auto plain = makeAboutBox(nullptr, QStringLiteral("O hře"), QString(), TitleBar::Desktop);
    EXPECT_EQ(plain->findChild<WindowCaption*>(), nullptr);
    EXPECT_TRUE(plain->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(plain->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(plain->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
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
