// What nothing outside the game's own rules can make a write of the settings
// file do: other users who may write its folder (their links, hard links and
// lock files), a lock file the game cannot open, the folder's default ACL,
// another settings file in the same folder, and a file system that keeps
// interrupting calls.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "files/fault_hooks.h"
#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/file_steps.h"
#include "tests/support/files.h"
#include "tests/support/settings_folder.h"

namespace quorvel::settings {
namespace test_hooks = files::test_hooks;
namespace {

using support::FailStep;
using support::readBytes;
using support::writeBytes;

const QByteArray kStored = "[Editor]\r\nFont=x\r\n[Quorvel]\r\nSize=8\r\n";
// Side 6: neither kStored's 8 nor the defaults' 4.
const StoredSettings kValues{core::Level::Custom,   6,         21,
                             core::FaceSet::Yellow, QPointF(), BestTimes()};

QByteArray bytesOf(const QString& path) {
    return QFile::encodeName(path);
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    ::lstat(bytesOf(path).constData(), &status);
    return status;
}

class SteeringTest : public support::SettingsFolderTest {};

// A file with a second name in a folder that others may write could be any
// file of the player's, linked there by another user: it is refused like a
// stranger's link (defaults, one report, nothing written or made beside it).
// In a folder only its owner may write, the link is kept and written through.
TEST_F(SteeringTest, AHardLinkIsWrittenOnlyWhereNoOtherUserCouldHaveMadeIt) {
    const QByteArray victim = "# the player's own file\r\n";
    for (const mode_t mode : {01777, 00777, 00770, 00755}) {
        SCOPED_TRACE(testing::Message() << std::oct << mode);
        const QString folder = path(QString::number(mode, 8));
        const QString bashrc = path(QString::number(mode, 8) + ".bashrc");
        ASSERT_TRUE(QDir().mkdir(folder) && writeBytes(bashrc, victim));
        ASSERT_EQ(::chmod(bytesOf(folder).constData(), mode), 0);
        ASSERT_EQ(::link(bytesOf(bashrc).constData(), bytesOf(folder + "/winmine.ini").constData()),
                  0);
        reports_.clear();
        SettingsFile settings = reporting(folder + "/winmine.ini");
        const bool shared = (mode & 022) != 0;
        EXPECT_EQ(settings.load(0, 0).settings.side, 4);
        EXPECT_EQ(settings.save(kValues), !shared);
        if (shared) {
            EXPECT_EQ(readBytes(bashrc), victim);
            EXPECT_EQ(entries(folder), QStringList{"winmine.ini"});
            ASSERT_EQ(reports_.size(), 1);
            EXPECT_TRUE(reports_[0].contains("hard link")) << reports_[0].toStdString();
        } else {
            EXPECT_EQ(readBytes(bashrc), victim + writeSettings({}, kValues));
        }
    }
}

// Other users in a shared folder: their settings file and their lock file make
// the game refuse the file, leaving nothing there; a folder is made only along
// a path whose links the game follows.
class OtherUsersTest : public support::OtherUsersFolderTest {
  protected:
    const QString shared_ = path("shared");
};

TEST_F(OtherUsersTest, ARefusedFileLeavesNothingAndAStrangersLockFileRefusesTheFile) {
    ASSERT_TRUE(writeBytes(inShared_, kStored));
    ASSERT_EQ(::chown(bytesOf(inShared_).constData(), kStranger, kStranger), 0);
    SettingsFile refused = reporting(inShared_);
    EXPECT_EQ(refused.load(0, 0).settings.side, 4);
    EXPECT_FALSE(refused.save(kValues));
    EXPECT_EQ(entries(shared_), QStringList{"winmine.ini"});
    EXPECT_EQ(reports_.size(), 1);

    // The player's file, a stranger's lock file that the game may not open:
    // the file is refused, never written without the lock.
    ASSERT_EQ(::chown(bytesOf(inShared_).constData(), ::geteuid(), ::getegid()), 0);
    ASSERT_TRUE(writeBytes(inShared_ + ".lock", ""));
    ASSERT_EQ(::chown(bytesOf(inShared_ + ".lock").constData(), kStranger, kStranger) |
                  ::chmod(bytesOf(inShared_ + ".lock").constData(), 0),
              0);
    reports_.clear();
    SettingsFile locked = reporting(inShared_);
    EXPECT_EQ(locked.load(0, 0).settings.side, 4);
    EXPECT_FALSE(locked.save(kValues));
    EXPECT_EQ(readBytes(inShared_), kStored);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("lock file") && !reports_[0].contains("without the lock"))
        << reports_[0].toStdString();
}

TEST_F(OtherUsersTest, NoFolderIsMadeThroughALinkTheGameDoesNotFollow) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("players"));
    ASSERT_TRUE(QFile::link(path("players"), shared_ + "/cfg"));
    ASSERT_EQ(::lchown(bytesOf(shared_ + "/cfg").constData(), kStranger, kStranger), 0);
    SettingsFile settings = reporting(shared_ + "/cfg/newdir/deeper/winmine.ini");
    EXPECT_EQ(settings.load(0, 0).settings.side, 4);
    EXPECT_FALSE(settings.save(kValues));
    EXPECT_EQ(entries(path("players")), QStringList{});
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("symbolic link")) << reports_[0].toStdString();
}

// A lock file that is there but cannot be opened may be another game's lock:
// it is waited for and reported, never passed by for a lock on the file itself
// (which a game that locks the lock file would not see). Only where no lock
// file can be made at all is the file itself the lock, and it then stays the
// same file: a game waiting on it must not lock an inode swapped out.
TEST_F(SteeringTest, TheFileItselfIsLockedOnlyWhereNoLockFileCanBeMade) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    const ino_t inode = statusOf(path()).st_ino;
    {
        // Another process holds a lock on the file itself until the game finds
        // it taken.
        const FailStep refused(test_hooks::kOpenLock, EACCES, -1);
        const int held = ::open(bytesOf(path()).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        int waits = 0;
        test_hooks::lockTaken = [&] { waits += ::close(held) == 0 ? 1 : 0; };
        EXPECT_TRUE(reporting(path()).save(kValues));
        test_hooks::lockTaken = nullptr;
        EXPECT_EQ(waits, 1);
    }
    EXPECT_EQ(statusOf(path()).st_ino, inode) << "written in place";
    EXPECT_TRUE(readBytes(path()).endsWith(writeSettings({}, kValues)));
    EXPECT_EQ(reports_, QStringList{});

    // Now the lock file is there, and the game may not open it.
    ASSERT_TRUE(writeBytes(path("winmine.ini.lock"), ""));
    const FailStep refused(test_hooks::kOpenLock, EACCES, -1);
    const int held = ::open(bytesOf(path()).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_TRUE(reporting(path()).save(kValues));
    ::close(held);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("could not be opened for over 1000 ms") &&
                reports_[0].contains(std::strerror(EACCES)))
        << reports_[0].toStdString();
}

// A file system that answers every read or write with EINTR (a FUSE or network
// mount) ends the write with a report, instead of holding the game for ever.
TEST_F(SteeringTest, AnInterruptedReadOrWriteKeepsItsBound) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    for (const char* step : {test_hooks::kReadFile, test_hooks::kWrite}) {
        SCOPED_TRACE(step);
        reports_.clear();
        SettingsFile settings = reporting(path());
        settings.load(0, 0);
        const FailStep interrupted(step, EINTR, -1);
        EXPECT_FALSE(settings.save(kValues));
        EXPECT_EQ(readBytes(path()), kStored);
        EXPECT_EQ(entries(dir_.path()), QStringList({"winmine.ini", "winmine.ini.lock"}));
        ASSERT_EQ(reports_.size(), 1);
        EXPECT_TRUE(reports_[0].contains(std::strerror(EINTR))) << reports_[0].toStdString();
    }
}

// u::rw-, u:<id>:<perm>, g::r--, m::rw-, o::--- as the system stores an ACL.
QByteArray aclNaming(uint32_t id, uint32_t perm) {
    const uint32_t entries[] = {2,   0x01 | 6 << 16, ~0u, 0x02 | perm << 16,
                                id,  0x04 | 4 << 16, ~0u, 0x10 | 6 << 16,
                                ~0u, 0x20,           ~0u};
    return QByteArray(reinterpret_cast<const char*>(entries), sizeof entries);
}

QByteArray accessAcl(const QString& path) {
    QByteArray value(256, '\0');
    const ssize_t got = ::getxattr(bytesOf(path).constData(), "system.posix_acl_access",
                                   value.data(), value.size());
    return got < 0 ? QByteArray() : value.left(got);
}

// A new file takes its folder's default ACL: a rewrite must not, so that it is
// never more open than the old file. Its ACL is the old file's, none for none.
TEST_F(SteeringTest, ARewriteHasTheOldFilesAclNotTheFoldersDefault) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    ASSERT_EQ(::chmod(bytesOf(path()).constData(), 0640), 0);
    const QByteArray inherited = aclNaming(1000, 6);
    if (::setxattr(bytesOf(dir_.path()).constData(), "system.posix_acl_default",
                   inherited.constData(), inherited.size(), 0) != 0) {
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    ASSERT_TRUE(reporting(path()).save(kValues));
    EXPECT_EQ(accessAcl(path()), QByteArray());
    EXPECT_EQ(statusOf(path()).st_mode & 07777, 0640u);

    const QByteArray own = aclNaming(2000, 4);
    ASSERT_EQ(::setxattr(bytesOf(path()).constData(), "system.posix_acl_access", own.constData(),
                         own.size(), 0),
              0);
    ASSERT_TRUE(reporting(path()).save(kValues));
    EXPECT_EQ(accessAcl(path()), own);

    // An inherited ACL that cannot be removed gives the write up.
    ASSERT_EQ(::removexattr(bytesOf(path()).constData(), "system.posix_acl_access"), 0);
    const QByteArray before = readBytes(path());
    const FailStep failing(test_hooks::kDropAttribute, EIO);
    EXPECT_FALSE(reporting(path()).save(StoredSettings{}));
    EXPECT_EQ(readBytes(path()), before);
    EXPECT_EQ(accessAcl(path()), QByteArray());
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("default ACL")) << reports_[0].toStdString();
}

// The sweep under one file's lock removes that file's leftovers only: another
// settings file's write in the same folder, going on now under its own lock,
// keeps its temporary file, and so does a leftover of the older naming, which
// cannot be told to be this file's.
TEST_F(SteeringTest, TheSweepRemovesOnlyThisFilesLeftovers) {
    ASSERT_TRUE(writeBytes(path(), kStored) && writeBytes(path("other.ini"), kStored));
    ASSERT_TRUE(writeBytes(path(".other.ini.quorvel-killed01"), kStored));
    ASSERT_TRUE(writeBytes(path(".quorvel-older"), kStored));
    bool otherWritten = false;
    test_hooks::beforeReplace = [&] {
        if (!std::exchange(otherWritten, true)) {
            EXPECT_TRUE(reporting(path("other.ini")).save(StoredSettings{}));
        }
    };
    EXPECT_TRUE(reporting(path()).save(kValues));
    test_hooks::beforeReplace = nullptr;
    EXPECT_TRUE(otherWritten);
    EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=x\r\n" + writeSettings({}, kValues));
    EXPECT_EQ(entries(dir_.path()), QStringList({".quorvel-older", "other.ini", "other.ini.lock",
                                                 "winmine.ini", "winmine.ini.lock"}));
    EXPECT_EQ(reports_, QStringList{});
}

// A write given up after the swap was undone says "given up" once.
TEST_F(SteeringTest, AWriteGivenUpSaysSoOnce) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    SettingsFile settings = reporting(path());
    settings.load(0, 0);
    test_hooks::failStep = [this](const char* asked) {
        if (std::strcmp(asked, test_hooks::kSwap) == 0) {
            writeBytes(path("edited"), "[Editor]\r\n");
            ::rename(bytesOf(path("edited")).constData(), bytesOf(path()).constData());
        }
        return 0;
    };
    EXPECT_FALSE(settings.save(kValues));
    test_hooks::failStep = nullptr;
    EXPECT_EQ(readBytes(path()), "[Editor]\r\n");
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_EQ(reports_[0].count("given up"), 1) << reports_[0].toStdString();
    EXPECT_TRUE(reports_[0].contains("the swap was undone")) << reports_[0].toStdString();
}

}  // namespace
}  // namespace quorvel::settings
