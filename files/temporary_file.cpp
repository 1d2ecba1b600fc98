#include "files/temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <limits.h>

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>

#include "files/fault_hooks.h"

namespace quorvel::files::detail {

namespace {

constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kSuffixLength = 8;

// What every temporary file of the settings file `of` begins with; short
// enough for a name in the folder (NAME_MAX) with the suffix.
QByteArray prefixOf(const QByteArray& of) {
    const QByteArray mark = ".quorvel-";
    const QByteArray whole = '.' + of + mark;
    if (whole.size() + kSuffixLength <= NAME_MAX) {
        return whole;
    }
    const QByteArray hash = QCryptographicHash::hash(of, QCryptographicHash::Sha256).toHex();
    const qsizetype kept = NAME_MAX - kSuffixLength - 2 - 8 - mark.size();
    return '.' + of.left(kept) + '~' + hash.left(8) + mark;
}

}  // namespace

bool isTemporaryOf(const QByteArray& of, const QByteArray& entry) {
    const QByteArray prefix = prefixOf(of);
    return entry.size() == prefix.size() + kSuffixLength && entry.startsWith(prefix) &&
           std::all_of(entry.begin() + prefix.size(), entry.end(), [](char c) {
               return std::find(std::begin(kDigits), std::end(kDigits) - 1, c) !=
                      std::end(kDigits) - 1;
           });
}

Created createTemporary(int folder, const QByteArray& of, mode_t mode) {
    Temporary temp;
    const QByteArray prefix = prefixOf(of);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name = prefix;
        for (int i = 0; i < kSuffixLength; ++i) {
            temp.name += kDigits[QRandomGenerator::global()->bounded(36)];
        }
        temp.fd.reset(step(test_hooks::kCreateTemporary, [&] {
            return ::openat(folder, temp.name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        }));
        if (temp.fd || errno != EEXIST) {
            break;
        }
    }
    if (!temp.fd) {
        const int error = errno;
        return {Did::Failed, callFailed(test_hooks::kCreateTemporary, error), {}, error};
    }
    return {Did::Done, {}, std::move(temp)};
}

Done discard(int folder, const QByteArray& temp) {
    if (step(test_hooks::kRemove, [&] { return ::unlinkat(folder, temp.constData(), 0); }) == 0 ||
        errno == ENOENT) {
        return done();
    }
    return failed(QStringLiteral("the temporary file %1 could not be removed (%2)")
                      .arg(QFile::decodeName(temp), callFailed(test_hooks::kRemove, errno)));
}

Outcome<Wrote> writeWhole(int fd, const QByteArray& content) {
    using namespace test_hooks;
    for (qint64 done = 0; done < content.size();) {
        const ssize_t written = retried(kWrite, [&] {
            return ::pwrite(fd, content.constData() + done, content.size() - done, done);
        });
        if (written <= 0) {
            return {Wrote::Partly, callFailed(kWrite, written < 0 ? errno : ENOSPC)};
        }
        done += written;
    }
    if (step(kTruncate, [&] { return ::ftruncate(fd, content.size()); }) != 0) {
        return {Wrote::Partly, callFailed(kTruncate, errno)};
    }
    if (step(kSync, [&] { return ::fsync(fd); }) != 0) {
        return {Wrote::NotSynced, callFailed(kSync, errno)};
    }
    return {Wrote::Synced};
}

}  // namespace quorvel::files::detail
