#pragma once
// The temporary files a write makes beside the settings file: named after that
// file (so that the sweep under its lock knows them, and no other file's),
// created by nobody else, written whole and synced, and removed when their
// write does not stand.

#include <sys/types.h>

#include <QByteArray>

#include "files/descriptor.h"
#include "files/outcome.h"

namespace quorvel::files::detail {

// A new file in the folder that nobody else has opened, named `.`, the settings
// file's name, `.quorvel-` and eight random letters or digits (a name too long
// for that keeps its start and a hash of the rest).
struct Temporary {
    Descriptor fd;
    QByteArray name;
};

// Creates one for the settings file `of`, with mode. Failed, with the reason,
// when it cannot be; the error is in the outcome too, for the caller to judge
// whether writing in place may do instead.
struct Created {
    Did result;
    QString reason;
    Temporary value;
    int error = 0;
};
Created createTemporary(int folder, const QByteArray& of, mode_t mode);

// Whether entry is named as a temporary file of the settings file `of` is.
// Nothing else matches: not the file, its lock, nor another file's temporary.
bool isTemporaryOf(const QByteArray& of, const QByteArray& entry);

// Removes the temporary name.
Done discard(int folder, const QByteArray& temp);

// How far a whole write came: synced; written whole but not synced (a crash
// may lose it); or stopped part-way, in the write or the cut, so that the file
// may hold part of it.
enum class Wrote { Synced, NotSynced, Partly };

// Writes content at the start of the file, cuts the file to its length and
// syncs it. A write may take less than it was given (a full disk, a size
// limit); the next one then fails with the system's reason.
Outcome<Wrote> writeWhole(int fd, const QByteArray& content);

}  // namespace quorvel::files::detail
