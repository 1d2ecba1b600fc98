#pragma once
// The window's place over the run: where start-up put it for the stored
// position, and the position a settings write stores. The rule itself is
// window_placement.h's; this applies it to the window.

#include <QPointF>
#include <optional>

#include "shell/window_placement.h"

class QWidget;

namespace quorvel::shell {

class PlacedWindow {
  public:
    // `window` must outlive this.
    explicit PlacedWindow(QWidget& window) : window_(window) {}

    // Where a new settings file puts the window: centred on the primary monitor
    // at the window's size now (its frame, if any, is not known before it is
    // shown).
    QPointF centred(const Screens& screens) const;
    // Moves the window to the stored position at its size now, or where the rule
    // puts it instead.
    void place(QPointF stored, const Screens& screens);
    // The position a write stores now.
    QPointF toStore() const;

  private:
    QWidget& window_;
    // Where start-up put the window for the stored position.
    std::optional<WindowPlacement> placement_;
};

}  // namespace quorvel::shell
