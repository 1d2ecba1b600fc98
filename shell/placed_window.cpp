#include "shell/placed_window.h"

#include <QWidget>

namespace quorvel::shell {

QPointF PlacedWindow::centred(const Screens& screens) const {
    return centredOn(screens.primary, window_.frameGeometry().size());
}

void PlacedWindow::place(QPointF stored, const Screens& screens) {
    placement_ = placeWindow(stored, window_.frameGeometry().size(), screens);
    if (placement_->at) {
        window_.move(*placement_->at);
    }
}

QPointF PlacedWindow::toStore() const {
    return positionToStore(placement_, window_.pos());
}

}  // namespace quorvel::shell
