#pragma once
// The dialogs keep their controls at fixed pixel sizes; the font is chosen so
// that every fixed text shows whole in its control.

#include <QFont>
#include <QList>
#include <QMargins>
#include <QSize>
#include <QString>

namespace quorvel::dialogs {

struct TextBox {
    QString text;
    QSize size;        // the control
    QMargins padding;  // room the control's frame and margins take
    bool wordWrap = false;
};

// Room taken around the text by the kinds of control the dialogs use.
QMargins buttonPadding();
QMargins lineEditPadding();
QMargins labelPadding();

// Whether the text fits its box in this font.
bool textFits(const QFont& font, const TextBox& box);

// The base font, or the same family at the largest smaller pixel size (not
// below 6) at which every text fits its box.
QFont fittingFont(const QFont& base, const QList<TextBox>& boxes);

}  // namespace quorvel::dialogs
