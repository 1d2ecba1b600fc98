// What a write of the settings file guards against at the very moment it acts:
// a link or a FIFO put at the name between its check and the read's open, a
// link put on the path while its folders are made, a stranger's lock file in a
// folder anyone may write, a call interrupted once, and content right at the
// size bound.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include <QDir>
#include <QFile>

#include "files/fault_hooks.h"
#include "files/trust.h"
#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/file_steps.h"
#include "tests/support/files.h"
#include "tests/support/settings_folder.h"

namespace quorvel::settings {
namespace {

namespace hooks = files::test_hooks;
using support::FailStep;
using support::inChild;
using support::readBytes;
using support::writeBytes;

const QByteArray kStored =
    "[Editor]\r\nFont=x\r\n[Quorvel]\r\nDifficulty=3\r\nSize=8\r\nMines=21\r\n";
// Another file of the player's.
const QByteArray kSecret = "[Quorvel]\r\nDifficulty=3\r\nSize=10\r\nMines=21\r\n";

QByteArray bytesOf(const QString& path) {
    return QFile::encodeName(path);
}

StoredSettings sideOf(int side) {
    StoredSettings values;
    values.level = core::Level::Custom;
    values.side = side;
    values.mines = 21;
    return values;
}

// Does `act` once, just before the first call of `step`, which then is made.
class Before {
  public:
    Before(const char* step, std::function<void()> act) {
        hooks::failStep = [step, act = std::move(act), done = false](const char* asked) mutable {
            if (!done && std::strcmp(asked, step) == 0) {
                done = true;
                act();
            }
            return 0;
        };
    }
    ~Before() { hooks::failStep = nullptr; }
    Before(const Before&) = delete;
    Before& operator=(const Before&) = delete;
};

class GuardTest : public support::SettingsFolderTest {};

// What the read checked is what it opens: a link to another file, or a FIFO,
// put at the name after the check is refused by the open itself (without
// following the link, without waiting for a writer), and the start goes on
// with defaults. Each in a child with an alarm, so that an open that blocks
// fails the test instead of holding it.
TEST_F(GuardTest, TheReadOpensOnlyWhatItChecked) {
    ASSERT_TRUE(writeBytes(path(), kStored) && writeBytes(path("secret.ini"), kSecret));
    struct Swap {
        const char* name;
        std::function<bool()> put;
    };
    const Swap swaps[] = {
        {"a link to another file", [this] { return QFile::link("secret.ini", path()); }},
        {"a FIFO", [this] { return ::mkfifo(bytesOf(path()).constData(), 0600) == 0; }},
    };
    for (const Swap& swap : swaps) {
        SCOPED_TRACE(swap.name);
        const int code = inChild([&] {
            ::alarm(5);
            const Before meanwhile(hooks::kOpenFile, [&] {
                if (!QFile::remove(path()) || !swap.put()) {
                    ::_exit(3);
                }
            });
            const int side = reporting(path()).load(0, 0).settings.side;
            return side == 4 && reports_.size() == 1 ? 0 : side == 10 ? 1 : 2;
        });
        EXPECT_EQ(code, 0) << "1: the link was followed; 2: not refused; 114: the open blocked";
        QFile::remove(path());
        ASSERT_TRUE(writeBytes(path(), kStored));
    }
    EXPECT_EQ(readBytes(path("secret.ini")), kSecret);
}

// The folders of a missing path are made one by one, never through a link: a
// link put where a folder is about to be made sends nothing elsewhere.
TEST_F(GuardTest, NoFolderIsMadeThroughALinkPutOnThePathMeanwhile) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("elsewhere"));
    const QString file = path("made/deeper/winmine.ini");
    {
        const Before meanwhile(hooks::kMakeFolder,
                               [this] { ASSERT_TRUE(QFile::link("elsewhere", path("made"))); });
        EXPECT_EQ(reporting(file).load(0, 0).settings.side, 4);
    }
    EXPECT_EQ(entries(path("elsewhere")), QStringList{});
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("cannot make the directory")) << reports_[0].toStdString();
}

// A call interrupted once is made again: neither the read nor the write fails
// for it, and nothing is reported.
TEST_F(GuardTest, ACallInterruptedOnceIsMadeAgain) {
    for (const char* step : {hooks::kReadFile, hooks::kWrite}) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(writeBytes(path(), kStored));
        reports_.clear();
        SettingsFile settings = reporting(path());
        {
            const FailStep once(step, EINTR);
            EXPECT_EQ(settings.load(0, 0).settings.side, 8);
        }
        {
            const FailStep once(step, EINTR);
            EXPECT_TRUE(settings.save(sideOf(6)));
        }
        EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=x\r\n" + writeSettings({}, sideOf(6)));
        EXPECT_EQ(reports_, QStringList{});
    }
}

// The bound is the largest file read and written: content of exactly that
// size is both, one byte more is neither.
TEST_F(GuardTest, ContentOfExactlyTheBoundIsWritten) {
    const QByteArray start = "[Other]\r\nk=";
    const QByteArray ours = writeSettings({}, sideOf(6));
    const qint64 filler = SettingsFile::kMaxFileBytes - start.size() - 2 - ours.size();
    const QByteArray others = start + QByteArray(filler, 'x') + "\r\n";
    ASSERT_TRUE(writeBytes(path(), others + writeSettings({}, sideOf(8))));
    SettingsFile settings = reporting(path());
    EXPECT_EQ(settings.load(0, 0).settings.side, 8);
    ASSERT_TRUE(settings.save(sideOf(6)));
    EXPECT_EQ(readBytes(path()).size(), SettingsFile::kMaxFileBytes);
    EXPECT_EQ(readBytes(path()), others + ours);
    EXPECT_FALSE(settings.save(sideOf(10)));  // one byte longer
    EXPECT_EQ(readBytes(path()), others + ours);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("would be larger")) << reports_[0].toStdString();
}

// Who besides its owner may write a folder, as the trust rule sees it: the
// sticky bit counts only where others may write, and the group's write bit
// (an ACL's mask) counts as much as everyone's.
TEST(TrustRule, WhoMayWriteAFolderComesFromItsMode) {
    using files::Writers;
    const std::pair<mode_t, Writers> cases[] = {
        {0700, Writers::OwnerOnly}, {0755, Writers::OwnerOnly}, {01755, Writers::OwnerOnly},
        {0770, Writers::Group},     {0730, Writers::Group},     {0777, Writers::Everyone},
        {0702, Writers::Everyone},  {01777, Writers::Sticky},   {01770, Writers::Sticky},
        {01702, Writers::Sticky},
    };
    for (const auto& [mode, writers] : cases) {
        struct stat folder {};
        folder.st_mode = S_IFDIR | mode;
        EXPECT_EQ(files::writersOf(folder), writers) << std::oct << mode;
    }
}

// Other users who may write the folder: their lock files.
class StrangersTest : public support::OtherUsersFolderTest {
  protected:
    // The player's file in a folder of kFolderOwner's with mode, beside a
    // lock file of a stranger's.
    QString besideAStrangersLock(mode_t mode) {
        const QString folder = path(QString::number(mode, 8));
        EXPECT_TRUE(QDir().mkdir(folder) && writeBytes(folder + "/winmine.ini", kStored) &&
                    writeBytes(folder + "/winmine.ini.lock", ""));
        EXPECT_EQ(::chown(bytesOf(folder + "/winmine.ini.lock").constData(), kStranger, kStranger),
                  0);
        EXPECT_EQ(::chown(bytesOf(folder).constData(), kFolderOwner, kFolderOwner), 0);
        EXPECT_EQ(::chmod(bytesOf(folder).constData(), mode), 0);
        return folder + "/winmine.ini";
    }
};

// Where strangers may come (everyone may write the folder, sticky or not), a
// stranger's lock file could be held to keep the game from writing in turn:
// the file is refused for a read as for a write. In a folder its owner shares
// with a group, the lock file is a fellow player's game's, and used.
TEST_F(StrangersTest, AStrangersLockFileRefusesTheFileWhereStrangersMayCome) {
    for (const mode_t mode : {01777, 00777, 00770}) {
        SCOPED_TRACE(testing::Message() << std::oct << mode);
        const QString file = besideAStrangersLock(mode);
        const bool refused = mode != 00770;
        reports_.clear();
        SettingsFile settings = reporting(file);
        EXPECT_EQ(settings.load(0, 0).settings.side, refused ? 4 : 8);
        EXPECT_EQ(settings.reread().has_value(), !refused);
        EXPECT_EQ(settings.save(sideOf(6)), !refused);
        EXPECT_EQ(readBytes(file).endsWith(writeSettings({}, sideOf(6))), !refused);
        if (refused) {
            ASSERT_EQ(reports_.size(), 1);
            EXPECT_TRUE(reports_[0].contains("lock file")) << reports_[0].toStdString();
        } else {
            EXPECT_EQ(reports_, QStringList{});
        }
    }
}

}  // namespace
}  // namespace quorvel::settings
