#include "dialogs/name_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "dialogs/dialog_fonts.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/title_bar.h"
#include "settings/ini_format.h"

namespace quorvel::dialogs {

QValidator::State Windows1250Validator::validate(QString& input, int& /*position*/) const {
    for (const QChar c : input) {
        // Control characters (C0, DEL, C1) would be stored but never seen.
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) {
            return Invalid;
        }
    }
    return settings::storableText(input) ? Acceptable : Invalid;
}

NameDialog::NameDialog(QWidget* parent) : QDialog(parent) {
    setUpFixedDialog(*this, QStringLiteral("Blahopřeji"), 222, 105);

    promptLabel_ = new QLabel(this);
    promptLabel_->setObjectName(QStringLiteral("promptLabel"));
    promptLabel_->setGeometry(11, 11, 201, 27);
    promptLabel_->setWordWrap(true);
    promptLabel_->setTextFormat(Qt::PlainText);
    promptLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    nameField_ = new QLineEdit(this);
    nameField_->setObjectName(QStringLiteral("nameField"));
    nameField_->setGeometry(11, 45, 201, 21);
    nameField_->setValidator(new Windows1250Validator(nameField_));
    promptLabel_->setBuddy(nameField_);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(137, 74, 75, 21);
    okButton_->setDefault(true);
    setTabOrder(nameField_, okButton_);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    QList<TextBox> boxes;
    for (const auto level : {core::Level::Beginner, core::Level::Advanced, core::Level::Expert}) {
        boxes.append({promptText(level), promptLabel_->size(), labelPadding(), true});
    }
    boxes.append({settings::unknownPlayer(), nameField_->size(), lineEditPadding()});
    boxes.append({okButton_->text(), okButton_->size(), buttonPadding()});
    setFont(fittingFont(font(), boxes));
    // Last, so that a caption of the game's own moves the contents below it.
    takeTitleBar(*this, CaptionButtons::Close);
}

QString NameDialog::promptText(core::Level level) {
    switch (level) {
        case core::Level::Beginner:
            return QStringLiteral(
                "Dosáhl(a) jsi nejlepšího času mezi začátečníky. Napiš, prosím, své jméno:");
        case core::Level::Advanced:
            return QStringLiteral(
                "Dosáhl(a) jsi nejlepšího času mezi pokročilými. Napiš, prosím, své jméno:");
        case core::Level::Expert:
            return QStringLiteral(
                "Dosáhl(a) jsi nejlepšího času mezi experty. Napiš, prosím, své jméno:");
        case core::Level::Custom:
            break;
    }
    return {};
}

void NameDialog::setPrompt(core::Level level) {
    if (level != core::Level::Custom) {
        promptLabel_->setText(promptText(level));
    }
}

QString NameDialog::prompt() const {
    return promptLabel_->text();
}

void NameDialog::prepare(const QString& holder) {
    holder_ = holder;
}

QString NameDialog::askName(WhenAnswered whenAnswered) {
    const int answer = whenAnswered == WhenAnswered::Hide ? exec() : execStaying();
    if (answer != QDialog::Accepted) {
        return {};
    }
    // Left as it was, the field stands for the holder's whole name, even when it
    // shows only the start of a long one.
    return nameField_->isModified() ? nameField_->text() : holder_;
}

int NameDialog::execStaying() {
    setResult(QDialog::Rejected);
    setAttribute(Qt::WA_ShowModal, true);
    show();
    QPointer<NameDialog> alive(this);
    QEventLoop loop;
    stayingLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (alive.isNull()) {
        return QDialog::Rejected;
    }
    stayingLoop_ = nullptr;
    return result();
}

void NameDialog::done(int result) {
    if (stayingLoop_ != nullptr) {
        setResult(result);
        stayingLoop_->exit();
        return;
    }
    QDialog::done(result);
}

QString NameDialog::typedName() const {
    return nameField_->isModified() ? nameField_->text() : QString();
}

void NameDialog::keyPressEvent(QKeyEvent* event) {
    // "OK" is also the cancel button: Esc takes the name like Enter does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        okButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Filled only now: a win without a record never shows the dialog, and a
    // screen reader then has no selection in a hidden field to announce.
    nameField_->setText(shownText(holder_));
    // Focus arriving in the field may move the cursor; the name stays selected
    // from its end back to the start, so the cursor stands at the start.
    nameField_->setFocus(Qt::OtherFocusReason);
    selectWholeName();
}

void NameDialog::selectWholeName() {
    const int length = static_cast<int>(nameField_->text().size());
    nameField_->setSelection(length, -length);
}

}  // namespace quorvel::dialogs
