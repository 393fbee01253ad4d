// Walls, steel, sand and the other ground the level is built of.
#include "Painters.h"

#include <cmath>

namespace atlasgen {

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kBrick = qRgb(168, 84, 52);
constexpr QRgb kMortar = qRgb(92, 80, 72);
constexpr QRgb kSteel = qRgb(140, 148, 160);
constexpr QRgb kSand = qRgb(150, 100, 50);
constexpr QRgb kAcid = qRgb(70, 200, 40);

void Steel(Canvas& c, QRgb face)
{
    c.Bevel(0, 0, kTile, kTile, face, 2);
    const QRgb rivet = Darker(face, 40);
    for (int x : {3, 11})
        for (int y : {3, 11}) {
            c.Rect(x, y, 2, 2, rivet);
            c.Pixel(x, y, Lighter(face, 60));
        }
}

void Stones(Canvas& c, QRgb stone)
{
    c.Fill(Darker(stone, 50));
    c.Bevel(0, 0, 8, 8, stone);
    c.Bevel(8, 0, 8, 8, Darker(stone, 8));
    c.Bevel(0, 8, 8, 8, Darker(stone, 12));
    c.Bevel(8, 8, 8, 8, stone);
}

void DashedOutline(Canvas& c, QRgb colour)
{
    for (int i = 0; i < kTile; i += 2) {
        c.Pixel(i, 0, colour);
        c.Pixel(i, kTile - 1, colour);
        c.Pixel(0, i, colour);
        c.Pixel(kTile - 1, i, colour);
    }
}

void Sand(Canvas& c, QRgb ground, bool visible)
{
    if (!visible) {
        c.Fill(kBlack);
        c.Dots(3, 5, 7, Darker(ground, 30));
        DashedOutline(c, Darker(ground, 20));
        return;
    }
    c.Fill(ground);
    c.Dots(3, 5, 7, Darker(ground, 35));
    c.Dots(5, 3, 11, Lighter(ground, 30));
}

void ExpandableWall(Canvas& c, std::string_view token)
{
    Bricks(c, kBrick, kMortar);
    const QRgb arrow = qRgb(255, 255, 255);
    const bool horizontal = token == "expandable_wall" || EndsWith(token, "horizontal") || EndsWith(token, "any");
    const bool vertical = EndsWith(token, "vertical") || EndsWith(token, "any");
    if (horizontal) {
        c.Arrow(2.5, 8, 2.5, Dir::Left, arrow);
        c.Arrow(13.5, 8, 2.5, Dir::Right, arrow);
    }
    if (vertical) {
        c.Arrow(8, 2.5, 2.5, Dir::Up, arrow);
        c.Arrow(8, 13.5, 2.5, Dir::Down, arrow);
    }
}

void WallWithGem(Canvas& c, std::string_view token)
{
    Bricks(c, kBrick, kMortar);
    c.Rect(3, 3, 10, 10, Darker(kMortar, 40));
    if (token == "wall_emerald") GemCut(c, qRgb(40, 200, 60), 3, 3, 10);
    else if (token == "wall_emerald_yellow") GemCut(c, qRgb(235, 210, 40), 3, 3, 10);
    else if (token == "wall_emerald_red") GemCut(c, qRgb(220, 40, 50), 3, 3, 10);
    else if (token == "wall_emerald_purple") GemCut(c, qRgb(170, 60, 220), 3, 3, 10);
    else if (token == "wall_diamond") Brilliant(c, qRgb(200, 240, 255), 3, 3, 10);
    else if (token == "wall_bd_diamond") BdDiamond(c, 3, 3, 10);
    else if (token == "wall_pearl") c.Ball(8, 8, 4, qRgb(240, 230, 235));
    else if (token == "wall_crystal") c.Polygon({{8, 3.5}, {12, 6}, {12, 10}, {8, 12.5}, {4, 10}, {4, 6}}, qRgb(160, 230, 250));
}

// The stone walls around an acid pool; the sides that touch the acid carry
// a rim of it.
void AcidPool(Canvas& c, std::string_view token)
{
    const QRgb stone = qRgb(120, 120, 130);
    const QRgb rim = Lighter(kAcid, 20);
    Stones(c, stone);
    if (EndsWith(token, "topleft")) {
        c.VLine(15, 0, 15, rim);
        c.VLine(14, 0, 15, Darker(stone, 50));
    } else if (EndsWith(token, "topright")) {
        c.VLine(0, 0, 15, rim);
        c.VLine(1, 0, 15, Darker(stone, 50));
    } else if (EndsWith(token, "bottomleft")) {
        c.Pixel(15, 0, rim);
    } else if (EndsWith(token, "bottomright")) {
        c.Pixel(0, 0, rim);
    } else {  // bottom, under the acid
        c.HLine(0, 15, 0, rim);
        c.HLine(0, 15, 1, Darker(stone, 50));
    }
}

void Chip(Canvas& c, std::string_view token)
{
    c.Fill(qRgb(40, 40, 48));
    const QRgb body = qRgb(120, 120, 128), pin = qRgb(210, 210, 200);
    int x = 3, y = 2, w = 10, h = 12;
    if (EndsWith(token, "left")) { x = 3; w = 13; }
    if (EndsWith(token, "right")) { x = 0; w = 13; }
    if (EndsWith(token, "top")) { y = 3; h = 13; x = 2; w = 12; }
    if (EndsWith(token, "bottom")) { y = 0; h = 13; x = 2; w = 12; }
    c.Bevel(x, y, w, h, body);
    const bool sidePins = !EndsWith(token, "top") && !EndsWith(token, "bottom");
    if (sidePins) {
        for (int py = y + 2; py < y + h - 1; py += 2) {
            if (x > 0) c.HLine(x - 2, x - 1, py, pin);
            if (x + w < kTile) c.HLine(x + w, x + w + 1, py, pin);
        }
    } else {
        for (int px = x + 2; px < x + w - 1; px += 2) {
            if (y > 0) c.VLine(px, y - 2, y - 1, pin);
            if (y + h < kTile) c.VLine(px, y + h, y + h + 1, pin);
        }
    }
    if (token == "sp_chip_single") c.Rect(6, 6, 4, 4, Darker(body, 30));
}

void Hardware(Canvas& c, std::string_view token)
{
    const QRgb grey = qRgb(150, 150, 158);
    c.Bevel(0, 0, kTile, kTile, grey, 1);
    auto led = [&c](QRgb colour) {
        c.Rect(3, 5, 10, 6, Darker(colour, 30));
        c.Rect(4, 6, 8, 4, colour);
        c.HLine(4, 11, 6, Lighter(colour, 45));
    };
    if (EndsWith(token, "gray")) {
        c.Frame(3, 3, 10, 10, Darker(grey, 30));
        c.Pixel(7, 7, Darker(grey, 50));
        c.Pixel(8, 8, Darker(grey, 50));
    } else if (EndsWith(token, "green")) {
        led(qRgb(40, 190, 60));
    } else if (EndsWith(token, "blue")) {
        led(qRgb(50, 90, 230));
    } else if (EndsWith(token, "red")) {
        led(qRgb(220, 40, 40));
    } else if (EndsWith(token, "yellow")) {
        led(qRgb(240, 210, 40));
    } else {
        switch (NumberIn(token)) {
        case 1:  // stripes
            for (int y = 3; y < 13; y += 3) c.HLine(2, 13, y, Darker(grey, 40));
            break;
        case 2:  // a resistor
            c.HLine(1, 14, 8, Darker(grey, 50));
            c.Rect(5, 6, 6, 5, qRgb(200, 170, 110));
            c.VLine(7, 6, 10, qRgb(200, 40, 40));
            c.VLine(9, 6, 10, qRgb(40, 40, 200));
            break;
        case 3:  // a capacitor
            c.Ball(8, 8, 4, qRgb(60, 90, 170));
            break;
        case 4:  // screws
            for (int x : {4, 11})
                for (int y : {4, 11}) {
                    c.Disc(x + 0.5, y + 0.5, 1.6, Darker(grey, 35));
                    c.Pixel(x, y, Lighter(grey, 40));
                }
            break;
        case 5:  // vents
            for (int x = 3; x < 13; x += 2) c.VLine(x, 3, 12, Darker(grey, 45));
            break;
        default:  // a small chip on the board
            c.Rect(4, 4, 8, 8, qRgb(50, 50, 56));
            for (int y = 5; y < 12; y += 2) { c.Pixel(3, y, qRgb(220, 220, 200)); c.Pixel(12, y, qRgb(220, 220, 200)); }
            break;
        }
    }
}

void EmcWall(Canvas& c, int n)
{
    static const QRgb colours[8] = {qRgb(150, 110, 80),  qRgb(120, 130, 150), qRgb(110, 140, 90),  qRgb(160, 100, 110),
                                    qRgb(130, 110, 160), qRgb(170, 150, 90),  qRgb(100, 130, 140), qRgb(140, 140, 140)};
    const QRgb s = colours[(n - 1) & 7];
    switch (n) {
    case 1: Bricks(c, s, Darker(s, 50)); break;
    case 2: Stones(c, s); break;
    case 3:  // cobbles
        c.Fill(Darker(s, 55));
        c.Disc(4, 4, 3.6, s); c.Disc(12, 4.5, 3.6, Darker(s, 10));
        c.Disc(8, 11, 3.8, Lighter(s, 10)); c.Disc(1, 13, 2.5, s); c.Disc(15.5, 13, 2.5, s);
        break;
    case 4:  // diagonal tiles
        c.Fill(s);
        for (int i = -16; i < 16; i += 5) c.Line(i, 15, i + 15, 0, Darker(s, 40));
        break;
    case 5:  // wood planks
        c.Fill(s);
        for (int y = 0; y < kTile; y += 4) { c.HLine(0, 15, y, Darker(s, 45)); c.HLine(0, 15, y + 1, Lighter(s, 20)); }
        c.VLine(5, 1, 3, Darker(s, 45)); c.VLine(11, 5, 7, Darker(s, 45)); c.VLine(3, 9, 11, Darker(s, 45));
        c.VLine(9, 13, 15, Darker(s, 45));
        break;
    case 6:  // one big slab
        c.Bevel(0, 0, kTile, kTile, s, 2);
        c.Bevel(4, 4, 8, 8, Darker(s, 10));
        break;
    case 7:  // small squares
        c.Fill(Darker(s, 50));
        for (int y = 0; y < kTile; y += 4)
            for (int x = 0; x < kTile; x += 4) c.Bevel(x, y, 4, 4, ((x + y) / 4) % 2 ? s : Lighter(s, 15));
        break;
    default:  // rough rock
        c.Fill(s);
        c.Dots(7, 3, 5, Darker(s, 35));
        c.Dots(2, 9, 13, Lighter(s, 30));
        break;
    }
}

void SteelVariant(Canvas& c, std::string_view token)
{
    if (token == "steelwall") return Steel(c, kSteel);
    if (token == "invisible_steelwall") {
        c.Fill(kBlack);
        DashedOutline(c, Darker(kSteel, 20));
        for (int x : {3, 11})
            for (int y : {3, 11}) c.Rect(x, y, 2, 2, Darker(kSteel, 45));
        return;
    }
    if (token == "steelwall_slippery") {
        c.Fill(kBlack);
        c.Polygon({{0, 16}, {0, 6}, {3, 2}, {6, 0}, {10, 0}, {13, 2}, {16, 6}, {16, 16}}, kSteel);
        c.Line(3, 3, 6, 1, Lighter(kSteel, 50));
        c.HLine(1, 14, 15, Darker(kSteel, 45));
        c.Rect(4, 10, 2, 2, Darker(kSteel, 40));
        c.Rect(10, 10, 2, 2, Darker(kSteel, 40));
        return;
    }
    const int n = NumberIn(token);  // EMC style steel 1..4
    const QRgb s = n == 1 ? qRgb(120, 130, 150) : n == 2 ? qRgb(150, 140, 120) : n == 3 ? qRgb(110, 150, 140) : qRgb(160, 160, 170);
    c.Bevel(0, 0, kTile, kTile, s, 2);
    switch (n) {
    case 1: c.Line(2, 2, 13, 13, Darker(s, 40)); c.Line(13, 2, 2, 13, Darker(s, 40)); break;
    case 2: c.Frame(4, 4, 8, 8, Darker(s, 40)); break;
    case 3: for (int x = 4; x < 13; x += 3) c.VLine(x, 3, 12, Darker(s, 35)); break;
    default: c.Disc(8, 8, 3, Darker(s, 30)); c.Pixel(7, 7, Lighter(s, 50)); break;
    }
}

void Wall(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view t = e.token;
    if (t == "wall") return Bricks(c, kBrick, kMortar);
    if (t == "wall_slippery") {
        c.Fill(kBlack);
        Bricks(c, qRgb(180, 100, 60), kMortar);
        // rounded top corners
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4 - y; ++x) { c.Pixel(x, y, kBlack); c.Pixel(15 - x, y, kBlack); }
        c.HLine(4, 11, 0, Lighter(qRgb(180, 100, 60), 50));
        return;
    }
    if (t == "stoneblock") return Stones(c, qRgb(130, 125, 115));
    if (t == "bd_wall") return Bricks(c, qRgb(170, 170, 180), qRgb(70, 70, 80));
    if (t == "invisible_wall") {
        c.Fill(kBlack);
        DashedOutline(c, Darker(kBrick, 20));
        c.HLine(1, 14, 5, Darker(kBrick, 55));
        c.HLine(1, 14, 10, Darker(kBrick, 55));
        c.VLine(8, 1, 4, Darker(kBrick, 55));
        c.VLine(4, 6, 9, Darker(kBrick, 55));
        c.VLine(12, 6, 9, Darker(kBrick, 55));
        c.VLine(8, 11, 14, Darker(kBrick, 55));
        return;
    }
    if (t.starts_with("wall_")) return WallWithGem(c, t);
    if (t.starts_with("expandable_wall")) return ExpandableWall(c, t);
    if (t.starts_with("acid_pool")) return AcidPool(c, t);
    if (t.starts_with("sp_chip")) return Chip(c, t);
    if (t.starts_with("sp_hardware")) return Hardware(c, t);
    if (t.starts_with("emc_wall")) return EmcWall(c, NumberIn(t));
    Bricks(c, kBrick, kMortar);
}

void MagicWall(Canvas& c, QRgb glow, QRgb brick)
{
    Bricks(c, brick, qRgb(30, 20, 40));
    c.Disc(8, 8, 3.2, glow);
    c.Disc(8, 8, 1.6, Lighter(glow, 70));
    c.Pixel(2, 2, Lighter(glow, 60));
    c.Pixel(13, 4, Lighter(glow, 60));
    c.Pixel(4, 13, Lighter(glow, 60));
    c.Pixel(12, 12, Lighter(glow, 60));
}

void CellGrid(Canvas& c, QRgb live)
{
    static const char* pattern[4] = {"#..#", ".##.", "#.#.", "..##"};
    c.Fill(qRgb(10, 20, 10));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (pattern[y][x] == '#') c.Bevel(x * 4, y * 4, 4, 4, live);
}

void Tube(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const QRgb pipe = qRgb(120, 170, 210), edge = qRgb(50, 80, 110);
    bool left = false, right = false, up = false, down = false;
    const std::string_view kind = token.substr(5);  // after "tube_"
    if (kind == "any") left = right = up = down = true;
    else if (kind == "vertical") up = down = true;
    else if (kind == "horizontal") left = right = true;
    else if (kind == "vertical_left") up = down = left = true;
    else if (kind == "vertical_right") up = down = right = true;
    else if (kind == "horizontal_up") left = right = up = true;
    else if (kind == "horizontal_down") left = right = down = true;
    else {
        left = kind.starts_with("left");
        right = kind.starts_with("right");
        up = EndsWith(kind, "up");
        down = EndsWith(kind, "down");
    }
    auto arm = [&](int x, int y, int w, int h) { c.Rect(x, y, w, h, edge); };
    if (left) arm(0, 4, 10, 8);
    if (right) arm(6, 4, 10, 8);
    if (up) arm(4, 0, 8, 10);
    if (down) arm(4, 6, 8, 10);
    if (left) c.Rect(0, 5, 9, 6, pipe);
    if (right) c.Rect(7, 5, 9, 6, pipe);
    if (up) c.Rect(5, 0, 6, 9, pipe);
    if (down) c.Rect(5, 7, 6, 9, pipe);
    c.Rect(5, 5, 6, 6, pipe);
    if (left || right) c.HLine(left ? 0 : 5, right ? 15 : 10, 6, Lighter(pipe, 50));
    if (up || down) c.VLine(6, up ? 0 : 5, down ? 15 : 10, Lighter(pipe, 50));
}

void ConveyorBelt(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const QRgb colour = NumberColour(NumberIn(token));
    const QRgb belt = qRgb(70, 70, 78);
    const bool left = EndsWith(token, "left"), right = EndsWith(token, "right");
    const int x1 = left ? 2 : 0, x2 = right ? 13 : 15;
    c.Rect(x1, 4, x2 - x1 + 1, 8, belt);
    c.HLine(x1, x2, 4, Lighter(belt, 40));
    c.HLine(x1, x2, 11, Darker(belt, 40));
    if (left) c.Disc(4, 8, 4, belt);
    if (right) c.Disc(12, 8, 4, belt);
    c.Rect(x1 + (left ? 2 : 0), 6, x2 - x1 + 1 - (left ? 2 : 0) - (right ? 2 : 0), 4, colour);
    for (int x = 1; x < kTile; x += 4) c.VLine(x, 6, 9, Darker(colour, 40));
    if (left) { c.Disc(4, 8, 2, Lighter(belt, 30)); c.Pixel(3, 7, qRgb(230, 230, 230)); }
    if (right) { c.Disc(12, 8, 2, Lighter(belt, 30)); c.Pixel(11, 7, qRgb(230, 230, 230)); }
}

void BeltSwitch(Canvas& c, std::string_view token)
{
    c.Fill(kBlack);
    const QRgb colour = NumberColour(NumberIn(token));
    c.Bevel(1, 9, 14, 6, colour);
    const QRgb lever = qRgb(200, 200, 210);
    int tipX = 8;
    if (EndsWith(token, "left")) tipX = 3;
    if (EndsWith(token, "right")) tipX = 12;
    c.Line(8, 9, tipX, 2, lever);
    c.Line(9, 9, tipX + 1, 2, lever);
    c.Disc(tipX + 1, 2.5, 2, qRgb(220, 40, 40));
}

void SpBase(Canvas& c, bool buggy)
{
    const QRgb base = qRgb(90, 120, 60);
    c.Fill(base);
    c.Dots(3, 7, 9, Darker(base, 40));
    c.Dots(5, 2, 11, Lighter(base, 35));
    for (int i = 2; i < kTile; i += 6) c.HLine(0, 15, i, Darker(base, 20));
    if (buggy) {
        c.Line(3, 12, 7, 5, qRgb(255, 240, 120));
        c.Line(7, 5, 9, 10, qRgb(255, 240, 120));
        c.Line(9, 10, 13, 3, qRgb(255, 240, 120));
    }
}

}  // namespace

void Bricks(Canvas& c, QRgb brick, QRgb mortar)
{
    c.Fill(mortar);
    for (int row = 0; row < 4; ++row) {
        const int y = row * 4;
        const int offset = (row % 2) * 4;
        for (int x = -8 + offset; x < kTile; x += 8) {
            const QRgb face = ((x / 8 + row) % 3 == 0) ? Darker(brick, 8) : brick;
            c.Rect(x, y, 7, 3, face);
            c.HLine(x, x + 6, y, Lighter(face, 25));
            c.HLine(x, x + 6, y + 2, Darker(face, 20));
        }
    }
}

bool PaintTerrain(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view cls = e.elementClass, t = e.token;
    if (cls == "empty_space") { c.Fill(kBlack); return true; }
    if (cls == "sand") { Sand(c, kSand, t == "sand"); return true; }
    if (cls == "wall") { Wall(c, e); return true; }
    if (cls == "steelwall") { SteelVariant(c, t); return true; }
    if (cls == "magic_wall") { MagicWall(c, qRgb(190, 90, 255), qRgb(90, 70, 110)); return true; }
    if (cls == "bd_magic_wall") { MagicWall(c, qRgb(80, 200, 255), qRgb(110, 110, 120)); return true; }
    if (cls == "game_of_life") { CellGrid(c, qRgb(60, 200, 60)); return true; }
    if (cls == "biomaze") { CellGrid(c, qRgb(200, 90, 200)); return true; }
    if (cls == "tube") { Tube(c, t); return true; }
    if (cls == "conveyor_belt") { ConveyorBelt(c, t); return true; }
    if (cls == "conveyor_belt_switch") { BeltSwitch(c, t); return true; }
    if (cls == "sp_base") { SpBase(c, false); return true; }
    if (cls == "sp_buggy_base") { SpBase(c, true); return true; }
    if (cls == "acid") {
        c.Fill(kBlack);
        c.Rect(0, 4, kTile, 12, kAcid);
        for (int x = 0; x < kTile; ++x) c.Pixel(x, 4 + (x % 6 < 3 ? 0 : -1), Lighter(kAcid, 50));
        c.Ring(5, 10, 2, 1, Lighter(kAcid, 55));
        c.Ring(11, 12, 1.5, 1, Lighter(kAcid, 55));
        c.Pixel(9, 7, Lighter(kAcid, 55));
        return true;
    }
    if (cls == "quicksand") {
        const QRgb q = qRgb(190, 160, 80);
        c.Fill(q);
        for (int y = 2; y < kTile; y += 4)
            for (int x = 0; x < kTile; ++x) c.Pixel(x, y + ((x / 2) % 2), Darker(q, 30));
        if (EndsWith(t, "full")) c.Ball(8, 9, 5, qRgb(130, 130, 130));
        return true;
    }
    return false;
}

}  // namespace atlasgen
