#include "dialogs/custom_rule.h"

#include "core/levels.h"
#include "settings/number_text.h"

namespace quorvel::dialogs {

int customMines(int side, QStringView minesText) {
    return core::customMinesTyped(side, settings::leadingNumber(minesText));
}

}  // namespace quorvel::dialogs
