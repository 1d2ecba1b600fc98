#include "dialogs/custom_rule.h"

#include "core/levels.h"
#include "settings/number_text.h"

namespace quorvel::settings {

int customMines(int side, QStringView minesText) {
    return core::customMinesTyped(side, leadingNumber(minesText));
}

}  // namespace quorvel::settings
