#include "assets/menu/title_fonts.h"

#include "assets/art/art_style.h"
#include "assets/menu/menu_look.h"

namespace menuart {

Picture NameFont(bool highlight) {
    TextStyle s = art::BodyStyle(kNameFontSize);
    s.weight = 0.16f;
    s.tracking = 0;
    if (highlight) {
        s.weight = 0.19f;
        s.paint = VerticalStops(
            {{kNameFontBaseline - kNameFontSize, Hex(0xFFF2B0)}, {kNameFontBaseline, art::kGold}});
        s.outline = 1.0f;
        s.outlineColour = Hex(0x2A1A08);
    }
    return FontStrip(s, kNameFontHeight, kNameFontBaseline, kFieldFace);
}

} // namespace menuart
