#include "dialogs/best_times_dialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "dialogs/dialog_fonts.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/title_bar.h"

namespace quorvel::dialogs {

namespace {

constexpr int kLabelHeight = 17;
constexpr std::array<int, 3> kRowTop{23, 49, 74};
const std::array<QString, 3> kLevelTexts{QStringLiteral("Začátečník:"),
                                         QStringLiteral("Pokročilý:"), QStringLiteral("Expert:")};

}  // namespace

BestTimesDialog::BestTimesDialog(settings::BestTimes& table, std::function<void()> writeSettings,
                                 QWidget* parent)
    : QDialog(parent), table_(table), writeSettings_(std::move(writeSettings)) {
    setUpFixedDialog(*this, QStringLiteral("Nejlepší časy"), 323, 154);

    frame_ = new QGroupBox(QStringLiteral("Nejrychlejší hledači min"), this);
    frame_->setObjectName(QStringLiteral("frame"));
    frame_->setGeometry(11, 11, 303, 102);
    const auto makeLabel = [this](const QString& name, int x, int y, int width) {
        auto* label = new QLabel(frame_);
        label->setObjectName(name);
        label->setGeometry(x, y, width, kLabelHeight);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    for (int row = 0; row < 3; ++row) {
        const int y = kRowTop[row];
        levelLabels_[row] = makeLabel(QStringLiteral("levelLabel%1").arg(row), 10, y, 73);
        levelLabels_[row]->setText(kLevelTexts[row]);
        timeLabels_[row] = makeLabel(QStringLiteral("timeLabel%1").arg(row), 105, y, 73);
        nameLabels_[row] = makeLabel(QStringLiteral("nameLabel%1").arg(row), 202, y, 105);
    }

    resetButton_ = new QPushButton(QStringLiteral("Vynulovat časy"), this);
    resetButton_->setObjectName(QStringLiteral("resetButton"));
    resetButton_->setGeometry(140, 122, 84, 23);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(230, 122, 84, 23);
    okButton_->setDefault(true);
    // The frame takes no focus, so focus starts on "OK".
    setTabOrder(okButton_, resetButton_);
    okButton_->setFocus();

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(resetButton_, &QPushButton::clicked, this, &BestTimesDialog::resetTimes);

    // The fixed texts, and the longest entries the table starts with.
    QList<TextBox> boxes;
    boxes.append({frame_->title(), QSize(303 - 16, kLabelHeight), labelPadding()});
    for (const QString& text : kLevelTexts) {
        boxes.append({text, QSize(73, kLabelHeight), labelPadding()});
    }
    boxes.append({shownTime(QStringLiteral("999")), QSize(73, kLabelHeight), labelPadding()});
    boxes.append({settings::unknownPlayer(), QSize(105, kLabelHeight), labelPadding()});
    boxes.append({resetButton_->text(), resetButton_->size(), buttonPadding()});
    setFont(fittingFont(font(), boxes));

    refresh();
    // Last, so that a caption of the game's own moves the contents below it.
    takeTitleBar(*this, CaptionButtons::Close);
}

QString BestTimesDialog::shownTime(const QString& fileTime) {
    return fileTime + QStringLiteral(" sekund");
}

void BestTimesDialog::showTable() {
    refresh();
    okButton_->setFocus();
    exec();
}

void BestTimesDialog::refresh() {
    QStringList rows;
    for (int row = 0; row < 3; ++row) {
        timeLabels_[row]->setText(shownText(shownTime(table_.fileTime(row))));
        nameLabels_[row]->setText(shownText(table_.name(row)));
        rows.append(QStringLiteral("%1 %2, %3")
                        .arg(levelLabels_[row]->text(), timeLabels_[row]->text(),
                             nameLabels_[row]->text()));
    }
    // The table read as one text when the dialog opens: each level's time and holder.
    setAccessibleDescription(rows.join(QStringLiteral(". ")));
}

void BestTimesDialog::keyPressEvent(QKeyEvent* event) {
    // Esc answers like "OK", which is also the cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        okButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void BestTimesDialog::resetTimes() {
    table_.reset();
    refresh();
    if (writeSettings_) {
        writeSettings_();
    }
}

}  // namespace quorvel::dialogs
