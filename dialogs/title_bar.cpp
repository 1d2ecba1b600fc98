#include "dialogs/title_bar.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QWidget>

#include "dialogs/display_platform.h"
#include "dialogs/wayland_offer.h"

namespace quorvel::dialogs {

TitleBar chooseTitleBar(const TitleBarOffer& offer) {
    if (!offer.wayland || offer.compositorDraws) {
        return TitleBar::Desktop;
    }
    return offer.toolkitLooksNative ? TitleBar::Toolkit : TitleBar::Own;
}

bool toolkitLooksNative(QByteArrayView chosen, QByteArrayView desktop, bool adwaitaInstalled,
                        bool disabled) {
    if (disabled) {
        return false;
    }
    if (!chosen.isEmpty()) {
        return true;
    }
    const QList<QByteArray> desktops = desktop.toByteArray().split(':');
    return adwaitaInstalled && desktops.contains("GNOME");
}

namespace {

bool adwaitaInstalled() {
    for (const QString& path : QCoreApplication::libraryPaths()) {
        const QDir plugins(path + QStringLiteral("/wayland-decoration-client"));
        if (!plugins.entryList({QStringLiteral("*adwaita*")}, QDir::Files).isEmpty()) {
            return true;
        }
    }
    return false;
}

}  // namespace

TitleBar sessionTitleBar() {
    static const TitleBar bar = [] {
        TitleBarOffer offer;
        offer.wayland = onWayland();
        if (offer.wayland) {
            offer.compositorDraws = askCompositor().titleBars;
            offer.toolkitLooksNative = toolkitLooksNative(
                qgetenv("QT_WAYLAND_DECORATION"), qgetenv("XDG_CURRENT_DESKTOP"),
                adwaitaInstalled(),
                !qEnvironmentVariableIsEmpty("QT_WAYLAND_DISABLE_WINDOWDECORATION"));
        }
        return chooseTitleBar(offer);
    }();
    return bar;
}

void takeTitleBar(QWidget& window, CaptionButtons buttons, TitleBar bar) {
    if (bar != TitleBar::Own) {
        return;
    }
    // Qt drops the frameless hint next to any button hint: the caption has the
    // buttons.
    window.setWindowFlags((window.windowFlags() & Qt::WindowType_Mask) | Qt::FramelessWindowHint);
    if (QLayout* layout = window.layout()) {
        QMargins margins = window.contentsMargins();
        margins.setTop(margins.top() + WindowCaption::kHeight);
        window.setContentsMargins(margins);
        layout->invalidate();
    } else {
        // Contents placed by hand move down under the caption.
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow()) {
                child->move(child->x(), child->y() + WindowCaption::kHeight);
            }
        }
        if (window.minimumSize() == window.maximumSize()) {
            window.setFixedSize(window.width(), window.height() + WindowCaption::kHeight);
        }
    }
    new WindowCaption(window, buttons);
}

}  // namespace quorvel::dialogs
