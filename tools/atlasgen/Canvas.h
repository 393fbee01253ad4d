// Pixel drawing on one 16 x 16 tile of the atlas picture. Every primitive is
// plain integer or fixed double arithmetic on pixel centres, without
// anti-aliasing or system fonts, so the atlas comes out the same on every
// machine. Coordinates are tile pixels, 0..15; anything outside is clipped.
#pragma once

#include "base/TileLayout.h"

#include <QImage>
#include <QRgb>

#include <string_view>
#include <utility>
#include <vector>

namespace atlasgen {

constexpr int kTile = vantrel::kTileSize;

QRgb Lighter(QRgb c, int percent);  // towards white by percent
QRgb Darker(QRgb c, int percent);   // towards black by percent
QRgb Mix(QRgb a, QRgb b, int percentOfB);
// Length of (dx, dy) through the correctly rounded square root, so that
// every machine draws the same pixels (std::hypot may differ in its last bit).
double Distance(double dx, double dy);

struct Point {
    double x;
    double y;
};

enum class Dir { None, Right, Up, Left, Down };

class Canvas {
public:
    Canvas(QImage& image, int tileLeft, int tileTop) : image_(image), left_(tileLeft), top_(tileTop) {}

    void Pixel(int x, int y, QRgb c);
    QRgb At(int x, int y) const;
    void Fill(QRgb c) { Rect(0, 0, kTile, kTile, c); }
    void Rect(int x, int y, int w, int h, QRgb c);
    void Frame(int x, int y, int w, int h, QRgb c);
    // A raised block: face colour, light top-left edge, dark bottom-right edge.
    void Bevel(int x, int y, int w, int h, QRgb face, int depth = 1);
    void HLine(int x1, int x2, int y, QRgb c);
    void VLine(int x, int y1, int y2, QRgb c);
    void Line(int x1, int y1, int x2, int y2, QRgb c);
    // Discs and ellipses over pixel centres; centres may be half pixels.
    void Disc(double cx, double cy, double r, QRgb c);
    void Ring(double cx, double cy, double r, double width, QRgb c);
    void Ellipse(double cx, double cy, double rx, double ry, QRgb c);
    // A lit ball: brighter towards the upper left, with a small highlight.
    void Ball(double cx, double cy, double r, QRgb c);
    // Polygon fill by pixel centres (even-odd rule).
    void Polygon(const std::vector<Point>& pts, QRgb c);
    // A filled triangle arrow pointing dir, centred at (cx, cy), half size s.
    void Arrow(double cx, double cy, double s, Dir dir, QRgb c);
    // A mask of rows, '#' set and anything else clear, each cell scale x scale pixels.
    void Mask(const std::vector<std::string_view>& rows, int x, int y, int scale, QRgb c);
    // A dither: every pixel where (x * a + y * b) % m == 0 gets c.
    void Dots(int a, int b, int m, QRgb c, int x = 0, int y = 0, int w = kTile, int h = kTile);

private:
    QImage& image_;
    int left_;
    int top_;
};

}  // namespace atlasgen
