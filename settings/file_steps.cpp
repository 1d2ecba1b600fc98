#include "settings/file_steps.h"

#include <system_error>

namespace quorvel::settings {

namespace test_hooks {
std::function<void()> beforeReplace;
std::function<void()> lockTaken;
std::function<int(const char*)> failStep;
}  // namespace test_hooks

namespace detail {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
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

}  // namespace detail

}  // namespace quorvel::settings
