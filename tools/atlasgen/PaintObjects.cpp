// Gems, rocks, keys, doors, creatures and the other things that stand on
// the playfield, all drawn on black.
#include "Painters.h"

#include "Font.h"

#include <array>
#include <cmath>

namespace atlasgen {

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(140, 140, 140);
constexpr QRgb kRed = qRgb(220, 40, 40);
constexpr QRgb kYellow = qRgb(245, 215, 40);

QRgb GemColour(std::string_view token)
{
    if (token == "emerald_yellow") return qRgb(235, 210, 40);
    if (token == "emerald_red") return qRgb(220, 40, 50);
    if (token == "emerald_purple") return qRgb(170, 60, 220);
    return qRgb(40, 200, 60);
}

void Rock(Canvas& c, QRgb colour)
{
    c.Fill(kBlack);
    c.Ball(8, 8.5, 7, colour);
    c.Pixel(9, 10, Darker(colour, 35));
    c.Pixel(10, 11, Darker(colour, 35));
    c.Pixel(5, 11, Darker(colour, 25));
}

void Zonk(Canvas& c)
{
    c.Fill(kBlack);
    c.Ball(8, 8, 7, qRgb(150, 150, 150));
    c.Ring(8, 8, 4.5, 1, qRgb(100, 100, 100));
}

void Nut(Canvas& c)
{
    c.Fill(kBlack);
    const QRgb shell = qRgb(160, 110, 60);
    c.Ellipse(8, 8.5, 6.5, 6, shell);
    c.Ellipse(6.5, 7, 3, 3, Lighter(shell, 20));
    c.VLine(8, 3, 14, Darker(shell, 40));
    c.Line(4, 5, 6, 3, Darker(shell, 30));
    c.Line(11, 12, 13, 10, Darker(shell, 30));
}

void Bomb(Canvas& c, QRgb body, bool band)
{
    c.Fill(kBlack);
    c.Ball(7.5, 9.5, 6, body);
    if (band) c.Rect(2, 9, 12, 2, kRed);
    c.Rect(9, 3, 3, 2, qRgb(120, 120, 120));
    c.Line(11, 2, 13, 1, qRgb(200, 160, 90));
    c.Pixel(14, 0, kYellow);
    c.Pixel(14, 1, qRgb(255, 130, 30));
}

void Dynamite(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const bool active = EndsWith(token, ".active");
    if (token.starts_with("em_")) {
        for (int x : {3, 7, 11}) { c.Rect(x, 5, 3, 10, kRed); c.VLine(x, 5, 14, Lighter(kRed, 35)); }
        c.HLine(2, 14, 9, qRgb(60, 60, 60));
        c.Line(8, 5, 10, 1, qRgb(220, 210, 190));
    } else if (token == "sp_disk_red") {
        c.Bevel(2, 2, 12, 12, kRed);
        c.Rect(5, 2, 6, 4, qRgb(190, 190, 200));
        c.Rect(9, 3, 1, 2, qRgb(60, 60, 60));
        c.Rect(4, 9, 8, 4, qRgb(240, 240, 230));
        return;
    } else {
        c.Rect(5, 4, 6, 11, kRed);
        c.VLine(6, 4, 14, Lighter(kRed, 40));
        c.VLine(10, 4, 14, Darker(kRed, 35));
        c.HLine(5, 10, 8, Darker(kRed, 30));
        c.Line(8, 4, 10, 1, qRgb(220, 210, 190));
    }
    if (active) {
        c.Disc(11, 1.5, 1.6, kYellow);
        c.Pixel(13, 0, qRgb(255, 130, 30));
        c.Pixel(9, 0, qRgb(255, 130, 30));
        c.Pixel(12, 3, qRgb(255, 130, 30));
    }
}

void Door(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view t = e.token;
    c.Fill(kBlack);
    const int n = NumberIn(t);
    const bool white = t.starts_with("dc_");
    const QRgb own = white ? qRgb(235, 235, 235) : NumberColour(n);
    const bool gray = EndsWith(t, "_gray");
    const QRgb face = gray ? qRgb(128, 128, 132) : own;
    if (t.starts_with("em_")) {
        // an arched door
        c.Polygon({{2, 16}, {2, 6}, {4, 2.5}, {8, 1}, {12, 2.5}, {14, 6}, {14, 16}}, Darker(face, 40));
        c.Polygon({{3, 16}, {3, 6.5}, {5, 3.5}, {8, 2.2}, {11, 3.5}, {13, 6.5}, {13, 16}}, face);
        c.VLine(8, 3, 15, Darker(face, 35));
        c.Disc(10.5, 9.5, 1.2, gray ? own : Darker(face, 60));
        if (gray) c.Ring(8, 6, 2.5, 1, own);
        return;
    }
    c.Bevel(1, 0, 14, 16, face, 1);
    c.Frame(3, 2, 10, 5, Darker(face, 25));
    c.Frame(3, 9, 10, 5, Darker(face, 25));
    if (gray) {
        // the colour of the key that opens it, as a badge
        c.Rect(5, 3, 6, 3, own);
        c.Disc(8, 11.5, 1.6, Darker(face, 60));
    } else {
        c.Disc(8, 10.5, 1.6, kBlack);
        c.VLine(8, 11, 13, kBlack);
    }
}

void Exit(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const QRgb frame = qRgb(150, 150, 160);
    c.Bevel(0, 0, kTile, kTile, frame, 2);
    if (token == "sp_exit_closed") {
        c.Rect(3, 3, 10, 10, qRgb(40, 40, 40));
        c.Mask({"###.#.#", "#...#.#", "##...#.", "#...#.#", "###.#.#"}, 4, 5, 1, qRgb(230, 60, 60));
        return;
    }
    if (EndsWith(token, "open")) {
        c.Rect(3, 3, 10, 13, qRgb(255, 235, 150));
        c.Rect(5, 5, 6, 11, kWhite);
        c.Pixel(3, 3, frame);
        c.Pixel(12, 3, frame);
    } else {
        c.Rect(3, 3, 10, 13, qRgb(30, 30, 40));
        for (int x = 4; x < 13; x += 3) c.VLine(x, 3, 15, qRgb(90, 90, 100));
    }
}

void Amoeba(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    if (token == "amoeba_drop") {
        const QRgb drop = qRgb(60, 200, 80);
        c.Polygon({{8, 2}, {12, 9}, {4, 9}}, drop);
        c.Disc(8, 10, 4, drop);
        c.Pixel(6, 9, Lighter(drop, 60));
        return;
    }
    QRgb blob = qRgb(50, 190, 70);
    if (token == "amoeba_dead") blob = qRgb(70, 90, 60);
    if (token == "amoeba_wet") blob = qRgb(40, 160, 150);
    if (token == "bd_amoeba") blob = qRgb(110, 220, 40);
    c.Disc(5, 5, 4.5, blob);
    c.Disc(11, 6, 4.5, blob);
    c.Disc(6, 11, 4.5, blob);
    c.Disc(11, 11.5, 4, blob);
    c.Disc(8, 8, 4, blob);
    c.Disc(4, 4, 1.4, Lighter(blob, 40));
    c.Disc(10, 5, 1.2, Lighter(blob, 40));
    c.Disc(7, 11, 1.2, Darker(blob, 35));
    if (token == "amoeba_wet") { c.Disc(12, 13, 1.5, qRgb(120, 220, 255)); }
    if (token == "amoeba_full") { c.Rect(9, 9, 3, 3, qRgb(200, 40, 40)); c.Rect(4, 7, 2, 2, qRgb(240, 240, 60)); }
    if (token == "amoeba_to_diamond") Brilliant(c, qRgb(200, 240, 255), 6, 6, 6);
}

void Creature(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view cls = e.elementClass;
    c.Fill(kBlack);
    if (cls == "bug") {
        const QRgb shell = qRgb(60, 170, 60);
        for (int y : {5, 8, 11}) { c.HLine(1, 14, y, qRgb(120, 90, 40)); }
        c.Ellipse(8, 8.5, 5, 6.5, shell);
        c.VLine(8, 3, 14, Darker(shell, 45));
        c.Disc(8, 3, 2.2, qRgb(40, 40, 40));
        c.Pixel(7, 2, kWhite);
        c.Pixel(9, 2, kWhite);
        c.Disc(6, 9, 1, Lighter(shell, 50));
        c.Disc(10, 11, 1, Lighter(shell, 50));
    } else if (cls == "spaceship") {
        const QRgb hull = qRgb(170, 180, 200);
        c.Polygon({{8, 1}, {14, 14}, {8, 11}, {2, 14}}, hull);
        c.Polygon({{8, 1}, {8, 11}, {2, 14}}, Lighter(hull, 30));
        c.Disc(8, 7, 1.6, qRgb(60, 160, 255));
        c.Pixel(5, 14, qRgb(255, 140, 40));
        c.Pixel(11, 14, qRgb(255, 140, 40));
    } else if (cls == "yamyam" || cls == "dark_yamyam") {
        const QRgb body = cls == "yamyam" ? qRgb(200, 60, 60) : qRgb(80, 70, 90);
        c.Ball(8, 8, 7, body);
        c.Polygon({{3, 9}, {13, 9}, {11, 13}, {5, 13}}, kBlack);
        for (int x = 4; x < 13; x += 2) c.Pixel(x, 9, kWhite);
        c.Disc(5.5, 5, 1.6, kWhite);
        c.Disc(10.5, 5, 1.6, kWhite);
        c.Pixel(5, 5, kBlack);
        c.Pixel(10, 5, kBlack);
    } else if (cls == "robot") {
        const QRgb metal = qRgb(160, 165, 175);
        c.VLine(8, 0, 2, metal);
        c.Pixel(8, 0, kRed);
        c.Bevel(2, 3, 12, 10, metal);
        c.Rect(4, 5, 3, 3, kRed);
        c.Rect(9, 5, 3, 3, kRed);
        c.HLine(5, 10, 10, Darker(metal, 50));
        c.Rect(4, 13, 2, 3, Darker(metal, 30));
        c.Rect(10, 13, 2, 3, Darker(metal, 30));
    } else if (cls == "pacman") {
        const Dir d = DotDir(e.token);
        c.Disc(8, 8, 7, kYellow);
        std::vector<Point> mouth;
        switch (d == Dir::None ? Dir::Right : d) {
        case Dir::Left: mouth = {{8, 8}, {-1, 2}, {-1, 14}}; break;
        case Dir::Up: mouth = {{8, 8}, {2, -1}, {14, -1}}; break;
        case Dir::Down: mouth = {{8, 8}, {2, 17}, {14, 17}}; break;
        default: mouth = {{8, 8}, {17, 2}, {17, 14}}; break;
        }
        c.Polygon(mouth, kBlack);
        const bool vertical = d == Dir::Up || d == Dir::Down;
        c.Pixel(vertical ? 11 : 7, vertical ? 7 : 4, kBlack);
        if (d != Dir::None) return;  // the mouth shows the direction
    } else if (cls == "mole") {
        const QRgb fur = qRgb(120, 85, 60);
        c.Ellipse(8, 9, 6.5, 5.5, fur);
        c.Disc(8, 11, 2, qRgb(230, 140, 150));
        c.Pixel(5, 7, kBlack);
        c.Pixel(10, 7, kBlack);
        c.HLine(2, 5, 14, qRgb(230, 200, 180));
        c.HLine(10, 13, 14, qRgb(230, 200, 180));
    } else if (cls == "bd_butterfly") {
        const QRgb wing = qRgb(80, 110, 255);
        c.Polygon({{8, 8}, {1, 2}, {1, 14}}, wing);
        c.Polygon({{8, 8}, {15, 2}, {15, 14}}, wing);
        c.Disc(4, 6, 1.2, qRgb(255, 120, 220));
        c.Disc(12, 6, 1.2, qRgb(255, 120, 220));
        c.VLine(8, 3, 13, qRgb(230, 230, 230));
    } else if (cls == "bd_firefly") {
        const QRgb glow = qRgb(255, 140, 30);
        c.Frame(1, 1, 14, 14, glow);
        c.Frame(4, 4, 8, 8, Lighter(glow, 30));
        c.Rect(7, 7, 2, 2, kWhite);
    } else if (cls == "penguin") {
        c.Ellipse(8, 8.5, 5.5, 7, qRgb(30, 30, 40));
        c.Ellipse(8, 10, 3.5, 5, kWhite);
        c.Pixel(6, 4, kWhite);
        c.Pixel(10, 4, kWhite);
        c.Polygon({{7, 5.5}, {9, 5.5}, {8, 7.5}}, qRgb(250, 160, 30));
        c.HLine(4, 6, 15, qRgb(250, 160, 30));
        c.HLine(10, 12, 15, qRgb(250, 160, 30));
    } else if (cls == "pig") {
        const QRgb skin = qRgb(240, 150, 170);
        c.Ball(8, 8.5, 7, skin);
        c.Ellipse(8, 10, 3, 2, Darker(skin, 20));
        c.Pixel(7, 10, Darker(skin, 60));
        c.Pixel(9, 10, Darker(skin, 60));
        c.Pixel(5, 6, kBlack);
        c.Pixel(10, 6, kBlack);
        c.Polygon({{2, 1}, {6, 3}, {3, 5}}, skin);
        c.Polygon({{14, 1}, {10, 3}, {13, 5}}, skin);
    } else if (cls == "dragon") {
        const QRgb scale = qRgb(50, 160, 70);
        c.Polygon({{1, 6}, {9, 3}, {11, 6}, {11, 11}, {1, 11}}, scale);
        c.Polygon({{3, 3}, {6, 0}, {6, 4}}, Darker(scale, 30));
        c.Pixel(6, 6, kYellow);
        c.Polygon({{11, 7}, {16, 4}, {16, 12}}, qRgb(255, 140, 30));
        c.Polygon({{11, 8}, {15, 7}, {15, 10}}, kYellow);
        c.Rect(2, 11, 2, 4, scale);
        c.Rect(7, 11, 2, 4, scale);
    } else if (cls == "satellite") {
        const QRgb panel = qRgb(50, 90, 200);
        c.Rect(0, 5, 5, 6, panel);
        c.Rect(11, 5, 5, 6, panel);
        c.VLine(2, 5, 10, Lighter(panel, 40));
        c.VLine(13, 5, 10, Lighter(panel, 40));
        c.HLine(5, 10, 8, qRgb(180, 180, 180));
        c.Ball(8, 8, 3.5, qRgb(200, 200, 210));
        c.Line(8, 4, 10, 1, qRgb(180, 180, 180));
    } else if (cls == "sp_sniksnak") {
        const QRgb blade = qRgb(200, 200, 210);
        c.Line(2, 2, 12, 12, blade);
        c.Line(3, 2, 13, 12, blade);
        c.Line(13, 2, 3, 12, blade);
        c.Line(12, 2, 2, 12, blade);
        c.Ring(3.5, 13, 2.4, 1, kRed);
        c.Ring(12.5, 13, 2.4, 1, kRed);
        c.Pixel(8, 7, kBlack);
    } else if (cls == "sp_electron") {
        const QRgb glow = qRgb(120, 200, 255);
        c.Ring(8, 8, 7, 1, Darker(glow, 30));
        c.Polygon({{8, 2}, {9.5, 6.5}, {14, 8}, {9.5, 9.5}, {8, 14}, {6.5, 9.5}, {2, 8}, {6.5, 6.5}}, glow);
        c.Disc(8, 8, 1.5, kWhite);
    }
    DirectionMark(c, DotDir(e.token));
}

void Lamp(Canvas& c, bool on)
{
    c.Fill(kBlack);
    const QRgb glass = on ? qRgb(255, 240, 120) : qRgb(110, 110, 120);
    if (on) {
        for (const auto& [x1, y1, x2, y2] : {std::array{1, 6, 2, 6}, std::array{14, 6, 15, 6}, std::array{2, 1, 3, 2},
                                             std::array{13, 2, 14, 1}, std::array{8, 0, 8, 0}})
            c.Line(x1, y1, x2, y2, kYellow);
    }
    c.Disc(8, 7, 4.5, glass);
    c.Rect(6, 11, 4, 4, qRgb(170, 170, 170));
    c.HLine(6, 9, 12, qRgb(100, 100, 100));
    c.HLine(6, 9, 14, qRgb(100, 100, 100));
    c.Pixel(6, 5, Lighter(glass, 60));
}

void Wheel(Canvas& c, bool active)
{
    c.Fill(kBlack);
    const QRgb rim = active ? qRgb(255, 200, 60) : qRgb(170, 170, 180);
    c.Ring(8, 8, 7, 2, rim);
    c.Line(8, 2, 8, 13, rim);
    c.Line(2, 8, 13, 8, rim);
    c.Line(4, 4, 11, 11, rim);
    c.Line(11, 4, 4, 11, rim);
    c.Disc(8, 8, 2, active ? kWhite : qRgb(100, 100, 110));
}

void TimeOrb(Canvas& c, bool full)
{
    c.Fill(kBlack);
    if (full) {
        c.Ball(8, 8, 6.5, qRgb(90, 150, 255));
        c.Disc(8, 8, 2.5, qRgb(220, 240, 255));
    } else {
        c.Ring(8, 8, 6.5, 1, qRgb(90, 110, 160));
        c.Pixel(6, 4, qRgb(140, 160, 210));
    }
}

void Dynabomb(Canvas& c, std::string_view token)
{
    c.Fill(qRgb(30, 30, 60));
    c.Frame(0, 0, kTile, kTile, qRgb(90, 90, 160));
    if (EndsWith(token, "number")) {
        c.Ball(6, 9, 4, qRgb(70, 70, 70));
        c.Rect(10, 3, 5, 1, kWhite);
        c.Rect(12, 1, 1, 5, kWhite);
    } else if (EndsWith(token, "size")) {
        c.Ring(8, 8, 7, 1, kYellow);
        c.Ball(8, 8, 4, qRgb(70, 70, 70));
    } else {
        c.Ball(7, 9, 4.5, qRgb(70, 70, 70));
        c.Polygon({{12, 1}, {9, 7}, {12, 7}, {10, 13}, {15, 5}, {12, 5}, {14, 1}}, kYellow);
    }
}

void Sokoban(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const QRgb wood = qRgb(190, 130, 60);
    auto crate = [&c, wood](QRgb edge) {
        c.Bevel(2, 2, 12, 12, wood);
        c.Frame(2, 2, 12, 12, edge);
        c.Line(3, 3, 12, 12, Darker(wood, 35));
        c.Line(12, 3, 3, 12, Darker(wood, 35));
    };
    auto target = [&c]() {
        c.Ring(8, 8, 6.5, 1, qRgb(80, 200, 80));
        c.Ring(8, 8, 3.5, 1, qRgb(80, 200, 80));
    };
    if (token == "sokoban_object") crate(Darker(wood, 50));
    else if (token == "sokoban_field_empty") target();
    else if (token == "sokoban_field_full") crate(qRgb(80, 220, 80));
    else {
        target();
        c.Disc(8, 5, 2, qRgb(240, 200, 160));
        c.Rect(6, 7, 5, 5, qRgb(220, 40, 40));
        c.Rect(6, 12, 2, 3, qRgb(60, 60, 160));
        c.Rect(9, 12, 2, 3, qRgb(60, 60, 160));
    }
}

void Arrow(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    c.Bevel(0, 0, kTile, kTile, qRgb(70, 70, 90));
    const Dir d = WordDir(token);
    const QRgb a = qRgb(255, 230, 90);
    c.Arrow(8, 8, 5.5, d, a);
    if (d == Dir::Left || d == Dir::Right) c.Rect(d == Dir::Left ? 8 : 3, 6, 5, 4, a);
    else c.Rect(6, d == Dir::Up ? 8 : 3, 4, 5, a);
}

void Balloon(Canvas& c)
{
    c.Fill(kBlack);
    c.Ellipse(8, 6.5, 5.5, 6, qRgb(230, 50, 60));
    c.Ellipse(6, 4.5, 1.5, 2, qRgb(250, 150, 150));
    c.Polygon({{7, 12}, {9, 12}, {8, 13.5}}, qRgb(230, 50, 60));
    c.Line(8, 13, 9, 15, qRgb(200, 200, 200));
}

void WindSwitch(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    c.Bevel(1, 1, 14, 14, qRgb(90, 110, 130));
    const QRgb a = qRgb(230, 240, 255);
    const Dir d = WordDir(token);
    if (d == Dir::None) {
        for (Dir x : {Dir::Left, Dir::Right, Dir::Up, Dir::Down}) {
            const double cx = x == Dir::Left ? 4.5 : x == Dir::Right ? 11.5 : 8;
            const double cy = x == Dir::Up ? 4.5 : x == Dir::Down ? 11.5 : 8;
            c.Arrow(cx, cy, 2.5, x, a);
        }
    } else {
        c.Arrow(8, 8, 4.5, d, a);
    }
}

void Sign(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    c.Rect(7, 12, 2, 4, qRgb(150, 150, 150));
    const std::string_view s = token.substr(5);  // after "sign_"
    if (s == "exclamation") {
        c.Polygon({{8, 0}, {15.5, 13}, {0.5, 13}}, kYellow);
        c.Rect(7, 4, 2, 5, kBlack);
        c.Rect(7, 10, 2, 2, kBlack);
    } else if (s == "radioactivity") {
        c.Disc(8, 6.5, 6.5, kYellow);
        c.Polygon({{8, 6.5}, {5, 1.5}, {11, 1.5}}, kBlack);
        c.Polygon({{8, 6.5}, {2, 8}, {5, 12}}, kBlack);
        c.Polygon({{8, 6.5}, {14, 8}, {11, 12}}, kBlack);
        c.Disc(8, 6.5, 1.5, kYellow);
        c.Pixel(7, 6, kBlack);
    } else if (s == "stop") {
        c.Polygon({{4.5, 0}, {11.5, 0}, {16, 4.5}, {16, 9.5}, {11.5, 14}, {4.5, 14}, {0, 9.5}, {0, 4.5}}, kRed);
        c.Mask({"###.###.###.###", "#....#..#.#.#.#", "###..#..#.#.###", "..#..#..#.#.#..", "###..#..###.#.."}, 1, 5, 1, kWhite);
    } else if (s == "wheelchair") {
        c.Rect(1, 0, 14, 13, qRgb(40, 80, 200));
        c.Disc(7, 2.5, 1.3, kWhite);
        c.VLine(7, 4, 8, kWhite);
        c.HLine(7, 10, 8, kWhite);
        c.VLine(10, 8, 10, kWhite);
        c.Ring(7, 9, 3.5, 1, kWhite);
    } else if (s == "parking") {
        c.Rect(1, 0, 14, 13, qRgb(40, 80, 200));
        c.Mask({"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}, 3, 1, 1, kWhite);
        c.Mask({"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}, 4, 1, 1, kWhite);
        c.Rect(4, 8, 1, 3, kWhite);
    } else if (s == "no_entry") {
        c.Disc(8, 7, 7, kRed);
        c.Rect(3, 6, 10, 3, kWhite);
    } else if (s == "give_way") {
        c.Polygon({{0.5, 0}, {15.5, 0}, {8, 13}}, kRed);
        c.Polygon({{3.5, 1.8}, {12.5, 1.8}, {8, 9.5}}, kWhite);
    } else if (s == "entry_forbidden") {
        c.Disc(8, 7, 7, kRed);
        c.Disc(8, 7, 4.5, kWhite);
    } else if (s == "emergency_exit") {
        c.Rect(0, 1, 16, 11, qRgb(30, 160, 70));
        c.Arrow(11, 6.5, 3.5, Dir::Right, kWhite);
        c.Rect(3, 5, 6, 3, kWhite);
    } else if (s == "yin_yang") {
        c.Disc(8, 7, 7, qRgb(150, 150, 150));
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                if (Distance(x + 0.5 - 8, y + 0.5 - 7) <= 6) c.Pixel(x, y, x < 8 ? kWhite : kBlack);
        c.Disc(8, 4, 3, kWhite);
        c.Disc(8, 10, 3, kBlack);
        c.Disc(8, 4, 1, kBlack);
        c.Disc(8, 10, 1, kWhite);
    } else {  // unused sign
        c.Rect(1, 0, 14, 13, qRgb(120, 120, 130));
        c.Frame(2, 1, 12, 11, qRgb(180, 180, 190));
    }
}

void Shield(Canvas& c, bool deadly)
{
    c.Fill(kBlack);
    const QRgb face = deadly ? qRgb(200, 40, 40) : qRgb(80, 130, 230);
    c.Polygon({{1.5, 1}, {14.5, 1}, {14.5, 7}, {8, 15.5}, {1.5, 7}}, Lighter(face, 40));
    c.Polygon({{3, 2.5}, {13, 2.5}, {13, 7}, {8, 13.5}, {3, 7}}, face);
    if (deadly) {
        c.Polygon({{8, 3}, {9.5, 7}, {8, 11}, {6.5, 7}}, kYellow);
    } else {
        c.VLine(8, 3, 12, Lighter(face, 60));
        c.HLine(4, 12, 6, Lighter(face, 60));
    }
}

void ExtraTime(Canvas& c)
{
    c.Fill(kBlack);
    c.Disc(8, 8, 7, qRgb(230, 230, 230));
    c.Ring(8, 8, 7, 1.2, qRgb(60, 170, 230));
    c.VLine(8, 3, 8, kBlack);
    c.HLine(8, 11, 8, kBlack);
    c.Pixel(8, 2, kRed);
}

void SwitchGate(Canvas& c, bool open, QRgb colour)
{
    c.Fill(kBlack);
    c.Bevel(0, 0, kTile, 3, colour);
    c.Bevel(0, 13, kTile, 3, colour);
    if (open) {
        c.Rect(0, 3, 2, 10, Darker(colour, 30));
        c.Rect(14, 3, 2, 10, Darker(colour, 30));
    } else {
        for (int x = 1; x < kTile; x += 4) c.Rect(x, 3, 2, 10, Lighter(colour, 20));
    }
}

void Lever(Canvas& c, bool up, QRgb base)
{
    c.Fill(kBlack);
    c.Bevel(2, 10, 12, 5, base);
    const int tipY = up ? 2 : 6;
    const int tipX = up ? 11 : 4;
    c.Line(8, 10, tipX, tipY, qRgb(220, 220, 220));
    c.Line(9, 10, tipX + 1, tipY, qRgb(220, 220, 220));
    c.Disc(tipX + 1, tipY + 0.5, 1.8, kRed);
}

void TimeSwitch(Canvas& c, bool active)
{
    c.Fill(kBlack);
    c.Bevel(1, 1, 14, 14, qRgb(100, 100, 120));
    c.Disc(8, 8, 5, active ? qRgb(255, 230, 120) : qRgb(200, 200, 210));
    c.VLine(8, 4, 8, kBlack);
    c.HLine(8, 10, 8, kBlack);
}

void Landmine(Canvas& c)
{
    c.Fill(kBlack);
    c.Rect(0, 12, kTile, 4, qRgb(110, 80, 50));
    c.Ellipse(8, 12, 5.5, 4, qRgb(90, 100, 80));
    c.Rect(7, 6, 2, 2, qRgb(200, 50, 40));
    c.HLine(2, 13, 12, Darker(qRgb(90, 100, 80), 40));
}

void Spring(Canvas& c)
{
    c.Fill(kBlack);
    const QRgb steel = qRgb(200, 200, 220);
    for (int y = 3; y < 14; y += 3) {
        c.Line(3, y, 12, y + 1, steel);
        c.Line(12, y + 1, 3, y + 3, Darker(steel, 30));
    }
    c.Rect(2, 1, 12, 2, qRgb(160, 160, 170));
    c.Rect(2, 14, 12, 2, qRgb(160, 160, 170));
}

void Trap(Canvas& c)
{
    c.Fill(kBlack);
    const QRgb steel = qRgb(170, 170, 180);
    c.Rect(1, 12, 14, 3, Darker(steel, 30));
    for (int x = 1; x < 15; x += 3) c.Polygon({{double(x), 12}, {x + 1.5, 6}, {x + 3.0, 12}}, steel);
    c.Ring(8, 12, 6.5, 1, Darker(steel, 20));
}

void Port(Canvas& c, const vantrel::ElementInfo& e)
{
    const bool gravity = e.elementClass == "sp_gravity_port";
    c.Fill(kBlack);
    c.Bevel(0, 0, kTile, kTile, qRgb(90, 90, 100));
    const QRgb a = gravity ? qRgb(255, 150, 40) : qRgb(230, 230, 120);
    const std::string_view t = e.token;
    const Dir d = WordDir(t);
    if (d != Dir::None) {
        c.Arrow(8, 8, 5, d, a);
    } else {
        const bool horizontal = EndsWith(t, "horizontal") || EndsWith(t, "any");
        const bool vertical = EndsWith(t, "vertical") || EndsWith(t, "any");
        if (horizontal) { c.Arrow(3.5, 8, 2.8, Dir::Left, a); c.Arrow(12.5, 8, 2.8, Dir::Right, a); }
        if (vertical) { c.Arrow(8, 3.5, 2.8, Dir::Up, a); c.Arrow(8, 12.5, 2.8, Dir::Down, a); }
    }
    if (gravity) c.Frame(0, 0, kTile, kTile, qRgb(255, 150, 40));
}

void Terminal(Canvas& c)
{
    c.Fill(kBlack);
    c.Bevel(1, 1, 14, 14, qRgb(150, 150, 160));
    c.Rect(3, 3, 10, 7, qRgb(20, 60, 20));
    c.HLine(4, 9, 4, qRgb(80, 240, 80));
    c.HLine(4, 7, 6, qRgb(80, 240, 80));
    c.HLine(4, 10, 8, qRgb(80, 240, 80));
    for (int x = 3; x < 13; x += 2) c.Pixel(x, 12, qRgb(60, 60, 60));
}

void Floppy(Canvas& c, QRgb colour)
{
    c.Fill(kBlack);
    c.Bevel(2, 2, 12, 12, colour);
    c.Rect(5, 2, 6, 4, qRgb(190, 190, 200));
    c.Rect(9, 3, 1, 2, qRgb(60, 60, 60));
    c.Rect(4, 9, 8, 4, qRgb(240, 240, 230));
}

void Murphy(Canvas& c)
{
    c.Fill(kBlack);
    c.Ball(8, 8, 7, qRgb(230, 60, 50));
    c.Disc(5.5, 6, 1.8, kWhite);
    c.Disc(10.5, 6, 1.8, kWhite);
    c.Pixel(6, 6, kBlack);
    c.Pixel(11, 6, kBlack);
    c.HLine(6, 10, 11, kBlack);
    c.Pixel(5, 10, kBlack);
    c.Pixel(11, 10, kBlack);
}

void Infotron(Canvas& c)
{
    c.Fill(kBlack);
    c.Ball(8, 8, 7, qRgb(220, 50, 120));
    c.Ellipse(8, 8, 6, 2.2, qRgb(250, 200, 230));
    c.Ellipse(8, 8, 2.2, 6, qRgb(250, 200, 230));
    c.Disc(8, 8, 1.6, qRgb(255, 240, 120));
}

void Obsolete(Canvas& c, std::string_view token)
{
    c.Fill(qRgb(40, 40, 40));
    if (Contains(token, "key")) Key(c, qRgb(120, 120, 120), false);
    else if (Contains(token, "player")) Figure(c, qRgb(110, 110, 110), 0);
    else if (Contains(token, "envelope")) Envelope(c, qRgb(120, 120, 120));
    c.Line(0, 15, 15, 0, kRed);
    c.Line(0, 14, 14, 0, kRed);
}

}  // namespace

void GemCut(Canvas& c, QRgb colour, double x, double y, double size)
{
    const double k = size / 16.0;
    auto P = [&](double px, double py) { return Point{x + px * k, y + py * k}; };
    c.Polygon({P(5, 1), P(11, 1), P(15, 5), P(15, 11), P(11, 15), P(5, 15), P(1, 11), P(1, 5)}, Darker(colour, 45));
    c.Polygon({P(5.5, 2), P(10.5, 2), P(14, 5.5), P(14, 10.5), P(10.5, 14), P(5.5, 14), P(2, 10.5), P(2, 5.5)}, colour);
    // facets: light upper left, dark lower right, bright table
    c.Polygon({P(5.5, 2), P(10.5, 2), P(10, 5), P(6, 5)}, Lighter(colour, 35));
    c.Polygon({P(2, 5.5), P(6, 5), P(6, 11), P(2, 10.5)}, Lighter(colour, 15));
    c.Polygon({P(14, 5.5), P(14, 10.5), P(10, 11), P(10, 5)}, Darker(colour, 20));
    c.Polygon({P(6, 11), P(10, 11), P(10.5, 14), P(5.5, 14)}, Darker(colour, 30));
    c.Polygon({P(6, 5), P(10, 5), P(10, 11), P(6, 11)}, Lighter(colour, 22));
    c.Pixel(static_cast<int>(x + 6.5 * k), static_cast<int>(y + 6 * k), Lighter(colour, 80));
}

void BdDiamond(Canvas& c, double x, double y, double size)
{
    // a rhombus in white and pale blue bands
    const double k = size / 16.0;
    auto P = [&](double px, double py) { return Point{x + px * k, y + py * k}; };
    c.Polygon({P(8, 0.5), P(15.5, 8), P(8, 15.5), P(0.5, 8)}, qRgb(120, 170, 230));
    c.Polygon({P(8, 2), P(14, 8), P(8, 14), P(2, 8)}, qRgb(235, 245, 255));
    for (int row = 0; row < kTile; row += 3) {
        const int yy = static_cast<int>(y + row * k);
        for (int xx = 0; xx < kTile; ++xx)
            if (c.At(xx, yy) == qRgb(235, 245, 255)) c.Pixel(xx, yy, qRgb(150, 200, 245));
    }
    c.Pixel(static_cast<int>(x + 7 * k), static_cast<int>(y + 4 * k), kWhite);
}

void Brilliant(Canvas& c, QRgb colour, double x, double y, double size)
{
    const double k = size / 16.0;
    auto P = [&](double px, double py) { return Point{x + px * k, y + py * k}; };
    c.Polygon({P(4, 2), P(12, 2), P(16, 6.5), P(8, 15.5), P(0, 6.5)}, Darker(colour, 45));
    c.Polygon({P(4.5, 3), P(11.5, 3), P(14.5, 6.5), P(8, 14), P(1.5, 6.5)}, colour);
    c.Polygon({P(4.5, 3), P(11.5, 3), P(10, 6.5), P(6, 6.5)}, Lighter(colour, 60));
    c.Polygon({P(1.5, 6.5), P(6, 6.5), P(8, 14)}, Lighter(colour, 25));
    c.Polygon({P(10, 6.5), P(14.5, 6.5), P(8, 14)}, Darker(colour, 25));
    c.Polygon({P(6, 6.5), P(10, 6.5), P(8, 14)}, Lighter(colour, 5));
    c.Pixel(static_cast<int>(x + 6 * k), static_cast<int>(y + 4 * k), kWhite);
}

void Key(Canvas& c, QRgb colour, bool upright)
{
    const QRgb dark = Darker(colour, 45);
    if (upright) {
        c.Disc(8, 4.5, 4, colour);
        c.Disc(8, 4.5, 1.6, kBlack);
        c.Rect(7, 8, 2, 7, colour);
        c.Rect(9, 11, 3, 1, colour);
        c.Rect(9, 13, 2, 2, colour);
        c.VLine(9, 8, 14, dark);
        c.Pixel(6, 2, Lighter(colour, 60));
        return;
    }
    c.Disc(4.5, 8, 4, colour);
    c.Disc(4.5, 8, 1.6, kBlack);
    c.Rect(8, 7, 7, 2, colour);
    c.Rect(11, 9, 1, 3, colour);
    c.Rect(13, 9, 2, 2, colour);
    c.HLine(8, 14, 8, dark);
    c.Pixel(3, 5, Lighter(colour, 60));
}

void Envelope(Canvas& c, QRgb colour)
{
    c.Rect(1, 3, 14, 10, colour);
    c.Frame(1, 3, 14, 10, Darker(colour, 40));
    c.Line(1, 3, 8, 8, Darker(colour, 40));
    c.Line(14, 3, 8, 8, Darker(colour, 40));
}

void Figure(Canvas& c, QRgb suit, int number)
{
    const QRgb skin = qRgb(240, 200, 160);
    c.Disc(8, 2.5, 2.5, skin);
    c.Pixel(7, 2, kBlack);
    c.Pixel(9, 2, kBlack);
    c.Rect(4, 5, 8, 7, suit);               // body
    c.Rect(2, 5, 2, 5, suit);               // arms
    c.Rect(12, 5, 2, 5, suit);
    c.Pixel(2, 10, skin);
    c.Pixel(13, 10, skin);
    c.Rect(4, 12, 3, 3, Darker(suit, 45));  // legs
    c.Rect(9, 12, 3, 3, Darker(suit, 45));
    c.HLine(3, 6, 15, qRgb(90, 60, 40));
    c.HLine(9, 12, 15, qRgb(90, 60, 40));
    const bool lightSuit = qGray(suit) > 140;
    if (number > 0) SmallNumber(c, number, 6, 6, lightSuit ? kBlack : kWhite);
}

void Glyph7(Canvas& c, unsigned char ch, QRgb colour)
{
    const Glyph& g = LargeGlyph(ch);
    if (g.empty()) return;
    const int width = static_cast<int>(g[0].size());
    c.Mask(g, (kTile - 2 * width) / 2, 1, 2, colour);
}

void SmallNumber(Canvas& c, int n, int x, int y, QRgb colour)
{
    c.Mask(SmallDigit(n), x, y, 1, colour);
}

void DirectionMark(Canvas& c, Dir d)
{
    if (d == Dir::None) return;
    c.Rect(10, 10, 6, 6, kBlack);
    c.Arrow(13, 13, 2.5, d, qRgb(255, 255, 255));
}

bool PaintObject(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view cls = e.elementClass, t = e.token;
    if (cls == "emerald") { c.Fill(kBlack); GemCut(c, GemColour(t), 0, 0, 16); return true; }
    if (cls == "diamond") { c.Fill(kBlack); Brilliant(c, qRgb(190, 235, 255), 0, 0, 16); return true; }
    if (cls == "bd_diamond") { c.Fill(kBlack); BdDiamond(c, 0, 0, 16); return true; }
    if (cls == "pearl") { c.Fill(kBlack); c.Ball(8, 8, 6, qRgb(245, 235, 240)); return true; }
    if (cls == "crystal") {
        c.Fill(kBlack);
        const QRgb x = qRgb(150, 225, 250);
        c.Polygon({{8, 0.5}, {14, 4}, {14, 12}, {8, 15.5}, {2, 12}, {2, 4}}, Darker(x, 30));
        c.Polygon({{8, 0.5}, {14, 4}, {8, 8}, {2, 4}}, Lighter(x, 45));
        c.Polygon({{2, 4}, {8, 8}, {8, 15.5}, {2, 12}}, x);
        return true;
    }
    if (cls == "sp_infotron") { Infotron(c); return true; }
    if (cls == "rock") { Rock(c, qRgb(140, 135, 130)); return true; }
    if (cls == "bd_rock") { Rock(c, qRgb(150, 120, 95)); return true; }
    if (cls == "sp_zonk") { Zonk(c); return true; }
    if (cls == "nut") { Nut(c); return true; }
    if (cls == "bomb") { Bomb(c, qRgb(60, 60, 70), t == "dx_supabomb"); return true; }
    if (cls == "black_orb") { c.Fill(kBlack); c.Ball(8, 8, 7, qRgb(55, 45, 75)); return true; }
    if (cls == "dynamite") { Dynamite(c, t); return true; }
    if (cls == "key") {
        c.Fill(kBlack);
        const QRgb colour = t.starts_with("dc_") ? qRgb(240, 240, 240) : NumberColour(NumberIn(t));
        Key(c, colour, t.starts_with("em_"));
        return true;
    }
    if (cls == "gate") { Door(c, e); return true; }
    if (cls == "exit" || cls == "sp_exit") { Exit(c, t); return true; }
    if (cls == "amoeba" || cls == "bd_amoeba") { Amoeba(c, t); return true; }
    if (cls == "bug" || cls == "spaceship" || cls == "yamyam" || cls == "dark_yamyam" || cls == "robot" ||
        cls == "pacman" || cls == "mole" || cls == "bd_butterfly" || cls == "bd_firefly" || cls == "penguin" ||
        cls == "pig" || cls == "dragon" || cls == "satellite" || cls == "sp_sniksnak" || cls == "sp_electron") {
        Creature(c, e);
        return true;
    }
    if (cls == "player") {
        c.Fill(kBlack);
        if (t == "sp_murphy") Murphy(c);
        else Figure(c, NumberColour(NumberIn(t)), NumberIn(t));
        return true;
    }
    if (cls == "speed_pill") {
        c.Fill(kBlack);
        c.Polygon({{3, 10}, {10, 3}, {13, 6}, {6, 13}}, kWhite);
        c.Polygon({{3, 10}, {6.5, 6.5}, {9.5, 9.5}, {6, 13}}, qRgb(60, 120, 240));
        c.Disc(4.5, 11.5, 2.1, qRgb(60, 120, 240));
        c.Disc(11.5, 4.5, 2.1, kWhite);
        return true;
    }
    if (cls == "robot_wheel") { Wheel(c, EndsWith(t, ".active")); return true; }
    if (cls == "lamp") { Lamp(c, EndsWith(t, ".active")); return true; }
    if (cls == "time_orb_full") { TimeOrb(c, true); return true; }
    if (cls == "time_orb_empty") { TimeOrb(c, false); return true; }
    if (cls == "dynabomb") { Dynabomb(c, t); return true; }
    if (cls == "sokoban") { Sokoban(c, t); return true; }
    if (cls == "arrow") { Arrow(c, t); return true; }
    if (cls == "balloon") { Balloon(c); return true; }
    if (cls == "balloon_switch") { WindSwitch(c, t); return true; }
    if (cls == "sign") { Sign(c, t); return true; }
    if (cls == "shield_normal") { Shield(c, false); return true; }
    if (cls == "shield_deadly") { Shield(c, true); return true; }
    if (cls == "extra_time") { ExtraTime(c); return true; }
    if (cls == "switchgate") { SwitchGate(c, EndsWith(t, "open"), qRgb(90, 170, 90)); return true; }
    if (cls == "switchgate_switch") { Lever(c, EndsWith(t, "up"), qRgb(90, 170, 90)); return true; }
    if (cls == "timegate") { SwitchGate(c, EndsWith(t, "open"), qRgb(90, 120, 200)); return true; }
    if (cls == "timegate_switch") { TimeSwitch(c, EndsWith(t, ".active")); return true; }
    if (cls == "light_switch") { Lever(c, EndsWith(t, ".active"), qRgb(200, 170, 40)); return true; }
    if (cls == "landmine") { Landmine(c); return true; }
    if (cls == "spring") { Spring(c); return true; }
    if (cls == "trap") { Trap(c); return true; }
    if (cls == "sp_port" || cls == "sp_gravity_port") { Port(c, e); return true; }
    if (cls == "sp_terminal") { Terminal(c); return true; }
    if (cls == "sp_disk_orange") { Floppy(c, qRgb(240, 140, 30)); return true; }
    if (cls == "sp_disk_yellow") { Floppy(c, qRgb(240, 220, 40)); return true; }
    if (cls == "envelope") { c.Fill(kBlack); Envelope(c, NumberColour(NumberIn(t))); return true; }
    if (cls == "obsolete") { Obsolete(c, t); return true; }
    return false;
}

}  // namespace atlasgen
