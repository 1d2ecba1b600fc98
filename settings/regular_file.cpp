// FileAtPath where the system has descriptors: the steps of one
// read-merge-write in their order, each a stage that the next one needs.
// Trusting the path (trusted_path), the read (read_snapshot), the lock and its
// sweep (file_lock) and the replacement (replacement) each live in a file of
// their own; this one only holds them together.
#include "settings/regular_file.h"

#include <cerrno>

#include "settings/file_lock.h"
#include "settings/file_steps.h"
#include "settings/read_snapshot.h"
#include "settings/replacement.h"
#include "settings/trusted_path.h"

namespace quorvel::settings {

using namespace detail;

// How far the steps have come: resolve() makes the folder known, lock() holds
// the lock (a read alone goes without it), read() takes the snapshot that
// replace() may write over.
enum class Stage { Unresolved, Resolved, Read };

struct FileAtPath::State {
    QByteArray path;
    Stage stage = Stage::Unresolved;
    ResolvedPath at;
    Descriptor lock;
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

bool FileAtPath::lock(std::chrono::milliseconds bound, QString& reason) {
    return takeLock(d_->at.folder.get(), d_->at.name, bound, d_->lock, reason);
}

ReadResult FileAtPath::read(qint64 maxBytes, QByteArray& content, QString& reason) {
    const ReadResult result =
        d_->snapshot.take(d_->at.folder.get(), d_->at.name, maxBytes, content, reason);
    if (d_->stage != Stage::Unresolved) {
        d_->stage = result == ReadResult::Failed ? Stage::Resolved : Stage::Read;
    }
    return result;
}

bool FileAtPath::removeLeftovers(QString& reason) {
    // Only the lock's holder knows that no game of ours is writing now.
    return !d_->lock || sweepLeftovers(d_->at.folder.get(), reason);
}

WriteResult FileAtPath::replace(const QByteArray& content, qint64 maxBytes, QString& reason) {
    if (d_->stage == Stage::Unresolved) {
        reason = systemReason(EBADF);
        return WriteResult::Failed;
    }
    return replaceFile({d_->at.folder.get(), d_->at.name, d_->snapshot}, content, maxBytes, reason);
}

}  // namespace quorvel::settings
