#pragma once
// The window's place over the run: where start-up put it for the stored
// position, and the position a settings write stores. The rule itself is
// placement_rule.h's, which decides; this applies it to the window.

#include <QPointF>
#include <memory>
#include <optional>

#include "shell/placement_rule.h"

class QObject;
class QWidget;

namespace quorvel::shell {

class PlacedWindow {
  public:
    // `window` must outlive this.
    explicit PlacedWindow(QWidget& window);
    ~PlacedWindow();
    PlacedWindow(const PlacedWindow&) = delete;
    PlacedWindow& operator=(const PlacedWindow&) = delete;

    // Where a new settings file puts the window: centred on the primary monitor
    // at the window's size now (its frame, if any, is not known before it is
    // shown).
    QPointF centred(const Screens& screens) const;
    // Moves the window to the stored position at its size now, or where the rule
    // puts it instead.
    void place(QPointF stored, const Screens& screens);
    // Once the window manager reports the window's frame (under X11 only after the
    // window is shown), places it again measured with that frame: a title bar the
    // client-only measure left out may keep it from being reachable.
    void placeAgainWhenFramed();
    // The position a write stores now.
    QPointF toStore() const;

  private:
    void placeFramed();

    QWidget& window_;
    // Where start-up put the window for the stored position.
    std::optional<WindowPlacement> placement_;
    // Watches the window until its frame is known.
    std::unique_ptr<QObject> frameWatch_;
};

}  // namespace quorvel::shell
