#pragma once
// The temporary files a write makes beside the settings file: named with our
// prefix (so that the sweep under the lock knows them), created by nobody else,
// written whole and synced, and removed when their write does not stand.

#include <sys/types.h>

#include <QByteArray>
#include <QString>

#include "settings/descriptor.h"

namespace quorvel::settings::detail {

// The start of every temporary file's name: what the leftover sweep removes.
inline constexpr char kLeftoverPrefix[] = ".quorvel-";

// A new file in the folder that nobody else has opened, named after nothing the
// path holds, so that its name stays short however long the path is.
struct Temporary {
    Descriptor fd;
    QByteArray name;
};

// Creates one with mode; fd is unset (errno says why) when it cannot be.
Temporary createTemporary(int folder, mode_t mode);

// Removes the temporary name; a failure is added to the reason.
bool discard(int folder, const QByteArray& temp, QString& reason);

// Writes content at the start of the file, cuts the file to its length and
// syncs it. A write may take less than it was given (a full disk, a size
// limit); the next one then fails with the system's reason.
bool writeWhole(int fd, const QByteArray& content, QString& reason);

}  // namespace quorvel::settings::detail
