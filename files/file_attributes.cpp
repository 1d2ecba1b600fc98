#include "files/file_attributes.h"

#include <unistd.h>
#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

#include <QByteArray>
#include <QByteArrayList>
#include <algorithm>
#include <cerrno>

#include "files/fault_hooks.h"

namespace quorvel::files::detail {

namespace {

using namespace test_hooks;

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

// The names of from's extended attributes (none where the file system has none).
Outcome<Did, QByteArrayList> listAttributes(int from) {
    const auto failure = [] {
        return Outcome<Did, QByteArrayList>{Did::Failed, callFailed(kListAttributes, errno)};
    };
    const ssize_t size = step(kListAttributes, [&] { return ::flistxattr(from, nullptr, 0); });
    if (size <= 0) {
        return size == 0 || errno == ENOTSUP ? Outcome<Did, QByteArrayList>{Did::Done} : failure();
    }
    QByteArray all(size, '\0');
    const ssize_t listed = step(
        kListAttributes, [&] { return ::flistxattr(from, all.data(), static_cast<size_t>(size)); });
    if (listed < 0) {
        return failure();
    }
    all.truncate(listed);
    QByteArrayList names;
    for (const QByteArray& name : all.split('\0')) {
        if (!name.isEmpty()) {
            names.append(name);
        }
    }
    return {Did::Done, {}, names};
}

Done copyAttribute(int from, int to, const QByteArray& name) {
    const auto failure = [&name](const char* what) {
        return failed(
            QStringLiteral("%1 (%2)").arg(callFailed(what, errno), QString::fromLatin1(name)));
    };
    const ssize_t size =
        step(kGetAttribute, [&] { return ::fgetxattr(from, name.constData(), nullptr, 0); });
    if (size < 0) {
        return failure(kGetAttribute);
    }
    QByteArray value(size, '\0');
    const ssize_t got = step(kGetAttribute, [&] {
        return ::fgetxattr(from, name.constData(), value.data(), value.size());
    });
    if (got < 0) {
        return failure(kGetAttribute);
    }
    const int set = step(kCopyAttribute, [&] {
        return ::fsetxattr(to, name.constData(), value.constData(), static_cast<size_t>(got), 0);
    });
    return set != 0 && mustCopy(name, errno) ? failure(kCopyAttribute) : done();
}

// POSIX ACLs are extended attributes too (system.posix_acl_access), so this
// copies them with the rest. A new file also gets an ACL from its folder's
// default ACL: when the old file has none, that one is removed, so the new
// file's ACL is exactly the old one's.
Done copyExtendedAttributes(int from, int to) {
    const auto names = listAttributes(from);
    if (names.result != Did::Done) {
        return failed(names.reason);
    }
    for (const QByteArray& name : names.value) {
        if (Done copied = copyAttribute(from, to, name); copied.result != Did::Done) {
            return copied;
        }
    }
    if (!names.value.contains(kAccessAcl) &&
        step(kDropAttribute, [&] { return ::fremovexattr(to, kAccessAcl); }) != 0 &&
        errno != ENODATA && errno != ENOTSUP) {
        return failed(callFailed(kDropAttribute, errno));
    }
    return done();
}
#endif

}  // namespace

Outcome<Copy> copyAttributes(int from, const struct stat& old, int to) {
    if (step(kChangeOwner, [&] { return ::fchown(to, old.st_uid, old.st_gid); }) != 0) {
        [[maybe_unused]] const int groupOnly =
            step(kChangeGroup, [&] { return ::fchown(to, static_cast<uid_t>(-1), old.st_gid); });
    }
    struct stat now {};
    if (step(kCheckTemporary, [&] { return ::fstat(to, &now); }) != 0) {
        return {Copy::Failed, callFailed(kCheckTemporary, errno)};
    }
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        return {Copy::OwnerDiffers};
    }
    // After the owner, since changing the owner clears the set-ID bits; before
    // the ACL, whose mask then sets the group bits as the old file had them.
    if (step(kChangeMode, [&] { return ::fchmod(to, old.st_mode & 07777); }) != 0) {
        return {Copy::Failed, callFailed(kChangeMode, errno)};
    }
#ifdef Q_OS_LINUX
    if (Done copied = copyExtendedAttributes(from, to); copied.result != Did::Done) {
        return {Copy::Failed, copied.reason};
    }
#else
    (void)from;
#endif
    return {Copy::Done};
}

}  // namespace quorvel::files::detail
