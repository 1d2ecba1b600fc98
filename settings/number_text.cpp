#include "settings/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/leading_number.h"

namespace quorvel::settings {

double leadingNumber(QByteArrayView text) {
    return core::leadingNumber(
        std::string_view(text.data(), static_cast<std::size_t>(text.size())));
}

double leadingNumber(QStringView text) {
    // Only blanks, signs, ASCII digits and the point can be part of the number, so
    // the text is cut at the first other character before it is narrowed.
    const auto end = std::find_if(text.begin(), text.end(), [](QChar c) {
        return !(c == u' ' || c == u'\t' || c == u'+' || c == u'-' || c == u'.' ||
                 (c >= u'0' && c <= u'9'));
    });
    const QByteArray prefix = text.first(end - text.begin()).toLatin1();
    return leadingNumber(QByteArrayView(prefix));
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
