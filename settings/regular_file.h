#pragma once
// The settings file's path may name anything a user or a dotfile manager puts
// there: a FIFO, a device, a socket or a directory, directly or through
// symlinks. Only a regular file of bounded size is ever read or replaced, and
// nothing that could block is ever opened: the kind is looked at first, and
// the descriptor that is opened is looked at again.

#include <QByteArray>
#include <QString>

namespace quorvel::settings {

// What a path names once its symlinks are followed.
struct PathState {
    enum class Kind {
        Missing,  // nothing (a dangling symlink included): the file may be created
        Regular,  // a regular file within the bound
        Refused,  // anything else, or a file above the bound; reason says which
    };
    Kind kind = Kind::Missing;
    QString reason;
    // For a regular file: what a rewrite gives the new file (POSIX only).
    unsigned owner = 0;
    unsigned group = 0;
    unsigned mode = 0;
};

PathState inspectPath(const QString& path, qint64 maxBytes);

// Reads the whole of a regular file of at most maxBytes bytes. Missing gives the
// system's reason too, so the caller can report it if it has to.
enum class ReadResult { Read, Missing, Failed };
ReadResult readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content,
                           QString& reason);

// Whether the process may write the existing file at path; the system's reason
// when it may not.
bool mayWrite(const QString& path, QString& reason);

// Gives the open file handle the owner, group and mode of old, as far as the
// process is allowed to set them: without the right to give a file away, the
// group alone is tried, and what cannot be set is left as it is. Does nothing
// where the system has no such attributes.
void keepOwnership(int handle, const PathState& old);

}  // namespace quorvel::settings
