// How the custom elements of the open level look: the ones whose record (a
// CUS4 record, or a CUSX chunk's "use graphic of element" and "graphic
// element" entries) says to use another element's graphic, by CE number.
#pragma once

#include "base/Elements.h"

namespace vantrel {

class OpenLevel;

// Empty entries for every CE that keeps its own picture, and for every CE
// when no level is open. Reads only what lies inside the file; a CUSX chunk
// that says "use graphic" without naming one uses empty space, as the game does.
CeGraphics CeGraphicsOf(const OpenLevel& lvl);

}  // namespace vantrel
