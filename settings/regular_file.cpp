// FileAtPath where the system has descriptors: the steps of one
// read-merge-write in their order, each a stage that the next one needs.
// Trusting the path (trusted_path), the read (read_snapshot), the lock and its
// sweep (file_lock) and the replacement (replacement) each live in a file of
// their own; this one only holds them together.
#include "settings/regular_file.h"

#include <algorithm>
#include <cerrno>

#include "settings/file_lock.h"
#include "settings/file_steps.h"
#include "settings/read_snapshot.h"
#include "settings/replacement.h"
#include "settings/trusted_path.h"

namespace quorvel::settings {

using namespace detail;

// How far the steps have come: resolve() makes the folder known, judge() says
// that the file and its lock file may be used (only then is anything made in
// the folder), lock() holds the lock (a read alone goes without it), read()
// takes the snapshot that replace() may write over.
enum class Stage { Unresolved, Resolved, Judged, Read };

struct FileAtPath::State {
    QByteArray path;
    Stage stage = Stage::Unresolved;
    ResolvedPath at;
    HeldLock lock;
    ReadSnapshot snapshot;
};

FileAtPath::FileAtPath(QByteArray path) : d_(std::make_unique<State>()) {
    d_->path = std::move(path);
}

FileAtPath::~FileAtPath() = default;

ReadResult FileAtPath::resolve(QString& reason) {
    const ReadResult result = resolvePath(d_->path, d_->at, reason);
    d_->stage = result == ReadResult::Read ? Stage::Resolved : Stage::Unresolved;
    return result;
}

const QByteArray& FileAtPath::folderPath() const {
    return d_->at.folderPath;
}

int FileAtPath::folderDescriptor() const {
    return d_->at.folder.get();
}

bool FileAtPath::makeFolder(QString& reason) {
    return makeFolders(d_->at.folderPath, reason);
}

ReadResult FileAtPath::judge(qint64 maxBytes, QString& reason) {
    if (d_->stage == Stage::Unresolved) {
        reason = systemReason(EBADF);
        return ReadResult::Failed;
    }
    const int folder = d_->at.folder.get();
    if (!judgeName(folder, d_->at.name, maxBytes, reason) ||
        !lockFileTrusted(folder, d_->at.name, reason)) {
        return ReadResult::Failed;
    }
    d_->stage = std::max(d_->stage, Stage::Judged);
    return ReadResult::Read;
}

LockResult FileAtPath::lock(std::chrono::milliseconds bound, QString& reason) {
    if (d_->stage < Stage::Judged) {
        reason = systemReason(EBADF);
        return LockResult::Refused;
    }
    return takeLock(d_->at.folder.get(), d_->at.name, bound, d_->lock, reason);
}

ReadResult FileAtPath::read(qint64 maxBytes, QByteArray& content, QString& reason) {
    const ReadResult result =
        d_->snapshot.take(d_->at.folder.get(), d_->at.name, maxBytes, content, reason);
    if (d_->stage != Stage::Unresolved) {
        d_->stage = result == ReadResult::Failed ? std::min(d_->stage, Stage::Judged) : Stage::Read;
    }
    return result;
}

bool FileAtPath::removeLeftovers(QString& reason) {
    // Only the lock's holder knows that no game of ours is writing now.
    return !d_->lock.fd || sweepLeftovers(d_->at.folder.get(), d_->at.name, reason);
}

WriteResult FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    if (d_->stage == Stage::Unresolved) {
        reason = systemReason(EBADF);
        return WriteResult::Failed;
    }
    // The file that is its own lock stays the same file: swapping another in
    // would leave a waiting game locking the one swapped out.
    const Way way = d_->lock.on == LockOn::TheFile ? Way::InPlace : Way::Replace;
    return replaceFile({d_->at.folder.get(), d_->at.name, d_->snapshot, way}, content, maxBytes,
                       reason);
}

}  // namespace quorvel::settings
