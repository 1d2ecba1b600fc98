#pragma once
// What the three dialogs share: a fixed client area, a title, a close button
// and no minimise or maximise button; modal. And how they show a text from the
// settings file.

#include <QDialog>
#include <QString>

namespace quorvel::dialogs {

inline void setUpFixedDialog(QDialog& dialog, const QString& title, int width, int height) {
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setModal(true);
    dialog.setFixedSize(width, height);
}

// A name or time text from the settings file may be as long as the file; laid
// out whole it would cost memory many times its length, for a control that
// shows some twenty characters. Past kShownTextLength characters it is shown
// cut, ending in an ellipsis; the table and the file keep it whole.
inline constexpr qsizetype kShownTextLength = 64;

inline QString shownText(const QString& text) {
    if (text.size() <= kShownTextLength) {
        return text;
    }
    qsizetype cut = kShownTextLength;
    if (text.at(cut - 1).isHighSurrogate()) {
        --cut;  // never half a character
    }
    return text.left(cut) + QChar(u'…');
}

}  // namespace quorvel::dialogs
