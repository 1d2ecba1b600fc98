// winmine.ini on disk: creation, the re-read before each write, failures that
// must leave the old file alone, and writes killed half-way.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

using quorvel::support::FailStep;
using quorvel::support::inChild;
using quorvel::support::readBytes;
using quorvel::support::writeBytes;

StoredSettings someValues(int seed) {
    StoredSettings values;
    values.level = static_cast<core::Level>(seed % 4);
    values.side = 6;
    values.mines = 21;
    values.faceSet = core::kFaceSets[static_cast<std::size_t>(seed % 3)];
    values.position = QPointF(seed, 0.5 * seed);
    // Lengths differ from write to write, so a half-written file would show.
    values.bestTimes = BestTimes::fromFile(
        {QString::number(seed % 999), QStringLiteral("999"), QStringLiteral("5")},
        {encodeText(QStringLiteral("Hráč %1").arg(seed)), QByteArray(seed % 40, '\x9E'),
         QByteArray()});
    return values;
}

const QByteArray kOthersBefore = "[Editor]\r\nFont=\xe8\x81\r\n";
const QByteArray kOthersAfter = "[Later]\nk=v";

struct Reports {
    QStringList messages;
    SettingsFile::Reporter reporter() {
        return [this](const QString& message) { messages.append(message); };
    }
};

class SettingsFileTest : public support::SettingsFolderTest {};

TEST_F(SettingsFileTest, MissingFileIsCreatedWithItsDirectoryAndDefaults) {
    const QString file = path(QStringLiteral("a/b/winmine.ini"));
    Reports reports;
    SettingsFile settings(file, reports.reporter());
    const ParsedSettings parsed = settings.load(453.5, 154);
    EXPECT_EQ(readBytes(file), defaultSettings(QPointF(453.5, 154)));
    EXPECT_TRUE(parsed.sectionFound);
    EXPECT_EQ(parsed.settings.side, 4);
    EXPECT_EQ(parsed.settings.mines, 7);
    EXPECT_EQ(parsed.settings.position.x(), 453.5);
    EXPECT_TRUE(reports.messages.isEmpty());
}

// A file saved by an editor that starts it with a UTF-8 byte-order mark: our
// section is found behind the mark (not ignored, and a second one appended),
// and the mark stays where it was, before everything else.
TEST_F(SettingsFileTest, AByteOrderMarkHidesNoSection) {
    const QByteArray mark = "\xEF\xBB\xBF";
    const QByteArray ours = "[Quorvel]\r\nDifficulty=3\r\nSize=8\r\nMines=21\r\n";
    const QByteArray others = "[Editor]\r\nFont=x\r\n";
    for (const QByteArray& before : {mark + ours + others, mark + others + ours}) {
        SCOPED_TRACE(before.toStdString());
        writeBytes(path(), before);
        SettingsFile settings(path());
        const ParsedSettings parsed = settings.load(0, 0);
        EXPECT_TRUE(parsed.sectionFound);
        EXPECT_EQ(parsed.settings.side, 8);
        ASSERT_TRUE(settings.save(someValues(2)));
        EXPECT_EQ(readBytes(path()), mark + others + writeSettings({}, someValues(2)));
    }
}

// A folder that the player may write and search but not list (mode 0300)
// serves as any other: read, written, no report.
TEST_F(SettingsFileTest, AFolderThatCannotBeListedServesAsAnyOther) {
    const QString folder = path("hidden");
    ASSERT_TRUE(QDir().mkdir(folder));
    writeBytes(folder + "/winmine.ini", kOthersBefore + writeSettings({}, someValues(1)));
    const uid_t player = ::geteuid() == 0 ? 4321 : ::geteuid();
    for (const QString& each : {folder, folder + "/winmine.ini"}) {
        ASSERT_EQ(::chown(QFile::encodeName(each).constData(), player, player), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0300), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0711), 0);
    const int code = inChild([&] {
        if (::geteuid() == 0 && (::setgid(player) != 0 || ::setuid(player) != 0)) {
            return 3;
        }
        Reports reports;
        SettingsFile settings(folder + "/winmine.ini", reports.reporter());
        const bool read = settings.load(0, 0).settings.side == someValues(1).side;
        const bool saved = settings.save(someValues(2));
        for (const QString& message : reports.messages) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
        return read && saved && reports.messages.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    EXPECT_EQ(readBytes(folder + "/winmine.ini"), kOthersBefore + writeSettings({}, someValues(2)));
}

TEST_F(SettingsFileTest, SaveKeepsOtherProgramsLinesAndPutsOurSectionLast) {
    writeBytes(path(),
               kOthersBefore + "[Quorvel]\r\nDifficulty=3\r\nSize=8\r\nMines=9\r\n" + kOthersAfter);
    SettingsFile settings(path());
    EXPECT_EQ(settings.load(0, 0).settings.side, 8);
    ASSERT_TRUE(settings.save(someValues(3)));
    EXPECT_EQ(readBytes(path()),
              kOthersBefore + "[Later]\r\nk=v\r\n" + writeSettings({}, someValues(3)));
}

TEST_F(SettingsFileTest, SaveKeepsWhatAnotherProgramChangedMeanwhile) {
    writeBytes(path(), kOthersBefore + "[Quorvel]\r\nSize=8\r\n");
    SettingsFile settings(path());
    settings.load(0, 0);
    const QByteArray changed = "[Editor]\r\nFont=Courier\r\n[New]\nadded=1\n";
    writeBytes(path(), changed + "[Quorvel]\r\nSize=6\r\n");
    ASSERT_TRUE(settings.save(someValues(1)));
    EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=Courier\r\n[New]\r\nadded=1\r\n" +
                                     writeSettings({}, someValues(1)));
}

TEST_F(SettingsFileTest, SaveWritesTheLinesKeptWhenTheFileCannotBeRead) {
    writeBytes(path(), kOthersBefore + "[Quorvel]\r\n");
    SettingsFile settings(path());
    settings.load(0, 0);
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(settings.save(someValues(2)));
    EXPECT_EQ(readBytes(path()), kOthersBefore + writeSettings({}, someValues(2)));
}

TEST_F(SettingsFileTest, SaveMakesTheDirectoryAgainWhenItWasRemoved) {
    const QString file = path(QStringLiteral("config/winmine.ini"));
    SettingsFile settings(file);
    settings.load(0, 0);
    ASSERT_TRUE(QDir(path(QStringLiteral("config"))).removeRecursively());
    ASSERT_TRUE(settings.save(someValues(4)));
    EXPECT_EQ(readBytes(file), writeSettings({}, someValues(4)));
}

TEST_F(SettingsFileTest, UnreadableFileIsLeftAloneAndReportedOnce) {
    // A directory where the file should be: it exists but cannot be read.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QString::fromLatin1(kFileName)));
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    const ParsedSettings parsed = settings.load(10, 20);
    EXPECT_EQ(parsed.settings, parseSettings(defaultSettings(QPointF(10, 20))).settings);
    EXPECT_FALSE(settings.save(someValues(1)));
    EXPECT_FALSE(settings.save(someValues(2)));
    EXPECT_TRUE(QFileInfo(path()).isDir());
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(path())) << reports.messages[0].toStdString();
}

TEST_F(SettingsFileTest, FileThatCannotBeCreatedGivesDefaultsAndOneReportOnStandardError) {
    writeBytes(path(QStringLiteral("plain")), "not a directory");
    const QString file = path(QStringLiteral("plain/winmine.ini"));
    SettingsFile settings(file);
    testing::internal::CaptureStderr();
    const ParsedSettings parsed = settings.load(1, 2);
    const bool saved = settings.save(someValues(5));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(parsed.settings.level, core::Level::Beginner);
    EXPECT_EQ(parsed.settings.side, 4);
    EXPECT_EQ(parsed.settings.position.x(), 1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(file.toStdString()), std::string::npos) << errors;
    EXPECT_EQ(readBytes(path(QStringLiteral("plain"))), "not a directory");
}

TEST_F(SettingsFileTest, WriteThatFailsLeavesTheOldFileByteIdentical) {
    const QByteArray old = kOthersBefore + writeSettings({}, someValues(7));
    writeBytes(path(), old);
    // No file may grow beyond 0 bytes in the child, even as root; with SIGXFSZ
    // ignored every write fails with EFBIG instead of killing the process.
    const int code = inChild([this] {
        const rlimit none{0, 0};
        setrlimit(RLIMIT_FSIZE, &none);
        signal(SIGXFSZ, SIG_IGN);
        Reports reports;
        SettingsFile settings(path(), reports.reporter());
        settings.load(0, 0);
        const bool saved = settings.save(someValues(8));
        const bool savedAgain = settings.save(someValues(9));
        if (saved || savedAgain) {
            return 1;
        }
        return reports.messages.size() == 1 && reports.messages[0].contains(path()) ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(path()), old);
    // The temporary file of the failed write is gone too; the lock stays.
    EXPECT_EQ(
        QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({QString::fromLatin1(kFileName), QString::fromLatin1(kFileName) + ".lock"}));
}

TEST_F(SettingsFileTest, WriteKilledAtAnyMomentLeavesOldOrNewFileWhole) {
    const QByteArray start = kOthersBefore + writeSettings({}, someValues(0)) + kOthersAfter;
    writeBytes(path(), start);
    const QList<QByteArray> others{"[Editor]", "Font=\xe8\x81", "[Later]", "k=v"};
    for (int round = 0; round < 120; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            SettingsFile settings(path(), [](const QString&) {});
            settings.load(0, 0);
            for (int seed = 1;; ++seed) {
                settings.save(someValues(seed));
            }
        }
        usleep(static_cast<useconds_t>((round * 389) % 4000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const QByteArray now = readBytes(path());
        if (now == start) {
            continue;
        }
        const ParsedSettings parsed = parseSettings(now);
        ASSERT_EQ(parsed.preservedLines, others) << "round " << round;
        const int seed = static_cast<int>(parsed.settings.position.x());
        ASSERT_GE(seed, 1) << "round " << round;
        ASSERT_EQ(now, writeSettings(others, someValues(seed))) << "round " << round;
    }
    // What the killed writes left beside the file goes with the next write.
    ASSERT_TRUE(SettingsFile(path()).save(someValues(1)));
    EXPECT_EQ(QDir(dir_.path()).entryList({".winmine.ini.quorvel-*"}, QDir::Files | QDir::Hidden),
              QStringList{});
}

class SettingsFileFaultTest : public SettingsFileTest {
  protected:
    void SetUp() override { writeBytes(path(), kBefore); }
    QStringList leftovers() const {
        return QDir(dir_.path())
            .entryList({".winmine.ini.quorvel-*"}, QDir::AllEntries | QDir::Hidden);
    }
    ino_t inode() const {
        struct stat status {};
        ::stat(QFile::encodeName(path()).constData(), &status);
        return status.st_ino;
    }
    const QByteArray kBefore = kOthersBefore + writeSettings({}, someValues(1));
};

// Another program's edit and another game's record, made while this game ran.
const QByteArray kOthersEdit = "[Editor]\r\nFont=new\r\n[Quorvel]\r\nTime1=5\r\nName1=Bob\r\n";

TEST_F(SettingsFileFaultTest, AWriteThatCannotSeeTheFileUndoesNothing) {
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    writeBytes(path(), kOthersEdit);
    {
        const FailStep failing(test_hooks::kReadFile, EIO);
        EXPECT_FALSE(settings.save(someValues(3)));
    }
    EXPECT_EQ(readBytes(path()), kOthersEdit);
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(std::strerror(EIO)) &&
                reports.messages[0].contains("not stored: ") &&
                reports.messages[0].contains("Xpos=3"))
        << reports.messages[0].toStdString();
    // The next write sees the file again and keeps all of it.
    ASSERT_TRUE(settings.save(someValues(3)));
    EXPECT_TRUE(readBytes(path()).startsWith("[Editor]\r\nFont=new\r\n"));
}

// An outside writer that takes no lock changes the file between this game's
// re-read and its swap: the write is read and merged again once, then given up.
TEST_F(SettingsFileFaultTest, AFileChangedJustBeforeTheSwapIsMergedOnceMoreOrLeftAlone) {
    for (const int changes : {1, 2}) {
        writeBytes(path(), kBefore);
        Reports reports;
        SettingsFile settings(path(), reports.reporter());
        settings.load(0, 0);
        int made = 0;
        test_hooks::beforeReplace = [&] {
            if (made++ < changes) {
                QFile file(path());  // the same file, written over in place
                ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
                file.write(kOthersEdit + "Xpos=" + QByteArray::number(made) + "\r\n");
            }
        };
        const bool saved = settings.save(someValues(3));
        test_hooks::beforeReplace = nullptr;
        if (changes == 1) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(readBytes(path()),
                      "[Editor]\r\nFont=new\r\n" + writeSettings({}, someValues(3)));
            EXPECT_EQ(reports.messages, QStringList{});
        } else {
            EXPECT_FALSE(saved);
            EXPECT_EQ(readBytes(path()), kOthersEdit + "Xpos=2\r\n");
            ASSERT_EQ(reports.messages.size(), 1);
            EXPECT_TRUE(reports.messages[0].contains("given up") &&
                        reports.messages[0].contains("Xpos=3"))
                << reports.messages[0].toStdString();
        }
        EXPECT_EQ(leftovers(), QStringList{});
    }
}

// Another program renames a file of its own over the one read after the last
// check, just before the swap: the swap brings that file out, so it is swapped
// back in, and this game's write is read and merged once more.
TEST_F(SettingsFileFaultTest, AFileRenamedInJustBeforeTheSwapIsSwappedBack) {
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    int swaps = 0;
    test_hooks::failStep = [&](const char* asked) {
        if (std::strcmp(asked, test_hooks::kSwap) == 0 && swaps++ == 0) {
            writeBytes(path("edited"), kOthersEdit);
            ::rename(QFile::encodeName(path("edited")).constData(),
                     QFile::encodeName(path()).constData());
        }
        return 0;
    };
    const bool saved = settings.save(someValues(3));
    test_hooks::failStep = nullptr;
    EXPECT_TRUE(saved);
    EXPECT_EQ(swaps, 2);
    EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=new\r\n" + writeSettings({}, someValues(3)));
    EXPECT_EQ(reports.messages, QStringList{});
    EXPECT_EQ(leftovers(), QStringList{});
}

// Each report says what happened to the file, and no failure leaves a
// temporary file behind.
TEST_F(SettingsFileFaultTest, ReportsSayWhatBecameOfTheFile) {
    struct Case {
        std::vector<std::pair<const char*, int>> failing;
        bool written;
        const char* said;
    };
    const Case cases[] = {
        {{{test_hooks::kCheckSwappedOut, EIO}}, false, "the swap was undone"},
        {{{test_hooks::kCheckSwappedOut, EIO}, {test_hooks::kSwapBack, EIO}},
         true,
         "undoing the swap failed too"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        writeBytes(path(), kBefore);
        Reports reports;
        SettingsFile settings(path(), reports.reporter());
        settings.load(0, 0);
        test_hooks::failStep = [&c](const char* asked) {
            for (const auto& [step, error] : c.failing) {
                if (std::strcmp(asked, step) == 0) {
                    return error;
                }
            }
            return 0;
        };
        EXPECT_EQ(settings.save(someValues(2)), c.written);
        test_hooks::failStep = nullptr;
        EXPECT_EQ(readBytes(path()),
                  c.written ? kOthersBefore + writeSettings({}, someValues(2)) : kBefore);
        ASSERT_EQ(reports.messages.size(), 1);
        EXPECT_TRUE(reports.messages[0].contains(c.said)) << reports.messages[0].toStdString();
        EXPECT_FALSE(reports.messages[0].contains("another file"))
            << reports.messages[0].toStdString();
        EXPECT_EQ(leftovers(), QStringList{});
    }
}

// A lock call interrupted again and again counts against the wait's bound.
TEST_F(SettingsFileFaultTest, AnInterruptedLockKeepsItsBound) {
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    const FailStep interrupted(test_hooks::kLock, EINTR, -1);
    EXPECT_TRUE(settings.save(someValues(2)));
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains("interrupted for over 1000 ms"))
        << reports.messages[0].toStdString();
}

TEST_F(SettingsFileFaultTest, LeftoversOfKilledWritesGoUnderTheLock) {
    writeBytes(path(".winmine.ini.quorvel-killed01"), kBefore);
    writeBytes(path(".winmine.ini.quorvel-killed02"), kBefore);
    ASSERT_TRUE(QDir(dir_.path()).mkdir(".winmine.ini.quorvel-folder01"));  // not ours to remove
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    {
        const FailStep failing(test_hooks::kRemove, EIO);
        EXPECT_TRUE(settings.save(someValues(2)));
    }
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(".winmine.ini.quorvel-killed") &&
                reports.messages[0].contains(std::strerror(EIO)))
        << reports.messages[0].toStdString();
    EXPECT_EQ(leftovers().size(), 2);
    EXPECT_TRUE(settings.save(someValues(3)));
    EXPECT_EQ(leftovers(), QStringList{".winmine.ini.quorvel-folder01"});

    // A session whose removals all succeed says nothing of them.
    writeBytes(path(".winmine.ini.quorvel-killed03"), kBefore);
    Reports quiet;
    SettingsFile again(path(), quiet.reporter());
    again.load(0, 0);
    EXPECT_TRUE(again.save(someValues(4)));
    EXPECT_TRUE(quiet.messages.isEmpty()) << quiet.messages.join('\n').toStdString();
    EXPECT_EQ(leftovers(), QStringList{".winmine.ini.quorvel-folder01"});
}

// A leftover that cannot go is said once for the game's whole run, not again
// with every write that finds it still there.
TEST_F(SettingsFileFaultTest, ALeftoverThatCannotGoIsReportedOnce) {
    writeBytes(path(".winmine.ini.quorvel-killed00"), kBefore);
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    const FailStep failing(test_hooks::kRemove, EIO, -1);
    for (int seed = 2; seed <= 4; ++seed) {
        EXPECT_TRUE(settings.save(someValues(seed)));
    }
    // Each write's own old file cannot go either: that write says so itself.
    const QStringList leftBeside = reports.messages.filter("left beside it");
    ASSERT_EQ(leftBeside.size(), 1) << reports.messages.join('\n').toStdString();
    EXPECT_TRUE(leftBeside[0].contains(".winmine.ini.quorvel-killed00"))
        << leftBeside[0].toStdString();
    EXPECT_TRUE(leftovers().contains(".winmine.ini.quorvel-killed00"));
}

// Where the folder or the mount takes no replacement, the file itself is
// written; when that fails the old content is written back.
TEST_F(SettingsFileFaultTest, AFileThatCannotBeReplacedIsWrittenInPlace) {
    const ino_t before = inode();
    for (const auto& [step, error] :
         {std::pair{test_hooks::kSwap, EBUSY}, std::pair{test_hooks::kCreateTemporary, EACCES}}) {
        const FailStep refused(step, error);
        ASSERT_TRUE(SettingsFile(path()).save(someValues(error)));
        EXPECT_EQ(readBytes(path()), kOthersBefore + writeSettings({}, someValues(error)));
        EXPECT_EQ(inode(), before);
        EXPECT_EQ(leftovers(), QStringList{});
    }
    // The second name makes the write go in place; the disk fills half-way.
    writeBytes(path(), kBefore);
    ASSERT_EQ(
        ::link(QFile::encodeName(path()).constData(), QFile::encodeName(path("other")).constData()),
        0);
    Reports reports;
    {
        const FailStep full(test_hooks::kWrite, ENOSPC);
        EXPECT_FALSE(SettingsFile(path(), reports.reporter()).save(someValues(40)));
    }
    EXPECT_EQ(readBytes(path()), kBefore);
    EXPECT_EQ(readBytes(path("other")), kBefore);
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains("the old content was written back"))
        << reports.messages[0].toStdString();
}

// The swap refused, the write goes in place: a file that another program
// rewrote at that very moment is not written over, but read and merged again.
TEST_F(SettingsFileFaultTest, AFileRewrittenWhenTheSwapIsRefusedIsNotWrittenOver) {
    Reports reports;
    SettingsFile settings(path(), reports.reporter());
    settings.load(0, 0);
    int refusals = 0;
    test_hooks::failStep = [&](const char* asked) {
        if (std::strcmp(asked, test_hooks::kSwap) != 0) {
            return 0;
        }
        if (refusals++ == 0) {
            writeBytes(path(), kOthersEdit);  // the same file, written over in place
        }
        return EBUSY;
    };
    const ino_t before = inode();
    const bool saved = settings.save(someValues(3));
    test_hooks::failStep = nullptr;
    EXPECT_TRUE(saved);
    EXPECT_EQ(refusals, 2);
    EXPECT_EQ(readBytes(path()), "[Editor]\r\nFont=new\r\n" + writeSettings({}, someValues(3)));
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(reports.messages, QStringList{});
    EXPECT_EQ(leftovers(), QStringList{});
}

// New content is on the disk before it takes the file's name: after its last
// write comes a sync, and only then the swap that puts it in place, whether the
// file is new, replaced, or written in place (where the sync comes last). A
// crash between an unsynced write and the swap could leave an empty file.
TEST_F(SettingsFileTest, NewContentIsSyncedBeforeItTakesTheName) {
    std::vector<std::string> steps;
    test_hooks::failStep = [&steps](const char* asked) {
        steps.emplace_back(asked);
        return 0;
    };
    const auto syncedBeforeSwap = [&steps](bool inPlace) {
        const auto swap = std::find(steps.begin(), steps.end(), test_hooks::kSwap);
        if (inPlace != (swap == steps.end())) {
            return false;
        }
        const auto lastWrite = std::find(std::make_reverse_iterator(swap), steps.rend(),
                                         std::string(test_hooks::kWrite));
        return lastWrite != steps.rend() &&
               std::find(lastWrite.base(), swap, test_hooks::kSync) != swap;
    };
    ASSERT_TRUE(SettingsFile(path()).save(someValues(1)));  // a new file
    EXPECT_TRUE(syncedBeforeSwap(false)) << ::testing::PrintToString(steps);
    steps.clear();
    ASSERT_TRUE(SettingsFile(path()).save(someValues(2)));  // replaced
    EXPECT_TRUE(syncedBeforeSwap(false)) << ::testing::PrintToString(steps);
    ASSERT_EQ(
        ::link(QFile::encodeName(path()).constData(), QFile::encodeName(path("other")).constData()),
        0);
    steps.clear();
    ASSERT_TRUE(SettingsFile(path()).save(someValues(3)));  // in place: two names
    EXPECT_TRUE(syncedBeforeSwap(true)) << ::testing::PrintToString(steps);
    test_hooks::failStep = nullptr;
    EXPECT_EQ(readBytes(path("other")), writeSettings({}, someValues(3)));
}

TEST(SettingsFileLocation, LivesInTheUsersConfigDirectory) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/quorvel-config-test");
    const QByteArray path = SettingsFile::defaultPath();
    if (saved.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", saved);
    }
    EXPECT_EQ(path, "/tmp/quorvel-config-test/winmine.ini");
}

}  // namespace
}  // namespace quorvel::settings
