#include "settings/temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <limits.h>

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>

#include "settings/file_steps.h"

namespace quorvel::settings::detail {

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

Temporary createTemporary(int folder, const QByteArray& of, mode_t mode) {
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
    return temp;
}

bool discard(int folder, const QByteArray& temp, QString& reason) {
    if (step(test_hooks::kRemove, [&] { return ::unlinkat(folder, temp.constData(), 0); }) == 0 ||
        errno == ENOENT) {
        return true;
    }
    const QString why = QStringLiteral("the temporary file %1 could not be removed: %2")
                            .arg(QFile::decodeName(temp), systemReason(errno));
    reason = reason.isEmpty() ? why : reason + QStringLiteral("; ") + why;
    return false;
}

bool writeWhole(int fd, const QByteArray& content, QString& reason) {
    for (qint64 done = 0; done < content.size();) {
        const ssize_t written = retried(test_hooks::kWrite, [&] {
            return ::pwrite(fd, content.constData() + done, content.size() - done, done);
        });
        if (written <= 0) {
            reason = systemReason(written < 0 ? errno : ENOSPC);
            return false;
        }
        done += written;
    }
    if (::ftruncate(fd, content.size()) != 0 ||
        step(test_hooks::kSync, [&] { return ::fsync(fd); }) != 0) {
        reason = systemReason(errno);
        return false;
    }
    return true;
}

}  // namespace quorvel::settings::detail
