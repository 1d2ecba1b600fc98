// Every system call of a write made to fail in turn, on each way a write can
// go (a file replaced, one written in place, a new file, a folder made, a
// leftover swept), with each error that call can really give: afterwards the
// file is the old one or the new one byte for byte, nothing new is left beside
// it, one report names the step that failed, and the next write succeeds. And
// the folder is synced once a new file takes the name.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>

#include "files/fault_hooks.h"
#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/file_steps.h"
#include "tests/support/files.h"
#include "tests/support/settings_folder.h"

namespace quorvel::settings {
namespace {

namespace hooks = files::test_hooks;
using support::readBytes;
using support::writeBytes;

const QByteArray kOthers = "[Editor]\r\nFont=\xe8\x81\r\n";
const QByteArray kLeftover = ".winmine.ini.quorvel-killed01";

StoredSettings valuesOf(int side) {
    StoredSettings values;
    values.level = core::Level::Custom;
    values.side = side;
    values.mines = 10;
    values.position = QPointF(side, side);
    return values;
}

// The file as a write of `side` leaves it, with the other program's section
// where the file held one.
QByteArray writtenWith(int side, bool others = true) {
    return (others ? kOthers : QByteArray()) + writeSettings({}, valuesOf(side));
}

// One way a write goes: what is there before it, beyond a file that holds
// writtenWith(6) (where `file` is set) or nothing, and a call that fails every
// time on this way (a system that cannot swap, say).
struct Way {
    const char* name;
    bool file;                                          // the file is there before the write
    std::function<void(const QString& folder)> before;  // and this is done
    const char* standing = nullptr;                     // this call fails with `error`
    int error = 0;
};

void linkOther(const QString& folder) {
    ASSERT_EQ(::link(QFile::encodeName(folder + "/winmine.ini").constData(),
                     QFile::encodeName(folder + "/other").constData()),
              0);
}

void nothingMore(const QString&) {}

// An attribute of the user's on the file, where the file system keeps them.
void withAttribute(const QString& folder) {
    [[maybe_unused]] const int set = ::setxattr(
        QFile::encodeName(folder + "/winmine.ini").constData(), "user.quorvel", "1", 1, 0);
}

const Way kWays[] = {
    {"Replace", true, withAttribute},
    // A second name in a folder only its owner may write: written in place.
    {"InPlace", true, linkOther},
    {"NewFile", false, nothingMore},
    {"FolderToMake", false,
     [](const QString& folder) { ASSERT_TRUE(QDir(folder).removeRecursively()); }},
    // The name is a link to the file, which is written where the link leads.
    {"ThroughALink", true,
     [](const QString& folder) {
         ASSERT_TRUE(QFile::rename(folder + "/winmine.ini", folder + "/real.ini") &&
                     QFile::link("real.ini", folder + "/winmine.ini"));
     }},
    {"LeftoverToSweep", true,
     [](const QString& folder) { writeBytes(folder + '/' + kLeftover, "killed"); }},
    // Where the system has no swap, a rename after the last check.
    {"RenameWithoutSwap", true, nothingMore, hooks::kSwap, EINVAL},
    {"NewFileWithoutSwap", false, nothingMore, hooks::kSwap, EINVAL},
    // What the swap took out cannot be looked at: the swap is undone.
    {"SwapUndone", true, nothingMore, hooks::kCheckSwappedOut, EIO},
    // The owner cannot be given, the group can.
    {"GroupOnly", true, nothingMore, hooks::kChangeOwner, EPERM},
};

// How a call is made to fail: with an error once, or with it every time from
// that call on (a file system that keeps answering so).
struct Fault {
    int error;
    bool always;
};

// The errors each call can really give, besides EIO and EINTR (once and always).
std::vector<Fault> faultsOf(const std::string& step) {
    std::vector<Fault> faults{{EIO, false}, {EINTR, false}, {EINTR, true}};
    static const std::map<std::string, std::vector<int>> more{
        {hooks::kOpenFolder, {EACCES}},
        {hooks::kOpenFolderOnPath, {EACCES}},
        {hooks::kMakeFolder, {ENOSPC, EACCES, EPERM}},
        {hooks::kOpenFile, {EACCES}},
        {hooks::kOpenLock, {EACCES, EPERM, ENOSPC}},
        {hooks::kListFolder, {EACCES}},
        {hooks::kCheckAccess, {EACCES}},
        {hooks::kCreateTemporary, {ENOSPC, EACCES, EPERM}},
        {hooks::kWrite, {ENOSPC}},
        {hooks::kTruncate, {EPERM}},
        {hooks::kSync, {ENOSPC}},
        {hooks::kRemove, {EACCES, EPERM, EBUSY}},
        {hooks::kChangeOwner, {EPERM}},
        {hooks::kChangeGroup, {EPERM}},
        {hooks::kChangeMode, {EPERM}},
        {hooks::kCopyAttribute, {ENOSPC, EPERM}},
        {hooks::kDropAttribute, {EPERM}},
        {hooks::kOpenInPlace, {EACCES}},
        {hooks::kSwap, {EXDEV, EBUSY, EACCES, EPERM}},
        {hooks::kRename, {EXDEV, EBUSY}},
        {hooks::kSwapBack, {EXDEV, EBUSY}},
        {hooks::kSyncFolder, {}},
    };
    if (const auto found = more.find(step); found != more.end()) {
        for (const int error : found->second) {
            faults.push_back({error, false});
        }
    }
    return faults;
}

class FileWalkTest : public support::SettingsFolderTest {
  protected:
    QString folder() const { return path("settings"); }
    QString file() const { return folder() + "/winmine.ini"; }

    // The folder as the way has it before the write, read by a game.
    SettingsFile ready(const Way& way) {
        QDir(folder()).removeRecursively();
        EXPECT_TRUE(QDir().mkpath(folder()));
        if (way.file) {
            writeBytes(file(), writtenWith(6));
        }
        reports_.clear();
        SettingsFile settings = reporting(file());
        settings.load(0, 0);
        if (!way.file) {
            QFile::remove(file());
        }
        way.before(folder());
        return settings;
    }

    // The steps of one write, in order, with none failed but the way's own.
    std::vector<std::string> stepsOf(const Way& way) {
        SettingsFile settings = ready(way);
        std::vector<std::string> steps;
        hooks::failStep = [&steps, &way](const char* step) {
            steps.emplace_back(step);
            return standing(way, step);
        };
        const bool saved = settings.save(valuesOf(7));
        hooks::failStep = nullptr;
        const bool undone = way.standing == hooks::kCheckSwappedOut;
        EXPECT_EQ(saved, !undone);
        EXPECT_EQ(readBytes(file()), undone ? writtenWith(6) : writtenWith(7, way.file));
        EXPECT_EQ(reports_.size(), undone ? 1 : 0);
        return steps;
    }

    static int standing(const Way& way, const char* step) {
        return way.standing != nullptr && std::strcmp(way.standing, step) == 0 ? way.error : 0;
    }

    // Whatever a write left beside the file besides its lock and its other
    // name, and the leftover that was there before it.
    QStringList leftBeside() const {
        QStringList left = entries(folder());
        for (const char* kept : {"winmine.ini", "winmine.ini.lock", "other", "real.ini",
                                 "real.ini.lock", kLeftover.data()}) {
            left.removeAll(QString::fromLatin1(kept));
        }
        return left;
    }
};

TEST_F(FileWalkTest, EveryCallOfAWriteFailedInTurnLeavesTheOldFileOrTheNewOne) {
    int calls = 0;
    int cases = 0;
    std::set<std::string> named;
    for (const Way& way : kWays) {
        const std::vector<std::string> steps = stepsOf(way);
        calls += static_cast<int>(steps.size());
        for (std::size_t failing = 0; failing < steps.size(); ++failing) {
            const std::string& step = steps[failing];
            named.insert(step);
            for (const Fault fault : faultsOf(step)) {
                SCOPED_TRACE(testing::Message()
                             << way.name << ": call " << failing << " (" << step << ") fails with "
                             << std::strerror(fault.error) << (fault.always ? " always" : " once"));
                ++cases;
                SettingsFile settings = ready(way);
                std::size_t made = 0;
                hooks::failStep = [&](const char* asked) {
                    const std::size_t index = made++;
                    const bool hit =
                        index == failing || (fault.always && index > failing && step == asked);
                    return hit ? fault.error : standing(way, asked);
                };
                const bool saved = settings.save(valuesOf(7));
                hooks::failStep = nullptr;

                const QByteArray now = readBytes(file());
                const bool isNew = now == writtenWith(7, way.file);
                EXPECT_EQ(saved, isNew);
                EXPECT_TRUE(isNew || now == (way.file ? writtenWith(6) : "<unreadable>"))
                    << now.toStdString();
                if (QFile::exists(path("settings/other"))) {
                    EXPECT_EQ(readBytes(path("settings/other")), now);
                }
                EXPECT_LE(reports_.size(), 1) << reports_.join('\n').toStdString();
                if (!isNew) {
                    EXPECT_EQ(reports_.size(), 1);
                }
                for (const QString& report : reports_) {
                    EXPECT_TRUE(report.contains(QString::fromStdString(step)) ||
                                (way.standing != nullptr && report.contains(way.standing)))
                        << report.toStdString();
                }
                // Only a temporary file whose removal failed stays, and its
                // report names it.
                for (const QString& left : leftBeside()) {
                    EXPECT_TRUE(step == hooks::kRemove && reports_.size() == 1 &&
                                reports_[0].contains(left))
                        << left.toStdString();
                }
                // The game goes on: its next write is made, and sweeps that away.
                EXPECT_TRUE(settings.save(valuesOf(8)));
                EXPECT_EQ(readBytes(file()), writtenWith(8, way.file));
                EXPECT_EQ(leftBeside(), QStringList{}) << leftBeside().join(' ').toStdString();
            }
        }
    }
    std::printf("walked %d calls of %zu ways (%zu kinds of call) in %d cases\n", calls,
                std::size(kWays), named.size(), cases);
}

// The same for real: with a file-size limit of 0 (and SIGXFSZ ignored) every
// write of content fails, even for root. The file stays as it was, nothing is
// left beside it, one report gives the system's reason, and the next write,
// without the limit, is made.
TEST_F(FileWalkTest, AWriteRefusedByTheSystemLeavesTheOldFile) {
    for (const Way& way : kWays) {
        if (way.standing != nullptr) {
            continue;
        }
        SCOPED_TRACE(way.name);
        SettingsFile settings = ready(way);
        const int code = support::inChild([&] {
            const rlimit none{0, 0};
            if (::setrlimit(RLIMIT_FSIZE, &none) != 0 || ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) {
                return 3;
            }
            const bool saved = settings.save(valuesOf(7));
            return !saved && reports_.size() == 1 && reports_[0].contains(std::strerror(EFBIG)) ? 0
                                                                                                : 1;
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(readBytes(file()), way.file ? writtenWith(6) : "<unreadable>");
        EXPECT_EQ(leftBeside(), QStringList{}) << leftBeside().join(' ').toStdString();
        EXPECT_TRUE(settings.save(valuesOf(8)));
        EXPECT_EQ(readBytes(file()), writtenWith(8, way.file));
    }
}

// A new file takes the name (swapped in, renamed, or made where there was
// none): only a sync of the folder makes that last through a power cut, so it
// comes after the last move of every such write; a file written in place
// keeps its name and needs none. A failed sync leaves the write made, and says
// what it risks.
TEST_F(FileWalkTest, TheFolderIsSyncedOnceTheNewFileTakesTheName) {
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.name);
        const std::vector<std::string> steps = stepsOf(way);
        const auto lastMove =
            std::find_if(steps.rbegin(), steps.rend(), [](const std::string& step) {
                return step == hooks::kSwap || step == hooks::kRename || step == hooks::kSwapBack;
            });
        const auto sync = std::find(steps.rbegin(), steps.rend(), hooks::kSyncFolder);
        const bool moved = std::string_view(way.name) != "InPlace";
        EXPECT_EQ(lastMove != steps.rend(), moved);
        EXPECT_EQ(sync != steps.rend(), moved && way.standing != hooks::kCheckSwappedOut);
        if (sync != steps.rend()) {
            EXPECT_LT(sync - steps.rbegin(), lastMove - steps.rbegin()) << "synced before the move";
        }
    }
    SettingsFile settings = ready(kWays[0]);
    {
        const support::FailStep failing(hooks::kSyncFolder, EIO);
        EXPECT_TRUE(settings.save(valuesOf(7)));
    }
    EXPECT_EQ(readBytes(file()), writtenWith(7));
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("was written, but syncing the folder") &&
                reports_[0].contains(std::strerror(EIO)) && reports_[0].contains("power cut"))
        << reports_[0].toStdString();
}

}  // namespace
}  // namespace quorvel::settings
