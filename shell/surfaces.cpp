#include "shell/surfaces.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "render/panel_pictures.h"

namespace quorvel::shell {

void paintPicture(QPainter& painter, const render::Picture& pic, QPoint at) {
    // The buffer is 0xFFRRGGBB words: QImage shows it as it is, without a copy.
    const QImage image(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                       pic.bytesPerLine(), QImage::Format_RGB32);
    painter.drawImage(at, image);
}

int buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons) {
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) +
           (buttons.testFlag(Qt::RightButton) ? 2 : 0) +
           (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
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
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), QColor(192, 192, 192));
    if (picture_ != nullptr) {
        paintPicture(painter, *picture_, QPoint(0, 0));
    }
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
    const int code = buttonCode(event->button());
    if (mouse_.down && code != 0) {
        mouse_.down(code, event->position().x(), event->position().y());
    }
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event) {
    if (mouse_.move) {
        mouse_.move(buttonsCode(event->buttons()), event->position().x(), event->position().y());
    }
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event) {
    const int code = buttonCode(event->button());
    if (mouse_.up && code != 0) {
        mouse_.up(code, event->position().x(), event->position().y());
    }
}

namespace {
constexpr QPoint kCounterBox{7, 6};
constexpr int kClockBoxFromRight = 50;
constexpr int kPlaceStep = 13;
}  // namespace

Panel::Panel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect Panel::placeRect(int place) const {
    const QPoint box = place < 2 ? kCounterBox : QPoint(width() - kClockBoxFromRight, 6);
    const int index = place < 2 ? place : place - 2;
    return {box + QPoint(1 + kPlaceStep * index, 1), QSize(13, 23)};
}

void Panel::setPlace(int place, int glyph) {
    auto& slot = places_.at(static_cast<std::size_t>(place));
    if (slot == glyph) {
        return;
    }
    slot = glyph;
    update(placeRect(place));
}

void Panel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRegion(event->region());
    // The panel picture is cut off at the panel's width; its right frame edge is
    // put back by the two-column edge strip.
    paintPicture(painter, render::panelPicture(), QPoint(0, 0));
    paintPicture(painter, render::panelEdgePicture(), QPoint(width() - 2, 0));
    paintPicture(painter, render::counterBoxPicture(), kCounterBox);
    paintPicture(painter, render::clockBoxPicture(), QPoint(width() - kClockBoxFromRight, 6));
    for (int place = 0; place < 5; ++place) {
        if (const auto glyph = places_.at(static_cast<std::size_t>(place))) {
            paintPicture(painter, render::digitPicture(*glyph), placeRect(place).topLeft());
        }
    }
}

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::setBoardSize(int width, int height) {
    rightStripLeft_ = 9 + width + 5;
    bottomStripTop_ = 52 + height + 6;
    update();
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRegion(event->region());
    paintPicture(painter, render::backgroundPicture(), QPoint(0, 0));
    paintPicture(painter, render::rightEdgePicture(), QPoint(rightStripLeft_, 0));
    paintPicture(painter, render::bottomEdgePicture(), QPoint(0, bottomStripTop_));
}

}  // namespace quorvel::shell
