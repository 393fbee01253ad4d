// Comparing drawn pictures with the element atlas as the program loaded it.
#pragma once

#include "gui/view/AtlasQt.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <gtest/gtest.h>

namespace vantrel::test {

// True when the 16 x 16 square of picture at `at` holds exactly tile.
inline bool HoldsTile(const QImage& picture, QPoint at, const QImage& tile)
{
    const QImage a = picture.convertToFormat(QImage::Format_RGB32);
    const QImage b = tile.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (a.pixel(at.x() + x, at.y() + y) != b.pixel(x, y)) return false;
    return true;
}

// The tile the level view draws for a code of a level without custom element
// graphics: the atlas's tile, custom elements with their number.
inline bool HoldsCode(const QImage& picture, QPoint at, std::uint16_t code)
{
    return HoldsTile(picture, at, TileImage(PlainAtlas(), code));
}

// The codes of atlas tiles spread over a map: cell (x, y) gets a different
// tile than its neighbours, every code between 1 and 623.
inline std::uint16_t SpreadCode(int x, int y)
{
    return static_cast<std::uint16_t>((x * 7 + y * 31) % 623 + 1);
}

}  // namespace vantrel::test
