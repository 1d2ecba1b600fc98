#include "settings/read_snapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "settings/file_steps.h"
#include "settings/trusted_path.h"

namespace quorvel::settings::detail {

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
// was looked at still costs no more than that. `expected` is its size as last seen.
bool readBounded(int fd, qint64 expected, qint64 maxBytes, QByteArray& content, QString& reason) {
    content.resize(std::min(expected, maxBytes) + 1);
    qint64 done = 0;
    for (;;) {
        if (done == content.size() && done <= maxBytes) {
            content.resize(std::min(2 * done, maxBytes + 1));
        }
        const ssize_t got = retried(test_hooks::kReadFile, [&] {
            return ::read(fd, content.data() + done, content.size() - done);
        });
        if (got < 0) {
            reason = systemReason(errno);
            content.clear();
            return false;
        }
        done += got;
        if (got == 0 || done > maxBytes) {
            break;
        }
    }
    content.truncate(done);
    if (done > maxBytes) {
        reason = tooLarge(maxBytes);
        content.clear();
        return false;
    }
    return true;
}

}  // namespace

ReadResult ReadSnapshot::take(int folder, const QByteArray& name, qint64 maxBytes,
                              QByteArray& content, QString& reason) {
    version_.reset();
    content_.clear();
    taken_ = false;
    const OpenedFile file = openChecked(folder, name, maxBytes, reason);
    if (file.result != ReadResult::Read) {
        taken_ = file.result == ReadResult::Missing;
        return file.result;
    }
    if (!readBounded(file.fd.get(), file.status.st_size, maxBytes, content, reason)) {
        return ReadResult::Failed;
    }
    version_ = versionOf(file.status);
    content_ = content;
    taken_ = true;
    return ReadResult::Read;
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

Check ReadSnapshot::atName(int folder, const QByteArray& name, QString& reason) const {
    struct stat now {};
    const bool found = ::fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (!found && errno != ENOENT) {
        reason = systemReason(errno);
        return Check::Unknown;
    }
    if (!unchanged(found ? &now : nullptr)) {
        reason = changedMeanwhile();
        return Check::Changed;
    }
    return Check::Unchanged;
}

}  // namespace quorvel::settings::detail
