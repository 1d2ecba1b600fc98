// quorvel-pictures OUTDIR: writes every fixed picture of the game as a PNG file,
// plus contact-sheet.png, a 4x enlarged sheet of the faces, the digits and every
// glyph on a cell, so that the art can be reviewed by eye; and into OUTDIR/icons
// the desktop icons that resources/icons holds.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QXmlStreamWriter>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/game_view.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "render/face_pictures.h"
#include "render/panel_pictures.h"
#include "render/picture.h"

namespace {

using quorvel::core::CellLook;
using quorvel::core::Face;
using quorvel::render::Picture;
namespace core = quorvel::core;
namespace render = quorvel::render;

constexpr int kSheetScale = 4;
constexpr int kGap = 4;
// The contact sheet's ground, a colour that no picture uses at its edge, so that
// every picture's extent shows.
constexpr render::Rgb kSheetGround = render::rgb(0, 128, 128);

QImage toImage(const Picture& pic) {
    // The picture's words are 0xFFRRGGBB, which is QImage's RGB32 layout.
    return QImage(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                  pic.bytesPerLine(), QImage::Format_RGB32)
        .copy();
}

class Writer {
  public:
    explicit Writer(QDir dir) : dir_(std::move(dir)) {}

    bool write(const QString& name, const Picture& pic) { return write(name, toImage(pic)); }

    bool write(const QString& name, const QImage& image) {
        const QString path = dir_.filePath(name);
        return image.save(path, "PNG") || failed(path);
    }

    bool write(const QString& name, const QByteArray& text) {
        const QString path = dir_.filePath(name);
        QSaveFile file(path);
        return (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                file.commit()) ||
               failed(path);
    }

    bool makeFolder(const QString& name) {
        return dir_.mkpath(name) || failed(dir_.filePath(name));
    }

  private:
    static bool failed(const QString& path) {
        std::fprintf(stderr, "quorvel-pictures: cannot write %s\n",
                     QDir::toNativeSeparators(path).toLocal8Bit().constData());
        return false;
    }

    QDir dir_;
};

const char* faceName(Face face) {
    switch (face) {
        case Face::Normal:
            return "normal";
        case Face::Pressed:
            return "pressed";
        case Face::Surprised:
            return "surprised";
        case Face::Dead:
            return "dead";
        case Face::Winner:
            return "winner";
    }
    return "?";
}

constexpr Face kFaces[] = {Face::Normal, Face::Pressed, Face::Surprised, Face::Dead, Face::Winner};

// One cell on a tile of its own, drawn as the game draws it.
constexpr int kTileWidth = 28;
constexpr int kTileHeight = 18;
// The cell's outline origin on the tile; the cell covers x - 9 .. x + 16.
constexpr int kTileOriginX = 10;
constexpr int kTileOriginY = 1;

Picture cellTile(const std::function<void(Picture&, render::PixelPos)>& draw) {
    Picture tile(kTileWidth, kTileHeight, render::grey(192));
    const render::PixelPos origin{kTileOriginX, kTileOriginY};
    render::drawLookAt(tile, origin, CellLook::Raised, core::FaceSet::Yellow);
    draw(tile, origin);
    return tile;
}

std::vector<Picture> glyphTiles(core::FaceSet faceSet) {
    std::vector<Picture> tiles;
    for (int n = 0; n <= 6; ++n) {
        tiles.push_back(cellTile([&](Picture& tile, render::PixelPos origin) {
            render::drawOpenedAt(tile, origin, n, faceSet);
        }));
    }
    for (const CellLook look :
         {CellLook::Mine, CellLook::HitMine, CellLook::Flag, CellLook::WrongFlag}) {
        tiles.push_back(cellTile([&](Picture& tile, render::PixelPos origin) {
            render::drawLookAt(tile, origin, look, faceSet);
        }));
    }
    return tiles;
}

// Rows of pictures laid out left to right, top to bottom, kGap apart.
Picture contactSheet() {
    std::vector<std::vector<Picture>> rows;
    for (const core::FaceSet set : core::kFaceSets) {
        std::vector<Picture> row;
        for (const Face face : kFaces) {
            row.push_back(render::facePicture(face, set));
        }
        rows.push_back(row);
    }
    std::vector<Picture> digits;
    for (int i = 0; i <= 10; ++i) {
        digits.push_back(render::digitPicture(i));
    }
    rows.push_back(digits);
    for (const core::FaceSet set : core::kFaceSets) {
        rows.push_back(glyphTiles(set));
    }
    rows.push_back({render::iconPicture(16), render::iconPicture(32), render::buttonMaskPicture()});

    int width = 0;
    int height = kGap;
    for (const auto& row : rows) {
        int rowWidth = kGap;
        int rowHeight = 0;
        for (const Picture& pic : row) {
            rowWidth += pic.width() + kGap;
            rowHeight = std::max(rowHeight, pic.height());
        }
        width = std::max(width, rowWidth);
        height += rowHeight + kGap;
    }
    Picture sheet(width, height, kSheetGround);
    int y = kGap;
    for (const auto& row : rows) {
        int x = kGap;
        int rowHeight = 0;
        for (const Picture& pic : row) {
            sheet.blit(pic, x, y);
            x += pic.width() + kGap;
            rowHeight = std::max(rowHeight, pic.height());
        }
        y += rowHeight + kGap;
    }

    // Nearest-neighbour enlargement: every pixel becomes a sharp square.
    Picture large(width * kSheetScale, height * kSheetScale, kSheetGround);
    for (int ly = 0; ly < large.height(); ++ly) {
        for (int lx = 0; lx < large.width(); ++lx) {
            large.set(lx, ly,
                      static_cast<render::Rgb>(sheet.at(lx / kSheetScale, ly / kSheetScale)));
        }
    }
    return large;
}

// The sizes a desktop's icon theme looks for. Every one is drawn from the pixel
// art by whole pixels, so that it stays as crisp as the window icon: a size that
// is a whole multiple of the 32-pixel art enlarges that (it has the finer
// drawing), one of the 16-pixel art enlarges that, and 22 and 24, which are
// neither, show the 16-pixel art at its own size in the middle of a transparent
// square.
constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage desktopIcon(int size) {
    const int art = size % 32 == 0 ? 32 : 16;
    const QImage source = toImage(render::iconPicture(art));
    if (size % art == 0) {
        return source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    QImage framed(size, size, QImage::Format_ARGB32);
    framed.fill(Qt::transparent);
    QPainter(&framed).drawImage((size - art) / 2, (size - art) / 2, source);
    return framed;
}

// The scalable icon: the 32-pixel art as one unit square per pixel, gathered into
// one path per colour. crispEdges keeps a renderer from blending the seams
// between neighbouring squares.
QByteArray scalableIcon() {
    const Picture& art = render::iconPicture(32);
    std::map<int, QString> squaresByColour;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            squaresByColour[art.at(x, y)] += QStringLiteral("M%1 %2h1v1h-1z").arg(x).arg(y);
        }
    }
    QByteArray svg;
    QXmlStreamWriter xml(&svg);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    const QString side = QString::number(art.width());
    xml.writeAttribute(QStringLiteral("width"), side);
    xml.writeAttribute(QStringLiteral("height"), side);
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %1").arg(side));
    xml.writeAttribute(QStringLiteral("shape-rendering"), QStringLiteral("crispEdges"));
    for (const auto& [colour, squares] : squaresByColour) {
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("fill"),
                           QStringLiteral("#%1").arg(colour, 6, 16, QLatin1Char('0')));
        xml.writeAttribute(QStringLiteral("d"), squares);
    }
    xml.writeEndDocument();
    return svg;
}

bool writeDesktopIcons(Writer& out) {
    if (!out.makeFolder(QStringLiteral("icons"))) {
        return false;
    }
    bool ok = true;
    for (const int size : kDesktopIconSizes) {
        ok &= out.write(QStringLiteral("icons/%1.png").arg(size), desktopIcon(size));
    }
    ok &= out.write(QStringLiteral("icons/scalable.svg"), scalableIcon());
    return ok;
}

bool writeAll(Writer& out) {
    bool ok = true;
    for (const int side : {4, 6, 8, 10}) {
        ok &= out.write(QStringLiteral("board-%1.png").arg(side), render::boardPicture(side));
        ok &= out.write(QStringLiteral("map-%1.png").arg(side), render::hitTestMap(side));
    }
    for (int i = 0; i <= 9; ++i) {
        ok &= out.write(QStringLiteral("digit-%1.png").arg(i), render::digitPicture(i));
    }
    ok &= out.write(QStringLiteral("digit-minus.png"), render::digitPicture(10));
    ok &= out.write(QStringLiteral("button-mask.png"), render::buttonMaskPicture());
    for (const core::FaceSet set : core::kFaceSets) {
        for (const Face face : kFaces) {
            ok &= out.write(
                QStringLiteral("face-%1-%2.png").arg(core::faceSetNumber(set)).arg(faceName(face)),
                render::facePicture(face, set));
        }
    }
    ok &= out.write(QStringLiteral("panel.png"), render::panelPicture());
    ok &= out.write(QStringLiteral("panel-edge.png"), render::panelEdgePicture());
    ok &= out.write(QStringLiteral("edge-right.png"), render::rightEdgePicture());
    ok &= out.write(QStringLiteral("edge-bottom.png"), render::bottomEdgePicture());
    ok &= out.write(QStringLiteral("background.png"), render::backgroundPicture());
    ok &= out.write(QStringLiteral("counter-box.png"), render::counterBoxPicture());
    ok &= out.write(QStringLiteral("clock-box.png"), render::clockBoxPicture());
    for (const int size : {16, 32}) {
        ok &= out.write(QStringLiteral("icon-%1.png").arg(size), render::iconPicture(size));
    }
    ok &= out.write(QStringLiteral("contact-sheet.png"), contactSheet());
    ok &= writeDesktopIcons(out);
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: quorvel-pictures OUTDIR\n"
                     "Writes every fixed picture of the game as PNG into OUTDIR, which must "
                     "exist, and the desktop icons into OUTDIR/icons.\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QFileInfo info(outDir);
    if (!info.exists() || !info.isDir()) {
        std::fprintf(stderr, "quorvel-pictures: %s is not an existing directory\n", argv[1]);
        return 1;
    }
    if (!info.isWritable()) {
        std::fprintf(stderr, "quorvel-pictures: directory %s is not writable\n", argv[1]);
        return 1;
    }
    Writer out{QDir(outDir)};
    return writeAll(out) ? 0 : 1;
}
