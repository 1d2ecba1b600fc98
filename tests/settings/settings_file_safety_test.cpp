// What the settings path may name besides a regular file, the size bound,
// owners and modes kept by a rewrite, and reasons that name the system's cause.

#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "settings/ini_format.h"
#include "settings/settings_file.h"

namespace quorvel::settings {
namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

const QByteArray kStored = "[Editor]\r\nFont=x\r\n[Quorvel]\r\nSize=8\r\n";

SettingsValues someValues() {
    SettingsValues values;
    values.difficulty = 1;
    values.size = 6;
    values.mines = 21;
    values.xpos = 17;
    values.names = {QStringLiteral("Jan"), QStringLiteral("Eva"), unknownPlayer()};
    return values;
}

// The kind of a path itself (a symlink is a symlink) and of what it names.
std::pair<mode_t, mode_t> kindsOf(const QString& path) {
    struct stat link {};
    struct stat target {};
    const QByteArray name = QFile::encodeName(path);
    const mode_t linkKind = ::lstat(name.constData(), &link) == 0 ? link.st_mode & S_IFMT : 0;
    const mode_t targetKind = ::stat(name.constData(), &target) == 0 ? target.st_mode & S_IFMT : 0;
    return {linkKind, targetKind};
}

// Runs body in a child process and returns its exit code (or 100 + signal).
int inChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

struct Reports {
    QStringList messages;
    SettingsFile::Reporter reporter() {
        return [this](const QString& message) { messages.append(message); };
    }
};

// --- What the path names.

struct PathCase {
    const char* name;
    // Puts the thing at path (dir is the folder around it); false when this
    // process may not make it.
    std::function<bool(const QString& dir, const QString& path)> make;
    // Read and rewritten like a regular file; otherwise refused and left alone.
    bool usable;
    // What the start-up read gives for Size: 8 from kStored, 4 from the defaults.
    int size;
    // In the one report, when refused.
    const char* reason;
};

bool makeNode(const QString& path, mode_t kind, dev_t device) {
    return ::mknod(QFile::encodeName(path).constData(), kind | 0666, device) == 0;
}

bool link(const QString& target, const QString& path) {
    return QFile::link(target, path);
}

bool makeSocket(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (static_cast<size_t>(name.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);  // the socket file stays
    return bound;
}

const PathCase kPathCases[] = {
    {"RegularFile", [](auto, auto path) { return writeBytes(path, kStored); }, true, 8, ""},
    {"SymlinkToRegularFile",
     [](auto dir, auto path) {
         return writeBytes(dir + "/real.ini", kStored) && link("real.ini", path);
     },
     true, 8, ""},
    // The link is kept and its target created, as a dotfile manager expects.
    {"DanglingSymlink", [](auto, auto path) { return link("real.ini", path); }, true, 4, ""},
    {"SymlinkLoop", [](auto, auto path) { return link(QFileInfo(path).fileName(), path); }, false,
     4, "Too many levels of symbolic links"},
    {"Fifo", [](auto, auto path) { return makeNode(path, S_IFIFO, 0); }, false, 4, "a FIFO"},
    {"SymlinkToFifo",
     [](auto dir, auto path) { return makeNode(dir + "/pipe", S_IFIFO, 0) && link("pipe", path); },
     false, 4, "a FIFO"},
    {"Directory", [](auto, auto path) { return QDir().mkdir(path); }, false, 4, "a directory"},
    {"Socket", [](auto, auto path) { return makeSocket(path); }, false, 4, "a socket"},
    // Like /dev/null and /dev/zero, made where the test may make them.
    {"CharacterDevice", [](auto, auto path) { return makeNode(path, S_IFCHR, makedev(1, 3)); },
     false, 4, "a character device"},
    {"SymlinkToCharacterDevice",
     [](auto dir, auto path) {
         return makeNode(dir + "/zero", S_IFCHR, makedev(1, 5)) && link("zero", path);
     },
     false, 4, "a character device"},
};

class PathKindTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathKindTest, OnlyARegularFileIsReadOrReplaced) {
    const PathCase& kind = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kFileName));
    if (!kind.make(dir.path(), path)) {
        GTEST_SKIP() << "this process may not make " << kind.name << ": " << std::strerror(errno);
    }
    const auto kindsBefore = kindsOf(path);
    Reports reports;
    SettingsFile settings(path, reports.reporter());
    EXPECT_EQ(settings.load(5, 6).values.size, kind.size);
    EXPECT_EQ(settings.save(someValues()), kind.usable);
    EXPECT_EQ(settings.save(someValues()), kind.usable);

    if (kind.usable) {
        EXPECT_TRUE(reports.messages.isEmpty()) << reports.messages.join('\n').toStdString();
        EXPECT_EQ(kindsOf(path), std::make_pair(kindsBefore.first, mode_t{S_IFREG}));
        const QList<QByteArray> kept =
            kind.size == 8 ? QList<QByteArray>{"[Editor]", "Font=x"} : QList<QByteArray>{};
        EXPECT_EQ(readBytes(path), writeSettings(kept, someValues()));
    } else {
        ASSERT_EQ(reports.messages.size(), 1);
        EXPECT_TRUE(reports.messages[0].contains(path)) << reports.messages[0].toStdString();
        EXPECT_TRUE(reports.messages[0].contains(QLatin1String(kind.reason)))
            << reports.messages[0].toStdString();
        EXPECT_EQ(kindsOf(path), kindsBefore);
    }
    // No temporary file was left behind.
    const QStringList made{QString::fromLatin1(kFileName), "real.ini", "pipe", "zero"};
    for (const QString& entry :
         QDir(dir.path())
             .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        EXPECT_TRUE(made.contains(entry)) << entry.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PathKindTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What is put at the path while the game runs is looked at again before a
// write, however well the start-up read went.
TEST(PathKind, FifoPutInPlaceOfTheFileWhileTheGameRunsIsNotReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kFileName));
    ASSERT_TRUE(writeBytes(path, kStored));
    Reports reports;
    SettingsFile settings(path, reports.reporter());
    settings.load(0, 0);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(makeNode(path, S_IFIFO, 0));
    EXPECT_FALSE(settings.save(someValues()));
    EXPECT_EQ(kindsOf(path).first, mode_t{S_IFIFO});
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(QStringLiteral("a FIFO")));
}

// --- Size bound, owners and modes, reasons.

class SettingsFileSafetyTest : public ::testing::Test {
  protected:
    QString path(const QString& name = QString::fromLatin1(kFileName)) const {
        return dir_.filePath(name);
    }
    QTemporaryDir dir_;
};

// Another program's lines filling the file up to size bytes, our section last.
QByteArray fileOfSize(qint64 size) {
    QByteArray bytes = "[Other]\r\nk=";
    bytes += QByteArray(size - bytes.size() - kStored.size() - 2, 'x') + "\r\n" + kStored;
    return bytes;
}

TEST_F(SettingsFileSafetyTest, FileAtTheBoundIsReadAndOneAboveIsLeftAlone) {
    const QByteArray atBoundBytes = fileOfSize(SettingsFile::kMaxFileBytes);
    ASSERT_TRUE(writeBytes(path(), atBoundBytes));
    Reports atBoundReports;
    SettingsFile atBound(path(), atBoundReports.reporter());
    EXPECT_EQ(atBound.load(0, 0).values.size, 8);
    // Our whole section makes it longer than the short one read: a file the next
    // start would refuse is not written.
    EXPECT_FALSE(atBound.save(someValues()));
    EXPECT_EQ(readBytes(path()), atBoundBytes);
    ASSERT_EQ(atBoundReports.messages.size(), 1);
    EXPECT_TRUE(atBoundReports.messages[0].contains(QStringLiteral("larger than 1048576 bytes")));

    const QByteArray above = fileOfSize(SettingsFile::kMaxFileBytes + 1);
    ASSERT_TRUE(writeBytes(path(), above));
    Reports reports;
    SettingsFile aboveBound(path(), reports.reporter());
    EXPECT_EQ(aboveBound.load(0, 0).values.size, 4);
    EXPECT_FALSE(aboveBound.save(someValues()));
    EXPECT_EQ(readBytes(path()), above);
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(QStringLiteral("larger than 1048576 bytes")))
        << reports.messages[0].toStdString();

    // A file that grew past the bound while the game ran is not replaced either:
    // what it holds now was never seen.
    EXPECT_FALSE(atBound.save(someValues()));
    EXPECT_EQ(readBytes(path()), above);
}

TEST_F(SettingsFileSafetyTest, RewriteKeepsTheModeOfTheOldFile) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    ASSERT_TRUE(QFile::setPermissions(
        path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));  // 0604
    SettingsFile settings(path());
    settings.load(0, 0);
    ASSERT_TRUE(settings.save(someValues()));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

TEST_F(SettingsFileSafetyTest, RewriteThroughASymlinkKeepsOwnerGroupAndReadOnlyMode) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another owner";
    }
    const QString target = path(QStringLiteral("real.ini"));
    ASSERT_TRUE(writeBytes(target, kStored));
    ASSERT_EQ(::chown(QFile::encodeName(target).constData(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0444), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("real.ini"), path()));
    SettingsFile settings(path());
    settings.load(0, 0);
    ASSERT_TRUE(settings.save(someValues()));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
}

// A member of a shared group rewriting someone else's group-writable file
// cannot keep the owner, but keeps the group and the mode.
TEST_F(SettingsFileSafetyTest, WriterWhoMayNotSetTheOwnerStillKeepsGroupAndMode) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as two other users";
    }
    ASSERT_TRUE(writeBytes(path(), kStored));
    ASSERT_EQ(::chown(QFile::encodeName(path()).constData(), 5555, 8765), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0664), 0);
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::WriteOther | QFile::ExeOther));
    const int code = inChild([this] {
        const gid_t groups[] = {8765};
        if (::setgroups(1, groups) != 0 || ::setgid(1111) != 0 || ::setuid(4321) != 0) {
            return 3;
        }
        Reports reports;
        SettingsFile settings(path(), reports.reporter());
        settings.load(0, 0);
        return settings.save(someValues()) && reports.messages.isEmpty() ? 0 : 1;
    });
    ASSERT_EQ(code, 0);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
}

// A size limit lets the first write through in part; the next one fails, and
// its reason is what the report must give (not "Unknown error").
TEST_F(SettingsFileSafetyTest, ShortWriteIsReportedWithTheSystemsReason) {
    ASSERT_TRUE(writeBytes(path(), kStored));
    const int code = inChild([this] {
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);
        Reports reports;
        SettingsFile settings(path(), reports.reporter());
        settings.load(0, 0);
        if (settings.save(someValues()) || reports.messages.size() != 1) {
            return 1;
        }
        return reports.messages[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))) ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(path()), kStored);
}

TEST_F(SettingsFileSafetyTest, DirectoryThatCannotBeMadeIsReportedWithTheSystemsReason) {
    ASSERT_TRUE(writeBytes(path(QStringLiteral("plain")), "not a directory"));
    Reports reports;
    SettingsFile settings(path(QStringLiteral("plain/sub/winmine.ini")), reports.reporter());
    settings.load(0, 0);
    ASSERT_EQ(reports.messages.size(), 1);
    EXPECT_TRUE(reports.messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << reports.messages[0].toStdString();
}

// --- Where the file lives.

TEST(SettingsFileLocation, RelativeConfigHomeIsIgnoredAsIfUnset) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const QString home = QDir::homePath() + QStringLiteral("/.config/winmine.ini");
    QStringList paths;
    for (const char* value : {"relative/config", "./config", "/tmp/quorvel-absolute"}) {
        qputenv("XDG_CONFIG_HOME", value);
        paths.append(SettingsFile::defaultPath());
    }
    if (saved.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", saved);
    }
    EXPECT_EQ(paths,
              (QStringList{home, home, QStringLiteral("/tmp/quorvel-absolute/winmine.ini")}));
}

}  // namespace
}  // namespace quorvel::settings
