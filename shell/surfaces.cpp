#include "shell/surfaces.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "core/game.h"
#include "render/panel_pictures.h"
#include "shell/client_layout.h"
#include "shell/screen_pixels.h"

namespace quorvel::shell {

// The surfaces paint without a clip of their own: Qt clips a widget's painter to
// the region its paint event asks for.
void paintPicture(QPainter& painter, const render::Picture& pic, QPoint at, const QRect& area) {
    // The buffer is 0xFFRRGGBB words: QImage shows it as it is, without a copy.
    const QImage image(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                       pic.bytesPerLine(), QImage::Format_RGB32);
    const double ratio = painter.deviceTransform().m11();
    if (painter.deviceTransform().type() <= QTransform::TxTranslate) {
        painter.drawImage(at, image);
    } else if (ratio == std::floor(ratio)) {
        // At a whole factor every picture pixel is an even square, and Qt's
        // nearest-neighbour scaling gives each device pixel the rule's picture
        // pixel in one pass, straight into the window's buffer.
        const QRect part = area.intersected(QRect(at, image.size()));
        painter.drawImage(part, image, part.translated(-at));
    } else {
        pixels::paintByRule(painter, image, at, area);
    }
}

namespace {

bool fractionalFactor(double ratio) {
    return ratio != std::floor(ratio);
}

// At a fractional factor a child's edge may fall inside a device pixel, and Qt
// leaves such a pixel to the parent (it clips a widget to whole device pixels)
// even where the rule gives it the child's picture. So the parent paints its
// picture surfaces' pictures below them: that pixel shows the child's picture by
// the rule too, and the child paints the same pixels over its own.
void paintSurfacesBelow(QPainter& painter, const QWidget& parent, const QRect& area) {
    if (!fractionalFactor(painter.deviceTransform().m11())) {
        return;
    }
    for (const PictureSurface* child :
         parent.findChildren<const PictureSurface*>(Qt::FindDirectChildrenOnly)) {
        if (child->picture() != nullptr && child->isVisible()) {
            paintPicture(painter, *child->picture(), child->pos(),
                         area.intersected(child->geometry()));
        }
    }
}

}  // namespace

int buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return core::kLeftButton;
        case Qt::RightButton:
            return core::kRightButton;
        case Qt::MiddleButton:
            return core::kMiddleButton;
        default:
            return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons) {
    int code = 0;
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons.testFlag(button)) {
            code += buttonCode(button);
        }
    }
    return code;
}

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureSurface::setPicture(const render::Picture* pic) {
    if (picture_ == pic) {
        return;
    }
    picture_ = pic;
    update();
    // The parent shows this picture at the edges it shares with it.
    if (parentWidget() != nullptr && fractionalFactor(devicePixelRatioF())) {
        parentWidget()->update(geometry());
    }
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Grey where no picture covers the surface.
    if (picture_ == nullptr || picture_->width() < width() || picture_->height() < height()) {
        painter.fillRect(rect(), QColor(192, 192, 192));
    }
    if (picture_ != nullptr) {
        // Rectangle by rectangle: on a scaled screen only what is asked for is scaled.
        for (const QRect& area : event->region()) {
            paintPicture(painter, *picture_, QPoint(0, 0), area);
        }
    }
}

QPointF PictureSurface::picturePoint(const QMouseEvent& event) const {
    // Some Qt versions hand a widget its position rounded to a whole window pixel;
    // the position in the window is never rounded. An event sent straight to the
    // widget (not through its window) carries the widget's position there instead,
    // far from the one that the window's position gives.
    const QPoint offset = mapTo(window(), QPoint(0, 0));
    const QPointF inWindow = event.scenePosition();
    const QPointF fromWidget = event.position() + offset;
    const bool throughWindow = std::abs(inWindow.x() - fromWidget.x()) <= 1 &&
                               std::abs(inWindow.y() - fromWidget.y()) <= 1;
    const QPointF at = throughWindow ? inWindow : fromWidget;
    const double ratio = devicePixelRatioF();
    // The game turns this into the pixel it lies in, once.
    return {pixels::pointerPixelCentre(at.x(), ratio) - offset.x(),
            pixels::pointerPixelCentre(at.y(), ratio) - offset.y()};
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
    const int code = buttonCode(event->button());
    if (mouse_.down && code != 0) {
        const QPointF at = picturePoint(*event);
        mouse_.down(code, at.x(), at.y());
    }
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event) {
    if (mouse_.move) {
        const QPointF at = picturePoint(*event);
        mouse_.move(buttonsCode(event->buttons()), at.x(), at.y());
    }
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event) {
    const int code = buttonCode(event->button());
    if (mouse_.up && code != 0) {
        const QPointF at = picturePoint(*event);
        mouse_.up(code, at.x(), at.y());
    }
}

Panel::Panel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect Panel::placeRect(PanelPlace place) const {
    const bool counter = place < PanelPlace::ClockHundreds;
    const int boxX = counter ? layout::kCounterBoxX : layout::clockBoxX(width());
    const int i = static_cast<int>(index(place)) - (counter ? 0 : 2);
    return {layout::digitX(boxX, i), layout::kDigitY, layout::kDigitWidth, layout::kDigitHeight};
}

void Panel::setPlace(PanelPlace place, int glyph) {
    auto& slot = places_.at(index(place));
    if (slot == glyph) {
        return;
    }
    slot = glyph;
    if (picture_.width() == width()) {
        drawPlace(place);
    }
    update(placeRect(place));
}

void Panel::drawPlace(PanelPlace place) {
    if (const auto glyph = places_.at(index(place))) {
        const QRect rect = placeRect(place);
        picture_.blit(render::digitPicture(*glyph), rect.x(), rect.y());
    }
}

void Panel::compose() {
    // The sunken frame at the panel's width, the two boxes, then the digits on them.
    picture_ = render::makePanelPicture(width());
    picture_.blit(render::counterBoxPicture(), layout::kCounterBoxX, layout::kBoxY);
    picture_.blit(render::clockBoxPicture(), layout::clockBoxX(width()), layout::kBoxY);
    for (std::size_t i = 0; i < places_.size(); ++i) {
        drawPlace(static_cast<PanelPlace>(i));
    }
}

const render::Picture& Panel::shownPicture() {
    if (picture_.width() != width()) {
        compose();
    }
    return picture_;
}

void Panel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    paintPicture(painter, shownPicture(), QPoint(0, 0), event->rect());
    paintSurfacesBelow(painter, *this, event->rect());
}

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::setBoardSize(int width, int height) {
    rightStripLeft_ = layout::rightStripX(width);
    bottomStripTop_ = layout::bottomStripY(height);
    update();
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The background picture's rule at the client area's size, filled directly; on a
    // scaled screen by the game's pixel rule, as the pictures are.
    const bool scaled = painter.deviceTransform().type() > QTransform::TxTranslate;
    for (const render::FilledArea& area : render::backgroundAreas(width(), height())) {
        const QRect rect(QPoint(area.left, area.top), QPoint(area.right, area.bottom));
        if (scaled) {
            pixels::fillByRule(painter, rect, QColor::fromRgb(area.colour));
        } else {
            painter.fillRect(rect, QColor::fromRgb(area.colour));
        }
    }
    paintPicture(painter, render::rightEdgePicture(), QPoint(rightStripLeft_, 0), event->rect());
    paintPicture(painter, render::bottomEdgePicture(), QPoint(0, bottomStripTop_), event->rect());
    if (fractionalFactor(painter.deviceTransform().m11())) {
        paintSurfacesBelow(painter, *this, event->rect());
        if (auto* panel = findChild<Panel*>(QString(), Qt::FindDirectChildrenOnly)) {
            paintPicture(painter, panel->shownPicture(), panel->pos(),
                         event->rect().intersected(panel->geometry()));
        }
    }
}

}  // namespace quorvel::shell
