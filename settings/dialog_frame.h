#pragma once
// What the three dialogs share: a fixed client area, a title, a close button
// and no minimise or maximise button; modal.

#include <QDialog>
#include <QString>

namespace quorvel::settings {

inline void setUpFixedDialog(QDialog& dialog, const QString& title, int width, int height) {
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setModal(true);
    dialog.setFixedSize(width, height);
}

}  // namespace quorvel::settings
