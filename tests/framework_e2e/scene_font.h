// The "font" scene: a bitmap font whose 94 glyphs have widths from 4 to 12 pixels, each in its own
// colour with a blue (transparent) bottom row beside its first column, separated in the strip by blue
// columns; a page draws three texts with it: left-aligned, right-aligned, and left-aligned up to a
// right limit. The glyph widths the font finds, its space (half the widest glyph) and its spacing (a
// tenth of it) decide where every glyph lands.
#pragma once

#include <cstdint>

namespace font_scene {

constexpr uint32_t kBackground = 0x183018;
constexpr int kGlyphs = 94;
constexpr int kHeight = 12;
constexpr int kWidest = 12;
constexpr int kSpace = kWidest / 2;
constexpr int kSpacing = 1; // 12 x 0.1, truncated

constexpr int GlyphWidth(int i) {
    return 4 + (i * 7) % 9;
}
constexpr uint32_t GlyphColour(int i) {
    return uint32_t(0x80 | ((i & 7) << 4)) << 16 | uint32_t(0x80 | (((i >> 3) & 15) << 3)) << 8 | 0x40u;
}
// Blue columns after glyph i in the strip (runs of any length separate glyphs).
constexpr int GapAfter(int i) {
    return 1 + i % 3;
}

constexpr const char* kLeftText = "Hi Tessary!";
constexpr int kLeftX = 40, kLeftY = 100;
constexpr const char* kRightText = "Score 1234";
constexpr int kRightX = 760, kRightY = 200;
constexpr const char* kLimitedText = "ABCDEFGHIJ";
constexpr int kLimitedX = 40, kLimitedY = 300, kLimitedMaxX = 90;

} // namespace font_scene
