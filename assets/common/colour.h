// Colours of the asset generators. Drawing works in floating-point RGB (0..255 per channel); files get
// 8-bit channels. Pure blue (0, 0, 255) is the package's transparent colour key, and every opaque colour
// that a 16-bit display (5-6-5 or 5-5-5, truncating) would turn into the key's pixel value 0x001F is
// forbidden, since it would vanish on screen.
#pragma once

#include <cstdint>

struct Rgb {
    float r = 0, g = 0, b = 0;
};

struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

// The transparent colour key.
constexpr Rgb8 kKeyBlue8{0, 0, 255};
constexpr Rgb kKeyBlue{0, 0, 255};

// A colour from 0xRRGGBB.
constexpr Rgb Hex(uint32_t rgb) {
    return Rgb{float((rgb >> 16) & 0xFF), float((rgb >> 8) & 0xFF), float(rgb & 0xFF)};
}

// a + (b - a) x t, per channel.
Rgb Mix(Rgb a, Rgb b, float t);
// Every channel times f.
Rgb Scale(Rgb c, float f);
// Toward white (t > 0) or black (t < 0) by |t|.
Rgb Shade(Rgb c, float t);
// c1 + c2 per channel.
Rgb Add(Rgb a, Rgb b);

// Whether an 8-bit colour is exactly the key.
inline bool IsKey(Rgb8 c) {
    return c == kKeyBlue8;
}
// Whether an 8-bit colour shows as the key on a 16-bit display: red below 8, green below 8, blue at least
// 248 (the 5-5-5 rule, which contains the 5-6-5 one).
inline bool ShowsAsKey(Rgb8 c) {
    return c.r < 8 && c.g < 8 && c.b >= 248;
}
// The nearest colour that does not show as the key (blue lowered to 247 where needed).
Rgb8 AvoidKey(Rgb8 c);
// Rounds and clamps a drawing colour to 8-bit channels.
Rgb8 ToRgb8(Rgb c);
