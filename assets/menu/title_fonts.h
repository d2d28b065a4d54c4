// The fonts of the players' names, shared by the title page's list and the player editor: cream for a
// name, gold for the current player and the text being typed. Both are drawn for the dark face of the
// name fields.
#pragma once

#include "assets/common/canvas.h"

namespace menuart {

constexpr int kNameFontHeight = 22; // fits the fields (30 and 26 pixels high)
constexpr float kNameFontSize = 13; // cap height
constexpr float kNameFontBaseline = 17;
constexpr Rgb kFieldFace = Hex(0x0C1116); // the name fields' face in the title and editor pictures

// The 94-glyph strip: highlight false for n_font.bmp, true for h_font.bmp.
Picture NameFont(bool highlight);

} // namespace menuart
