// The package's own lettering: a monoline stroke font with round caps, every printable ASCII character
// drawn as polylines and elliptic arcs on a small grid, rendered anti-aliased at any size by distance to
// the strokes. Text can carry an outline, a drop shadow and any paint (gradients for titles).
#pragma once

#include <string>
#include <vector>

#include "assets/common/shapes.h"

// One stroke, a polyline in glyph units: capitals span y 0 (top) to 10 (baseline), lower case from the
// x-height 3 to 10, descenders reach 13.
using Stroke = std::vector<Point>;

struct Glyph {
    float width = 0; // of the strokes' centre lines, in units
    std::vector<Stroke> strokes;
};

// The glyph of character c (33..126), or an empty glyph for anything else.
const Glyph& GlyphOf(char c);

enum class Align { Left, Centre, Right };

struct TextStyle {
    float size = 12;      // cap height in pixels
    float weight = 0.16f; // stroke width as a fraction of the cap height
    float tracking = 0;   // extra space between glyphs, in pixels
    Paint paint = Solid(Rgb{255, 255, 255});
    float outline = 0; // outline width in pixels (0: none)
    Rgb outlineColour{0, 0, 0};
    float shadowX = 0, shadowY = 0; // drop shadow offset (0, 0: none)
    Rgb shadowColour{0, 0, 0};
    float shadowOpacity = 0.6f;
    float slant = 0; // horizontal shift per unit of height above the baseline (italic)
};

// The advance of text in pixels.
float TextWidth(const std::string& text, const TextStyle& style);

// Draws text with its baseline at y; x is the left end, centre or right end as align says. Returns the
// advance. Lines are not broken.
float DrawText(Canvas& canvas, float x, float y, const std::string& text, const TextStyle& style,
               Align align = Align::Left);

// The shape of text (strokes of the given style, no outline) as a distance function, for effects such as
// embossing. Baseline at y, left end at x.
Sdf TextShape(float x, float y, const std::string& text, const TextStyle& style);
