#include "Painters.h"

#include "Font.h"

#include <cctype>

namespace atlasgen {

namespace {

constexpr QRgb kCharBackground = qRgb(16, 16, 36);
constexpr QRgb kCharInk = qRgb(255, 255, 255);

void Character(Canvas& c, const vantrel::ElementInfo& e)
{
    c.Fill(kCharBackground);
    if (const auto ch = vantrel::CharacterOfElement(e.code)) {
        Glyph7(c, *ch, kCharInk);
        return;
    }
    const std::string_view t = e.token;
    if (t == "char_button") {
        c.Rect(2, 4, 12, 8, Darker(kCharInk, 30));
        c.Rect(3, 3, 10, 10, Darker(kCharInk, 30));
        c.Rect(3, 4, 10, 8, kCharInk);
        c.Rect(4, 5, 8, 6, Darker(kCharInk, 15));
    } else if (t == "char_up" || t == "char_down") {
        const bool up = t == "char_up";
        c.Arrow(8, up ? 6 : 10, 5, up ? Dir::Up : Dir::Down, kCharInk);
        c.Rect(6, up ? 10 : 2, 4, 4, kCharInk);
    } else {  // an unused character slot
        c.Dots(1, 1, 4, Lighter(kCharBackground, 12));
    }
}

void Unused(Canvas& c)
{
    c.Fill(qRgb(24, 24, 24));
    c.Dots(1, 1, 4, qRgb(48, 48, 48));
    c.Dots(1, 15, 4, qRgb(48, 48, 48));
}

void Unknown(Canvas& c)
{
    c.Fill(qRgb(60, 40, 60));
    Glyph7(c, '?', qRgb(220, 180, 220));
}

// Anything without a picture of its own: its class in a colour of its
// own, with the first letter of the class.
void Fallback(Canvas& c, const vantrel::ElementInfo& e)
{
    unsigned hash = 0;
    for (char ch : e.elementClass) hash = hash * 31 + static_cast<unsigned char>(ch);
    const QRgb colour = qRgb(80 + hash % 120, 80 + (hash / 120) % 120, 80 + (hash / 14400) % 120);
    c.Bevel(0, 0, kTile, kTile, colour);
    const unsigned char first = e.elementClass.empty() ? '?' : static_cast<unsigned char>(std::toupper(e.elementClass[0]));
    Glyph7(c, first, Lighter(colour, 75));
}

}  // namespace

QRgb NumberColour(int n)
{
    switch (n) {
    case 1: return qRgb(225, 45, 45);
    case 2: return qRgb(245, 210, 40);
    case 3: return qRgb(45, 190, 70);
    case 4: return qRgb(60, 100, 240);
    default: return qRgb(160, 160, 160);
    }
}

int NumberIn(std::string_view token)
{
    int n = 0;
    bool inNumber = false;
    for (char ch : token) {
        if (std::isdigit(static_cast<unsigned char>(ch))) {
            n = n * 10 + (ch - '0');
            inNumber = true;
        } else if (inNumber) {
            break;
        }
    }
    return n;
}

bool EndsWith(std::string_view s, std::string_view tail) { return s.ends_with(tail); }
bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

namespace {

Dir DirWord(std::string_view w)
{
    if (w == "right") return Dir::Right;
    if (w == "up") return Dir::Up;
    if (w == "left") return Dir::Left;
    if (w == "down") return Dir::Down;
    return Dir::None;
}

}  // namespace

Dir DotDir(std::string_view token)
{
    const auto dot = token.rfind('.');
    return dot == std::string_view::npos ? Dir::None : DirWord(token.substr(dot + 1));
}

Dir WordDir(std::string_view token)
{
    const auto sep = token.rfind('_');
    return sep == std::string_view::npos ? Dir::None : DirWord(token.substr(sep + 1));
}

void PaintCustomElement(Canvas& c)
{
    const QRgb plate = qRgb(150, 40, 170);
    c.Bevel(0, 0, kTile, kTile, plate, 2);
    c.Rect(2, 3, 12, 9, Darker(plate, 35));
    // "CE" in the small font: two 5-wide letters at 1x, side by side
    c.Mask(LargeGlyph('C'), 2, 4, 1, qRgb(255, 255, 255));
    c.Mask(LargeGlyph('E'), 9, 4, 1, qRgb(255, 255, 255));
    c.HLine(3, 12, 13, qRgb(255, 210, 60));
}

void PaintElement(Canvas& c, const vantrel::ElementInfo& e)
{
    const std::string_view cls = e.elementClass;
    if (cls == "custom") return PaintCustomElement(c);
    if (cls == "char") return Character(c, e);
    if (cls == "unused") return Unused(c);
    if (cls == "unknown") return Unknown(c);
    if (PaintTerrain(c, e)) return;
    if (PaintObject(c, e)) return;
    Fallback(c, e);
}

}  // namespace atlasgen
