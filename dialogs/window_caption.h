#pragma once
// The game's own title bar, for a Wayland desktop that draws none and whose Qt
// decoration is not the desktop's look: Qt's generic one offers a maximise
// button on a window of fixed size and cuts a narrow window's title to a few
// letters. This one shows the icon, the whole title, the buttons the window
// should have (minimise and close for the game, close for a dialog), drawn at
// the screen's own resolution, and moves the window when it is dragged.

#include <QAbstractButton>
#include <QWidget>

class QLabel;

namespace quorvel::dialogs {

// A caption button's symbol, drawn in whole device pixels at every scale factor:
// no symbol is a picture enlarged by the toolkit.
class CaptionButton : public QAbstractButton {
    Q_OBJECT
  public:
    enum class Symbol { Minimise, Close };
    CaptionButton(Symbol symbol, QWidget* parent);

    // The symbol's square in device pixels, within a button of `devicePixels`
    // square, and the thickness of its strokes.
    static QRect symbolSquare(int devicePixels);
    static int strokeWidth(double ratio);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Symbol symbol_;
};

enum class CaptionButtons { Close, MinimiseAndClose };

class WindowCaption : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 22;

    // Shown at the top of `window`, across its whole width, which must leave it
    // the top kHeight pixels.
    WindowCaption(QWidget& window, CaptionButtons buttons);

    QString title() const;
    // None when the window has no minimise button.
    QAbstractButton* minimiseButton() const { return minimise_; }
    QAbstractButton* closeButton() const { return close_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QWidget& window_;
    QLabel* title_;
    QAbstractButton* minimise_ = nullptr;
    QAbstractButton* close_;
};

}  // namespace quorvel::dialogs
