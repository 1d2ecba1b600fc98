#pragma once
// "Nejlepší časy": shows the best-times table; "Vynulovat časy" resets it and
// has the settings written at once. Created once and then only shown and
// hidden; closing it in any way keeps the table.

#include <array>
#include <functional>

#include <QDialog>

#include "settings/best_times.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace quorvel::dialogs {

class BestTimesDialog : public QDialog {
    Q_OBJECT
  public:
    // writeSettings is called right after every reset.
    BestTimesDialog(settings::BestTimes& table, std::function<void()> writeSettings,
                    QWidget* parent = nullptr);

    // A time as the table shows it: the file's text and the unit ("57 sekund").
    static QString shownTime(const QString& fileTime);

    // Shows the table modally; returns when the dialog is hidden again.
    void showTable();
    // Labels from the table (showTable does this itself).
    void refresh();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void resetTimes();

    settings::BestTimes& table_;
    std::function<void()> writeSettings_;
    QGroupBox* frame_;
    std::array<QLabel*, 3> levelLabels_{};
    std::array<QLabel*, 3> timeLabels_{};
    std::array<QLabel*, 3> nameLabels_{};
    QPushButton* resetButton_;
    QPushButton* okButton_;
};

}  // namespace quorvel::dialogs
