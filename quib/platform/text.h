// The engine's text fonts (internal side; the exported functions and _fontTypes_e are in quib/quib.h).
// Seven proportional sans fonts of fixed cell heights, made once by QuibInitFont, with one current font
// whose metrics are kept in g_FontHeight and g_CharWidth. Main thread only.
#pragma once

#include "host/base/types.h"

constexpr int kQuibFontCount = 7;

// The cell height of font index (0..6), or 0 for another index.
int QuibFontNominalHeight(int index);
// The font of index, NULL before QuibInitFont, after QuibFreeFont or for an index outside 0..6.
HFONT QuibFontHandle(int index);
