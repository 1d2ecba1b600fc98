#include "files/read_snapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/fault_hooks.h"
#include "files/trusted_path.h"

namespace quorvel::files::detail {

namespace {

Version versionOf(const struct stat& status) {
#ifdef Q_OS_DARWIN
    return {{status.st_dev, status.st_ino}, status.st_size, status.st_ctimespec};
#else
    return {{status.st_dev, status.st_ino}, status.st_size, status.st_ctim};
#endif
}

bool sameContent(const Version& a, const Version& b) {
    return a.identity == b.identity && a.size == b.size && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
}

// Reads at most maxBytes + 1 bytes, so a file that grew past the bound since it
// was looked at still costs no more than that. `expected` is its size as last
// seen. A read interrupted is made again.
ReadOutcome readBounded(int fd, qint64 expected, qint64 maxBytes) {
    QByteArray content(std::min(expected, maxBytes) + 1, '\0');
    qint64 done = 0;
    for (;;) {
        if (done == content.size() && done <= maxBytes) {
            content.resize(std::min(2 * done, maxBytes + 1));
        }
        const ssize_t got = retried(test_hooks::kReadFile, [&] {
            return ::read(fd, content.data() + done, content.size() - done);
        });
        if (got < 0) {
            return {ReadResult::Failed, callFailed(test_hooks::kReadFile, errno)};
        }
        done += got;
        if (got == 0 || done > maxBytes) {
            break;
        }
    }
    if (done > maxBytes) {
        return {ReadResult::Failed, tooLarge(maxBytes)};
    }
    content.truncate(done);
    return {ReadResult::Read, {}, content};
}

}  // namespace

ReadOutcome ReadSnapshot::take(int folder, const QByteArray& name, qint64 maxBytes) {
    version_.reset();
    content_.clear();
    taken_ = false;
    OpenedFile file = openChecked(folder, name, maxBytes);
    if (file.result != ReadResult::Read) {
        taken_ = file.result == ReadResult::Missing;
        return {file.result, file.reason};
    }
    ReadOutcome read = readBounded(file.fd.get(), file.status.st_size, maxBytes);
    if (read.result == ReadResult::Read) {
        version_ = versionOf(file.status);
        content_ = read.value;
        taken_ = true;
    }
    return read;
}

bool ReadSnapshot::unchanged(const struct stat* now, Match match) const {
    if (!taken_ || (now == nullptr) != !version_) {
        return false;
    }
    if (now == nullptr) {
        return true;
    }
    const Version seen = versionOf(*now);
    return match == Match::SameFile ? seen.identity == version_->identity
                                    : sameContent(seen, *version_);
}

Outcome<Check> ReadSnapshot::atName(int folder, const QByteArray& name) const {
    struct stat now {};
    const bool found = step(test_hooks::kLookAtName, [&] {
                           return ::fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW);
                       }) == 0;
    if (!found && errno != ENOENT) {
        return {Check::Unknown, callFailed(test_hooks::kLookAtName, errno)};
    }
    if (!unchanged(found ? &now : nullptr)) {
        return {Check::Changed, changedMeanwhile()};
    }
    return {Check::Unchanged};
}

}  // namespace quorvel::files::detail
