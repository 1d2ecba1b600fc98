// Start-up of the program before and around its application object: which
// display port the fence leaves open, and the built game started as a player
// starts it, fenced in by its own main before the toolkit runs any plugin.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>

#include "core/random_source.h"
#include "dialogs/game_dialogs.h"
#include "files/fault_hooks.h"
#include "settings/fence.h"
#include "settings/settings_store.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "tests/support/files.h"

namespace quorvel::shell {
namespace {

using support::readBytes;
using support::writeBytes;

struct DisplayCase {
    const char* display;
    std::optional<std::uint16_t> port;
};

void expectPorts(std::initializer_list<DisplayCase> cases) {
    for (const DisplayCase& c : cases) {
        EXPECT_EQ(tcpDisplayPort(c.display), c.port) << '"' << c.display << '"';
    }
}

// A display on another machine, or on this one through the network (ssh's X11
// forwarding, a server on the far side of a virtual machine), in every way of
// naming it that the X client library takes.
TEST(DisplayPort, EveryNetworkFormKeepsItsPort) {
    expectPorts({
        {"localhost:10.0", 6010},
        {"192.168.1.2:0", 6000},
        {"tcp/localhost:3", 6003},
        {"inet/127.0.0.1:4.1", 6004},
        {"inet6/::1:5", 6005},
        {"inet6/localhost:5", 6005},
        {"::1:6", 6006},
        {"[::1]:7.0", 6007},
        {"::ffff:127.0.0.1:8", 6008},
        {"inet6/[::1]:9", 6009},
        {"tcp/host.example:0", 6000},
    });
}

// ":N" tries the Unix socket, then TCP on this machine: an X server that
// listens on TCP only is reached there.
TEST(DisplayPort, ALocalDisplayKeepsTheTcpFallback) {
    expectPorts({{":0", 6000}, {":1.0", 6001}, {":57", 6057}});
}

// Where the library tries only a Unix socket, or takes no connection at all,
// no port stays open.
TEST(DisplayPort, UnixOnlyAndRefusedNamesKeepNone) {
    expectPorts({
        {"", std::nullopt},
        {"unix:0", std::nullopt},
        {"unix/:0", std::nullopt},
        {"unix/host:0", std::nullopt},
        {"tcp/:0", std::nullopt},
        {"tcp/unix:0", std::nullopt},
        {"TCP/localhost:0", std::nullopt},
        {"foo/localhost:0", std::nullopt},
        {"a/tcp/localhost:0", std::nullopt},
        {"/tmp/launch-x/org.x:0", std::nullopt},
        {"/tmp/.X11-unix/X0", std::nullopt},
        {"host:x", std::nullopt},
        {"host", std::nullopt},
        {"host:", std::nullopt},
        {"host:0x10", std::nullopt},
        {"host:5.", std::nullopt},
        {"host:5.x", std::nullopt},
        {"host:5.1.2", std::nullopt},
        {"host:5 ", std::nullopt},
    });
}

// The display number is read as the library reads it, and its port is the
// library's sum in 16 bits: a number no server uses still names the port the
// library would connect to, never another.
TEST(DisplayPort, NumbersAreReadAsTheLibraryReadsThem) {
    expectPorts({
        {"host:057", 6057},
        {"host:+5", 6005},
        {"host: 5", 6005},
        {"host:5.+1", 6005},
        {"host:59535", 65535},
        {"host:65000", 5464},
        {"host:4294967296", 6000},
        {"host:-1", 5999},
        {"host:99999999999999999999999", 5999},
    });
}

// A fresh home: the start-up read leaves the missing file to the start-up
// write, which makes it with the whole section. One write, not a file of
// defaults written over at once.
TEST(FreshHome, IsWrittenOnceAtStartUp) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.filePath(QStringLiteral("config/winmine.ini"));
    int writes = 0;
    files::test_hooks::beforeReplace = [&writes] { ++writes; };
    {
        core::SeededRandom random{1};
        dialogs::Dialogs dialogs;
        settings::FileSettingsStore store{settings::SettingsFile(path)};
        MainWindow window(random, store, dialogs);
        window.restoreSettings();
    }
    files::test_hooks::beforeReplace = nullptr;
    EXPECT_EQ(writes, 1);
    const QByteArray written = readBytes(path);
    EXPECT_TRUE(written.startsWith("[Quorvel]\r\n") && written.contains("Name3="))
        << written.constData();
}

// Left to the write, a missing file reads exactly as the default content
// would, wherever the window is centred, and nothing is made.
TEST(FreshHome, ReadsAsTheDefaultContent) {
    for (const QPointF centred : {QPointF(0, 0), QPointF(453.5, 154), QPointF(-12.25, 1e6)}) {
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString path = home.filePath(QStringLiteral("config/winmine.ini"));
        settings::SettingsFile file(path);
        const settings::ParsedSettings read = file.load(
            centred.x(), centred.y(), settings::SettingsFile::WhenMissing::LeaveToTheWrite);
        const settings::ParsedSettings expected =
            settings::parseSettings(settings::defaultSettings(centred));
        EXPECT_EQ(read.settings, expected.settings) << centred.x() << ", " << centred.y();
        EXPECT_EQ(read.sectionFound, expected.sectionFound);
        EXPECT_EQ(read.preservedLines, expected.preservedLines);
        EXPECT_FALSE(QFile::exists(path));
    }
}

// The built game in a home of its own, without XDG_RUNTIME_DIR, with a font
// of the player's own that has no cache yet. The probe plugin tries to create
// a file outside the settings folder once the application object is being
// made, and ends the game there.
class BuiltGame : public ::testing::Test {
  protected:
    void SetUp() override {
        if (settings::landlockAbi() < 1) {
            GTEST_SKIP() << "this kernel offers no Landlock: the game runs unfenced";
        }
        ASSERT_TRUE(root_.isValid());
        for (const char* folder : {"home", "config", "cache", "data/fonts", "outside", "tmp"}) {
            ASSERT_TRUE(QDir(root_.path()).mkpath(QLatin1String(folder))) << folder;
        }
        QDirIterator fonts(QStringLiteral("/usr/share/fonts"), {QStringLiteral("*.ttf")},
                           QDir::Files, QDirIterator::Subdirectories);
        ASSERT_TRUE(fonts.hasNext()) << "no font installed (the set-up installs one)";
        ASSERT_TRUE(QFile::copy(fonts.next(), path("data/fonts/own.ttf")));
        // Fontconfig caches in the first of its cache folders it may write,
        // which for root is the system's: this one has only the player's.
        ASSERT_TRUE(writeBytes(
            path("fonts.conf"),
            "<fontconfig><dir>" + QFile::encodeName(path("data/fonts")) + "</dir><cachedir>" +
                QFile::encodeName(path("cache/fontconfig")) + "</cachedir></fontconfig>\n"));
    }

    QString path(const char* name) const { return root_.filePath(QLatin1String(name)); }

    // Runs the game until the probe ends it; its exit code, -1 when it did
    // not end within 60 seconds.
    int start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("TMPDIR"), path("tmp"));
        environment.insert(QStringLiteral("HOME"), path("home"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        environment.insert(QStringLiteral("FONTCONFIG_FILE"), path("fonts.conf"));
        environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(QUORVEL_PROBE_PLUGINS));
        environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"),
                           QStringLiteral("quorvelfenceprobe:") + path("outside/probe"));
        game_.setProcessEnvironment(environment);
        game_.start(QStringLiteral(QUORVEL_GAME_PATH), {});
        if (!game_.waitForFinished(60000)) {
            game_.kill();
            game_.waitForFinished();
            return -1;
        }
        errors_ = game_.readAllStandardError();
        return game_.exitStatus() == QProcess::NormalExit ? game_.exitCode() : -1;
    }

    QTemporaryDir root_;
    QProcess game_;
    QByteArray errors_;
};

// A build whose main does not fence the process (or fences it only after the
// toolkit has started) lets the probe write outside the settings folder.
TEST_F(BuiltGame, IsFencedInBeforeTheToolkitRunsAnyPlugin) {
    EXPECT_EQ(start(), 0) << "1: written outside the settings folder, 2: the probe's write "
                             "failed otherwise, -1: the probe never ran\n"
                          << errors_.constData();
    EXPECT_FALSE(QFile::exists(path("outside/probe")));
}

// What the toolkit writes at start-up, it writes before the fence: the runtime
// folder it makes without XDG_RUNTIME_DIR (no warning that it cannot), and
// fontconfig's cache of the player's own fonts, which a refused write would
// have it rebuild at every start.
TEST_F(BuiltGame, TheFenceCostsNoWarningAndNoFontCache) {
    ASSERT_EQ(start(), 0) << errors_.constData();
    EXPECT_EQ(errors_.indexOf("Permission denied"), -1) << errors_.constData();
    EXPECT_EQ(errors_.indexOf("error creating"), -1) << errors_.constData();
    EXPECT_LE(errors_.count("XDG_RUNTIME_DIR not set"), 1) << "said twice:\n"
                                                           << errors_.constData();
    EXPECT_FALSE(QDir(path("tmp")).entryList({QStringLiteral("runtime-*")}, QDir::Dirs).isEmpty())
        << "the toolkit made no runtime folder";
    const QStringList caches =
        QDir(path("cache/fontconfig")).entryList({QStringLiteral("*.cache-*")}, QDir::Files);
    EXPECT_FALSE(caches.isEmpty()) << "fontconfig wrote no cache of the player's fonts";
}

}  // namespace
}  // namespace quorvel::shell
