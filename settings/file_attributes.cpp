#include "settings/file_attributes.h"

#include <unistd.h>
#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

#include <QByteArray>
#include <QByteArrayList>
#include <algorithm>
#include <cerrno>

#include "settings/file_steps.h"

namespace quorvel::settings::detail {

namespace {

#ifdef Q_OS_LINUX
// What must be copied exactly for the new file to be no more open than the old
// one (its ACL) or to keep what the user put on it. Another user's security or
// trusted attributes, which the process may not set, are left as the new file
// has them.
bool mustCopy(const QByteArray& name, int error) {
    const bool others = name.startsWith("security.") || name.startsWith("trusted.");
    return !others || (error != EPERM && error != EACCES && error != ENOTSUP);
}

constexpr char kAccessAcl[] = "system.posix_acl_access";

// The names of from's extended attributes; false when they cannot be listed.
bool listAttributes(int from, QByteArrayList& names) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) {
        return size == 0 || errno == ENOTSUP;
    }
    QByteArray all(size, '\0');
    const ssize_t listed = ::flistxattr(from, all.data(), static_cast<size_t>(size));
    if (listed < 0) {
        return false;
    }
    all.truncate(listed);
    for (const QByteArray& name : all.split('\0')) {
        if (!name.isEmpty()) {
            names.append(name);
        }
    }
    return true;
}

// POSIX ACLs are extended attributes too (system.posix_acl_access), so this
// copies them with the rest. A new file also gets an ACL from its folder's
// default ACL: when the old file has none, that one is removed, so the new
// file's ACL is exactly the old one's. False, with the reason, when one that
// must be copied could not be, or the inherited ACL could not be removed.
bool copyExtendedAttributes(int from, int to, QString& reason) {
    const auto failed = [&reason](const QByteArray& name) {
        reason = QStringLiteral(
                     "cannot copy the extended attribute %1 (the ACL is one) of the "
                     "old file: %2")
                     .arg(QString::fromLatin1(name), systemReason(errno));
        return false;
    };
    QByteArrayList names;
    if (!listAttributes(from, names)) {
        return failed("list");
    }
    for (const QByteArray& name : names) {
        QByteArray value(std::max<ssize_t>(0, ::fgetxattr(from, name.constData(), nullptr, 0)),
                         '\0');
        const ssize_t got = ::fgetxattr(from, name.constData(), value.data(), value.size());
        if (got < 0) {
            return failed(name);
        }
        const int set = step(test_hooks::kCopyAttribute, [&] {
            return ::fsetxattr(to, name.constData(), value.constData(), static_cast<size_t>(got),
                               0);
        });
        if (set != 0 && mustCopy(name, errno)) {
            return failed(name);
        }
    }
    if (!names.contains(kAccessAcl) &&
        step(test_hooks::kDropAttribute, [&] { return ::fremovexattr(to, kAccessAcl); }) != 0 &&
        errno != ENODATA && errno != ENOTSUP) {
        reason = QStringLiteral(
                     "cannot remove the ACL that the new file took from its folder's default "
                     "ACL, which the old file did not have: %1")
                     .arg(systemReason(errno));
        return false;
    }
    return true;
}
#endif

}  // namespace

Copy copyAttributes(int from, const struct stat& old, int to, QString& reason) {
    if (::fchown(to, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(to, static_cast<uid_t>(-1), old.st_gid);
    }
    struct stat now {};
    if (::fstat(to, &now) != 0 || now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        return Copy::OwnerDiffers;
    }
    // After the owner, since changing the owner clears the set-ID bits; before
    // the ACL, whose mask then sets the group bits as the old file had them.
    if (::fchmod(to, old.st_mode & 07777) != 0) {
        reason = QStringLiteral("cannot give the new file the old one's mode: %1")
                     .arg(systemReason(errno));
        return Copy::Failed;
    }
#ifdef Q_OS_LINUX
    if (!copyExtendedAttributes(from, to, reason)) {
        return Copy::Failed;
    }
#else
    (void)from;
#endif
    return Copy::Done;
}

}  // namespace quorvel::settings::detail
