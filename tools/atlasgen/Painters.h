// The pictures of the atlas, one painter per kind of element.
#pragma once

#include "Canvas.h"

#include "base/ElementTable.h"

#include <string_view>

namespace atlasgen {

// Paints the tile of one element, chosen by its class and token.
void PaintElement(Canvas& c, const vantrel::ElementInfo& e);
// The one tile that stands for every custom element.
void PaintCustomElement(Canvas& c);

// --- shared by the painters ---

// Colours of the four numbered keys, doors, belts and envelopes (1..4).
QRgb NumberColour(int n);
// The first number in a token ("conveyor_belt_3_left" gives 3), or 0.
int NumberIn(std::string_view token);
// The moving direction after a dot ("bug.right"), or Dir::None.
Dir DotDir(std::string_view token);
// A direction named by the token's last word ("sp_port_left"), or Dir::None.
Dir WordDir(std::string_view token);
bool EndsWith(std::string_view s, std::string_view tail);
bool Contains(std::string_view s, std::string_view part);

// Terrain: walls, steel, sand, hardware, pipes, belts (PaintTerrain.cpp).
bool PaintTerrain(Canvas& c, const vantrel::ElementInfo& e);
// Objects: gems, rocks, keys, doors, creatures, items, signs (PaintObjects.cpp).
bool PaintObject(Canvas& c, const vantrel::ElementInfo& e);

// Pictures used by both.
void Bricks(Canvas& c, QRgb brick, QRgb mortar);
void GemCut(Canvas& c, QRgb colour, double x, double y, double size);   // an emerald-style cut stone
void Brilliant(Canvas& c, QRgb colour, double x, double y, double size);  // a diamond-style stone
void BdDiamond(Canvas& c, double x, double y, double size);                // a banded rhombus
void Key(Canvas& c, QRgb colour, bool upright);
void Envelope(Canvas& c, QRgb colour);
void Figure(Canvas& c, QRgb suit, int number);
void Glyph7(Canvas& c, unsigned char ch, QRgb colour);
void SmallNumber(Canvas& c, int n, int x, int y, QRgb colour);
void DirectionMark(Canvas& c, Dir d);

}  // namespace atlasgen
