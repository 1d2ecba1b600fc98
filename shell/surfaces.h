#pragma once
// Thin widgets that show render::Picture buffers. They paint through non-owning
// QImages and scale with nearest-neighbour only, so every picture pixel stays a
// sharp square on a high-density screen.

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "render/picture.h"

namespace quorvel::shell {

// Paints `pic` with its top-left corner at `at` (widget coordinates), the part in
// `area` (widget coordinates) only, clipped to the event's region. On a scaled
// screen each screen pixel shows the picture pixel that the hit test gives it.
void paintPicture(QPainter& painter, const render::Picture& pic, QPoint at, const QRect& area);

// Mouse events of a surface as the game takes them: the game's button codes
// (core::kLeftButton, ...; a move carries the sum of the held buttons).
struct SurfaceMouse {
    std::function<void(int button, double x, double y)> down;
    std::function<void(int buttons, double x, double y)> move;
    std::function<void(int button, double x, double y)> up;
};

// The game's code of a button (0 for a button the game does not know), and the
// sum of the codes of the buttons held.
int buttonCode(Qt::MouseButton button);
int buttonsCode(Qt::MouseButtons buttons);

// A surface showing one picture of its own size; used for the board and
// the face button.
class PictureSurface : public QWidget {
    Q_OBJECT
  public:
    explicit PictureSurface(QWidget* parent = nullptr);

    void setPicture(const render::Picture* pic);
    // Shows `copy`, which holds the same pixels as the picture shown now: nothing
    // to repaint.
    void showCopy(const render::Picture* copy) { picture_ = copy; }
    const render::Picture* picture() const { return picture_; }
    void setMouse(SurfaceMouse mouse) { mouse_ = std::move(mouse); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The surface draws no focus mark: taking or losing the keyboard focus (as the
    // window is activated or left) repaints nothing.
    void focusInEvent(QFocusEvent*) override {}
    void focusOutEvent(QFocusEvent*) override {}

  private:
    // The picture pixel under the pointer: the one shown on the pointer's screen
    // pixel, at any scale factor.
    QPointF picturePoint(const QMouseEvent& event) const;

    const render::Picture* picture_ = nullptr;
    SurfaceMouse mouse_;
};

// The five digit places of the panel, left to right.
enum class PanelPlace { CounterTens, CounterOnes, ClockHundreds, ClockTens, ClockOnes };

// The sunken panel above the board: counter box, clock box and their digit places.
// The face button is a child surface of its own. The panel keeps one picture of
// its own size with the digits on it, composed when it is first painted at that
// size, and paints it in one go.
class Panel : public QWidget {
    Q_OBJECT
  public:
    explicit Panel(QWidget* parent = nullptr);

    // Glyph 0..9 a digit, 10 the minus sign.
    void setPlace(PanelPlace place, int glyph);
    QRect placeRect(PanelPlace place) const;
    // The panel's picture at its present width, digits on it.
    const render::Picture& shownPicture();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The tests read the digits shown (tests/support/window_access.h).
    friend struct WindowAccess;

    static std::size_t index(PanelPlace place) { return static_cast<std::size_t>(place); }
    void compose();
    void drawPlace(PanelPlace place);

    std::array<std::optional<int>, 5> places_{};
    render::Picture picture_;
};

// The client area's background: the background picture with the right and bottom
// edge strips that give the window its raised frame.
class ClientArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClientArea(QWidget* parent = nullptr);
    // Positions of the right and bottom edge strips for a board of W x H.
    void setBoardSize(int width, int height);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int rightStripLeft_ = 0;
    int bottomStripTop_ = 0;
};

}  // namespace quorvel::shell
