// winmine.ini on disk: creation, the re-read before each write, failures that
// must leave the old file alone, and writes killed half-way.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/files.h"

namespace quorvel::settings {
namespace {

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

class SettingsFileTest : public ::testing::Test {
  protected:
    QString path(const QString& name = QString::fromLatin1(kFileName)) const {
        return dir_.filePath(name);
    }
    QTemporaryDir dir_;
};

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
