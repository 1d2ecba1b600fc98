#include "shell/window_caption.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

#include "shell/window_texts.h"

namespace quorvel::shell {

namespace {

QToolButton* captionButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(WindowCaption::kHeight - 2, WindowCaption::kHeight - 2);
    button->setToolTip(name);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

WindowCaption::WindowCaption(QWidget& window)
    : QWidget(&window),
      window_(window),
      title_(new QLabel(this)),
      minimise_(captionButton(this, QStyle::SP_TitleBarMinButton, texts::text(texts::kMinimise))),
      close_(captionButton(this, QStyle::SP_TitleBarCloseButton, texts::text(texts::kClose))) {
    auto* icon = new QLabel(this);
    icon->setPixmap(window.windowIcon().pixmap(16, 16));
    title_->setText(window.windowTitle());
    title_->setAlignment(Qt::AlignCenter);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 1, 1, 1);
    row->setSpacing(0);
    row->addWidget(icon);
    row->addWidget(title_, 1);
    row->addWidget(minimise_);
    row->addWidget(close_);
    connect(minimise_, &QAbstractButton::clicked, &window, &QWidget::showMinimized);
    connect(close_, &QAbstractButton::clicked, &window, &QWidget::close);
    connect(&window, &QWidget::windowTitleChanged, title_, &QLabel::setText);
    window.installEventFilter(this);
    setGeometry(0, 0, window.width(), kHeight);
}

QString WindowCaption::title() const {
    return title_->text();
}

bool WindowCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Resize) {
        setGeometry(0, 0, window_.width(), kHeight);
    }
    return QWidget::eventFilter(watched, event);
}

void WindowCaption::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(112));
    painter.fillRect(0, height() - 1, width(), 1, palette().color(QPalette::Mid));
}

void WindowCaption::mousePressEvent(QMouseEvent* event) {
    // The compositor moves the window; a program on Wayland cannot.
    if (event->button() == Qt::LeftButton && window_.windowHandle() != nullptr) {
        window_.windowHandle()->startSystemMove();
    }
}

}  // namespace quorvel::shell
