#pragma once
// The leading decimal number of a text, as the best-times table, the settings
// file and the custom-board dialog read their numbers (through
// settings/number_text.h, which hands it their bytes).

#include <string_view>

namespace quorvel::core {

// Leading blanks (spaces and tabs) are skipped, then an optional sign, digits and
// at most one '.', up to the first character that cannot continue the number
// ("57 sekund" reads 57, "1.5.3" 1.5, "1e5" 1). 0 when there is none ("", "abc",
// "-", ".", "- 5"). Only ASCII digits count, and the process locale plays no
// part. A value too large for a double reads as the largest finite one of its
// sign, so callers never see an infinity; one too small reads as 0.
double leadingNumber(std::string_view text);

}  // namespace quorvel::core
