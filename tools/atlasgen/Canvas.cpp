#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace atlasgen {

QRgb Mix(QRgb a, QRgb b, int p)
{
    const auto m = [p](int x, int y) { return (x * (100 - p) + y * p + 50) / 100; };
    return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}

double Distance(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

QRgb Lighter(QRgb c, int percent) { return Mix(c, qRgb(255, 255, 255), percent); }
QRgb Darker(QRgb c, int percent) { return Mix(c, qRgb(0, 0, 0), percent); }

void Canvas::Pixel(int x, int y, QRgb c)
{
    if (x < 0 || y < 0 || x >= kTile || y >= kTile) return;
    image_.setPixel(left_ + x, top_ + y, c);
}

QRgb Canvas::At(int x, int y) const
{
    x = std::clamp(x, 0, kTile - 1);
    y = std::clamp(y, 0, kTile - 1);
    return image_.pixel(left_ + x, top_ + y);
}

void Canvas::Rect(int x, int y, int w, int h, QRgb c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Pixel(i, j, c);
}

void Canvas::Frame(int x, int y, int w, int h, QRgb c)
{
    HLine(x, x + w - 1, y, c);
    HLine(x, x + w - 1, y + h - 1, c);
    VLine(x, y, y + h - 1, c);
    VLine(x + w - 1, y, y + h - 1, c);
}

void Canvas::Bevel(int x, int y, int w, int h, QRgb face, int depth)
{
    Rect(x, y, w, h, face);
    for (int d = 0; d < depth; ++d) {
        HLine(x + d, x + w - 1 - d, y + d, Lighter(face, 45));
        VLine(x + d, y + d, y + h - 1 - d, Lighter(face, 30));
        HLine(x + d, x + w - 1 - d, y + h - 1 - d, Darker(face, 45));
        VLine(x + w - 1 - d, y + d, y + h - 1 - d, Darker(face, 35));
    }
}

void Canvas::HLine(int x1, int x2, int y, QRgb c)
{
    if (x1 > x2) std::swap(x1, x2);
    for (int i = x1; i <= x2; ++i) Pixel(i, y, c);
}

void Canvas::VLine(int x, int y1, int y2, QRgb c)
{
    if (y1 > y2) std::swap(y1, y2);
    for (int j = y1; j <= y2; ++j) Pixel(x, j, c);
}

void Canvas::Line(int x1, int y1, int x2, int y2, QRgb c)
{
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Pixel(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

void Canvas::Disc(double cx, double cy, double r, QRgb c)
{
    Ellipse(cx, cy, r, r, c);
}

void Canvas::Ring(double cx, double cy, double r, double width, QRgb c)
{
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const double d = Distance(x + 0.5 - cx, y + 0.5 - cy);
            if (d <= r && d > r - width) Pixel(x, y, c);
        }
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, QRgb c)
{
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
            if (u * u + v * v <= 1.0) Pixel(x, y, c);
        }
}

void Canvas::Ball(double cx, double cy, double r, QRgb c)
{
    const double lx = cx - r * 0.4, ly = cy - r * 0.4;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double d = Distance(px - cx, py - cy);
            if (d > r) continue;
            const double l = Distance(px - lx, py - ly) / (r * 1.4);  // 0 at the light, ~1 at the far rim
            QRgb p = l < 0.5 ? Lighter(c, static_cast<int>((0.5 - l) * 60)) : Darker(c, static_cast<int>((l - 0.5) * 80));
            if (d > r - 1.0) p = Darker(c, 45);  // rim
            Pixel(x, y, p);
        }
    Pixel(static_cast<int>(lx), static_cast<int>(ly), Lighter(c, 75));
}

void Canvas::Polygon(const std::vector<Point>& pts, QRgb c)
{
    const std::size_t n = pts.size();
    for (int y = 0; y < kTile; ++y) {
        const double py = y + 0.5;
        std::vector<double> xs;
        for (std::size_t i = 0; i < n; ++i) {
            const Point a = pts[i], b = pts[(i + 1) % n];
            if ((a.y <= py && b.y > py) || (b.y <= py && a.y > py)) {
                xs.push_back(a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            for (int x = 0; x < kTile; ++x) {
                const double px = x + 0.5;
                if (px >= xs[k] && px < xs[k + 1]) Pixel(x, y, c);
            }
        }
    }
}

void Canvas::Arrow(double cx, double cy, double s, Dir dir, QRgb c)
{
    switch (dir) {
    case Dir::Right: Polygon({{cx - s, cy - s}, {cx + s, cy}, {cx - s, cy + s}}, c); break;
    case Dir::Left: Polygon({{cx + s, cy - s}, {cx - s, cy}, {cx + s, cy + s}}, c); break;
    case Dir::Up: Polygon({{cx - s, cy + s}, {cx, cy - s}, {cx + s, cy + s}}, c); break;
    case Dir::Down: Polygon({{cx - s, cy - s}, {cx, cy + s}, {cx + s, cy - s}}, c); break;
    case Dir::None: break;
    }
}

void Canvas::Mask(const std::vector<std::string_view>& rows, int x, int y, int scale, QRgb c)
{
    for (std::size_t j = 0; j < rows.size(); ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i)
            if (rows[j][i] == '#') Rect(x + static_cast<int>(i) * scale, y + static_cast<int>(j) * scale, scale, scale, c);
}

void Canvas::Dots(int a, int b, int m, QRgb c, int x, int y, int w, int h)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if ((i * a + j * b) % m == 0) Pixel(i, j, c);
}

}  // namespace atlasgen
