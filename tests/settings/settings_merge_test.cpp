// Several running games on one settings file: what each write keeps of the others.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/fault_hooks.h"
#include "settings/ini_format.h"
#include "settings/settings_store.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {
namespace test_hooks = files::test_hooks;
namespace {

using core::Level;

StoredSettings board(Level level, int side, int mines) {
    StoredSettings s;
    s.level = level;
    s.side = side;
    s.mines = mines;
    return s;
}

// The settings' own ==; QPointF's compares fuzzily, so the position's
// fractions are compared exactly as well.
void expectSame(const StoredSettings& got, const StoredSettings& want) {
    EXPECT_TRUE(got == want) << writeSettings({}, got).toStdString() << "is not\n"
                             << writeSettings({}, want).toStdString();
    EXPECT_EQ(got.position.x(), want.position.x());
    EXPECT_EQ(got.position.y(), want.position.y());
}

TEST(MergeSettings, WhatThisGameChangedWinsAndEverythingElseIsTheFiles) {
    const StoredSettings base = board(Level::Beginner, 4, 7);
    StoredSettings now = board(Level::Expert, 8, 49);  // another game chose expert
    now.faceSet = core::FaceSet::DarkRed;
    now.position = QPointF(10.5, 20.5);
    now.bestTimes.setRecord(Level::Advanced, 50, QStringLiteral("Eva"));

    // Nothing changed here: the file stays as it is, fractions included.
    expectSame(mergeSettings(base, base, now), now);

    StoredSettings mine = base;
    mine.faceSet = core::FaceSet::Alien;
    mine.position.setX(300);
    mine.bestTimes.setRecord(Level::Beginner, 9, QStringLiteral("Jan"));
    StoredSettings want = now;
    want.faceSet = core::FaceSet::Alien;
    want.position.setX(300);  // only the coordinate that moved
    want.bestTimes.setRecord(Level::Beginner, 9, QStringLiteral("Jan"));
    expectSame(mergeSettings(base, mine, now), want);
}

TEST(MergeSettings, TheBoardAndEachRecordGoWhole) {
    const StoredSettings base = board(Level::Custom, 6, 21);
    // This game changed only the mine count of its custom board; the other game
    // chose another board meanwhile. A board is one choice: it is taken whole.
    expectSame(mergeSettings(base, board(Level::Custom, 6, 30), board(Level::Expert, 8, 49)),
               board(Level::Custom, 6, 30));

    // This game beat its own name's time; the other game set a record in the same
    // row with another name. The time never goes to the other holder.
    StoredSettings mine = base;
    mine.bestTimes.setRecord(Level::Expert, 100, QStringLiteral("Jan"));
    StoredSettings baseWithJan = base;
    baseWithJan.bestTimes.setRecord(Level::Expert, 150, QStringLiteral("Jan"));
    StoredSettings now = base;
    now.bestTimes.setRecord(Level::Expert, 120, QStringLiteral("Eva"));
    const BestTimes merged = mergeBestTimes(baseWithJan.bestTimes, mine.bestTimes, now.bestTimes);
    EXPECT_EQ(merged.fileTime(2), QStringLiteral("100"));
    EXPECT_EQ(merged.name(2), QStringLiteral("Jan"));
}

class TwoGamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("winmine.ini"));
    }
    QByteArray fileBytes() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    StoredSettings fileNow() const { return parseSettings(fileBytes()).settings; }

    QTemporaryDir dir_;
    QString path_;
};

TEST_F(TwoGamesTest, ALaterWriteOfTheOtherGameUndoesNothing) {
    FileSettingsStore first{SettingsFile(path_)};
    FileSettingsStore second{SettingsFile(path_)};
    StoredSettings a = first.read(QPointF(100, 50));
    const StoredSettings b = second.read(QPointF(100, 50));

    a.faceSet = core::FaceSet::Alien;
    a.level = Level::Advanced;
    a.side = 6;
    a.mines = 21;
    a.bestTimes.setRecord(Level::Advanced, 40, QStringLiteral("Eva"));
    a.bestTimes = first.write(a);
    // The second game quits later with what it read at start-up.
    const BestTimes secondKeeps = second.write(b);
    EXPECT_EQ(fileNow().faceSet, core::FaceSet::Alien);
    EXPECT_EQ(fileNow().level, Level::Advanced);
    EXPECT_EQ(fileNow().bestTimes.name(1), QStringLiteral("Eva"));
    EXPECT_EQ(secondKeeps.name(1), QStringLiteral("Eva")) << "the second game sees the record";

    // A reset in the first game is not undone by the second game's next write.
    a.bestTimes.reset();
    a.bestTimes = first.write(a);
    second.write(b);
    EXPECT_EQ(fileNow().bestTimes, BestTimes{});
}

TEST_F(TwoGamesTest, TheRecordCheckSeesATimeTheOtherGameStored) {
    FileSettingsStore first{SettingsFile(path_)};
    FileSettingsStore second{SettingsFile(path_)};
    StoredSettings a = first.read(QPointF());
    const StoredSettings b = second.read(QPointF());
    a.bestTimes.setRecord(Level::Beginner, 12, QStringLiteral("Eva"));
    first.write(a);

    // The second game's table still says 999; the file says 12.
    const BestTimes now = second.bestTimesNow(b.bestTimes);
    EXPECT_EQ(now.best(Level::Beginner), 12);
    EXPECT_EQ(now.name(0), QStringLiteral("Eva"));
    // A record the second game then sets in another row keeps the first's.
    BestTimes mine = now;
    mine.setRecord(Level::Expert, 300, QStringLiteral("Jan"));
    StoredSettings later = b;
    later.bestTimes = mine;
    second.write(later);
    EXPECT_EQ(fileNow().bestTimes.name(0), QStringLiteral("Eva"));
    EXPECT_EQ(fileNow().bestTimes.name(2), QStringLiteral("Jan"));
}

// Two games write at once: B starts its write while A is between its check
// and its rename. B must wait for A and merge A's change, not undo it (nor
// have A's write given up because B replaced the file under it).
TEST_F(TwoGamesTest, WritesAtTheSameMomentRunInTurnAndKeepBothChanges) {
    {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Quorvel]\r\nDifficulty=0\r\nXpos=100\r\nYpos=100\r\n");
    }
    const auto start = [this](core::Level level, QPointF position, int signal, int wait) {
        const pid_t child = fork();
        if (child == 0) {
            FileSettingsStore store{SettingsFile(path_)};
            StoredSettings mine = store.read(QPointF(100, 100));
            mine.level = level;
            mine.position = position;
            char byte = 1;
            if (wait >= 0) {
                test_hooks::beforeReplace = [&] {
                    if (write(signal, &byte, 1) != 1 || read(wait, &byte, 1) != 1) {
                        _exit(3);
                    }
                };
            }
            test_hooks::lockTaken = [&] { [[maybe_unused]] auto w = write(signal, &byte, 1); };
            store.write(mine);
            _exit(0);
        }
        close(signal);
        return child;
    };
    int midWrite[2];
    int release[2];
    ASSERT_EQ(pipe(midWrite) | pipe(release), 0);
    const pid_t a = start(Level::Expert, QPointF(100, 100), midWrite[1], release[0]);
    char byte = 0;
    ASSERT_EQ(read(midWrite[0], &byte, 1), 1) << "A never reached its rename";
    int waiting[2];  // made after A started, so that only B holds its writing end
    ASSERT_EQ(pipe(waiting), 0);
    const pid_t b = start(Level::Beginner, QPointF(250, 100), waiting[1], -1);
    // B says it waits for the lock; without a lock it would end (EOF) instead.
    EXPECT_EQ(read(waiting[0], &byte, 1), 1) << "B wrote while A was writing";
    ASSERT_EQ(write(release[1], &byte, 1), 1);
    for (const pid_t child : {a, b}) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (const int fd : {midWrite[0], release[0], release[1], waiting[0]}) {
        close(fd);
    }
    EXPECT_EQ(fileNow().level, Level::Expert);
    EXPECT_EQ(fileNow().position, QPointF(250, 100));
}

}  // namespace
}  // namespace quorvel::settings
