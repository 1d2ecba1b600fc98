#include "core/leading_number.h"

#include <charconv>
#include <cstddef>
#include <limits>

namespace quorvel::core {

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            digits = true;
        } else if (ch == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    const std::string_view number = text.substr(numberStart, i - numberStart);
    // from_chars ignores the process locale, which a toolkit may have changed to
    // one with a decimal comma; it takes no sign, so the sign is ours.
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // A digit other than 0 before the point makes it too large; else too small.
        const bool huge = number.find_first_of("123456789") < number.find('.');
        value = huge ? std::numeric_limits<double>::max() : 0.0;
    }
    if (value == 0.0) {
        return 0.0;  // never a negative zero
    }
    return negative ? -value : value;
}

}  // namespace quorvel::core
