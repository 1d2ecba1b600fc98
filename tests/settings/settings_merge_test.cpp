// Several running games on one settings file: what each write keeps of the others.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/ini_format.h"
#include "settings/settings_store.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {
namespace {

using core::Level;

StoredSettings board(Level level, int side, int mines) {
    StoredSettings s;
    s.level = level;
    s.side = side;
    s.mines = mines;
    return s;
}

void expectSame(const StoredSettings& got, const StoredSettings& want) {
    EXPECT_EQ(got.level, want.level);
    EXPECT_EQ(got.side, want.side);
    EXPECT_EQ(got.mines, want.mines);
    EXPECT_EQ(got.faceSet, want.faceSet);
    EXPECT_EQ(got.position.x(), want.position.x());
    EXPECT_EQ(got.position.y(), want.position.y());
    EXPECT_EQ(got.bestTimes, want.bestTimes);
}

TEST(MergeSettings, WhatThisGameChangedWinsAndEverythingElseIsTheFiles) {
    const StoredSettings base = board(Level::Beginner, 4, 7);
    StoredSettings now = board(Level::Expert, 8, 49);  // another game chose expert
    now.faceSet = 1;
    now.position = QPointF(10.5, 20.5);
    now.bestTimes.setRecord(Level::Advanced, 50, QStringLiteral("Eva"));

    // Nothing changed here: the file stays as it is, fractions included.
    expectSame(mergeSettings(base, base, now), now);

    StoredSettings mine = base;
    mine.faceSet = 2;
    mine.position.setX(300);
    mine.bestTimes.setRecord(Level::Beginner, 9, QStringLiteral("Jan"));
    StoredSettings want = now;
    want.faceSet = 2;
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
    EXPECT_EQ(merged.timeText(2), QStringLiteral("100 sekund"));
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

    a.faceSet = 2;
    a.level = Level::Advanced;
    a.side = 6;
    a.mines = 21;
    a.bestTimes.setRecord(Level::Advanced, 40, QStringLiteral("Eva"));
    a.bestTimes = first.write(a);
    // The second game quits later with what it read at start-up.
    const BestTimes secondKeeps = second.write(b);
    EXPECT_EQ(fileNow().faceSet, 2);
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

}  // namespace
}  // namespace quorvel::settings
