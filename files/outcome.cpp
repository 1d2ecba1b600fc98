// The words that the steps' outcomes share.
#include "files/outcome.h"

#include <system_error>

namespace quorvel::files {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

QString callFailed(const QString& what, int error) {
    return QStringLiteral("%1: %2").arg(what, systemReason(error));
}

QString bothSaid(const QString& first, const QString& second) {
    return first.isEmpty()    ? second
           : second.isEmpty() ? first
                              : first + QStringLiteral("; ") + second;
}

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
}

QString wouldBeTooLarge(qint64 maxBytes) {
    return QStringLiteral("it would be larger than %1 bytes").arg(maxBytes);
}

QString changedMeanwhile() {
    return QStringLiteral(
        "it was changed or another file was put in its place while it was written");
}

}  // namespace quorvel::files
