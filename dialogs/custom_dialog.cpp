#include "dialogs/custom_dialog.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/custom_rule.h"
#include "dialogs/dialog_fonts.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/title_bar.h"

namespace quorvel::dialogs {

namespace {

struct SideOption {
    int side;
    int x;
    int width;
};
constexpr std::array<SideOption, 4> kSideOptions{
    {{4, 76, 15}, {6, 90, 15}, {8, 104, 15}, {10, 118, 19}}};

}  // namespace

CustomDialog::CustomDialog(std::function<void(int side, int mines)> confirmed, QWidget* parent)
    : QDialog(parent), confirmed_(std::move(confirmed)) {
    setUpFixedDialog(*this, QStringLiteral("Vlastní pole"), 233, 77);

    auto* sideLabel = new QLabel(QStringLiteral("Strana:"), this);
    sideLabel->setObjectName(QStringLiteral("sideLabel"));
    sideLabel->setGeometry(12, 15, 57, 17);
    auto* minesLabel = new QLabel(QStringLiteral("Počet min:"), this);
    minesLabel->setObjectName(QStringLiteral("minesLabel"));
    minesLabel->setGeometry(12, 50, 57, 17);

    minesText_ = new QLineEdit(QStringLiteral("8"), this);
    minesText_->setObjectName(QStringLiteral("minesText"));
    minesText_->setGeometry(76, 46, 61, 20);
    minesLabel->setBuddy(minesText_);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(147, 11, 75, 23);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Storno"), this);
    cancelButton_->setObjectName(QStringLiteral("stornoButton"));
    cancelButton_->setGeometry(147, 39, 75, 23);
    connect(okButton_, &QPushButton::clicked, this, &CustomDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    createSideOptions();

    QList<TextBox> boxes{
        {sideLabel->text(), sideLabel->size(), labelPadding()},
        {minesLabel->text(), minesLabel->size(), labelPadding()},
        {QStringLiteral("135"), minesText_->size(), lineEditPadding()},
        {okButton_->text(), okButton_->size(), buttonPadding()},
        {cancelButton_->text(), cancelButton_->size(), buttonPadding()},
    };
    for (QPushButton* option : sideOptions_) {
        boxes.append({option->text(), option->size(), QMargins(1, 3, 1, 3)});
    }
    setFont(fittingFont(font(), boxes));

    sideOptions_[0]->setChecked(true);
    chooseSide(4);
    // Last, so that a caption of the game's own moves the contents below it.
    takeTitleBar(*this, CaptionButtons::Close);
}

void CustomDialog::createSideOptions() {
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < kSideOptions.size(); ++i) {
        const SideOption option = kSideOptions[i];
        auto* button = new QPushButton(QString::number(option.side), this);
        button->setObjectName(QStringLiteral("sideOption%1").arg(option.side));
        // The option shows only the number; a screen reader says what it is.
        button->setAccessibleName(QStringLiteral("Strana %1").arg(option.side));
        button->setGeometry(option.x, 11, option.width, 22);
        button->setCheckable(true);
        // One of four, and so a radio button to a screen reader rather than a
        // check box; the group below already keeps exactly one checked.
        button->setAutoExclusive(true);
        button->setAutoDefault(false);
        button->installEventFilter(this);
        group->addButton(button, option.side);
        sideOptions_[i] = button;
    }
    group->setExclusive(true);
    connect(group, &QButtonGroup::idClicked, this, &CustomDialog::chooseSide);

    setTabOrder(minesText_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    QWidget* previous = cancelButton_;
    for (QPushButton* option : sideOptions_) {
        setTabOrder(previous, option);
        previous = option;
    }
}

void CustomDialog::prepare(int side, int mines) {
    for (QPushButton* option : sideOptions_) {
        if (option->text() == QString::number(side)) {
            option->setChecked(true);
            chooseSide(side);
        }
    }
    minesText_->setText(QString::number(mines));
}

void CustomDialog::runModal(int side, int mines) {
    prepare(side, mines);
    minesText_->setFocus();
    exec();
}

QString CustomDialog::minesText() const {
    return minesText_->text();
}

void CustomDialog::keyPressEvent(QKeyEvent* event) {
    // "Storno" is not the cancel button, so Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CustomDialog::eventFilter(QObject* watched, QEvent* event) {
    // The options never keep the focus: after a click on one, Enter still
    // presses "OK".
    if (event->type() == QEvent::FocusIn) {
        for (QPushButton* option : sideOptions_) {
            if (watched == option) {
                okButton_->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CustomDialog::chooseSide(int side) {
    side_ = side;
}

void CustomDialog::confirm() {
    const int mines = customMines(side_, minesText_->text());
    minesText_->setText(QString::number(mines));
    if (confirmed_) {
        confirmed_(side_, mines);
    }
    accept();
}

}  // namespace quorvel::dialogs
