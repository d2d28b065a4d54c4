// The menu's shared drawing: its buttons (the game's bronze-rimmed slate buttons at any size, with an
// icon and a label), its icons, its bitmap fonts and its backdrop, so that the menu and the game read
// as one product.
#pragma once

#include <functional>
#include <string>

#include "assets/art/art_style.h"

namespace menuart {

// An icon drawn centred on (cx, cy) within a square of half-size r, in one colour.
using Icon = std::function<void(Canvas&, float cx, float cy, float r, Rgb colour)>;

namespace icons {
void ArrowLeft(Canvas& c, float cx, float cy, float r, Rgb col);
void ArrowRight(Canvas& c, float cx, float cy, float r, Rgb col);
void Back(Canvas& c, float cx, float cy, float r, Rgb col);
void Question(Canvas& c, float cx, float cy, float r, Rgb col);
void Power(Canvas& c, float cx, float cy, float r, Rgb col);
void Play(Canvas& c, float cx, float cy, float r, Rgb col);
void Trophy(Canvas& c, float cx, float cy, float r, Rgb col);
void Grid(Canvas& c, float cx, float cy, float r, Rgb col);
void Star(Canvas& c, float cx, float cy, float r, Rgb col);
void People(Canvas& c, float cx, float cy, float r, Rgb col);
void Upload(Canvas& c, float cx, float cy, float r, Rgb col);
void Cross(Canvas& c, float cx, float cy, float r, Rgb col);
void Check(Canvas& c, float cx, float cy, float r, Rgb col);
void Note(Canvas& c, float cx, float cy, float r, Rgb col);
void Speaker(Canvas& c, float cx, float cy, float r, Rgb col);
} // namespace icons

// A large icon for a screen's heading: a dark outline and drop shadow, then the icon's shape filled
// with paint.
void DrawPaintedIcon(Canvas& c, const Icon& icon, float cx, float cy, float r, const Paint& paint);

// Colours of a button's icon and label: gold and cream normally, brighter when hot.
Rgb IconColour(bool hot);

// One button frame of w x h at (ox, 0): bronze rim, slate face (lit teal when hot), the icon on the
// left (or centred without a label) and the label, one or two lines split at '\n'.
void DrawButton(Canvas& c, int ox, int w, int h, bool hot, const Icon& icon, const std::string& label);

// A 2-frame horizontal button strip (frame 0 normal, frame 1 under the mouse or pressed) as a keyed
// picture.
Picture ButtonStrip(int w, int h, const Icon& icon, const std::string& label);

// A round button of diameter d at (ox, 0) with an icon and no label.
void DrawRoundButton(Canvas& c, int ox, int d, bool hot, const Icon& icon);

// A proportional bitmap font: the 94 glyphs "!" to "~" drawn in style with the baseline at baseline,
// each trimmed to its ink, in one row of the given height separated by one key column. A glyph whose
// ink leaves an empty column inside it is bridged so the loader's column scan keeps it whole. Edge
// pixels are mixed toward matte, the colour the font is meant to be drawn on.
Picture FontStrip(const TextStyle& style, int height, float baseline, Rgb matte);

// The menu's name lettered like the game's logo, left end at x, baseline at y.
void DrawMenuLogo(Canvas& c, float x, float y, float size);

// A full-size panel face with the game's bronze rim, filling the whole canvas with no transparent
// corner: the area outside the rounding shows the mosaic, so a popup face holds no key pixel.
void DrawScreenPanel(Canvas& c, float radius, unsigned seed);

// A title in the game's heading style with an engraved rule under it, centred on cx.
void DrawTitle(Canvas& c, float cx, float baseline, float size, const std::string& text);

} // namespace menuart
