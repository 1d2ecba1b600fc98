#pragma once
// Which path the game trusts, and which file in it. The path is resolved once,
// link by link, to a folder held open and a name in it; in a folder that others
// may write (sticky or not), a link is followed only when it is the user's or
// the folder owner's, and a file with a second name there is not used; in such
// a folder with the sticky bit a file is opened only when it is the user's or
// the folder owner's (the system's own rules for such folders, applied whether
// the system has them switched on or not). Only a regular file within its
// bound is ever opened, and nothing that could block. A missing folder is made
// only along a path that passed these rules.

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
// Missing when the folder is not there (folderPath and name are then set, and
// the folder unset); Failed for a loop of links or a link that the game does
// not follow.
ReadResult resolvePath(const QByteArray& path, ResolvedPath& resolved, QString& reason);

// Makes the folders of folderPath, a path that resolvePath found missing, one
// at a time from the root, each opened without following a link: resolvePath
// checked a path without links, so a link found now was put there since, and
// nothing is made through it. False, with the reason, when one cannot be made.
bool makeFolders(const QByteArray& folderPath, QString& reason);

// Whether what is at name in folder (if anything) may be used: a regular file
// within the bound that the user may trust there. Asked before anything is
// made in the folder, so that a file the game refuses leaves no trace.
bool judgeName(int folder, const QByteArray& name, qint64 maxBytes, QString& reason);

// A folder that users besides its owner may write, with the sticky bit: each
// may remove only their own entries there, and the system's link rules for
// shared folders apply. `others` is S_IWOTH, or S_IWOTH | S_IWGRP for the
// stricter rule for files.
bool sharedSticky(const struct stat& folder, mode_t others);

// A folder that users besides its owner may write, through its group (or an
// ACL, whose mask the group bits show) or everyone, sticky or not.
bool othersMayWrite(const struct stat& folder);

// Whether an entry owned by owner may be trusted in folder: anyone's in a
// folder only its owner may write, else only the user's or the folder owner's.
bool trustedOwner(uid_t owner, const struct stat& folder);

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
