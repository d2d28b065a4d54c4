#include "assets/common/stroke_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <sstream>

namespace {

// Glyph programs: "M x y" moves the pen (starting a stroke), "L x y" draws a line, "A cx cy rx ry a0 a1"
// draws an elliptic arc from angle a0 to a1 (degrees; 0 is +x, 90 is down), joined to the stroke in
// progress (or starting one), "U" lifts the pen.
struct GlyphSource {
    char c;
    float width;
    const char* program;
};

const GlyphSource kSources[] = {
    {'!', 0, "M0 0 L0 6.8 M0 10 L0 10"},
    {'"', 2.2f, "M0 0 L0 3 M2.2 0 L2.2 3"},
    {'#', 6, "M2.2 0.5 L1.4 9.5 M4.8 0.5 L4 9.5 M0 3.4 L6 3.4 M0 6.6 L6 6.6"},
    {'$', 5.4f, "A2.7 3 2.7 2 -10 -270 A2.7 7 2.7 2 -90 170 M2.7 -0.6 L2.7 10.6"},
    {'%', 7, "A1.6 2.1 1.6 2.1 0 360 U A5.4 7.9 1.6 2.1 0 360 M6.4 0 L0.6 10"},
    {'&', 6.6f,
     "M6.6 10 L1.4 3.9 A2.7 2.2 1.5 2.2 150 -75 L3.4 0.1 A2.7 2.1 1.6 2.1 -60 60 L0.6 6.9 A2.6 8.1 2 1.9 210 "
     "90 "
     "L2.6 10 A2.6 7.4 3.4 2.6 90 -5"},
    {'\'', 0, "M0 0 L0 3"},
    {'(', 1.6f, "A4 5 4 6.2 -105 -255"},
    {')', 1.6f, "A-2.4 5 4 6.2 -75 75"},
    {'*', 5, "M2.5 0 L2.5 5.2 M0.2 1.3 L4.8 3.9 M4.8 1.3 L0.2 3.9"},
    {'+', 5.6f, "M2.8 2.6 L2.8 8.6 M0 5.6 L5.6 5.6"},
    {',', 0.9f, "M0.9 9.6 L0 12.2"},
    {'-', 3.6f, "M0 6 L3.6 6"},
    {'.', 0, "M0 10 L0 10"},
    {'/', 4.6f, "M4.6 0 L0 10"},
    {'0', 5.6f, "A2.8 5 2.8 5 0 360"},
    {'1', 4.4f, "M0.4 2.2 L3 0 L3 10"},
    {'2', 5.4f, "A2.7 2.75 2.7 2.75 -160 12 L0 10 L5.6 10"},
    {'3', 5.4f, "A2.7 2.5 2.5 2.5 -155 90 A2.7 7.5 2.7 2.5 -90 155"},
    {'4', 5.8f, "M4.2 10 L4.2 0 L0 7 L5.8 7"},
    {'5', 5.5f, "M5.2 0 L0.7 0 L0.5 4.6 A2.7 6.8 2.8 3.2 -132 150"},
    {'6', 5.5f, "A2.75 6.9 2.75 3.1 0 360 M4.4 0 L0.35 5.6"},
    {'7', 5.4f, "M0 0 L5.4 0 L1.8 10"},
    {'8', 5.5f, "A2.75 2.45 2.4 2.45 90 450 A2.75 7.45 2.75 2.55 -90 270"},
    {'9', 5.5f, "A2.75 3.1 2.75 3.1 0 360 M5.15 4.4 L1.1 10"},
    {':', 0, "M0 4 L0 4 M0 10 L0 10"},
    {';', 0.9f, "M0.9 4 L0.9 4 M0.9 9.6 L0 12.2"},
    {'<', 5, "M5 2.6 L0 5.6 L5 8.6"},
    {'=', 5, "M0 4.2 L5 4.2 M0 7.2 L5 7.2"},
    {'>', 5, "M0 2.6 L5 5.6 L0 8.6"},
    {'?', 5, "A2.5 2.5 2.5 2.5 -165 70 L2.5 6.8 M2.5 10 L2.5 10"},
    {'@', 8.4f, "A4.3 6 1.6 2 0 360 M5.9 4 L5.9 7.6 A7 7.6 1.1 1.3 180 0 L8.1 6 A4.3 6 3.8 4.6 0 -285"},
    {'A', 6.4f, "M0 10 L3.2 0 L6.4 10 M1.15 6.5 L5.25 6.5"},
    {'B', 5.8f, "M0 10 L0 0 L3 0 A3 2.5 2.6 2.5 -90 90 L0 5 M3.2 5 A3.2 7.5 2.6 2.5 -90 90 L0 10"},
    {'C', 6, "A3.4 5 3.4 5 -45 -315"},
    {'D', 6.2f, "M0 0 L0 10 L2.6 10 A2.6 5 3.6 5 90 -90 L0 0"},
    {'E', 5, "M5 0 L0 0 L0 10 L5 10 M0 5 L4.2 5"},
    {'F', 5, "M5 0 L0 0 L0 10 M0 5 L4.2 5"},
    {'G', 6.8f, "A3.4 5 3.4 5 -42 -360 L3.8 5"},
    {'H', 6, "M0 0 L0 10 M6 0 L6 10 M0 5 L6 5"},
    {'I', 0, "M0 0 L0 10"},
    {'J', 4.6f, "M4.6 0 L4.6 7.5 A2.3 7.5 2.3 2.5 0 180"},
    {'K', 5.6f, "M0 0 L0 10 M5.6 0 L0 6.2 M1.9 4.1 L5.6 10"},
    {'L', 4.6f, "M0 0 L0 10 L4.6 10"},
    {'M', 7.4f, "M0 10 L0 0 L3.7 7 L7.4 0 L7.4 10"},
    {'N', 6, "M0 10 L0 0 L6 10 L6 0"},
    {'O', 7, "A3.5 5 3.5 5 0 360"},
    {'P', 5.6f, "M0 10 L0 0 L3 0 A3 2.75 2.6 2.75 -90 90 L0 5.5"},
    {'Q', 7, "A3.5 5 3.5 5 0 360 M4.3 7.3 L7.1 10.4"},
    {'R', 5.8f, "M0 10 L0 0 L3 0 A3 2.6 2.6 2.6 -90 90 L0 5.2 M2.8 5.2 L5.8 10"},
    {'S', 5.5f, "A2.75 2.55 2.75 2.55 -15 -270 A2.75 7.55 2.75 2.45 -90 165"},
    {'T', 6, "M0 0 L6 0 M3 0 L3 10"},
    {'U', 6, "M0 0 L0 7 A3 7 3 3 180 0 L6 0"},
    {'V', 6.2f, "M0 0 L3.1 10 L6.2 0"},
    {'W', 8.8f, "M0 0 L2.1 10 L4.4 2 L6.7 10 L8.8 0"},
    {'X', 6, "M0 0 L6 10 M6 0 L0 10"},
    {'Y', 6.2f, "M0 0 L3.1 5.2 L6.2 0 M3.1 5.2 L3.1 10"},
    {'Z', 5.6f, "M0 0 L5.6 0 L0 10 L5.6 10"},
    {'[', 2, "M2 -0.6 L0 -0.6 L0 10.6 L2 10.6"},
    {'\\', 4.6f, "M0 0 L4.6 10"},
    {']', 2, "M0 -0.6 L2 -0.6 L2 10.6 L0 10.6"},
    {'^', 5, "M0 4 L2.5 0 L5 4"},
    {'_', 6, "M0 12 L6 12"},
    {'`', 1.5f, "M0 0 L1.5 2"},
    {'a', 5, "A2.5 6.5 2.5 3.5 0 360 M5 3 L5 10"},
    {'b', 5, "M0 0 L0 10 U A2.5 6.5 2.5 3.5 0 360"},
    {'c', 5, "A2.75 6.5 2.75 3.5 -40 -320"},
    {'d', 5, "M5 0 L5 10 U A2.5 6.5 2.5 3.5 0 360"},
    {'e', 5.3f, "M0 6.5 L5.3 6.5 A2.65 6.5 2.65 3.5 0 -310"},
    {'f', 3.6f, "A3 2 1.8 2 -45 -180 L1.2 10 M0 3.3 L3.4 3.3"},
    {'g', 5, "A2.5 6.5 2.5 3.5 0 360 M5 3 L5 11 A2.5 11 2.5 2 0 155"},
    {'h', 5, "M0 0 L0 10 M0 6 A2.5 6 2.5 2.8 180 360 L5 10"},
    {'i', 0, "M0 3.2 L0 10 M0 0.5 L0 0.5"},
    {'j', 2, "M2 3.2 L2 11 A0.7 11 1.3 2 0 150 M2 0.5 L2 0.5"},
    {'k', 4.6f, "M0 0 L0 10 M4.6 3.2 L0 7.4 M1.7 5.8 L4.8 10"},
    {'l', 1.3f, "M0 0 L0 8.6 A1.3 8.6 1.3 1.4 180 90"},
    {'m', 8, "M0 3 L0 10 M0 5.8 A2 5.8 2 2.6 180 360 L4 10 M4 5.8 A6 5.8 2 2.6 180 360 L8 10"},
    {'n', 5, "M0 3 L0 10 M0 6 A2.5 6 2.5 2.8 180 360 L5 10"},
    {'o', 5.4f, "A2.7 6.5 2.7 3.5 0 360"},
    {'p', 5, "M0 3 L0 13 U A2.5 6.5 2.5 3.5 0 360"},
    {'q', 5, "M5 3 L5 13 U A2.5 6.5 2.5 3.5 0 360"},
    {'r', 3.8f, "M0 3 L0 10 M0 6.2 A2.8 6.2 2.8 3 180 290"},
    {'s', 4.6f, "A2.3 4.85 2.15 1.85 -15 -270 A2.3 8.35 2.3 1.65 -90 165"},
    {'t', 3.4f, "M1.2 0.8 L1.2 8.6 A2.4 8.6 1.2 1.4 180 90 L3.4 10 M0 3.3 L3.4 3.3"},
    {'u', 5, "M0 3 L0 7 A2.5 7 2.5 3 180 0 M5 3 L5 10"},
    {'v', 5, "M0 3 L2.5 10 L5 3"},
    {'w', 7.6f, "M0 3 L1.8 10 L3.8 4.4 L5.8 10 L7.6 3"},
    {'x', 5, "M0 3 L5 10 M5 3 L0 10"},
    {'y', 5, "M0 3 L2.6 10 M5 3 L1.4 13"},
    {'z', 4.6f, "M0 3 L4.6 3 L0 10 L4.6 10"},
    {'{', 3, "A3 1.6 1.5 2.2 -90 -180 L1.5 3.6 L0 5 L1.5 6.4 L1.5 8.4 A3 8.4 1.5 2.2 180 90"},
    {'|', 0, "M0 -0.6 L0 12"},
    {'}', 3, "A0 1.6 1.5 2.2 -90 0 L1.5 3.6 L3 5 L1.5 6.4 L1.5 8.4 A0 8.4 1.5 2.2 0 90"},
    {'~', 6, "M0 6.2 A1.5 6.2 1.5 1.3 180 360 A4.5 6.2 1.5 1.3 180 0"},
};

Glyph Compile(const GlyphSource& s) {
    Glyph g;
    g.width = s.width;
    std::istringstream in(s.program);
    char op;
    bool penDown = false;
    auto point = [&](float x, float y) {
        if (!penDown) {
            g.strokes.push_back({});
            penDown = true;
        }
        g.strokes.back().push_back(Point{x, y});
    };
    while (in >> op) {
        if (op == 'M') {
            float x, y;
            in >> x >> y;
            penDown = false;
            point(x, y);
        } else if (op == 'L') {
            float x, y;
            in >> x >> y;
            point(x, y);
        } else if (op == 'U') {
            penDown = false;
        } else if (op == 'A') {
            float cx, cy, rx, ry, a0, a1;
            in >> cx >> cy >> rx >> ry >> a0 >> a1;
            int steps = std::max(4, int(std::fabs(a1 - a0) / 7.5f));
            for (int i = 0; i <= steps; ++i) {
                float a = (a0 + (a1 - a0) * float(i) / float(steps)) * std::numbers::pi_v<float> / 180.0f;
                point(cx + rx * std::cos(a), cy + ry * std::sin(a));
            }
        }
    }
    return g;
}

const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = [] {
        std::vector<Glyph> all(95);
        for (const GlyphSource& s : kSources)
            all[size_t(s.c - 32)] = Compile(s);
        return all;
    }();
    return glyphs;
}

// One glyph's strokes in pixels: origin at the baseline-left of the stroke box.
struct PlacedSegment {
    float x0, y0, x1, y1;
};

float Unit(const TextStyle& s) {
    return s.size / 10.0f;
}
float StrokeWidth(const TextStyle& s) {
    return std::max(0.8f, s.size * s.weight);
}

// The advance of character c: its stroke box, the stroke's width and a gap.
float Advance(char c, const TextStyle& s) {
    float u = Unit(s);
    if (c == ' ') return 3.4f * u + s.tracking;
    const Glyph& g = GlyphOf(c);
    return g.width * u + StrokeWidth(s) + 1.7f * u + s.tracking;
}

// Per glyph, its segments in pixels (glyphs are rendered one by one so each looks only at its own).
using Placed = std::vector<std::vector<PlacedSegment>>;

Placed Layout(float x, float y, const std::string& text, const TextStyle& s) {
    Placed placed;
    float u = Unit(s), half = StrokeWidth(s) / 2;
    for (char c : text) {
        const Glyph& g = GlyphOf(c);
        placed.push_back({});
        std::vector<PlacedSegment>& segs = placed.back();
        float ox = x + half;
        for (const Stroke& stroke : g.strokes) {
            auto map = [&](const Point& p) {
                float py = y + (p.y - 10.0f) * u;
                return Point{ox + p.x * u + (10.0f - p.y) * u * s.slant, py};
            };
            if (stroke.size() == 1) {
                Point a = map(stroke[0]);
                segs.push_back({a.x, a.y, a.x, a.y});
            }
            for (size_t i = 1; i < stroke.size(); ++i) {
                Point a = map(stroke[i - 1]), b = map(stroke[i]);
                segs.push_back({a.x, a.y, b.x, b.y});
            }
        }
        x += Advance(c, s);
    }
    return placed;
}

float SegmentDistance(float px, float py, const PlacedSegment& s) {
    float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - s.x0) * dx + (py - s.y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

float Distance(float px, float py, const std::vector<PlacedSegment>& segs) {
    float d = 1e30f;
    for (const PlacedSegment& s : segs)
        d = std::min(d, SegmentDistance(px, py, s));
    return d;
}

Box Bounds(const std::vector<PlacedSegment>& segs, float margin) {
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (const PlacedSegment& s : segs) {
        x0 = std::min({x0, s.x0, s.x1});
        x1 = std::max({x1, s.x0, s.x1});
        y0 = std::min({y0, s.y0, s.y1});
        y1 = std::max({y1, s.y0, s.y1});
    }
    return Box{int(std::floor(x0 - margin)), int(std::floor(y0 - margin)), int(std::ceil(x1 + margin)) + 1,
               int(std::ceil(y1 + margin)) + 1};
}

// Paints the pixels within reach of the segments: coverage by distance - reach.
void Render(Canvas& canvas, const std::vector<PlacedSegment>& segs, float reach, const Paint& paint,
            float opacity, float dx = 0, float dy = 0) {
    if (segs.empty()) return;
    Box box = Bounds(segs, reach + 1);
    box.x0 += int(std::floor(dx));
    box.x1 += int(std::ceil(dx));
    box.y0 += int(std::floor(dy));
    box.y1 += int(std::ceil(dy));
    FillSdf(
        canvas, box, [&](float x, float y) { return Distance(x - dx, y - dy, segs) - reach; }, paint,
        opacity);
}

} // namespace

const Glyph& GlyphOf(char c) {
    static const Glyph empty;
    if (c < 32 || c > 126) return empty;
    return Glyphs()[size_t(c - 32)];
}

float TextWidth(const std::string& text, const TextStyle& style) {
    float w = 0;
    for (char c : text)
        w += Advance(c, style);
    return w;
}

float DrawText(Canvas& canvas, float x, float y, const std::string& text, const TextStyle& s, Align align) {
    float w = TextWidth(text, s);
    if (align == Align::Centre) x -= w / 2;
    if (align == Align::Right) x -= w;
    Placed placed = Layout(x, y, text, s);
    float half = StrokeWidth(s) / 2;
    if (s.shadowX != 0 || s.shadowY != 0)
        for (const auto& segs : placed)
            Render(canvas, segs, half + s.outline, Solid(s.shadowColour), s.shadowOpacity, s.shadowX,
                   s.shadowY);
    if (s.outline > 0)
        for (const auto& segs : placed)
            Render(canvas, segs, half + s.outline, Solid(s.outlineColour), 1.0f);
    for (const auto& segs : placed)
        Render(canvas, segs, half, s.paint, 1.0f);
    return w;
}

Sdf TextShape(float x, float y, const std::string& text, const TextStyle& style) {
    auto segs = std::make_shared<std::vector<PlacedSegment>>();
    for (const auto& glyph : Layout(x, y, text, style))
        segs->insert(segs->end(), glyph.begin(), glyph.end());
    float half = StrokeWidth(style) / 2;
    return [segs, half](float px, float py) { return Distance(px, py, *segs) - half; };
}
