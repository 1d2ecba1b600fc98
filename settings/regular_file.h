#pragma once
// The settings file's path may name anything a user, a dotfile manager or
// another user with write access to the folder puts there: a FIFO, a device, a
// socket or a directory, directly or through symlinks, and it may change while
// the game works on it. Only a regular file of bounded size is ever read or
// replaced, nothing that could block is ever opened, and what is checked is
// what is written: the path is resolved once, to a folder that is held open and
// a name in it, and everything after that works relative to that folder.
//
// In a folder that others may write (through its group or everyone, sticky
// or not), the game follows a symlink only when the link is the user's or the
// folder owner's, uses no file that has a second name (a hard link), and no
// lock file of anyone else's; where such a folder has the sticky bit (as /tmp)
// it opens a file only when the file is the user's or the folder owner's, as
// the system itself would, whatever the system's own switches for these rules
// say. A file refused leaves nothing in its folder.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace quorvel::settings {

// Missing gives the system's reason too, so the caller can report it if it has to.
enum class ReadResult { Read, Missing, Failed };

// Changed: the file is not the one read (replaced, written by someone else,
// appeared or gone); nothing was written, and a write read afresh may succeed.
enum class WriteResult { Written, Changed, Failed };

// NotHad: not within the bound (the write may go on without it, and says so);
// Refused: the lock file is one the game may not trust, nor the file then.
enum class LockResult { Taken, NotHad, Refused };

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
    ReadResult resolve(QString& reason);

    // Makes the folder that resolve() found missing, only along the path that
    // it checked, never through a link put there since. False, with the
    // reason, when it cannot be made.
    bool makeFolder(QString& reason);

    // Whether what is at the name (if anything) may be used: Failed, with the
    // reason, for anything read() would refuse, or a lock file beside it that
    // the game may not trust. Nothing is made in the folder before this passed.
    ReadResult judge(qint64 maxBytes, QString& reason);

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
    LockResult lock(std::chrono::milliseconds bound, QString& reason);

    // Reads the whole regular file of at most maxBytes bytes.
    ReadResult read(qint64 maxBytes, QByteArray& content, QString& reason);

    // Removes the temporary files of this file's naming beside it that a game
    // killed while writing left there (no other file's). Only under the lock
    // (no game of ours is writing this file then); in a sticky folder only the
    // user's own. False, with the reason, when one could not be removed.
    bool removeLeftovers(QString& reason);

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
    // file part old, part new.
    //
    // On Written, reason may hold a remark worth reporting (a leftover that
    // could not be removed).
    WriteResult replace(const QByteArray& content, qint64 maxBytes, QString& reason);

  private:
    struct State;
    std::unique_ptr<State> d_;
};

// For tests only: called between the check of the old file and its replacement,
// and when the lock is found taken by another process. failStep is asked before
// each system call that one of the steps below makes, with the step's name; a
// non-zero answer makes that call fail with that errno.
namespace test_hooks {
inline constexpr char kReadFile[] = "read file";  // read() of the file
inline constexpr char kLock[] = "lock";           // flock() of the lock file
inline constexpr char kCreateTemporary[] = "create temporary";
inline constexpr char kWrite[] = "write";                   // write() of new content
inline constexpr char kSync[] = "sync";                     // fsync() of new content
inline constexpr char kCopyAttribute[] = "copy attribute";  // fsetxattr() of an ACL or attribute
inline constexpr char kDropAttribute[] = "drop attribute";  // fremovexattr() of an inherited ACL
inline constexpr char kOpenLock[] = "open lock";            // openat() of the lock file
inline constexpr char kSwap[] = "swap";                     // the swap that puts new content in
inline constexpr char kCheckSwappedOut[] = "check swapped out";
inline constexpr char kSwapBack[] = "swap back";
inline constexpr char kRemove[] = "remove";  // unlinkat() of a temporary file

extern std::function<void()> beforeReplace;
extern std::function<void()> lockTaken;
extern std::function<int(const char* step)> failStep;
}  // namespace test_hooks

}  // namespace quorvel::settings
