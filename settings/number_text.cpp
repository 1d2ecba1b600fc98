#include "settings/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace quorvel::settings {

namespace {

template <typename Char>
double readLeading(const Char* text, qsizetype size) {
    qsizetype i = 0;
    while (i < size && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    std::string number;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        number += static_cast<char>(text[i]);
        ++i;
    }
    bool point = false;
    bool digits = false;
    for (; i < size; ++i) {
        const auto c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            number += static_cast<char>(c);
        } else if (c == '.' && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits) {
        return 0;
    }
    // The C library reads a plain "[sign]digits[.digits]" the same in every
    // locale that the program runs under only if the point is ".", so read it
    // with from_chars, which ignores the locale.
    const char* first = number.data();
    const char* last = first + number.size();
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    double value = 0;
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits before the point; anything that underflows is 0.
        const bool huge = number.find_first_of("123456789") < number.find('.');
        value = huge ? std::numeric_limits<double>::max() : 0.0;
    }
    if (value == 0) {
        return 0;
    }
    return negative ? -value : value;
}

}  // namespace

double leadingNumber(QByteArrayView text) {
    return readLeading(text.data(), text.size());
}

double leadingNumber(QStringView text) {
    return readLeading(text.utf16(), text.size());
}

QByteArray numberBytes(double value) {
    if (!std::isfinite(value) || value == 0) {
        return QByteArrayLiteral("0");
    }
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QByteArray(buffer, result.ptr - buffer);
}

QString numberText(double value) {
    return QString::fromLatin1(numberBytes(value));
}

}  // namespace quorvel::settings
