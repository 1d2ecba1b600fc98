#include "dialogs/window_caption.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cmath>

namespace quorvel::dialogs {

namespace {

constexpr char16_t kMinimise[] = u"Minimalizovat";
constexpr char16_t kClose[] = u"Zavřít";

}  // namespace

CaptionButton::CaptionButton(Symbol symbol, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol) {
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(WindowCaption::kHeight - 2, WindowCaption::kHeight - 2);
    const QString name = QString::fromUtf16(symbol == Symbol::Minimise ? kMinimise : kClose);
    setToolTip(name);
    setAccessibleName(name);
    setAttribute(Qt::WA_Hover);
}

QRect CaptionButton::symbolSquare(int devicePixels) {
    // Half the button, centred, an odd or even size alike.
    const int side = devicePixels / 2;
    const int at = (devicePixels - side) / 2;
    return {at, at, side, side};
}

int CaptionButton::strokeWidth(double ratio) {
    return std::max(1, static_cast<int>(std::lround(ratio)));
}

void CaptionButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The factor of what is painted on, which may not be this widget's screen.
    const double ratio = painter.deviceTransform().m11();
    if (isDown() || underMouse()) {
        painter.fillRect(rect(), palette().color(QPalette::Window).darker(isDown() ? 130 : 115));
    }
    // From here on one unit is one device pixel, every shape a run of whole ones.
    painter.scale(1 / ratio, 1 / ratio);
    const int devicePixels = static_cast<int>(std::floor(width() * ratio));
    const QRect square = symbolSquare(devicePixels);
    const int stroke = strokeWidth(ratio);
    const QColor ink = palette().color(QPalette::WindowText);
    if (symbol_ == Symbol::Minimise) {
        painter.fillRect(square.left(), square.bottom() + 1 - stroke, square.width(), stroke, ink);
        return;
    }
    // Two diagonals of stroke-wide squares, one device pixel apart.
    const int steps = square.width() - stroke + 1;
    for (int i = 0; i < steps; ++i) {
        painter.fillRect(square.left() + i, square.top() + i, stroke, stroke, ink);
        painter.fillRect(square.right() + 1 - stroke - i, square.top() + i, stroke, stroke, ink);
    }
}

WindowCaption::WindowCaption(QWidget& window, CaptionButtons buttons)
    : QWidget(&window),
      window_(window),
      title_(new QLabel(this)),
      close_(new CaptionButton(CaptionButton::Symbol::Close, this)) {
    auto* icon = new QLabel(this);
    icon->setPixmap(window.windowIcon().pixmap(16, 16));
    title_->setText(window.windowTitle());
    title_->setAlignment(Qt::AlignCenter);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 1, 1, 1);
    row->setSpacing(0);
    row->addWidget(icon);
    row->addWidget(title_, 1);
    if (buttons == CaptionButtons::MinimiseAndClose) {
        minimise_ = new CaptionButton(CaptionButton::Symbol::Minimise, this);
        row->addWidget(minimise_);
        connect(minimise_, &QAbstractButton::clicked, &window, &QWidget::showMinimized);
    }
    row->addWidget(close_);
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

}  // namespace quorvel::dialogs
