#include "shell/placed_window.h"

#include <QEvent>
#include <QWidget>
#include <functional>
#include <utility>

#include "shell/screens.h"

namespace quorvel::shell {

namespace {

// Calls `known` once, at the first event after which the window has a frame
// around it; a window without one (Wayland, offscreen) never calls it.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget& window, std::function<void()> known)
        : window_(window), known_(std::move(known)) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (known_ && watched == &window_ &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            window_.frameGeometry().size() != window_.size()) {
            // Its work is done: the window's later events (paints, the mouse) need
            // not pass through here.
            window_.removeEventFilter(this);
            std::exchange(known_, nullptr)();
        }
        return false;
    }

  private:
    QWidget& window_;
    std::function<void()> known_;
};

}  // namespace

PlacedWindow::PlacedWindow(QWidget& window) : window_(window) {}

PlacedWindow::~PlacedWindow() = default;

QPointF PlacedWindow::centred(const Screens& screens) const {
    return centredOn(screens.primary, window_.frameGeometry().size());
}

void PlacedWindow::place(QPointF stored, const Screens& screens) {
    placement_ = placeWindow(stored, window_.frameGeometry().size(), screens);
    if (placement_->at) {
        window_.move(*placement_->at);
    }
}

void PlacedWindow::placeAgainWhenFramed() {
    frameWatch_ = std::make_unique<FrameWatch>(window_, [this] { placeFramed(); });
}

void PlacedWindow::placeFramed() {
    if (!placement_) {
        return;
    }
    if (const auto framed =
            shell::placeFramed(*placement_, window_.frameGeometry().size(), currentScreens())) {
        placement_ = framed;
        window_.move(*framed->at);
    }
}

QPointF PlacedWindow::toStore() const {
    return positionToStore(placement_, window_.pos());
}

}  // namespace quorvel::shell
