// The fence the game puts itself in, tried in child processes so that the test
// program itself stays free: the settings file's code works beside the file,
// nothing is created, written or cut anywhere else, and no TCP connection
// goes out, as far as the kernel's Landlock reaches.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>

#include <QDir>
#include <QTemporaryDir>

#include "settings/fence.h"
#include "settings/ini_format.h"
#include "settings/settings_file.h"
#include "tests/support/files.h"

namespace quorvel::settings {
namespace {

using support::inChild;
using support::readBytes;
using support::writeBytes;

// The errno of a call that must fail, 0 when it did not fail.
int errorOf(int result) {
    return result < 0 ? errno : 0;
}

QByteArray bytes(const QString& path) {
    return QFile::encodeName(path);
}

// A settings folder inside a parent folder, and another folder beside it, with a
// file in each that is there before the fence. The parameter is the Landlock
// ABI asked for: Debian 12's kernel offers 2; 0 stands for this kernel's.
class FenceTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkpath("config") && QDir(root_.path()).mkpath("other"));
        ASSERT_TRUE(writeBytes(other("old.txt"), "old") && writeBytes(parent("old.txt"), "old"));
        if (abi_ < 1) {
            GTEST_SKIP() << "this kernel offers no Landlock: the fence has nothing to try";
        }
    }

    QString config(const char* name = "") const { return root_.filePath("config/") + name; }
    QString other(const char* name) const { return root_.filePath("other/") + name; }
    QString parent(const char* name) const { return root_.filePath(name); }

    // Runs body in a child fenced in to the settings folder; body's exit code,
    // or 99 when the fence was not put up as far as the kernel reaches.
    template <typename Body>
    int fenced(Body body, std::optional<std::uint16_t> tcpPort = std::nullopt) const {
        return inChild([&] {
            const int folder = ::open(bytes(config()).constData(), O_PATH | O_DIRECTORY);
            const Fenced got = fenceIn(folder, abi_, tcpPort);
            ::close(folder);
            const Fenced expected = abi_ >= 4 ? Fenced::WritesAndNetwork : Fenced::Writes;
            return got == expected ? body() : 99;
        });
    }

    QTemporaryDir root_;
    const int abi_ = GetParam() == 0 ? landlockAbi() : std::min(GetParam(), landlockAbi());
};

// The start-up write, a write on a choice (lock, leftover sweep, temporary file
// swapped in), an in-place write through a second name, and a file made,
// renamed and removed by hand, all in a fenced child, on any thread.
TEST_P(FenceTest, EverythingTheSettingsFileDoesBesideItStillWorks) {
    const QString path = config("winmine.ini");
    const int code = fenced([&] {
        SettingsFile file(path, [](const QString&) { std::_Exit(1); });
        file.load(10, 20);
        StoredSettings values = file.reread().value_or(StoredSettings{});
        values.level = core::Level::Custom;
        values.side = 6;
        values.mines = 21;
        bool saved = false;
        std::thread([&] { saved = file.save(values); }).join();
        if (!saved || ::link(bytes(path).constData(), bytes(config("twin.ini")).constData()) != 0 ||
            !file.save(values)) {
            return 2;
        }
        const QByteArray made = bytes(config("made")), moved = bytes(config("moved"));
        const int fd = ::open(made.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 || ::write(fd, "x", 1) != 1 || ::ftruncate(fd, 0) != 0 || ::close(fd) != 0 ||
            ::rename(made.constData(), moved.constData()) != 0 ||
            ::unlink(moved.constData()) != 0) {
            return 3;
        }
        return 0;
    });
    EXPECT_EQ(code, 0) << "1: a failure was reported, 2: a save failed, 3: a file by hand";
    EXPECT_NE(readBytes(path).indexOf("Size=6"), -1) << readBytes(path).constData();
    EXPECT_EQ(readBytes(config("twin.ini")), readBytes(path)) << "the in-place write";
}

// In another folder, in the settings folder's parent, and through a thread
// started after the fence: no file made, opened for writing or cut, no folder
// made or removed, nothing moved out of the settings folder.
TEST_P(FenceTest, NothingIsCreatedWrittenOrCutAnywhereElse) {
    ASSERT_TRUE(writeBytes(config("inside"), "in"));
    const int code = fenced([&] {
        int failures = 0;
        const auto refused = [&failures](int result) {
            failures += errorOf(result) == EACCES || errorOf(result) == EXDEV ? 0 : 1;
        };
        for (const QString& path : {other("new.txt"), parent("new.txt")}) {
            refused(::open(bytes(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600));
        }
        for (const QString& path : {other("old.txt"), parent("old.txt")}) {
            refused(::open(bytes(path).constData(), O_WRONLY));
            refused(::open(bytes(path).constData(), O_RDWR | O_APPEND));
            if (abi_ >= 3) {  // before ABI 3 a path's truncate() is not fenced
                refused(::truncate(bytes(path).constData(), 0));
            }
            refused(::unlink(bytes(path).constData()));
        }
        refused(::mkdir(bytes(config("sub")).constData(), 0700));
        refused(::mkdir(bytes(parent("sub")).constData(), 0700));
        refused(::rename(bytes(config("inside")).constData(), bytes(other("inside")).constData()));
        std::thread([&] {
            refused(::open(bytes(other("t")).constData(), O_WRONLY | O_CREAT, 0600));
        }).join();
        return failures;
    });
    EXPECT_EQ(code, 0) << "writes that went through (99: no fence)";
    EXPECT_EQ(readBytes(other("old.txt")), "old");
    EXPECT_EQ(readBytes(parent("old.txt")), "old");
    EXPECT_FALSE(QFile::exists(other("new.txt")) || QFile::exists(other("t")) ||
                 QFile::exists(parent("new.txt")) || QFile::exists(other("inside")));
}

// A listening TCP socket on 127.0.0.1; its port, 0 when none could be made.
struct Listener {
    Listener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(fd, 4) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~Listener() { ::close(fd); }
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::uint16_t port = 0;
};

int connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const int error = errorOf(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ::close(fd);
    return error;
}

// No TCP connection and no listening port, but to the display's port when the
// display is reached over TCP; Unix sockets are not fenced.
TEST_P(FenceTest, NoTcpConnectionGoesOutButToATcpDisplay) {
    if (abi_ < 4) {
        GTEST_SKIP() << "Landlock ABI " << abi_ << " cannot fence TCP (ABI 4 can)";
    }
    const Listener listener;
    const Listener display;
    ASSERT_NE(listener.port, 0);
    ASSERT_NE(display.port, 0);
    EXPECT_EQ(fenced([&] { return connectTo(listener.port) == EACCES ? 0 : 1; }), 0);
    EXPECT_EQ(fenced([&] { return Listener().port == 0 ? 0 : 1; }), 0) << "a port bound";
    EXPECT_EQ(fenced([&] { return connectTo(display.port); }, display.port), 0)
        << "the display's port refused";
    int pair[2];
    EXPECT_EQ(fenced([&] { return ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0 ? 0 : 1; }), 0)
        << "a Unix socket refused";
}

INSTANTIATE_TEST_SUITE_P(Abis, FenceTest, ::testing::Values(2, 0),
                         [](const ::testing::TestParamInfo<int>& abi) {
                             return abi.param == 0 ? std::string("KernelAbi")
                                                   : "Abi" + std::to_string(abi.param);
                         });

// The start-up read starts from the folder resolved for the fence: a folder
// swapped in at the path after that is not the one read, so what is read is
// what the fence was put around.
TEST(FencedFolderTest, TheFirstReadIsInTheFolderResolvedBefore) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir(root.path()).mkpath("config") && QDir(root.path()).mkpath("swapped"));
    const QString path = root.filePath("config/winmine.ini");
    ASSERT_TRUE(writeBytes(path, "[Quorvel]\r\nXpos=7\r\n"));
    ASSERT_TRUE(writeBytes(root.filePath("swapped/winmine.ini"), "[Quorvel]\r\nXpos=9\r\n"));
    auto resolved = SettingsFile(path).resolveFolder();
    ASSERT_NE(resolved.value, nullptr) << resolved.reason.toStdString();
    std::unique_ptr<files::FileAtPath> folder = std::move(resolved.value);
    ASSERT_TRUE(QDir(root.path()).rename("config", "held") &&
                QDir(root.path()).rename("swapped", "config"));

    SettingsFile file(QFile::encodeName(path), std::move(folder),
                      [](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    EXPECT_EQ(file.load(10, 20).settings.position.x(), 7) << "the folder swapped in was read";
    EXPECT_EQ(SettingsFile(path).load(10, 20).settings.position.x(), 9)
        << "a later file resolves afresh";
}

// A kernel without Landlock, simulated by asking for none: nothing is fenced,
// and the game goes on as it did before there was a fence.
TEST(FenceWithoutLandlockTest, NothingIsFenced) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString elsewhere = root.filePath("new.txt");
    const int code = inChild([&] {
        const int folder = ::open(bytes(QDir::tempPath()).constData(), O_PATH | O_DIRECTORY);
        if (fenceIn(folder, 0) != Fenced::Nothing) {
            return 1;
        }
        return writeBytes(elsewhere, "new") ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(elsewhere), "new");
}

}  // namespace
}  // namespace quorvel::settings
