// FileAtPath where the system has descriptors: the steps of one
// read-merge-write in their order, each a stage that the next one needs.
// Trusting the path (trusted_path), the read (read_snapshot), the lock and its
// sweep (file_lock) and the replacement (replacement) each live in a file of
// their own; this one only holds them together.
#include "files/regular_file.h"

#include <algorithm>
#include <cerrno>

#include "files/file_lock.h"
#include "files/read_snapshot.h"
#include "files/replacement.h"
#include "files/trusted_path.h"

namespace quorvel::files {

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

Outcome<Reach> FileAtPath::resolve() {
    auto resolved = resolvePath(d_->path);
    d_->at = std::move(resolved.value);
    d_->stage = resolved.result == Reach::Reached ? Stage::Resolved : Stage::Unresolved;
    return {resolved.result, resolved.reason};
}

const QByteArray& FileAtPath::folderPath() const {
    return d_->at.folderPath;
}

int FileAtPath::folderDescriptor() const {
    return d_->at.folder.get();
}

Done FileAtPath::makeFolder() {
    return makeFolders(d_->at.folderPath);
}

Outcome<Verdict> FileAtPath::judge(qint64 maxBytes) {
    if (d_->stage == Stage::Unresolved) {
        return {Verdict::Refused, systemReason(EBADF)};
    }
    const int folder = d_->at.folder.get();
    auto verdict = judgeName(folder, d_->at.name, maxBytes);
    if (verdict.result == Verdict::Usable) {
        verdict = judgeLockFile(folder, d_->at.name);
    }
    if (verdict.result == Verdict::Usable) {
        d_->stage = std::max(d_->stage, Stage::Judged);
    }
    return verdict;
}

Outcome<LockResult> FileAtPath::lock(std::chrono::milliseconds bound) {
    if (d_->stage < Stage::Judged) {
        return {LockResult::Refused, systemReason(EBADF)};
    }
    auto taken = takeLock(d_->at.folder.get(), d_->at.name, bound);
    d_->lock = std::move(taken.value);
    return {taken.result, taken.reason};
}

ReadOutcome FileAtPath::read(qint64 maxBytes) {
    ReadOutcome read = d_->snapshot.take(d_->at.folder.get(), d_->at.name, maxBytes);
    if (d_->stage != Stage::Unresolved) {
        d_->stage =
            read.result == ReadResult::Failed ? std::min(d_->stage, Stage::Judged) : Stage::Read;
    }
    return read;
}

Done FileAtPath::removeLeftovers() {
    // Only the lock's holder knows that no game of ours is writing now; a
    // folder that may not be read shows no leftovers.
    return d_->lock.fd && d_->at.readable ? sweepLeftovers(d_->at.folder.get(), d_->at.name)
                                          : done();
}

Outcome<WriteResult> FileAtPath::replace(const QByteArray& content, qint64 maxBytes) {
    if (d_->stage == Stage::Unresolved) {
        return {WriteResult::Failed, systemReason(EBADF)};
    }
    // The file that is its own lock stays the same file: swapping another in
    // would leave a waiting game locking the one swapped out.
    const Way way = d_->lock.on == LockOn::TheFile ? Way::InPlace : Way::Replace;
    return replaceFile({d_->at.folder.get(), d_->at.name, d_->snapshot, way, d_->at.readable},
                       content, maxBytes);
}

}  // namespace quorvel::files
