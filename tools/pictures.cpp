// quorvel-pictures OUTDIR: writes every fixed picture of the game as a PNG file,
// plus contact-sheet.png, a 4x enlarged sheet of the faces, the digits and every
// glyph on a cell, so that the art can be reviewed by eye.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/game_view.h"
#include "render/board_pictures.h"
#include "render/cell_faces.h"
#include "render/face_pictures.h"
#include "render/glyphs.h"
#include "render/panel_pictures.h"
#include "render/picture.h"

namespace {

using quorvel::core::Face;
using quorvel::render::Picture;
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

    bool write(const QString& name, const Picture& pic) {
        const QString path = dir_.filePath(name);
        if (!toImage(pic).save(path, "PNG")) {
            std::fprintf(stderr, "quorvel-pictures: cannot write %s\n",
                         QDir::toNativeSeparators(path).toLocal8Bit().constData());
            return false;
        }
        return true;
    }

  private:
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

Picture cellTile(const std::function<void(Picture&)>& draw) {
    Picture tile(kTileWidth, kTileHeight, render::Sed(192));
    render::DrawP2(tile, kTileOriginX, kTileOriginY);
    draw(tile);
    return tile;
}

std::vector<Picture> glyphTiles(int faceSet) {
    std::vector<Picture> tiles;
    for (int n = 0; n <= 6; ++n) {
        tiles.push_back(cellTile([&](Picture& tile) {
            int x = kTileOriginX + 1;
            render::DrawPD(tile, x, kTileOriginY);
            render::DrawNu(tile, x, kTileOriginY, n, faceSet);
        }));
    }
    for (const quorvel::core::MineKind kind :
         {quorvel::core::MineKind::Revealed, quorvel::core::MineKind::Hit}) {
        tiles.push_back(cellTile([&](Picture& tile) {
            int x = kTileOriginX + 1;
            render::DrawMin(tile, x, kTileOriginY, kind);
        }));
    }
    tiles.push_back(cellTile(
        [&](Picture& tile) { render::DrawFlg(tile, kTileOriginX, kTileOriginY, faceSet); }));
    tiles.push_back(cellTile([&](Picture& tile) {
        int x = kTileOriginX + 2;
        render::DrawCrs(tile, x, kTileOriginY, faceSet);
    }));
    return tiles;
}

// Rows of pictures laid out left to right, top to bottom, kGap apart.
Picture contactSheet() {
    std::vector<std::vector<Picture>> rows;
    for (int set = 0; set < 3; ++set) {
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
    for (int set = 0; set < 3; ++set) {
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
    for (int set = 0; set < 3; ++set) {
        for (const Face face : kFaces) {
            ok &= out.write(QStringLiteral("face-%1-%2.png").arg(set).arg(faceName(face)),
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
    for (const int size : {16, 32, 128}) {
        ok &= out.write(QStringLiteral("icon-%1.png").arg(size), render::iconPicture(size));
    }
    ok &= out.write(QStringLiteral("contact-sheet.png"), contactSheet());
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: quorvel-pictures OUTDIR\n"
                     "Writes every fixed picture of the game as PNG into OUTDIR, which must "
                     "exist.\n");
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
