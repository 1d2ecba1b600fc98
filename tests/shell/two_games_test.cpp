// Two running games on one settings file: the built game in a process of its own
// and a window in this one. What one of them changes, the other's later write
// must not undo.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/random_source.h"
#include "settings/ini_format.h"
#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell_support.h"

namespace quorvel::shell {
namespace {

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST(TwoGames, TheGameThatQuitsLastKeepsWhatTheOtherChanged) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString path = config.filePath(QString::fromLatin1(settings::kFileName));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(settings::defaultSettings(QPointF(20, 20)));
    }
    const ino_t created = inodeOf(path);

    // The other game reads the file and, choosing its face set at start-up,
    // writes it once: a new file takes the old one's place.
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    other.setProcessEnvironment(environment);
    other.start(QStringLiteral(QUORVEL_GAME_PATH), {});
    ASSERT_TRUE(other.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return inodeOf(path) != created; }, 20000))
        << "the other game never wrote its settings";

    // This game changes its face set and its level, and quits first.
    core::SeededRandom random{7};
    settings::FileSettingsStore store{settings::SettingsFile(path)};
    {
        testing::FakeRecords dialogs;
        MainWindow window(random, store, dialogs);
        window.restoreSettings();
        WindowAccess::faceAction(window, core::FaceSet::Alien)->trigger();
        WindowAccess::levelAction(window, core::Level::Expert)->trigger();
        window.close();
    }

    // The other game, which changed neither, quits later (as a logout ends it).
    other.terminate();
    ASSERT_TRUE(other.waitForFinished(20000));
    EXPECT_EQ(other.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(other.exitCode(), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const settings::StoredSettings stored = settings::parseSettings(file.readAll()).settings;
    EXPECT_EQ(stored.faceSet, core::FaceSet::Alien);
    EXPECT_EQ(stored.level, core::Level::Expert);
}

}  // namespace
}  // namespace quorvel::shell
