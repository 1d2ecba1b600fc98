#pragma once
// Which path the game trusts, and which file in it. The path is resolved once,
// link by link, to a folder held open and a name in it; in a folder that others
// may write and whose sticky bit is set, a link is followed, and a file opened,
// only when it is the user's or the folder owner's (the system's own rules for
// such folders, applied whether the system has them switched on or not). Only a
// regular file within its bound is ever opened, and nothing that could block.

#include <sys/stat.h>

#include <QByteArray>
#include <QString>

#include "settings/descriptor.h"
#include "settings/regular_file.h"

namespace quorvel::settings::detail {

// The folder the path leads to, held open, and the file's name in it.
struct ResolvedPath {
    QByteArray folderPath;  // with every link followed
    Descriptor folder;
    QByteArray name;
};

// Follows the path's links to a folder and a name, and opens the folder.
// Missing when the folder is not there; Failed for a loop of links or a link
// that the game does not follow.
ReadResult resolvePath(const QByteArray& path, ResolvedPath& resolved, QString& reason);

// A folder that users besides its owner may write, with the sticky bit: each
// may remove only their own entries there, and the system's link rules for
// shared folders apply. `others` is S_IWOTH, or S_IWOTH | S_IWGRP for the
// stricter rule for files.
bool sharedSticky(const struct stat& folder, mode_t others);

// Whether status, found in folder, is a regular file within the bound that the
// user may trust there; the reason when it is not.
bool trustedHere(int folder, const struct stat& status, qint64 maxBytes, QString& reason);

struct OpenedFile {
    ReadResult result = ReadResult::Failed;
    Descriptor fd;
    struct stat status {};
};

// Opens name in folder for reading, if trustedHere. A FIFO or a device is never
// opened at all (opening a device can do things of its own); whatever takes its
// place before the open is refused by the descriptor, and a link is not followed.
OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes, QString& reason);

}  // namespace quorvel::settings::detail
