#include "settings/code_page.h"

#include <algorithm>

#include <QStringDecoder>
#include <QStringEncoder>

namespace quorvel::settings {

namespace {

constexpr char kCodePage[] = "windows-1250";

}  // namespace

// The code page's lower half is ASCII: text that stays within it needs no
// converter, which spares most values (numbers, plain names) the cost of one.
QString decodeText(const QByteArray& bytes) {
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) {
        return QString::fromLatin1(bytes);
    }
    // One converter for the run: making one costs more than a whole value. This
    // code only ever goes into programs, never into a library loaded later, so
    // the converters take the program's own thread storage and the loader is
    // not asked for its general one.
    [[gnu::tls_model("initial-exec")]] thread_local QStringDecoder decoder(kCodePage);
    decoder.resetState();
    return decoder.decode(bytes);
}

QByteArray encodeText(const QString& text) {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        return text.toLatin1();
    }
    [[gnu::tls_model("initial-exec")]] thread_local QStringEncoder encoder(kCodePage);
    encoder.resetState();
    return encoder.encode(text);
}

bool storableText(const QString& text) {
    return decodeText(encodeText(text)) == text;
}

// The code page's white space is ASCII's (tab to carriage return, and the blank)
// and the no-break space at 0xA0; deciding it on the bytes keeps the converter,
// and the large library behind it, out of every start-up that reads a name.
bool blankText(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == ' ' || (byte >= '\t' && byte <= '\r') || byte == 0xA0;
    });
}

}  // namespace quorvel::settings
