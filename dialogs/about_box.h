#pragma once
// The About box: Qt's message box with the game's name and authors, under the
// title bar every other dialog of the game takes (close alone where the game
// draws its own caption).

#include <QMessageBox>
#include <QString>
#include <memory>

#include "dialogs/title_bar.h"

class QWidget;

namespace quorvel::dialogs {

// The box over `parent`, ready to run; Qt's own texts are Czech once it exists.
std::unique_ptr<QMessageBox> makeAboutBox(QWidget* parent, const QString& title,
                                          const QString& text, TitleBar bar = sessionTitleBar());

}  // namespace quorvel::dialogs
