#pragma once
// Numbers as the settings file and the dialogs hold them: written in plain
// decimal with "." as the point and no leading blank, read as the leading
// decimal number of a text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace quorvel::settings {

// core::leadingNumber for the file's bytes and the dialogs' texts.
double leadingNumber(QByteArrayView text);
double leadingNumber(QStringView text);

// Plain decimal text of a finite number: no exponent, no leading blank, "." as
// the point, no trailing zeros, the shortest digits that read back as the same
// double ("12", "-3", "123.5"). Negative zero is written "0"; a non-finite value
// is written "0".
QByteArray numberBytes(double value);
QString numberText(double value);

}  // namespace quorvel::settings
