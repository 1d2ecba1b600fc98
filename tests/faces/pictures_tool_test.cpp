// Runs the built quorvel-pictures tool and reads back every picture it wrote.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

#include "core/game_view.h"
#include "render/face_pictures.h"
#include "render/picture.h"
#include "tests/support/image_compare.h"

namespace {

using quorvel::render::Picture;

struct Expected {
    QString name;
    int width;
    int height;
};

std::vector<Expected> expectedFiles() {
    std::vector<Expected> files;
    for (const int n : {4, 6, 8, 10}) {
        files.push_back({QStringLiteral("board-%1.png").arg(n), 34 * n - 4, 32 * n - 10});
        files.push_back({QStringLiteral("map-%1.png").arg(n), 34 * n - 10, 32 * n - 16});
    }
    for (int d = 0; d <= 9; ++d) {
        files.push_back({QStringLiteral("digit-%1.png").arg(d), 13, 23});
    }
    files.push_back({QStringLiteral("digit-minus.png"), 13, 23});
    files.push_back({QStringLiteral("button-mask.png"), 32, 26});
    for (int s = 0; s <= 2; ++s) {
        for (const char* face : {"normal", "pressed", "surprised", "dead", "winner"}) {
            files.push_back({QStringLiteral("face-%1-%2.png").arg(s).arg(face), 32, 26});
        }
    }
    files.push_back({QStringLiteral("panel.png"), 350, 37});
    files.push_back({QStringLiteral("panel-edge.png"), 2, 37});
    files.push_back({QStringLiteral("edge-right.png"), 4, 434});
    files.push_back({QStringLiteral("edge-bottom.png"), 463, 3});
    files.push_back({QStringLiteral("background.png"), 463, 434});
    files.push_back({QStringLiteral("counter-box.png"), 28, 25});
    files.push_back({QStringLiteral("clock-box.png"), 41, 25});
    files.push_back({QStringLiteral("icon-16.png"), 16, 16});
    files.push_back({QStringLiteral("icon-32.png"), 32, 32});
    return files;
}

int runTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(QUORVEL_PICTURES_TOOL), arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return tool.exitCode();
}

// The decoded PNG must hold exactly the picture's colours, pixel for pixel.
void expectSamePixels(const QImage& image, const Picture& pic, const QString& name) {
    EXPECT_EQ(quorvel::support::compareWhole(image, pic), "") << name.toStdString();
}

TEST(PicturesTool, WritesEveryNamedPictureAsAPngOfItsSize) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(runTool({dir.path()}), 0);
    for (const Expected& file : expectedFiles()) {
        const QString path = QDir(dir.path()).filePath(file.name);
        ASSERT_TRUE(QFile::exists(path)) << file.name.toStdString();
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << file.name.toStdString() << " does not decode";
        EXPECT_EQ(image.width(), file.width) << file.name.toStdString();
        EXPECT_EQ(image.height(), file.height) << file.name.toStdString();
    }
    // The contact sheet is enlarged four times by whole pixels.
    const QImage sheet(QDir(dir.path()).filePath(QStringLiteral("contact-sheet.png")));
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.width() % 4, 0);
    EXPECT_EQ(sheet.height() % 4, 0);
    EXPECT_GT(sheet.width(), 4 * 5 * 32);

    // Colours come through unchanged (no channel swapped, no palette rounding).
    expectSamePixels(QImage(QDir(dir.path()).filePath(QStringLiteral("face-1-winner.png"))),
                     quorvel::render::facePicture(quorvel::core::Face::Winner, 1),
                     QStringLiteral("face-1-winner.png"));
    expectSamePixels(QImage(QDir(dir.path()).filePath(QStringLiteral("icon-32.png"))),
                     quorvel::render::iconPicture(32), QStringLiteral("icon-32.png"));
}

TEST(PicturesTool, FailsWithAMessageWhenTheOutputDirectoryIsMissing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("no-such-dir"));
    EXPECT_NE(runTool({missing}), 0);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_NE(runTool({}), 0);
}

TEST(PicturesTool, FailsWhenTheOutputPathIsAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = QDir(dir.path()).filePath(QStringLiteral("plain-file"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_NE(runTool({file}), 0);
}

// The icon files installed for the desktop are written by this tool; they must
// not drift from the icon the program shows.
TEST(PicturesTool, DesktopIconFilesMatchTheWindowIcon) {
    for (const int size : {16, 32, 128}) {
        const QString path = QStringLiteral(QUORVEL_SOURCE_DIR "/resources/icons/%1.png").arg(size);
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << path.toStdString();
        expectSamePixels(image, quorvel::render::iconPicture(size), path);
    }
}

}  // namespace
