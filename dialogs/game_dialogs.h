#pragma once
// The dialogs the game opens: the name of a new record holder, the best-times
// table and the custom board. The window works without them (no records, no
// custom board); tests hand it a fake.

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "core/levels.h"
#include "settings/best_times.h"

namespace quorvel::dialogs {

class BestTimesDialog;
class CustomDialog;
class NameDialog;

class GameDialogs {
  public:
    virtual ~GameDialogs() = default;

    // The window the dialogs belong to; they are created on first use as its
    // children and go with it.
    virtual void setDialogParent(QWidget* window) = 0;

    // Fills the name field with the holder's name, wholly selected.
    virtual void prepareNameEntry(const QString& holder) = 0;
    // A new record on a fixed level: asks for the holder's name with that level's
    // prompt and returns it as typed (it may be empty). Returns when the dialog is
    // closed.
    virtual QString askName(core::Level level) = 0;
    // What has been typed into the name field so far (empty when nothing was
    // typed): the holder of a record whose name entry a quit cuts short.
    virtual QString typedName() const { return {}; }
    // The best-times table. Its reset button calls `afterReset` at once.
    virtual void showBestTimes(settings::BestTimes& table,
                               const std::function<void()>& afterReset) = 0;

    // The custom-board dialog opened at (side, mines); `confirm` is called with the
    // confirmed pair before the dialog closes.
    virtual void askCustomBoard(int side, int mines,
                                const std::function<void(int side, int mines)>& confirm) = 0;
};

// The real dialogs, each created on first use and then only shown and hidden;
// the first one made loads Qt's Czech texts (useToolkitTexts). An answered name
// dialog stays on the screen until the best-times table that follows it is there
// too, or else until the event loop runs again: the focus passes from the one to
// the other and never to the game's window between them. (Qt asks a desktop to
// activate a window as it gets the focus; when a dialog takes the focus before
// that request is handled, a desktop such as sway marks the window urgent.)
class Dialogs final : public GameDialogs {
  public:
    Dialogs();
    ~Dialogs() override;
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;

    void setDialogParent(QWidget* window) override { parent_ = window; }
    void prepareNameEntry(const QString& holder) override;
    QString askName(core::Level level) override;
    QString typedName() const override;
    void showBestTimes(settings::BestTimes& table,
                       const std::function<void()>& afterReset) override;
    void askCustomBoard(int side, int mines,
                        const std::function<void(int side, int mines)>& confirm) override;

  private:
    NameDialog& nameDialog();
    BestTimesDialog& bestTimesDialog(settings::BestTimes& table);

    // What the dialogs' buttons call; set by the caller that shows them.
    std::function<void()> afterReset_;
    std::function<void(int, int)> confirmCustom_;
    // Owned by parent_ when there is one, else by this.
    QPointer<QWidget> parent_;
    QPointer<NameDialog> name_dialog_;
    QPointer<BestTimesDialog> best_times_dialog_;
    QPointer<CustomDialog> custom_dialog_;
    // Hides the answered name dialog once the event loop runs, unless the table
    // takes over first.
    QTimer nameLeaves_;
};

}  // namespace quorvel::dialogs
