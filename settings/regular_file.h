#pragma once
// The settings file's path may name anything a user, a dotfile manager or
// another user with write access to the folder puts there: a FIFO, a device, a
// socket or a directory, directly or through symlinks, and it may change while
// the game works on it. Only a regular file of bounded size is ever read or
// replaced, nothing that could block is ever opened, and what is checked is
// what is written: the path is resolved once, to a folder that is held open and
// a name in it, and everything after that works relative to that folder.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace quorvel::settings {

// Missing gives the system's reason too, so the caller can report it if it has to.
enum class ReadResult { Read, Missing, Failed };

// The file at one path (the system's bytes) for one read, or for one
// read-merge-write.
class FileAtPath {
  public:
    explicit FileAtPath(QByteArray path);
    ~FileAtPath();
    FileAtPath(const FileAtPath&) = delete;
    FileAtPath& operator=(const FileAtPath&) = delete;

    // Follows the path's symlinks to a folder and a name, and opens the folder.
    // Missing when the folder is not there; Failed for a loop of links.
    ReadResult resolve(QString& reason);

    // Takes the advisory lock beside the file (its name with ".lock"), which
    // every game of ours takes for its read-merge-write, waiting at most `bound`
    // for another game to finish. The lock goes with this object. False, with
    // the reason, when the lock could not be had.
    bool lock(std::chrono::milliseconds bound, QString& reason);

    // Reads the whole regular file of at most maxBytes bytes.
    ReadResult read(qint64 maxBytes, QByteArray& content, QString& reason);

    // Puts content in the file's place atomically: a temporary file in the same
    // folder, given the old file's owner, group, mode, ACL and extended
    // attributes as far as the process may set them, written and synced, then
    // swapped in. Only the file that was checked (and read, if it was) is ever
    // replaced; when something else took its place meanwhile, what is there
    // stays, and the write is given up. Refuses anything but a regular file
    // within maxBytes, and content above it.
    bool replace(const QByteArray& content, qint64 maxBytes, QString& reason);

  private:
    struct State;
    std::unique_ptr<State> d_;
};

// For tests only: called between the check of the old file and its replacement,
// and when the lock is found taken by another process.
namespace test_hooks {
extern std::function<void()> beforeReplace;
extern std::function<void()> lockTaken;
}  // namespace test_hooks

}  // namespace quorvel::settings
