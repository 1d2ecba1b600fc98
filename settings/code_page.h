#pragma once
// Windows-1250, the settings file's code page, for single texts.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorvel::settings {

QString decodeText(const QByteArray& bytes);
// A character the code page cannot store becomes the byte 0x1A.
QByteArray encodeText(const QString& text);
// Whether every character of the text survives a trip through the code page.
bool storableText(const QString& text);
// Whether the bytes decode to white space only (or to nothing), told without
// decoding them.
bool blankText(QByteArrayView bytes);

}  // namespace quorvel::settings
