#pragma once
// "Vlastní pole": the side (4, 6, 8 or 10) and the mine count of a custom board.
// "OK" brings the count into range, hands both to the game and hides the dialog;
// "Storno" (not the cancel button: Esc does nothing here) and closing it by its
// frame change nothing. Created once and then only shown and hidden.

#include <array>
#include <functional>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvel::dialogs {

class CustomDialog : public QDialog {
    Q_OBJECT
  public:
    // "OK" hands `confirmed` the chosen side and the mine count brought into
    // range; what becomes of them is the caller's (the window starts that board).
    explicit CustomDialog(std::function<void(int side, int mines)> confirmed,
                          QWidget* parent = nullptr);

    // Selects the option of the current side and shows the current mine count.
    void prepare(int side, int mines);
    // prepare(), then shows the dialog modally until it is hidden.
    void runModal(int side, int mines);

    // The side option being chosen and the mines text.
    int chosenSide() const { return side_; }
    QString minesText() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The four side buttons, of which exactly one is checked, after "Storno" in
    // the tab order.
    void createSideOptions();
    void chooseSide(int side);
    void confirm();

    std::function<void(int, int)> confirmed_;
    // The side of the option checked last.
    int side_ = 4;
    QLineEdit* minesText_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    std::array<QPushButton*, 4> sideOptions_{};
};

}  // namespace quorvel::dialogs
