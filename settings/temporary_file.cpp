#include "settings/temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>

#include "settings/file_steps.h"

namespace quorvel::settings::detail {

Temporary createTemporary(int folder, mode_t mode) {
    Temporary temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name =
            kLeftoverPrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
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
        const ssize_t written = step(test_hooks::kWrite, [&] {
            return ::pwrite(fd, content.constData() + done, content.size() - done, done);
        });
        if (written < 0 && errno == EINTR) {
            continue;
        }
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
