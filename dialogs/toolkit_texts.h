#pragma once
// Qt's own texts (a text field's context menu, a message box's standard buttons)
// in Czech like the game's, whatever the locale: loaded when a dialog first
// needs them.

class QTranslator;

namespace quorvel::dialogs {

// Installs the toolkit's Czech catalogue the first time it is called (and again
// once the translator has been deleted) and returns its translator, owned by the
// application; none when the catalogue is missing, and the texts stay English.
// Every dialog calls it before it is made: the main window shows none of these
// texts, and reading the catalogue would cost every start-up about 0.3 % of its
// instructions.
QTranslator* useToolkitTexts();

// The translator installed so far, if any; loads nothing.
QTranslator* loadedToolkitTexts();

}  // namespace quorvel::dialogs
