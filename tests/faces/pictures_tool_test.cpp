// Runs the built quorvel-pictures tool and reads back every picture it wrote.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>

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
    expectSamePixels(
        QImage(QDir(dir.path()).filePath(QStringLiteral("face-1-winner.png"))),
        quorvel::render::facePicture(quorvel::core::Face::Winner, quorvel::core::FaceSet::DarkRed),
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

// How each desktop icon is made from the pixel art: which art (16 or 32 pixels),
// enlarged by a whole factor, inside a transparent margin.
struct DesktopIcon {
    int size;
    int art;
    int factor;
    int margin;
};
constexpr DesktopIcon kDesktopIcons[] = {{16, 16, 1, 0},  {22, 16, 1, 3}, {24, 16, 1, 4},
                                         {32, 32, 1, 0},  {48, 16, 3, 0}, {64, 32, 2, 0},
                                         {128, 32, 4, 0}, {256, 32, 8, 0}};

void expectDesktopIcon(const QString& path, const DesktopIcon& icon) {
    const QImage image(path);
    ASSERT_FALSE(image.isNull()) << path.toStdString();
    ASSERT_EQ(image.size(), QSize(icon.size, icon.size)) << path.toStdString();
    const Picture& art = quorvel::render::iconPicture(icon.art);
    const int end = icon.margin + icon.art * icon.factor;
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (x < icon.margin || y < icon.margin || x >= end || y >= end) {
                ASSERT_EQ(qAlpha(pixel), 0) << path.toStdString() << " at " << x << ", " << y;
                continue;
            }
            ASSERT_EQ(qAlpha(pixel), 255) << path.toStdString() << " at " << x << ", " << y;
            ASSERT_EQ(static_cast<int>(pixel & 0xFFFFFFu),
                      art.at((x - icon.margin) / icon.factor, (y - icon.margin) / icon.factor))
                << path.toStdString() << " at " << x << ", " << y;
        }
    }
}

// Reads the scalable icon back square by square: it must draw every pixel of the
// 32-pixel art as exactly one unit square of that pixel's colour, and nothing else.
void expectScalableIcon(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const Picture& art = quorvel::render::iconPicture(32);
    std::vector<int> drawn(32 * 32, -1);
    const QRegularExpression square(QStringLiteral("M(\\d+) (\\d+)h1v1h-1z"));
    QXmlStreamReader xml(&file);
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (!xml.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QStringLiteral("svg")) {
            EXPECT_EQ(attributes.value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"));
            continue;
        }
        ASSERT_EQ(xml.name(), QStringLiteral("path")) << "unexpected element";
        const QString fill = attributes.value(QStringLiteral("fill")).toString();
        ASSERT_TRUE(fill.size() == 7 && fill.startsWith(QLatin1Char('#'))) << fill.toStdString();
        const int colour = fill.mid(1).toInt(nullptr, 16);
        const QString data = attributes.value(QStringLiteral("d")).toString();
        qsizetype readUpTo = 0;
        for (const QRegularExpressionMatch& match : square.globalMatch(data)) {
            ASSERT_EQ(match.capturedStart(), readUpTo)
                << "not a unit square: " << data.mid(readUpTo, 20).toStdString();
            readUpTo = match.capturedEnd();
            const int x = match.captured(1).toInt();
            const int y = match.captured(2).toInt();
            ASSERT_TRUE(x < 32 && y < 32) << x << ", " << y;
            ASSERT_EQ(drawn[y * 32 + x], -1) << "pixel drawn twice: " << x << ", " << y;
            drawn[y * 32 + x] = colour;
        }
        ASSERT_EQ(readUpTo, data.size())
            << "not a unit square: " << data.mid(readUpTo, 20).toStdString();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(drawn[y * 32 + x], art.at(x, y))
                << path.toStdString() << " at " << x << ", " << y;
        }
    }
}

// The desktop icons that are installed (kept in resources/icons) and the ones the
// tool writes afresh must both be the window icon's pixel art, enlarged by whole
// pixels, and the scalable one the same art square by square.
TEST(PicturesTool, DesktopIconFilesMatchTheWindowIcon) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(runTool({dir.path()}), 0);
    for (const QString& folder : {QStringLiteral(QUORVEL_SOURCE_DIR "/resources/icons"),
                                  dir.filePath(QStringLiteral("icons"))}) {
        for (const DesktopIcon& icon : kDesktopIcons) {
            expectDesktopIcon(QStringLiteral("%1/%2.png").arg(folder).arg(icon.size), icon);
        }
        expectScalableIcon(folder + QStringLiteral("/scalable.svg"));
    }
}

}  // namespace
