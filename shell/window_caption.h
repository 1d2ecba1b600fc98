#pragma once
// The window's own title bar, for Wayland: there the compositor may leave the
// title bar to the program, and the one Qt draws then offers a maximise button
// on a window of fixed size and cuts a narrow window's title to a few letters.
// This one shows the icon, the whole title, a minimise and a close button, and
// moves the window when it is dragged.

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace quorvel::shell {

class WindowCaption : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 22;

    // Shown at the top of `window`, across its whole width, which must leave it
    // the top kHeight pixels (its contents margins).
    explicit WindowCaption(QWidget& window);

    QString title() const;
    QAbstractButton* minimiseButton() const { return minimise_; }
    QAbstractButton* closeButton() const { return close_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QWidget& window_;
    QLabel* title_;
    QAbstractButton* minimise_;
    QAbstractButton* close_;
};

}  // namespace quorvel::shell
