#pragma once
// The mine count that the custom-board dialog's "OK" takes from what was typed.

#include <QStringView>

namespace quorvel::dialogs {

// Side 4, 6, 8 or 10 and the mines text as typed. The leading number of the text
// is brought into range: above half the cells it becomes half the cells, below
// 5 % of them it becomes 5 % of them (a text that is no number counts as 0);
// then the fraction is cut off. Sides 4, 6, 8, 10 thus give 1 .. 18, 4 .. 45,
// 8 .. 84 and 13 .. 135.
int customMines(int side, QStringView minesText);

}  // namespace quorvel::dialogs
