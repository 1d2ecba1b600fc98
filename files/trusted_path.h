#pragma once
// Which path the game trusts, and which file in it. The path is resolved once,
// link by link, to a folder held open and a name in it, following only the
// links that the trust rule (trust.h) lets it follow; a file is opened only
// where that rule trusts it, only a regular file within its bound, and nothing
// that could block. A missing folder is made only along a path that passed
// these rules.

#include <sys/stat.h>

#include <QByteArray>

#include "files/descriptor.h"
#include "files/outcome.h"

namespace quorvel::files::detail {

// The folder the path leads to, held open, and the file's name in it. A folder
// that the user may write and search but not read (mode 0300) is held open
// only to work in: it cannot be listed, nor synced.
struct ResolvedPath {
    QByteArray folderPath;  // with every link followed
    Descriptor folder;
    QByteArray name;
    bool readable = true;
};

// Follows the path's links to a folder and a name, and opens the folder.
// Missing when the folder is not there (folderPath and name are then set, and
// the folder unset); Failed for a loop of links or a link that the game does
// not follow.
Outcome<Reach, ResolvedPath> resolvePath(const QByteArray& path);

// Makes the folders of folderPath, a path that resolvePath found missing, one
// at a time from the root, each opened without following a link: resolvePath
// checked a path without links, so a link found now was put there since, and
// nothing is made through it.
Done makeFolders(const QByteArray& folderPath);

// Whether what is at name in folder (if anything) may be used: a regular file
// within the bound that the user may trust there. Asked before anything is
// made in the folder, so that a file the game refuses leaves no trace.
Outcome<Verdict> judgeName(int folder, const QByteArray& name, qint64 maxBytes);

// The folder's status, for the trust rule.
Outcome<Did, struct stat> folderStatus(int folder);

struct OpenedFile {
    ReadResult result = ReadResult::Failed;
    QString reason;
    Descriptor fd;
    struct stat status {};
};

// Opens name in folder for reading, if the trust rule lets it. A FIFO or a
// device is never opened at all (opening a device can do things of its own);
// whatever takes its place before the open is refused by the descriptor, and
// a link is not followed.
OpenedFile openChecked(int folder, const QByteArray& name, qint64 maxBytes);

}  // namespace quorvel::files::detail
