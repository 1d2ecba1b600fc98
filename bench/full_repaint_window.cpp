// The floor under the game's reaction to a click: a bare Qt window of the size
// given that, on each button release, repaints its whole area once (one picture
// of its own size, drawn in one go). bench/x-reaction times it next to the game.
//
//   quorvel-full-repaint-window WIDTH HEIGHT     (logical pixels)

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <array>

namespace {

class FullRepaint : public QWidget {
  public:
    FullRepaint(int width, int height) {
        setFixedSize(width, height);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const qreal ratio = devicePixelRatioF();
        for (std::size_t i = 0; i < pictures_.size(); ++i) {
            pictures_[i] = QImage(QSize(width, height) * ratio, QImage::Format_RGB32);
            pictures_[i].fill(i == 0 ? QColor(192, 192, 192) : QColor(128, 128, 128));
            pictures_[i].setDevicePixelRatio(ratio);
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), pictures_[shown_]);
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        shown_ = 1 - shown_;
        update();
    }

  private:
    std::array<QImage, 2> pictures_;
    std::size_t shown_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    FullRepaint window(args.value(1, QStringLiteral("354")).toInt(),
                       args.value(2, QStringLiteral("391")).toInt());
    window.setWindowTitle(QStringLiteral("Full repaint"));
    window.show();
    return QApplication::exec();
}
