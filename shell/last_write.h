#pragma once
// The last settings write, on every way out: the menu's quit, the window's
// close button and the signals of a logout come through the window; when the
// display goes away (the X server ended, say, at a logout) Qt ends the program
// through exit() without returning to the event loop, and a process-wide
// atexit hook makes the newest LastWrite's write then.

namespace quorvel::shell {

class Records;
class SettingsSession;

class LastWrite {
  public:
    // Both must outlive this. The newest LastWrite is the one exit() makes.
    LastWrite(SettingsSession& session, Records& records);
    ~LastWrite();
    LastWrite(const LastWrite&) = delete;
    LastWrite& operator=(const LastWrite&) = delete;

    // A record whose holder's name is being typed is kept with the name so far,
    // then the settings are written. False when the way out was already taken.
    bool make();

  private:
    SettingsSession& session_;
    Records& records_;
};

}  // namespace quorvel::shell
