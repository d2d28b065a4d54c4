#include "assets/common/colour.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, float f) {
    return Rgb{c.r * f, c.g * f, c.b * f};
}

Rgb Shade(Rgb c, float t) {
    return t >= 0 ? Mix(c, Rgb{255, 255, 255}, t) : Mix(c, Rgb{0, 0, 0}, -t);
}

Rgb Add(Rgb a, Rgb b) {
    return Rgb{a.r + b.r, a.g + b.g, a.b + b.b};
}

Rgb8 AvoidKey(Rgb8 c) {
    if (ShowsAsKey(c)) c.b = 247;
    return c;
}

static uint8_t Channel(float v) {
    if (!(v == v)) return 0; // NaN
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

Rgb8 ToRgb8(Rgb c) {
    return Rgb8{Channel(c.r), Channel(c.g), Channel(c.b)};
}
