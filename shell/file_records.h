#pragma once
// Records kept in the settings file: the file itself, the best-times table for
// the whole run, and the three dialogs, each created on first use and then only
// shown and hidden.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "settings/best_times.h"
#include "settings/settings_file.h"
#include "shell/records.h"

namespace quorvel::settings {
class BestTimesDialog;
class CustomDialog;
class NameDialog;
}  // namespace quorvel::settings

namespace quorvel::shell {

class FileRecords final : public Records {
  public:
    explicit FileRecords(settings::SettingsFile file);
    ~FileRecords() override;

    void setDialogParent(QWidget* window) override { parent_ = window; }
    StartupSettings read(QPointF centred) override;
    void write(const WindowSettings& settings) override;

    double bestTime(core::Level level) override;
    void setRecordPrompt(core::Level level) override;
    void prepareNameEntry(core::Level level) override;
    void enterRecord(core::Level level, int seconds, const std::function<void()>& writeK) override;
    void showBestTimes(const std::function<void()>& writeK) override;
    void askCustomBoard(int side, int mines,
                        const std::function<void(int side, int mines)>& confirm) override;

    const settings::BestTimes& table() const { return table_; }

  private:
    settings::NameDialog& nameDialog();
    settings::BestTimesDialog& bestTimesDialog();

    settings::SettingsFile file_;
    settings::BestTimes table_;
    // What the dialogs' buttons call; set by the caller that shows them.
    std::function<void()> writeK_;
    std::function<void(int, int)> confirmCustom_;
    std::optional<core::Level> prompt_;
    // Owned by parent_ when there is one, else by this.
    QPointer<QWidget> parent_;
    QPointer<settings::NameDialog> name_dialog_;
    QPointer<settings::BestTimesDialog> best_times_dialog_;
    QPointer<settings::CustomDialog> custom_dialog_;
};

}  // namespace quorvel::shell
