#pragma once
// Files read and written whole, as bytes, by the tests of the settings file.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorvel::support {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

}  // namespace quorvel::support
