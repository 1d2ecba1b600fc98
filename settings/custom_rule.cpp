#include "settings/custom_rule.h"

#include "core/geometry.h"

#include <cmath>

#include "settings/number_text.h"

namespace quorvel::settings {

int customMines(int side, QStringView minesText) {
    const double cells = core::cellCount(side);
    const double typed = leadingNumber(minesText);
    double mines = typed;
    if (typed > 0.5 * cells) {
        mines = 0.5 * cells;
    }
    if (typed < 0.05 * cells) {
        mines = 0.05 * cells;
    }
    return static_cast<int>(std::trunc(mines));
}

}  // namespace quorvel::settings
