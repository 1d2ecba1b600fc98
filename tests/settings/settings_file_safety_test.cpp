// What the settings path may name besides a regular file, the size bound,
// owners and modes kept by a rewrite, and reasons that name the system's cause.

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "files/fault_hooks.h"
#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/files.h"
#include "tests/support/settings_folder.h"

namespace quorvel::settings {
namespace test_hooks = files::test_hooks;
namespace {

const QByteArray kStored =
    "[Editor]\r\nFont=x\r\n[Quorvel]\r\nDifficulty=3\r\nSize=8\r\nMines=9\r\n";
// Side 6: neither kStored's 8 nor the defaults' 4.
const StoredSettings kValues{core::Level::Custom,   6,         21,
                             core::FaceSet::Yellow, QPointF(), BestTimes()};

using support::inChild;
using support::readBytes;
using support::writeBytes;

SettingsFile reportingTo(const QString& path, QStringList& reports) {
    return SettingsFile(path, [&reports](const QString& message) { reports.append(message); });
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// The kind of the path itself (a symlink stays one) and of what it names.
std::pair<mode_t, mode_t> kindsOf(const QString& path) {
    struct stat link {};
    ::lstat(QFile::encodeName(path).constData(), &link);
    return {link.st_mode & S_IFMT, statusOf(path).st_mode & S_IFMT};
}

bool makeNode(const QString& path, mode_t kind, dev_t device = 0) {
    return ::mknod(QFile::encodeName(path).constData(), kind | 0666, device) == 0;
}

struct PathCase {
    const char* name;
    // Puts the thing at dir/winmine.ini; false when this process may not.
    std::function<bool(const QString& dir, const QString& path)> make;
    int sizeRead;        // 8 from kStored; 4 from the defaults
    const char* reason;  // in the one report; empty when read and written like a file
};

const PathCase kPathCases[] = {
    {"RegularFile", [](auto, auto path) { return writeBytes(path, kStored); }, 8, ""},
    {"SymlinkToRegularFile",
     [](auto dir, auto path) {
         return writeBytes(dir + "/real.ini", kStored) && QFile::link("real.ini", path);
     },
     8, ""},
    // The link is kept and its target created, as a dotfile manager expects.
    {"DanglingSymlink", [](auto, auto path) { return QFile::link("real.ini", path); }, 4, ""},
    {"SymlinkLoop", [](auto, auto path) { return QFile::link(kFileName, path); }, 4,
     "Too many levels of symbolic links"},
    {"Fifo", [](auto, auto path) { return makeNode(path, S_IFIFO); }, 4, "a FIFO"},
    {"Directory", [](auto, auto path) { return QDir().mkdir(path); }, 4, "a directory"},
    // The /dev/null of a dotfile setup; the write replaced it when run as root.
    {"SymlinkToCharacterDevice",
     [](auto dir, auto path) {
         return makeNode(dir + "/null", S_IFCHR, makedev(1, 3)) && QFile::link("null", path);
     },
     4, "a character device"},
};

class PathKindTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathKindTest, OnlyARegularFileIsReadOrReplaced) {
    const PathCase& kind = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(kFileName);
    if (!kind.make(dir.path(), path)) {
        GTEST_SKIP() << "this process may not make it: " << std::strerror(errno);
    }
    const auto kindsBefore = kindsOf(path);
    const bool usable = *kind.reason == '\0';
    QStringList reports;
    SettingsFile settings = reportingTo(path, reports);
    EXPECT_EQ(settings.load(0, 0).settings.side, kind.sizeRead);
    EXPECT_EQ(settings.save(kValues), usable);
    EXPECT_EQ(settings.save(kValues), usable);
    if (usable) {
        EXPECT_EQ(reports, QStringList{});
        EXPECT_EQ(kindsOf(path), std::make_pair(kindsBefore.first, mode_t{S_IFREG}));
        const QByteArray kept = kind.sizeRead == 8 ? "[Editor]\r\nFont=x\r\n" : "";
        EXPECT_EQ(readBytes(path), kept + writeSettings({}, kValues));
    } else {
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].contains(path) && reports[0].contains(kind.reason))
            << reports[0].toStdString();
        EXPECT_EQ(kindsOf(path), kindsBefore);
        // Refused before the lock: nothing is made beside it.
        EXPECT_EQ(QDir(dir.path()).entryList({"*.lock"}, QDir::AllEntries | QDir::Hidden),
                  QStringList{});
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PathKindTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Removes what is in folder, however deep or oddly named.
void removeAll(const QString& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString())) {
        std::filesystem::remove_all(entry.path());
    }
}

class SettingsFileSafetyTest : public support::SettingsFolderTest {};

// Another program's lines filling the file up to size bytes, our section last.
QByteArray fileOfSize(qint64 size) {
    const QByteArray start = "[Other]\r\nk=";
    return start + QByteArray(size - start.size() - kStored.size() - 2, 'x') + "\r\n" + kStored;
}

TEST_F(SettingsFileSafetyTest, FilesAboveTheBoundAreNeitherReadNorWritten) {
    const QByteArray atBound = fileOfSize(SettingsFile::kMaxFileBytes);
    ASSERT_TRUE(writeBytes(path(), atBound));
    QStringList reports;
    SettingsFile reader = reportingTo(path(), reports);
    EXPECT_EQ(reader.load(0, 0).settings.side, 8);
    // Our whole section is longer than the one read: the next start would refuse
    // the result, so it is not written.
    EXPECT_FALSE(reader.save(kValues));
    EXPECT_EQ(readBytes(path()), atBound);

    // A file that grew past the bound while the game ran was never seen whole:
    // it is not replaced, and a start leaves it alone too.
    ASSERT_TRUE(writeBytes(path(), kStored));
    SettingsFile running = reportingTo(path(), reports);
    running.load(0, 0);
    const QByteArray above = fileOfSize(SettingsFile::kMaxFileBytes + 1);
    ASSERT_TRUE(writeBytes(path(), above));
    EXPECT_FALSE(running.save(kValues));
    SettingsFile starter = reportingTo(path(), reports);
    EXPECT_EQ(starter.load(0, 0).settings.side, 4);
    EXPECT_FALSE(starter.save(kValues));
    EXPECT_EQ(readBytes(path()), above);
    ASSERT_EQ(reports.size(), 3);
    for (const QString& report : reports) {
        EXPECT_TRUE(report.contains("larger than 1048576 bytes")) << report.toStdString();
    }
}

TEST_F(SettingsFileSafetyTest, RewriteKeepsOwnerGroupModeAndOtherNames) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give files to other users";
    }
    const QByteArray name = QFile::encodeName(path());
    ASSERT_TRUE(writeBytes(path(), kStored));
    ASSERT_EQ(::chown(name.constData(), 5555, 8765) | ::chmod(name.constData(), 0444), 0);
    ASSERT_TRUE(SettingsFile(path()).save(kValues));
    EXPECT_EQ(statusOf(path()).st_uid, 5555u);
    EXPECT_EQ(statusOf(path()).st_gid, 8765u);
    EXPECT_EQ(statusOf(path()).st_mode & 07777, 0444u);

    // A member of the group may write the group-writable file but not give a
    // new one its owner: the file itself is written, and stays 5555's.
    ASSERT_EQ(
        ::chmod(name.constData(), 0664) | ::chmod(QFile::encodeName(dir_.path()).constData(), 0777),
        0);
    const ino_t inode = statusOf(path()).st_ino;
    const StoredSettings groupValues{core::Level::Expert,    4,         2,
                                     core::FaceSet::DarkRed, QPointF(), BestTimes()};
    const int code = inChild([this, &groupValues] {
        const gid_t groups[] = {8765};
        if (::setgroups(1, groups) != 0 || ::setgid(1111) != 0 || ::setuid(4321) != 0) {
            return 3;
        }
        return SettingsFile(path()).save(groupValues) ? 0 : 1;
    });
    ASSERT_EQ(code, 0);
    EXPECT_EQ(statusOf(path()).st_uid, 5555u);
    EXPECT_EQ(statusOf(path()).st_gid, 8765u);
    EXPECT_EQ(statusOf(path()).st_mode & 07777, 0664u);
    EXPECT_EQ(statusOf(path()).st_ino, inode);
    EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=x\r\n" + writeSettings({}, groupValues));

    // A second name of the file sees the new content too, in a folder that
    // only its owner may write (where nobody else could have made that name).
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    ASSERT_EQ(::link(name.constData(), QFile::encodeName(path("backup")).constData()), 0);
    ASSERT_TRUE(SettingsFile(path()).save(kValues));
    EXPECT_EQ(readBytes(path("backup")), readBytes(path()));
    EXPECT_TRUE(readBytes(path()).endsWith(writeSettings({}, kValues)));
}

// A size limit lets the first write through in part; the next one fails, and
// its reason is the one to report (a buffered write reported "Unknown error").
TEST_F(SettingsFileSafetyTest, ReportsGiveTheSystemsReason) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    const int code = inChild([this] {
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);
        QStringList reports;
        SettingsFile settings = reportingTo(path(), reports);
        settings.load(0, 0);
        return !settings.save(kValues) && reports.size() == 1 &&
                       reports[0].contains(std::strerror(EFBIG))
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(path()), kStored);

    ASSERT_TRUE(writeBytes(path("plain"), "not a directory"));
    QStringList reports;
    reportingTo(path("plain/sub/winmine.ini"), reports).load(0, 0);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(std::strerror(ENOTDIR))) << reports[0].toStdString();
}

// What a test hook does between the check of the old file and its rename, as
// another user with write access to the folder could.
class Meanwhile {
  public:
    explicit Meanwhile(std::function<void()> act) { test_hooks::beforeReplace = std::move(act); }
    ~Meanwhile() { test_hooks::beforeReplace = nullptr; }
};

TEST_F(SettingsFileSafetyTest, OnlyTheFileThatWasCheckedIsReplaced) {
    ASSERT_TRUE(writeBytes(path("real.ini"), kStored) && QFile::link("real.ini", path()));
    QStringList reports;
    SettingsFile settings = reportingTo(path(), reports);
    settings.load(0, 0);
    {
        // The checked file is renamed away and another put at its name: that one
        // stays, and this write is given up.
        const Meanwhile swap([this] {
            writeBytes(path("other.ini"), "other");
            ::rename(QFile::encodeName(path("other.ini")).constData(),
                     QFile::encodeName(path("real.ini")).constData());
        });
        EXPECT_FALSE(settings.save(kValues));
    }
    EXPECT_EQ(readBytes(path("real.ini")), "other");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("another file was put in its place"))
        << reports[0].toStdString();
    {
        // The link is turned to another file: the write still goes to the file
        // that was checked, and the other keeps its content and mode.
        ASSERT_TRUE(writeBytes(path("victim"), "secret"));
        ::chmod(QFile::encodeName(path("victim")).constData(), 0600);
        const Meanwhile swap([this] {
            QFile::link("victim", path("turned"));
            ::rename(QFile::encodeName(path("turned")).constData(),
                     QFile::encodeName(path()).constData());
        });
        EXPECT_TRUE(settings.save(kValues));
    }
    EXPECT_EQ(readBytes(path("victim")), "secret");
    EXPECT_EQ(statusOf(path("victim")).st_mode & 07777, 0600u);
    EXPECT_TRUE(readBytes(path("real.ini")).endsWith(writeSettings({}, kValues)));
    // No temporary file is left behind either time.
    EXPECT_EQ(QDir(dir_.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"real.ini", "real.ini.lock", "victim", "winmine.ini"}));
}

// In a folder where others may put things, the game goes no further than the
// system would in /tmp: a link there is followed only when it is the player's
// or the folder owner's (sticky or not, group or world), and where the sticky
// bit is set a file there that is someone else's is not used at all. What is
// refused gives the defaults, one report, and no write through it, nor a lock
// file beside it.
class SharedFolderTest : public support::OtherUsersFolderTest {
  protected:
    const QByteArray shared_ = QFile::encodeName(path("shared"));
    const QByteArray victim_ = "# the player's own file\r\n";
};

TEST_F(SharedFolderTest, LinksAreFollowedOnlyWhenThePlayersOrTheFolderOwners) {
    struct Case {
        mode_t folderMode;
        uid_t linkOwner;
        bool followed;
    };
    for (const Case& c : {Case{01777, ::geteuid(), true}, Case{01777, kFolderOwner, true},
                          Case{01777, kStranger, false}, Case{01770, kStranger, false},
                          Case{00777, kStranger, false}, Case{00770, kStranger, false},
                          Case{00755, kStranger, true}}) {
        SCOPED_TRACE(testing::Message()
                     << std::oct << c.folderMode << std::dec << " link of " << c.linkOwner);
        ASSERT_TRUE(writeBytes(path("bashrc"), victim_));
        QFile::remove(inShared_);
        QFile::remove(path("bashrc.lock"));
        ASSERT_EQ(::chmod(shared_.constData(), c.folderMode), 0);
        ASSERT_TRUE(QFile::link(path("bashrc"), inShared_));
        ASSERT_EQ(::lchown(QFile::encodeName(inShared_).constData(), c.linkOwner, c.linkOwner), 0);
        QStringList reports;
        SettingsFile settings = reportingTo(inShared_, reports);
        settings.load(0, 0);
        EXPECT_EQ(settings.save(kValues), c.followed);
        if (c.followed) {
            EXPECT_EQ(readBytes(path("bashrc")), victim_ + writeSettings({}, kValues));
            continue;
        }
        EXPECT_EQ(readBytes(path("bashrc")), victim_);
        EXPECT_FALSE(QFile::exists(path("bashrc.lock")));
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].contains("others may write")) << reports[0].toStdString();
    }

    // The same for a link to a folder on the way to the file.
    ASSERT_EQ(::chmod(shared_.constData(), 01777), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("elsewhere"));
    ASSERT_TRUE(writeBytes(path("elsewhere/winmine.ini"), victim_));
    ASSERT_TRUE(QFile::link(path("elsewhere"), path("shared/config")));
    ASSERT_EQ(::lchown(QFile::encodeName(path("shared/config")).constData(), kStranger, kStranger),
              0);
    QStringList reports;
    EXPECT_FALSE(reportingTo(path("shared/config/winmine.ini"), reports).save(kValues));
    EXPECT_EQ(readBytes(path("elsewhere/winmine.ini")), victim_);
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(SharedFolderTest, AStrangersFileIsNeitherReadNorWritten) {
    for (const uid_t owner : {kStranger, kFolderOwner}) {
        QFile::remove(inShared_);
        ASSERT_TRUE(writeBytes(inShared_, kStored));
        ASSERT_EQ(::chown(QFile::encodeName(inShared_).constData(), owner, owner), 0);
        QStringList reports;
        SettingsFile settings = reportingTo(inShared_, reports);
        const bool used = owner == kFolderOwner;
        EXPECT_EQ(settings.load(0, 0).settings.side, used ? 8 : 4);
        EXPECT_EQ(settings.save(kValues), used);
        EXPECT_EQ(readBytes(inShared_) == kStored, !used);
        EXPECT_EQ(reports.size(), used ? 0 : 1);
    }
}

// The sweep under the lock removes what killed writes left, but in a sticky
// folder that others may write (the group alone is enough) only the player's
// own: another member's could be their game's write, going on now.
TEST_F(SharedFolderTest, AnotherUsersLeftoverStaysInASharedStickyFolder) {
    const QString mine = path("shared/.winmine.ini.quorvel-mine0000");
    const QString theirs = path("shared/.winmine.ini.quorvel-theirs00");
    for (const mode_t mode : {01770, 01777, 00770}) {
        SCOPED_TRACE(testing::Message() << std::oct << mode);
        ASSERT_EQ(::chmod(shared_.constData(), mode), 0);
        ASSERT_TRUE(writeBytes(inShared_, kStored) && writeBytes(mine, kStored) &&
                    writeBytes(theirs, kStored));
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kStranger, kStranger), 0);
        QStringList reports;
        EXPECT_TRUE(reportingTo(inShared_, reports).save(kValues));
        EXPECT_FALSE(QFile::exists(mine));
        EXPECT_EQ(QFile::exists(theirs), (mode & S_ISVTX) != 0);
        EXPECT_EQ(reports, QStringList{});
    }
}

TEST_F(SettingsFileSafetyTest, RewriteKeepsTheAclAndExtendedAttributes) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    const QByteArray name = QFile::encodeName(path());
    // u::rw-, u:1000:rw-, g::r--, m::rw-, o::--- as the system stores an ACL.
    const uint32_t acl[] = {2,   0x01 | 6 << 16, ~0u, 0x02 | 6 << 16, 1000, 0x04 | 4 << 16,
                            ~0u, 0x10 | 6 << 16, ~0u, 0x20,           ~0u};
    if (::setxattr(name.constData(), "system.posix_acl_access", acl, sizeof acl, 0) != 0 ||
        ::setxattr(name.constData(), "user.note", "kept", 4, 0) != 0) {
        GTEST_SKIP() << "no ACLs or user attributes here: " << std::strerror(errno);
    }
    const auto attribute = [&name](const char* key) {
        QByteArray value(256, '\0');
        value.truncate(
            std::max<ssize_t>(0, ::getxattr(name.constData(), key, value.data(), value.size())));
        return value;
    };
    const QByteArray aclBefore = attribute("system.posix_acl_access");
    ASSERT_TRUE(SettingsFile(path()).save(kValues));
    EXPECT_EQ(attribute("system.posix_acl_access"), aclBefore);
    EXPECT_EQ(attribute("user.note"), "kept");
    EXPECT_EQ(statusOf(path()).st_mode & 07777, 0660u) << "the group bits are the ACL's mask";

    // A copy that fails gives the write up: the old file stays, with its ACL.
    for (const int error : {EIO, ENOSPC, EPERM}) {
        const QByteArray before = readBytes(path());
        test_hooks::failStep = [error](const char* step) {
            return std::strcmp(step, test_hooks::kCopyAttribute) == 0 ? error : 0;
        };
        QStringList reports;
        EXPECT_FALSE(reportingTo(path(), reports).save(kValues));
        test_hooks::failStep = nullptr;
        EXPECT_EQ(readBytes(path()), before);
        EXPECT_EQ(attribute("system.posix_acl_access"), aclBefore);
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].contains(std::strerror(error)) && reports[0].contains("attribute"))
            << reports[0].toStdString();
    }
}

// User B shares a folder and the file in it with user A through ACLs. A's game
// cannot give a new file B's ownership, so it writes B's file itself: B keeps
// the file and the ACL that names A, and can still read it.
TEST_F(SettingsFileSafetyTest, AFileSharedThroughAnAclStaysItsOwners) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as two users";
    }
    constexpr uid_t kOwner = 5001;
    constexpr uid_t kSharer = 5002;
    const QByteArray folder = QFile::encodeName(path("b"));
    const QByteArray file = folder + "/winmine.ini";
    ASSERT_TRUE(QDir(dir_.path()).mkdir("b"));
    ASSERT_TRUE(writeBytes(QFile::decodeName(file), kStored));
    // u::rw(x), u:5002:rw(x), g::---, m::rw(x), o::---
    const auto acl = [](uint32_t perm) {
        return std::array<uint32_t, 11>{2,       0x01 | perm << 16,
                                        ~0u,     0x02 | perm << 16,
                                        kSharer, 0x04,
                                        ~0u,     0x10 | perm << 16,
                                        ~0u,     0x20,
                                        ~0u};
    };
    const auto fileAcl = acl(6);
    const auto folderAcl = acl(7);
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) |
                  ::chown(folder.constData(), kOwner, kOwner) |
                  ::chown(file.constData(), kOwner, kOwner),
              0);
    if (::setxattr(file.constData(), "system.posix_acl_access", fileAcl.data(), sizeof fileAcl,
                   0) != 0 ||
        ::setxattr(folder.constData(), "system.posix_acl_access", folderAcl.data(),
                   sizeof folderAcl, 0) != 0) {
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    const auto as = [](uid_t user, const std::function<bool()>& body) {
        return inChild(
            [&] { return ::setgid(user) == 0 && ::setuid(user) == 0 && body() ? 0 : 1; });
    };
    EXPECT_EQ(as(kSharer, [&] { return SettingsFile(QFile::decodeName(file)).save(kValues); }), 0);
    EXPECT_EQ(statusOf(QFile::decodeName(file)).st_uid, kOwner);
    EXPECT_EQ(as(kOwner,
                 [&] {
                     return SettingsFile(QFile::decodeName(file)).load(0, 0).settings.side ==
                            kValues.side;
                 }),
              0);
    std::array<uint32_t, 11> after{};
    EXPECT_EQ(::getxattr(file.constData(), "system.posix_acl_access", after.data(), sizeof after),
              static_cast<ssize_t>(sizeof after));
    EXPECT_EQ(after, fileAcl);
}

// A file the user may write in a folder the user may not: it is written in
// place, under a lock on the file itself, and nothing is reported.
TEST_F(SettingsFileSafetyTest, AWritableFileInAClosedFolderIsWrittenInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    constexpr uid_t kPlayer = 4321;
    ASSERT_TRUE(QDir(dir_.path()).mkdir("closed"));
    const QString file = path("closed/winmine.ini");
    ASSERT_TRUE(writeBytes(file, kStored));
    ASSERT_EQ(::chown(QFile::encodeName(file).constData(), kPlayer, kPlayer) |
                  ::chmod(QFile::encodeName(dir_.path()).constData(), 0755),
              0);
    const int code = inChild([&file] {
        if (::setgid(kPlayer) != 0 || ::setuid(kPlayer) != 0) {
            return 3;
        }
        QStringList reports;
        SettingsFile settings = reportingTo(file, reports);
        settings.load(0, 0);
        return settings.save(kValues) && reports.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(file), "[Editor]\r\nFont=x\r\n" + writeSettings({}, kValues));
}

// A path just below the system's limit is written (the temporary file's name
// is relative to the folder); a longer one reports the system's reason.
TEST_F(SettingsFileSafetyTest, LongPathsAreWrittenOrSayWhyNot) {
    for (const int length : {PATH_MAX - 1, PATH_MAX + 100}) {
        QString folder = dir_.path();
        const int nameLength = static_cast<int>(std::strlen(kFileName)) + 1;
        while (folder.size() + nameLength < length) {
            const int part = std::min<int>(200, length - nameLength - folder.size() - 1);
            folder += '/' + QString(std::max(part, 1), QLatin1Char('d'));
        }
        const QString file = folder + '/' + kFileName;
        ASSERT_EQ(file.size(), length);
        QStringList reports;
        SettingsFile settings = reportingTo(file, reports);
        settings.load(0, 0);
        if (length < PATH_MAX) {
            EXPECT_TRUE(settings.save(kValues));
            EXPECT_EQ(reports, QStringList{});
            EXPECT_EQ(readBytes(file), writeSettings({}, kValues));
        } else {
            ASSERT_EQ(reports.size(), 1);
            EXPECT_TRUE(reports[0].contains(std::strerror(ENAMETOOLONG)))
                << reports[0].toStdString();
        }
    }
    removeAll(dir_.path());  // deeper than QTemporaryDir can remove
}

// Sets the environment for one test and puts back what was there.
class Environment {
  public:
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
    }
    void set(const char* name, const char* value) {
        saved_.try_emplace(name, qgetenv(name));
        value == nullptr ? qunsetenv(name) : qputenv(name, value);
    }

  private:
    std::map<QByteArray, QByteArray> saved_;
};

TEST(SettingsFileLocation, FolderIsTheEnvironmentsBytesOrThePasswordDatabasesHome) {
    Environment environment;
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/cfg\xff\xfe";
    environment.set("XDG_CONFIG_HOME", folder.constData());
    ASSERT_EQ(SettingsFile::defaultPath(), folder + "/winmine.ini");
    SettingsFile(SettingsFile::defaultPath()).load(0, 0);
    struct stat made {};
    EXPECT_EQ(::stat((folder + "/winmine.ini").constData(), &made), 0) << "made at those bytes";
    removeAll(dir.path());

    environment.set("HOME", "/tmp/absolute-home");
    QByteArrayList paths;
    for (const char* value : {"relative/config", "", "/tmp/absolute"}) {
        environment.set("XDG_CONFIG_HOME", value);
        paths.append(SettingsFile::defaultPath());
    }
    const QByteArray home = "/tmp/absolute-home/.config/winmine.ini";
    EXPECT_EQ(paths, QByteArrayList({home, home, "/tmp/absolute/winmine.ini"}));

    paths.clear();
    environment.set("XDG_CONFIG_HOME", nullptr);
    for (const char* value : {"relhome", "", static_cast<const char*>(nullptr)}) {
        environment.set("HOME", value);
        paths.append(SettingsFile::defaultPath());
    }
    const QByteArray entry = ::getpwuid(::getuid())->pw_dir;
    const QByteArray fromEntry = (entry == "/" ? "" : entry) + "/.config/winmine.ini";
    EXPECT_EQ(paths, QByteArrayList({fromEntry, fromEntry, fromEntry}));
}

}  // namespace
}  // namespace quorvel::settings
