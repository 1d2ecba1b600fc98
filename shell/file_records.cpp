#include "shell/file_records.h"

#include "settings/best_times_dialog.h"
#include "settings/custom_dialog.h"
#include "settings/game_settings.h"
#include "settings/name_dialog.h"

namespace quorvel::shell {

FileRecords::FileRecords(settings::SettingsFile file) : file_(std::move(file)) {}

FileRecords::~FileRecords() {
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{name_dialog_, best_times_dialog_, custom_dialog_}) {
        if (dialog != nullptr && dialog->parent() == nullptr) {
            delete dialog;
        }
    }
}

StartupSettings FileRecords::read(QPointF centred) {
    const settings::ParsedSettings parsed = file_.load(centred.x(), centred.y());
    table_.fillFromFile(parsed.values);
    const settings::StartupChoice choice = settings::chooseStartup(parsed.values);
    StartupSettings startup;
    startup.level = choice.level;
    startup.side = choice.customSide;
    startup.mines = choice.customMines;
    startup.faceSet = choice.faceSet;
    // The values as read: where the window cannot be placed they are written back
    // unchanged.
    startup.position = QPointF(parsed.values.xpos, parsed.values.ypos);
    return startup;
}

void FileRecords::write(const WindowSettings& settings) {
    const auto level = static_cast<core::Level>(settings.difficulty);
    file_.save(settings::valuesToWrite(level, settings.side, settings.mines, settings.faceSet,
                                       settings.position.x(), settings.position.y(), table_));
}

double FileRecords::bestTime(core::Level level) {
    return table_.best(level);
}

settings::NameDialog& FileRecords::nameDialog() {
    if (name_dialog_ == nullptr) {
        name_dialog_ = new settings::NameDialog(parent_);
        if (prompt_) {
            name_dialog_->setPrompt(*prompt_);
        }
    }
    return *name_dialog_;
}

settings::BestTimesDialog& FileRecords::bestTimesDialog() {
    if (best_times_dialog_ == nullptr) {
        best_times_dialog_ = new settings::BestTimesDialog(
            table_,
            [this] {
                if (writeK_) {
                    writeK_();
                }
            },
            parent_);
    }
    return *best_times_dialog_;
}

void FileRecords::setRecordPrompt(core::Level level) {
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

void FileRecords::prepareNameEntry(core::Level level) {
    nameDialog().prepare(table_.name(level));
}

void FileRecords::enterRecord(core::Level level, int seconds, const std::function<void()>& writeK) {
    writeK_ = writeK;
    const QString name = nameDialog().askName();
    if (parent_ != nullptr && !parent_->isVisible()) {
        return;  // the game quit while the name was asked for
    }
    table_.setRecord(level, seconds, name);
    bestTimesDialog().showTable();
}

void FileRecords::showBestTimes(const std::function<void()>& writeK) {
    writeK_ = writeK;
    bestTimesDialog().showTable();
}

void FileRecords::askCustomBoard(int side, int mines,
                                 const std::function<void(int, int)>& confirm) {
    confirmCustom_ = confirm;
    if (custom_dialog_ == nullptr) {
        custom_dialog_ = new settings::CustomDialog(
            [this](int chosenSide, int chosenMines) {
                if (confirmCustom_) {
                    confirmCustom_(chosenSide, chosenMines);
                }
            },
            parent_);
    }
    custom_dialog_->runModal(side, mines);
}

}  // namespace quorvel::shell
