#include "assets/art/art_style.h"

#include <algorithm>
#include <cmath>

#include "assets/common/noise.h"

namespace art {

Rgb BallColour(int colour) {
    switch (colour) {
    case 0: return Hex(0x2C6BE8);  // blue
    case 1: return Hex(0xE0342A);  // red
    case 2: return Hex(0x2DB84A);  // green
    case 3: return Hex(0xF5C518);  // yellow
    default: return Hex(0x9AA3AE); // grey
    }
}

int OrderColourToTile(int k) {
    static const int tile[4] = {1, 2, 0, 3}; // red, green, blue, yellow
    return tile[k & 3];
}

void DrawBall(Canvas& canvas, float cx, float cy, float r, int colour, float opacity) {
    SphereLight light;
    if (colour == 3) light.ambient = 0.42f; // yellow reads darker than it is under the same light
    if (colour == 4) light.gloss = 1.0f;
    DrawSphere(canvas, cx, cy, r, BallColour(colour), opacity, light);
}

float StoneGrain(float x, float y, unsigned seed, int period) {
    ValueNoise n(seed);
    int p = period > 0 ? std::max(1, period / 6) : 0;
    float coarse = n.Fractal(x / 6.0f, y / 6.0f, 3, p);
    ValueNoise fine(seed ^ 0x5A5Au);
    int q = period > 0 ? std::max(1, period / 2) : 0;
    float fleck = fine.At(x / 2.0f, y / 2.0f, q);
    return std::clamp(coarse * 0.75f + fleck * 0.25f, 0.0f, 1.0f);
}

void DrawPanel(Canvas& canvas, float x, float y, float w, float h, float radius) {
    Sdf outer = RoundRect(x, y, w, h, radius);
    Box box{int(x) - 1, int(y) - 1, int(x + w) + 2, int(y + h) + 2};
    FillSdf(canvas, box, outer, LinearGradient(x, y, kBronzeLight, x + w, y + h, kBronzeDark));
    EmbossSdf(canvas, box, outer, 3.0f, 0.5f);
    Sdf inner = RoundRect(x + 6, y + 6, w - 12, h - 12, std::max(radius - 5, 2.0f));
    Paint face = [=](float px, float py) {
        float g = StoneGrain(px, py, 77);
        Rgb base = Mix(kPanelMid, kPanelDark, std::clamp((py - y) / h, 0.0f, 1.0f));
        return Shade(base, (g - 0.5f) * 0.12f);
    };
    FillSdf(canvas, box, inner, face);
    EmbossSdf(canvas, box, inner, -2.5f, 0.55f);
}

void DrawWell(Canvas& canvas, int x, int y, int w, int h, Rgb face) {
    canvas.FillRect(x, y, w, h, face);
    BevelRect(canvas, x, y, w, h, 2, 0.55f, 0.6f, true);
}

namespace {

// The logo's lettering: gold capitals shading down to amber, a dark outline and a drop shadow.
TextStyle LogoStyle(float size, float baseline) {
    TextStyle s;
    s.size = size;
    s.weight = 0.22f;
    s.tracking = size * 0.08f;
    float top = baseline - size;
    s.paint = VerticalStops({{top, Hex(0xFFF2B0)},
                             {top + size * 0.45f, kGold},
                             {top + size * 0.55f, Hex(0xC8902C)},
                             {baseline, Hex(0xF0C060)}});
    s.outline = std::max(1.0f, size * 0.07f);
    s.outlineColour = Hex(0x2A1A08);
    s.shadowX = size * 0.06f;
    s.shadowY = size * 0.08f;
    s.shadowOpacity = 0.65f;
    return s;
}

} // namespace

void DrawLogoLettering(Canvas& canvas, float x, float y, float size, const std::string& text) {
    TextStyle s = LogoStyle(size, y);
    float top = y - size;
    float w = TextWidth(text, s);
    DrawText(canvas, x, y, text, s);
    Box box{int(x) - 2, int(top) - 4, int(x + w) + 4, int(y + size * 0.4f) + 4};
    EmbossSdf(canvas, box, TextShape(x, y, text, s), size * 0.09f, 0.45f);
}

void DrawLogoText(Canvas& canvas, float cx, float y, float size, const std::string& text) {
    float w = TextWidth(text, LogoStyle(size, y));
    DrawLogoLettering(canvas, cx - w / 2, y, size, text);
}

void DrawEmblem(Canvas& canvas, float cx, float cy, float r) {
    // A bronze disc with a gold diamond tessera, the four balls at the diamond's points.
    Box box{int(cx - r) - 2, int(cy - r) - 2, int(cx + r) + 3, int(cy + r) + 3};
    Sdf disc = Circle(cx, cy, r);
    FillSdf(canvas, box, disc, LinearGradient(cx - r, cy - r, kBronzeLight, cx + r, cy + r, kBronzeDark));
    EmbossSdf(canvas, box, disc, r * 0.08f, 0.5f);
    Sdf face = Circle(cx, cy, r * 0.86f);
    FillSdf(canvas, box, face,
            RadialGradient(cx - r * 0.3f, cy - r * 0.3f, r * 1.2f, Hex(0x33465A), kPanelDark));
    EmbossSdf(canvas, box, face, -r * 0.06f, 0.5f);
    float d = r * 0.42f;
    Sdf diamond = Polygon({{cx, cy - d}, {cx + d, cy}, {cx, cy + d}, {cx - d, cy}});
    FillSdf(canvas, box, diamond,
            LinearGradient(cx - d, cy - d, Hex(0xFFF0A0), cx + d, cy + d, Hex(0xB07A20)));
    EmbossSdf(canvas, box, diamond, d * 0.18f, 0.5f);
    float br = r * 0.2f, off = r * 0.58f;
    const float pos[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const int colours[4] = {1, 2, 0, 3};
    for (int i = 0; i < 4; ++i)
        DrawBall(canvas, cx + pos[i][0] * off, cy + pos[i][1] * off, br, colours[i]);
}

TextStyle LabelStyle(float size) {
    TextStyle s;
    s.size = size;
    s.weight = 0.2f;
    s.tracking = size * 0.18f;
    s.paint = Solid(kBronzeLight);
    s.shadowX = 1;
    s.shadowY = 1;
    s.shadowColour = Hex(0x06080A);
    s.shadowOpacity = 0.8f;
    return s;
}

TextStyle HeadingStyle(float size) {
    TextStyle s;
    s.size = size;
    s.weight = 0.2f;
    s.tracking = size * 0.06f;
    s.paint = VerticalStops({{-1e9f, Hex(0xFFF2B0)}, {1e9f, kGold}});
    s.outline = std::max(1.0f, size * 0.08f);
    s.outlineColour = Hex(0x2A1A08);
    s.shadowX = 2;
    s.shadowY = 2;
    s.shadowOpacity = 0.5f;
    return s;
}

TextStyle BodyStyle(float size) {
    TextStyle s;
    s.size = size;
    s.weight = 0.15f;
    s.tracking = size * 0.02f;
    s.paint = Solid(kCream);
    s.shadowX = 1;
    s.shadowY = 1;
    s.shadowColour = Hex(0x05070A);
    s.shadowOpacity = 0.7f;
    return s;
}

void DrawMosaic(Canvas& canvas, int x, int y, int w, int h, unsigned seed, float brightness) {
    // Tesserae on a jittered 8-pixel lattice: each pixel takes the nearest jittered centre (a Voronoi
    // cell), with grout where two cells meet.
    const float step = 8.0f;
    ValueNoise tone(seed);
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            float px = float(i) + 0.5f, py = float(j) + 0.5f;
            int gx = int(std::floor(px / step)), gy = int(std::floor(py / step));
            float best = 1e9f, second = 1e9f;
            uint32_t bestId = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int cx = gx + dx, cy = gy + dy;
                    float ox = (float(cx) + 0.2f + 0.6f * HashUnit(uint32_t(cx), uint32_t(cy), seed)) * step;
                    float oy =
                        (float(cy) + 0.2f + 0.6f * HashUnit(uint32_t(cy), uint32_t(cx), seed + 1)) * step;
                    float d = std::hypot(px - ox, py - oy);
                    if (d < best) {
                        second = best;
                        best = d;
                        bestId = HashInts(uint32_t(cx), uint32_t(cy), seed);
                    } else if (d < second) {
                        second = d;
                    }
                }
            float edge = second - best; // distance to the grout line, roughly doubled
            float t = float(bestId & 0xFF) / 255.0f;
            float wave = tone.Fractal(px / 90.0f, py / 90.0f, 3);
            Rgb c = Mix(Hex(0x173038), Hex(0x24505A), t * 0.6f + wave * 0.4f);
            if ((bestId >> 8) % 23 == 0) c = Mix(c, Hex(0x6A5A30), 0.55f); // an occasional bronze tessera
            c = Scale(c, brightness);
            float grout = std::clamp(edge / 1.6f, 0.0f, 1.0f);
            c = Mix(Hex(0x0A1216), c, grout);
            canvas.Set(i, j, c);
        }
}

} // namespace art
