// The pictures the end-to-end scenes load, shared by the program (which writes them into its folder
// before it starts) and the tests (which look for their colours in the captured frames). Every colour
// is exact in 5-6-5, so a captured pixel maps back to one value.
#pragma once

#include <cstdint>

#include "tests/support/bmp.h"
#include "tests/support/files.h"

namespace e2e {

// 0xRRGGBB to 5-6-5 (low bits dropped).
constexpr uint16_t To565(uint32_t rgb) {
    return uint16_t(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

// The software cursor every scene with a shown cursor uses: 12x12, white with a black (transparent)
// triangle above its diagonal, so it has kCursorOpaquePixels visible pixels.
constexpr const char* kCursorFile = "e2e_cursor.bmp";
constexpr int kCursorSize = 12;
constexpr uint32_t kCursorWhite = 0xF8FCF8;
constexpr int kCursorOpaquePixels = kCursorSize * (kCursorSize + 1) / 2;
// Whether pixel (x, y) of the cursor is drawn (not on the transparent triangle above the diagonal).
constexpr bool CursorPixelOpaque(int x, int y) {
    return x <= y;
}
void WriteCursor();

} // namespace e2e
