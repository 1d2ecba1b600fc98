#include "dialogs/game_dialogs.h"

#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/name_dialog.h"

#include <utility>

namespace quorvel::dialogs {

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
        name_dialog_ = new NameDialog(parent_);
        if (prompt_) {
            name_dialog_->setPrompt(*prompt_);
        }
    }
    return *name_dialog_;
}

BestTimesDialog& Dialogs::bestTimesDialog(settings::BestTimes& table) {
    // There is one table for the whole run: the dialog keeps the first one.
    if (best_times_dialog_ == nullptr) {
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

void Dialogs::setRecordPrompt(core::Level level) {
    if (level == core::Level::Custom) {
        return;
    }
    // Start-up chooses a level before anyone can win: the dialog is built only
    // when it is first needed, with the prompt of the last level chosen.
    prompt_ = level;
    if (name_dialog_ != nullptr) {
        name_dialog_->setPrompt(level);
    }
}

void Dialogs::prepareNameEntry(const QString& holder) {
    nameDialog().prepare(holder);
}

void Dialogs::enterRecord(settings::BestTimes& table, core::Level level, int seconds,
                          const std::function<void()>& afterReset) {
    afterReset_ = afterReset;
    pendingRecord_ = PendingRecord{&table, level, seconds};
    const QString name = nameDialog().askName();
    if (!std::exchange(pendingRecord_, std::nullopt) ||
        (parent_ != nullptr && !parent_->isVisible())) {
        return;  // the game quit while the name was asked for
    }
    table.setRecord(level, seconds, name);
    bestTimesDialog(table).showTable();
}

void Dialogs::endNameEntry() {
    if (const auto record = std::exchange(pendingRecord_, std::nullopt)) {
        record->table->setRecord(record->level, record->seconds, nameDialog().typedName());
    }
}

void Dialogs::showBestTimes(settings::BestTimes& table, const std::function<void()>& afterReset) {
    afterReset_ = afterReset;
    bestTimesDialog(table).showTable();
}

void Dialogs::askCustomBoard(int side, int mines, const std::function<void(int, int)>& confirm) {
    confirmCustom_ = confirm;
    if (custom_dialog_ == nullptr) {
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
