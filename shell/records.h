#pragma once
// The best times as the player meets them: the record check after a won game
// (the file's table read again, the holder's name asked for, the table shown,
// the settings written) and the menu's best-times table.

#include <optional>

#include "core/levels.h"
#include "dialogs/game_dialogs.h"
#include "shell/settings_session.h"

namespace quorvel::shell {

class Records {
  public:
    // Both must outlive this.
    Records(SettingsSession& session, dialogs::GameDialogs& dialogs)
        : session_(session), dialogs_(dialogs) {}
    Records(const Records&) = delete;
    Records& operator=(const Records&) = delete;

    // A time better than the level's best asks for the holder's name, shows the
    // best-times table and writes the settings.
    void recordWin(const core::Win& win);
    // The menu's table, with what the file holds now; its reset writes at once.
    void showBestTimes();
    // On the way out: a record whose holder's name is being asked for goes into
    // the table with the name typed so far.
    void keepTypedRecord();

  private:
    SettingsSession& session_;
    dialogs::GameDialogs& dialogs_;
    // The record whose holder's name is being asked for.
    std::optional<core::Win> pending_;
};

}  // namespace quorvel::shell
