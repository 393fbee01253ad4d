// vantrel-atlasgen: draws the element atlas, resources/atlas.png.
//
//   vantrel-atlasgen OUTPUT.png        write the atlas
//   vantrel-atlasgen --check ATLAS.png compare a stored atlas with the one
//                                      this program draws (exit 1 if they differ)
//
// Every element of the element table is drawn at the tile ElementTileRect
// gives for it; where codes share a tile (empty space, custom elements) the
// tile is drawn once.
#include "Canvas.h"
#include "Painters.h"

#include "base/ElementTable.h"
#include "view/Tiles.h"

#include <QImage>

#include <cstdio>
#include <set>
#include <string>

namespace {

QImage DrawAtlas()
{
    QImage atlas(vantrel::kAtlasWidth, vantrel::kAtlasHeight, QImage::Format_RGB32);
    atlas.fill(qRgb(255, 0, 255));  // any tile left undrawn shows up at once
    std::set<vantrel::PackedCell> drawn;
    for (const vantrel::ElementInfo& e : vantrel::AllElements()) {
        const auto tile = vantrel::ElementTile(e.code);
        if (!tile || !drawn.insert(*tile).second) continue;
        const auto rect = vantrel::ElementTileRect(e.code);
        atlasgen::Canvas canvas(atlas, rect->left, rect->top);
        atlasgen::PaintElement(canvas, e);
    }
    return atlas.convertToFormat(QImage::Format_RGB888);
}

int Check(const std::string& path, const QImage& drawn)
{
    QImage stored(QString::fromStdString(path));
    if (stored.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    stored = stored.convertToFormat(QImage::Format_RGB888);
    if (stored.size() != drawn.size()) {
        std::fprintf(stderr, "%s is %dx%d, the atlas is %dx%d\n", path.c_str(), stored.width(), stored.height(),
                     drawn.width(), drawn.height());
        return 1;
    }
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (stored.pixel(x, y) != drawn.pixel(x, y)) {
                std::fprintf(stderr, "%s differs from the drawn atlas at pixel (%d, %d), tile (%d, %d)\n", path.c_str(),
                             x, y, x / vantrel::kTileSize + 1, y / vantrel::kTileSize + 1);
                return 1;
            }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const QImage atlas = DrawAtlas();
    if (argc == 3 && std::string(argv[1]) == "--check") return Check(argv[2], atlas);
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: vantrel-atlasgen OUTPUT.png | --check ATLAS.png\n");
        return 2;
    }
    if (!atlas.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
