#pragma once
// The settings file's path may name anything a user, a dotfile manager or
// another user with write access to the folder puts there: a FIFO, a device, a
// socket or a directory, directly or through symlinks, and it may change while
// the game works on it. Only a regular file of bounded size is ever read or
// replaced, nothing that could block is ever opened, and what is checked is
// what is written: the path is resolved once, to a folder that is held open and
// a name in it, and everything after that works relative to that folder.
//
// In a folder that others may write, whom the game trusts is one rule
// (trust.h): it follows a symlink only when the link is the user's or the
// folder owner's, uses no file that has a second name (a hard link), and no
// stranger's lock file where strangers may come; where such a folder has the
// sticky bit (as /tmp) it opens a file only when the file is the user's or the
// folder owner's, as the system itself would, whatever the system's own
// switches for these rules say. A file refused leaves nothing in its folder.
// This is the front door of the careful file code: the steps behind it never
// include it.

#include <QByteArray>
#include <chrono>
#include <memory>

#include "files/outcome.h"

namespace quorvel::files {

// The file at one path (the system's bytes) for one read, or for one
// read-merge-write, in this order: resolve() (and makeFolder() when it found
// the folder missing, then resolve() again), judge(), lock() (a write only),
// read(), replace(). A replace() without a read() before it writes nothing
// (Changed).
class FileAtPath {
  public:
    explicit FileAtPath(QByteArray path);
    ~FileAtPath();
    FileAtPath(const FileAtPath&) = delete;
    FileAtPath& operator=(const FileAtPath&) = delete;

    // Follows the path's symlinks to a folder and a name, and opens the folder.
    // Missing when the folder is not there; Failed for a loop of links or a
    // link that the game does not follow.
    Outcome<Reach> resolve();

    // Makes the folder that resolve() found missing, only along the path that
    // it checked, never through a link put there since. Failed, with the
    // reason, when it cannot be made.
    Done makeFolder();

    // Whether what is at the name (if anything) may be used: Refused, with the
    // reason, for anything read() would refuse, or a lock file beside it that
    // the game may not trust. Nothing is made in the folder before this passed.
    Outcome<Verdict> judge(qint64 maxBytes);

    // The folder that resolve() found, with every link followed, and its
    // descriptor, held open as long as this object: where the file and its
    // temporary files are written. Empty and -1 before resolve() (and -1 where
    // the system has no descriptors).
    const QByteArray& folderPath() const;
    int folderDescriptor() const;

    // Takes the advisory lock beside the file (its name with ".lock"), which
    // every game of ours takes for its read-merge-write, waiting at most `bound`
    // for another game to finish, or for a lock file that is there but cannot
    // be opened. Only where no lock file can be made at all is the file itself
    // locked, and then written in place. The lock goes with this object. Only
    // after judge().
    Outcome<LockResult> lock(std::chrono::milliseconds bound);

    // Reads the whole regular file of at most maxBytes bytes.
    ReadOutcome read(qint64 maxBytes);

    // Removes the temporary files of this file's naming beside it that a game
    // killed while writing left there (no other file's). Only under the lock
    // (no game of ours is writing this file then); in a sticky folder only the
    // user's own. Failed, with the reason, when one could not be removed.
    Done removeLeftovers();

    // Puts content in the file's place. Only the file that was read (or, when
    // read() found nothing, no file) is ever written over: anything else there
    // is left as it is, and the result is Changed. Refuses anything but a
    // regular file within maxBytes, and content above it.
    //
    // Usually the file is replaced atomically: a temporary file in the same
    // folder, given the old file's owner, group, mode, ACL and extended
    // attributes, written and synced, then swapped in; a failure leaves the old
    // file whole, and so does a crash. Where replacing would change the file's
    // owner or group, break a hard link, or cannot be done (a bind-mounted file,
    // a folder the user may not write, a file that is its own lock), the file
    // is written in place instead:
    // written from the start, cut to length and synced; on a failure the old
    // content is written back. A crash in the middle of that can leave the
    // file part old, part new. Once a new file takes the name (swapped in,
    // renamed or new), the folder is synced.
    //
    // On Written, the reason may hold a remark worth reporting (a leftover that
    // could not be removed, a folder that could not be synced).
    Outcome<WriteResult> replace(const QByteArray& content, qint64 maxBytes);

  private:
    struct State;
    std::unique_ptr<State> d_;
};

}  // namespace quorvel::files
