#include "dialogs/dialog_fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QRect>

namespace quorvel::dialogs {

QMargins buttonPadding() {
    return {4, 3, 4, 3};
}
QMargins lineEditPadding() {
    return {4, 3, 4, 3};
}
QMargins labelPadding() {
    return {0, 0, 0, 0};
}

bool textFits(const QFont& font, const TextBox& box) {
    const QFontMetrics metrics(font);
    const QSize room = box.size.shrunkBy(box.padding);
    if (box.wordWrap) {
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, box.text);
        return needed.width() <= room.width() && needed.height() <= room.height();
    }
    return metrics.horizontalAdvance(box.text) <= room.width() && metrics.height() <= room.height();
}

QFont fittingFont(const QFont& base, const QList<TextBox>& boxes) {
    const auto allFit = [&boxes](const QFont& font) {
        for (const TextBox& box : boxes) {
            if (!textFits(font, box)) {
                return false;
            }
        }
        return true;
    };
    if (allFit(base)) {
        return base;
    }
    QFont font = base;
    for (int pixels = QFontInfo(base).pixelSize() - 1; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (allFit(font)) {
            return font;
        }
    }
    font.setPixelSize(6);
    return font;
}

}  // namespace quorvel::dialogs
