#pragma once
// Puts new content in the settings file's place, over only the file that was
// read (or where there was none). The file is replaced through a temporary file
// swapped in; where replacing would change its owner or group, break a hard
// link, or cannot be done, it is written in place. Once a new file takes the
// name, the folder is synced, so that the name stays the new file's through a
// power cut. What happened is a value: Written, Changed (not the file read;
// nothing written) or Failed, each with its reason. See FileAtPath::replace
// for the whole promise.

#include <QByteArray>

#include "files/outcome.h"
#include "files/read_snapshot.h"

namespace quorvel::files::detail {

// Whether the file may be replaced, or must stay the same file.
enum class Way { Replace, InPlace };

// Where a replacement works: the held folder, the name in it, what the last
// read there saw, whether the file may be swapped out, and whether the folder
// can be synced (the system syncs only a folder opened for reading).
struct Target {
    int folder;
    const QByteArray& name;
    const ReadSnapshot& snapshot;
    Way way = Way::Replace;
    bool syncable = true;
};

Outcome<WriteResult> replaceFile(const Target& at, const QByteArray& content, qint64 maxBytes);

}  // namespace quorvel::files::detail
