#include "dialogs/game_dialogs.h"

#include <QEvent>

#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/name_dialog.h"
#include "dialogs/toolkit_texts.h"

namespace quorvel::dialogs {

namespace {
// Hides `leaving` once `coming` has painted, so that the display shows `coming`
// before `leaving` goes. Owned by `coming`; gone once it has done its work.
class HandOver : public QObject {
  public:
    HandOver(QWidget& coming, QWidget& leaving) : QObject(&coming), leaving_(&leaving) {
        coming.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the paint reaches the display first.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (leaving_ != nullptr) {
                        leaving_->hide();
                    }
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QPointer<QWidget> leaving_;
};
}  // namespace

Dialogs::Dialogs() {
    nameLeaves_.setSingleShot(true);
    nameLeaves_.setInterval(0);
    QObject::connect(&nameLeaves_, &QTimer::timeout, [this] {
        if (name_dialog_ != nullptr) {
            name_dialog_->hide();
        }
    });
}

Dialogs::~Dialogs() {
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{name_dialog_, best_times_dialog_, custom_dialog_}) {
        if (dialog != nullptr && dialog->parent() == nullptr) {
            delete dialog;
        }
    }
}

NameDialog& Dialogs::nameDialog() {
    if (name_dialog_ == nullptr) {
        useToolkitTexts();
        name_dialog_ = new NameDialog(parent_);
    }
    return *name_dialog_;
}

BestTimesDialog& Dialogs::bestTimesDialog(settings::BestTimes& table) {
    // There is one table for the whole run: the dialog keeps the first one.
    if (best_times_dialog_ == nullptr) {
        useToolkitTexts();
        best_times_dialog_ = new BestTimesDialog(
            table,
            [this] {
                if (afterReset_) {
                    afterReset_();
                }
            },
            parent_);
    }
    return *best_times_dialog_;
}

void Dialogs::prepareNameEntry(const QString& holder) {
    nameDialog().prepare(holder);
}

QString Dialogs::askName(core::Level level) {
    NameDialog& dialog = nameDialog();
    dialog.setPrompt(level);
    const QString name = dialog.askName(NameDialog::WhenAnswered::Stay);
    nameLeaves_.start();
    return name;
}

QString Dialogs::typedName() const {
    return name_dialog_ != nullptr ? name_dialog_->typedName() : QString();
}

void Dialogs::showBestTimes(settings::BestTimes& table, const std::function<void()>& afterReset) {
    afterReset_ = afterReset;
    BestTimesDialog& dialog = bestTimesDialog(table);
    if (nameLeaves_.isActive() && name_dialog_ != nullptr) {
        nameLeaves_.stop();
        new HandOver(dialog, *name_dialog_);
    }
    dialog.showTable();
}

void Dialogs::askCustomBoard(int side, int mines, const std::function<void(int, int)>& confirm) {
    confirmCustom_ = confirm;
    if (custom_dialog_ == nullptr) {
        useToolkitTexts();
        custom_dialog_ = new CustomDialog(
            [this](int chosenSide, int chosenMines) {
                if (confirmCustom_) {
                    confirmCustom_(chosenSide, chosenMines);
                }
            },
            parent_);
    }
    custom_dialog_->runModal(side, mines);
}

}  // namespace quorvel::dialogs
