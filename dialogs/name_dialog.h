#pragma once
// "Blahopřeji": asks a new record holder for a name. Created once and then only
// shown and hidden. The name field takes only what Windows-1250 can store, so
// the name written to the settings file is the name the player saw.

#include <QDialog>
#include <QEventLoop>
#include <QString>
#include <QValidator>

#include "core/levels.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvel::dialogs {

// Accepts a text when every character is printable (no control character) and
// survives Windows-1250.
class Windows1250Validator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

class NameDialog : public QDialog {
    Q_OBJECT
  public:
    explicit NameDialog(QWidget* parent = nullptr);

    // The prompt of a fixed level; empty for the custom board.
    static QString promptText(core::Level level);
    // Sets the prompt for a fixed level; the custom board leaves it as it is.
    void setPrompt(core::Level level);
    QString prompt() const;

    // The holder's name, put into the field when the dialog is shown, wholly
    // selected with the cursor at its start, so that typing replaces it. A very
    // long name is shown cut.
    void prepare(const QString& holder);
    // Whether the dialog leaves the screen as it is answered, or stays there, still
    // modal, until its owner hides it.
    enum class WhenAnswered { Hide, Stay };
    // Shows the dialog modally and returns the name as typed (it may be empty),
    // or the holder's whole name when the field was left untouched;
    // closing the dialog by its window frame gives an empty name. "OK", Enter and
    // Esc all take the name.
    QString askName(WhenAnswered whenAnswered = WhenAnswered::Hide);
    // What the player has typed into the field so far; empty when the field was
    // left as prepare() filled it.
    QString typedName() const;

  protected:
    // An answer that stays on screen ends the dialog's loop and leaves it shown.
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Like exec(), but the dialog is still shown when it returns.
    int execStaying();
    void selectWholeName();

    // The loop of an answer that stays on screen, while it runs.
    QEventLoop* stayingLoop_ = nullptr;

    QString holder_;
    QLabel* promptLabel_;
    QLineEdit* nameField_;
    QPushButton* okButton_;
};

}  // namespace quorvel::dialogs
