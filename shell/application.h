#pragma once
// Start-up of the program: what must happen before and after the application
// object exists.

class QApplication;
class QIcon;
class QTranslator;

namespace quorvel::shell {

// Before the QApplication: whole-number scale factors, unless the user chose
// Qt's own rounding policy; a file-size limit fails a write instead of ending
// the process (SIGXFSZ ignored).
void prepareApplication();

// Qt's own texts (the text fields' context menus, standard buttons) in Czech
// like the game's, whatever the locale, from the toolkit's Czech catalogue. The
// installed translator, owned by `app`; none when the catalogue is missing, and
// the toolkit's texts stay English.
QTranslator* loadToolkitTexts(QApplication& app);

// The window icon at 16 and 32 pixels.
QIcon windowIcon();

// Names the application, reads the settings, shows the window and runs the event
// loop until the game quits.
int run(QApplication& app);

}  // namespace quorvel::shell
