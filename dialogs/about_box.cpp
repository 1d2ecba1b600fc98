#include "dialogs/about_box.h"

#include <QMessageBox>

#include "dialogs/toolkit_texts.h"

namespace quorvel::dialogs {

std::unique_ptr<QMessageBox> makeAboutBox(QWidget* parent, const QString& title,
                                          const QString& text, TitleBar bar) {
    useToolkitTexts();
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, title, text, QMessageBox::Ok,
                                             parent);
    // Like the other dialogs: a title and a close button, never minimise or
    // maximise on a box whose size is fixed.
    box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    takeTitleBar(*box, CaptionButtons::Close, bar);
    return box;
}

}  // namespace quorvel::dialogs
