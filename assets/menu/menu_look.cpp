#include "assets/menu/menu_look.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/art/art_output.h"
#include "assets/common/glyph_strip.h"

namespace menuart {

using namespace art;

namespace icons {

void ArrowLeft(Canvas& c, float cx, float cy, float r, Rgb col) {
    FillSdf(
        c,
        Grow(Polygon(
                 {{cx - r * 0.7f, cy}, {cx + r * 0.45f, cy - r * 0.75f}, {cx + r * 0.45f, cy + r * 0.75f}}),
             -0.6f),
        Solid(col));
}

void ArrowRight(Canvas& c, float cx, float cy, float r, Rgb col) {
    FillSdf(
        c,
        Grow(Polygon(
                 {{cx + r * 0.7f, cy}, {cx - r * 0.45f, cy - r * 0.75f}, {cx - r * 0.45f, cy + r * 0.75f}}),
             -0.6f),
        Solid(col));
}

// A hooked arrow turning back to the left.
void Back(Canvas& c, float cx, float cy, float r, Rgb col) {
    float s = r / 10.0f, w = 2.6f * s;
    for (int k = 0; k < 12; ++k) {
        float a0 = -1.5708f + float(k) * 0.2618f, a1 = a0 + 0.2618f;
        FillSdf(c,
                Capsule(cx + s + std::cos(a0) * 6 * s, cy + s + std::sin(a0) * 5 * s,
                        cx + s + std::cos(a1) * 6 * s, cy + s + std::sin(a1) * 5 * s, w),
                Solid(col));
    }
    FillSdf(c, Polygon({{cx - 7 * s, cy - 4 * s}, {cx + s, cy - 10 * s}, {cx + s, cy + 2 * s}}), Solid(col));
}

void Question(Canvas& c, float cx, float cy, float r, Rgb col) {
    TextStyle s;
    s.size = r * 1.5f;
    s.weight = 0.2f;
    s.paint = Solid(col);
    DrawText(c, cx, cy + r * 0.75f, "?", s, Align::Centre);
}

// The power sign: a ring open at the top and a bar through the gap.
void Power(Canvas& c, float cx, float cy, float r, Rgb col) {
    float rr = r * 0.7f, w = std::max(2.0f, r * 0.26f);
    const int steps = 16;
    for (int k = 0; k < steps; ++k) {
        float a0 = 0.65f + float(k) * (4.98f / steps), a1 = a0 + 4.98f / steps;
        FillSdf(c,
                Capsule(cx + std::sin(a0) * rr, cy - std::cos(a0) * rr, cx + std::sin(a1) * rr,
                        cy - std::cos(a1) * rr, w),
                Solid(col));
    }
    FillSdf(c, Capsule(cx, cy - r * 0.9f, cx, cy - r * 0.1f, w * 1.08f), Solid(col));
}

void Play(Canvas& c, float cx, float cy, float r, Rgb col) {
    FillSdf(
        c,
        Grow(Polygon({{cx - r * 0.5f, cy - r * 0.8f}, {cx + r * 0.8f, cy}, {cx - r * 0.5f, cy + r * 0.8f}}),
             -0.8f),
        Solid(col));
}

void Trophy(Canvas& c, float cx, float cy, float r, Rgb col) {
    float top = cy - r * 0.85f, w = r * 0.62f;
    Sdf cup = Intersect(Ellipse(cx, top, w, r * 1.0f), RoundRect(cx - w, top, 2 * w, r * 0.95f, 0));
    Sdf handles = Union(Ring(cx - w, top + r * 0.35f, r * 0.28f, std::max(1.6f, r * 0.15f)),
                        Ring(cx + w, top + r * 0.35f, r * 0.28f, std::max(1.6f, r * 0.15f)));
    Sdf stem = RoundRect(cx - r * 0.1f, top + r * 0.9f, r * 0.2f, r * 0.45f, 0.5f);
    Sdf base = RoundRect(cx - r * 0.45f, top + r * 1.3f, r * 0.9f, r * 0.32f, 1.0f);
    FillSdf(c, Union(Union(cup, Subtract(handles, cup)), Union(stem, base)), Solid(col));
}

// A 2 x 2 grid of tiles: the menu of games.
void Grid(Canvas& c, float cx, float cy, float r, Rgb col) {
    float g = r * 0.16f, t = r * 0.72f;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            FillSdf(c,
                    RoundRect(cx - t - g / 2 + float(i) * (t + g), cy - t - g / 2 + float(j) * (t + g), t, t,
                              r * 0.15f),
                    Solid(col));
}

void Star(Canvas& c, float cx, float cy, float r, Rgb col) {
    FillSdf(c, ::Star(cx, cy + r * 0.08f, 5, r * 0.42f, r * 0.95f, -1.5708f), Solid(col));
}

// Two heads and shoulders.
void People(Canvas& c, float cx, float cy, float r, Rgb col) {
    auto person = [&](float x, float s, float opacity) {
        FillSdf(c, Circle(x, cy - r * 0.42f * s, r * 0.32f * s), Solid(col), opacity);
        Sdf body = Intersect(Ellipse(x, cy + r * 0.75f * s, r * 0.62f * s, r * 0.7f * s),
                             RoundRect(x - r, cy - r * 0.05f * s, 2 * r, r * 0.85f * s, 0));
        FillSdf(c, body, Solid(col), opacity);
    };
    person(cx + r * 0.42f, 0.85f, 0.65f);
    person(cx - r * 0.2f, 1.0f, 1.0f);
}

void Upload(Canvas& c, float cx, float cy, float r, Rgb col) {
    float w = std::max(2.2f, r * 0.28f);
    FillSdf(c, Capsule(cx, cy - r * 0.35f, cx, cy + r * 0.45f, w), Solid(col));
    FillSdf(c,
            Polygon({{cx, cy - r * 0.95f}, {cx + r * 0.6f, cy - r * 0.25f}, {cx - r * 0.6f, cy - r * 0.25f}}),
            Solid(col));
    FillSdf(c, Capsule(cx - r * 0.8f, cy + r * 0.85f, cx + r * 0.8f, cy + r * 0.85f, w), Solid(col));
}

void Cross(Canvas& c, float cx, float cy, float r, Rgb col) {
    float d = r * 0.62f, w = std::max(2.4f, r * 0.3f);
    FillSdf(c, Union(Capsule(cx - d, cy - d, cx + d, cy + d, w), Capsule(cx - d, cy + d, cx + d, cy - d, w)),
            Solid(col));
}

void Check(Canvas& c, float cx, float cy, float r, Rgb col) {
    float w = std::max(2.4f, r * 0.3f);
    FillSdf(c,
            Union(Capsule(cx - r * 0.7f, cy + r * 0.05f, cx - r * 0.2f, cy + r * 0.55f, w),
                  Capsule(cx - r * 0.2f, cy + r * 0.55f, cx + r * 0.75f, cy - r * 0.6f, w)),
            Solid(col));
}

// Two beamed quavers.
void Note(Canvas& c, float cx, float cy, float r, Rgb col) {
    float w = std::max(1.8f, r * 0.16f);
    float lx = cx - r * 0.45f, rx = cx + r * 0.55f;
    FillSdf(c, Ellipse(lx - r * 0.22f, cy + r * 0.55f, r * 0.3f, r * 0.22f), Solid(col));
    FillSdf(c, Ellipse(rx - r * 0.22f, cy + r * 0.4f, r * 0.3f, r * 0.22f), Solid(col));
    FillSdf(c, Capsule(lx + r * 0.05f, cy + r * 0.55f, lx + r * 0.05f, cy - r * 0.55f, w), Solid(col));
    FillSdf(c, Capsule(rx + r * 0.05f, cy + r * 0.4f, rx + r * 0.05f, cy - r * 0.75f, w), Solid(col));
    FillSdf(c,
            Polygon({{lx + r * 0.05f - w / 2, cy - r * 0.55f},
                     {rx + r * 0.05f + w / 2, cy - r * 0.75f},
                     {rx + r * 0.05f + w / 2, cy - r * 0.42f},
                     {lx + r * 0.05f - w / 2, cy - r * 0.22f}}),
            Solid(col));
}

// A loudspeaker with two sound waves.
void Speaker(Canvas& c, float cx, float cy, float r, Rgb col) {
    float x = cx - r * 0.25f;
    FillSdf(c,
            Polygon({{x - r * 0.55f, cy - r * 0.28f},
                     {x - r * 0.15f, cy - r * 0.28f},
                     {x + r * 0.3f, cy - r * 0.7f},
                     {x + r * 0.3f, cy + r * 0.7f},
                     {x - r * 0.15f, cy + r * 0.28f},
                     {x - r * 0.55f, cy + r * 0.28f}}),
            Solid(col));
    for (int k = 0; k < 2; ++k) {
        float rr = r * (0.45f + 0.35f * float(k));
        Sdf arc =
            Intersect(Ring(x + r * 0.3f, cy, rr, std::max(1.6f, r * 0.14f)),
                      Polygon({{x + r * 0.35f, cy}, {x + r * 2, cy - r * 1.6f}, {x + r * 2, cy + r * 1.6f}}));
        FillSdf(c, arc, Solid(col));
    }
}

} // namespace icons

void DrawPaintedIcon(Canvas& c, const Icon& icon, float cx, float cy, float r, const Paint& paint) {
    Canvas shape(c.Width(), c.Height());
    icon(shape, cx, cy, r, Rgb{255, 255, 255});
    int x0 = std::max(0, int(cx - 2 * r)), x1 = std::min(c.Width(), int(cx + 2 * r) + 1);
    int y0 = std::max(0, int(cy - 2 * r)), y1 = std::min(c.Height(), int(cy + 2 * r) + 1);
    auto alphaAt = [&](int x, int y) { return shape.Get(x, y).a; };
    // Shadow, then a one-pixel dark outline, then the face lit from the upper left.
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float shadow = alphaAt(x - 4, y - 5), edge = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    edge = std::max(edge, alphaAt(x + dx, y + dy));
            c.Blend(x, y, Hex(0x05070A), shadow * 0.55f);
            c.Blend(x, y, Hex(0x2A1A08), edge);
        }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float a = alphaAt(x, y);
            if (a <= 0) continue;
            // Light where the shape continues down-right (an edge facing the light), shade the reverse.
            float relief = alphaAt(x + 2, y + 2) - alphaAt(x - 2, y - 2);
            Rgb col = Shade(paint(float(x) + 0.5f, float(y) + 0.5f), relief * 0.35f);
            c.Blend(x, y, col, a);
        }
}

Rgb IconColour(bool hot) {
    return hot ? Hex(0xFFF4C8) : kGold;
}

namespace {

// The face of a button: bronze rim and slate face, lit teal when hot.
void ButtonBody(Canvas& c, const Box& box, float x, float y, float w, float h, float radius, bool hot) {
    Sdf rim = RoundRect(x, y, w, h, radius);
    FillSdf(c, box, rim, LinearGradient(x, y, hot ? Hex(0xFFE0A0) : kBronzeLight, x + w, y + h, kBronzeDark));
    EmbossSdf(c, box, rim, 2.0f, 0.5f);
    Sdf face = RoundRect(x + 3, y + 3, w - 6, h - 6, std::max(radius - 2, 1.0f));
    Rgb top = hot ? Hex(0x3E6A78) : Hex(0x3A4858), bottom = hot ? Hex(0x1E3A44) : Hex(0x1C242E);
    FillSdf(c, box, face, LinearGradient(x, y, top, x, y + h, bottom));
    EmbossSdf(c, box, face, -2.0f, 0.45f);
    if (hot)
        FillSdf(
            c, box, Grow(face, -1.0f),
            RadialGradient(x + w / 2, y + h * 0.35f, std::max(w, h) * 0.55f, Hex(0x80E8FF), Hex(0x1E3A44)),
            0.22f);
}

std::vector<std::string> Lines(const std::string& label) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= label.size()) {
        size_t nl = label.find('\n', start);
        if (nl == std::string::npos) nl = label.size();
        lines.push_back(label.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

} // namespace

void DrawButton(Canvas& c, int ox, int w, int h, bool hot, const Icon& icon, const std::string& label) {
    float x = float(ox) + 1, y = 1, bw = float(w) - 2, bh = float(h) - 2;
    Box box{ox, 0, ox + w, h};
    ButtonBody(c, box, x, y, bw, bh, std::min(9.0f, bh * 0.22f), hot);
    float r = std::min(bh * 0.3f, 13.0f);
    if (label.empty()) {
        icon(c, x + bw / 2, y + bh / 2, r, IconColour(hot));
        return;
    }
    float iconX = x + 6 + r + 2;
    if (icon) icon(c, iconX, y + bh / 2, r, IconColour(hot));
    float left = icon ? iconX + r + 3 : x + 6, right = x + bw - 7;
    std::vector<std::string> lines = Lines(label);
    float size = std::min(bh * (lines.size() > 1 ? 0.2f : 0.26f), 11.0f);
    TextStyle s = HeadingStyle(size);
    s.outline = 0;
    s.shadowX = s.shadowY = 1;
    s.shadowOpacity = 0.8f;
    s.shadowColour = Hex(0x06080A);
    s.tracking = size * 0.1f;
    s.paint = Solid(hot ? Hex(0xFFF4C8) : kCream);
    // Shrink until the longest line fits between the icon and the rim.
    for (;;) {
        float widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, TextWidth(line, s));
        if (widest <= right - left || s.size < 6) break;
        s.size -= 0.5f;
        s.tracking = s.size * 0.1f;
    }
    float gap = s.size * 1.55f;
    float first = y + bh / 2 + s.size / 2 - gap * float(lines.size() - 1) / 2;
    for (size_t i = 0; i < lines.size(); ++i)
        DrawText(c, (left + right) / 2, first + gap * float(i), lines[i], s, Align::Centre);
}

Picture ButtonStrip(int w, int h, const Icon& icon, const std::string& label) {
    Canvas c(2 * w, h);
    DrawButton(c, 0, w, h, false, icon, label);
    DrawButton(c, w, w, h, true, icon, label);
    return SpritePicture(c, kPanelDark);
}

void DrawRoundButton(Canvas& c, int ox, int d, bool hot, const Icon& icon) {
    float r = float(d) / 2 - 1, cx = float(ox) + float(d) / 2, cy = float(d) / 2;
    Box box{ox, 0, ox + d, d};
    Sdf rim = Circle(cx, cy, r);
    FillSdf(c, box, rim,
            LinearGradient(cx - r, cy - r, hot ? Hex(0xFFE0A0) : kBronzeLight, cx + r, cy + r, kBronzeDark));
    EmbossSdf(c, box, rim, 2.2f, 0.5f);
    Sdf face = Circle(cx, cy, r - 4);
    FillSdf(c, box, face,
            LinearGradient(cx, cy - r, hot ? Hex(0x3E6A78) : Hex(0x3A4858), cx, cy + r,
                           hot ? Hex(0x1E3A44) : Hex(0x1C242E)));
    EmbossSdf(c, box, face, -2.0f, 0.45f);
    icon(c, cx, cy, r * 0.68f, IconColour(hot));
}

Picture FontStrip(const TextStyle& style, int height, float baseline, Rgb matte) {
    std::vector<Picture> glyphs;
    const int cellW = int(style.size * 2.2f) + 8;
    for (int ch = 33; ch <= 126; ++ch) {
        Canvas g(cellW, height);
        DrawText(g, 2.0f, baseline, std::string(1, char(ch)), style);
        Picture p = SpritePicture(g, matte);
        int x0 = 0, x1 = 0;
        if (!InkColumns(p, &x0, &x1)) { // no ink at all: a one-pixel mark keeps the glyph count right
            x0 = x1 = 0;
            p.At(0, int(baseline) - 1) = ToRgb8(matte);
        }
        Picture cut = CropColumns(p, x0, x1);
        // Bridge empty inner columns in the colour of the glyph's first inked pixel on the left.
        BridgeInnerGaps(cut, cut.At(0, LeftInkRow(cut)));
        glyphs.push_back(cut);
    }
    return JoinGlyphs(glyphs, height);
}

void DrawMenuLogo(Canvas& c, float x, float y, float size) {
    DrawLogoLettering(c, x, y, size, "LOBBIT");
}

void DrawScreenPanel(Canvas& c, float radius, unsigned seed) {
    DrawMosaic(c, 0, 0, c.Width(), c.Height(), seed, 0.8f);
    DrawPanel(c, 0, 0, float(c.Width()), float(c.Height()), radius);
}

void DrawTitle(Canvas& c, float cx, float baseline, float size, const std::string& text) {
    TextStyle s = HeadingStyle(size);
    DrawText(c, cx, baseline, text, s, Align::Centre);
    float w = TextWidth(text, s) * 0.5f + size;
    float y = baseline + size * 0.55f;
    FillRectPaint(c, int(cx - w), int(y), int(2 * w), 1, Solid(kBronzeDark));
    FillRectPaint(c, int(cx - w), int(y) + 1, int(2 * w), 1, Solid(Hex(0x7A6040)));
    FillSdf(c, Polygon({{cx, y - 3.5f}, {cx + 3.5f, y + 0.5f}, {cx, y + 4.5f}, {cx - 3.5f, y + 0.5f}}),
            LinearGradient(cx - 4, y - 4, kBronzeLight, cx + 4, y + 4, kBronzeDark));
}

} // namespace menuart
