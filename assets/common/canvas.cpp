#include "assets/common/canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int w, int h) : width_(std::max(w, 0)), height_(std::max(h, 0)) {
    pixels_.assign(size_t(width_) * size_t(height_), Rgba{});
}

Canvas::Canvas(int w, int h, Rgb fill) : Canvas(w, h) {
    Fill(fill);
}

void Canvas::BlendPixel(int x, int y, const Rgba& s) {
    if (!Inside(x, y) || s.a <= 0.0f) return;
    Rgba& d = At(x, y);
    float sa = std::min(s.a, 1.0f);
    float outA = sa + d.a * (1.0f - sa);
    if (outA <= 0.0f) return;
    float wd = d.a * (1.0f - sa);
    d.r = (s.r * sa + d.r * wd) / outA;
    d.g = (s.g * sa + d.g * wd) / outA;
    d.b = (s.b * sa + d.b * wd) / outA;
    d.a = outA;
}

void Canvas::Blend(int x, int y, Rgb c, float alpha) {
    BlendPixel(x, y, Rgba{c.r, c.g, c.b, alpha});
}

void Canvas::Set(int x, int y, Rgb c, float alpha) {
    if (Inside(x, y)) At(x, y) = Rgba{c.r, c.g, c.b, alpha};
}

void Canvas::Fill(Rgb c) {
    std::fill(pixels_.begin(), pixels_.end(), Rgba{c.r, c.g, c.b, 1.0f});
}

void Canvas::Clear() {
    std::fill(pixels_.begin(), pixels_.end(), Rgba{});
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = std::max(y, 0); j < std::min(y + h, height_); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, width_); ++i)
            At(i, j) = Rgba{c.r, c.g, c.b, 1.0f};
}

void Canvas::Blit(const Canvas& src, int dx, int dy, float opacity) {
    for (int j = 0; j < src.Height(); ++j)
        for (int i = 0; i < src.Width(); ++i) {
            Rgba p = src.At(i, j);
            p.a *= opacity;
            BlendPixel(dx + i, dy + j, p);
        }
}

// Bilinear sample with premultiplied colour, so transparent neighbours do not darken edges.
static Rgba SampleBilinear(const Canvas& src, float x, float y) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - float(x0), fy = y - float(y0);
    float r = 0, g = 0, b = 0, a = 0;
    for (int k = 0; k < 4; ++k) {
        int xi = x0 + (k & 1), yi = y0 + (k >> 1);
        float w = ((k & 1) ? fx : 1 - fx) * ((k >> 1) ? fy : 1 - fy);
        Rgba p = src.Get(xi, yi);
        r += p.r * p.a * w;
        g += p.g * p.a * w;
        b += p.b * p.a * w;
        a += p.a * w;
    }
    if (a <= 0.0f) return Rgba{};
    return Rgba{r / a, g / a, b / a, a};
}

void Canvas::BlitScaled(const Canvas& src, float dx, float dy, float scale, float opacity) {
    if (scale <= 0.0f) return;
    int w = int(std::ceil(float(src.Width()) * scale)), h = int(std::ceil(float(src.Height()) * scale));
    int taps = scale < 1.0f ? int(std::ceil(1.0f / scale)) : 1; // box filter when shrinking
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int ty = 0; ty < taps; ++ty)
                for (int tx = 0; tx < taps; ++tx) {
                    float sx = (float(i) + (float(tx) + 0.5f) / float(taps)) / scale - 0.5f;
                    float sy = (float(j) + (float(ty) + 0.5f) / float(taps)) / scale - 0.5f;
                    Rgba p = SampleBilinear(src, sx, sy);
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            if (a <= 0.0f) continue;
            float n = float(taps * taps);
            BlendPixel(int(std::floor(dx)) + i, int(std::floor(dy)) + j,
                       Rgba{r / a, g / a, b / a, a / n * opacity});
        }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.At(i, j) = Get(x + i, y + j);
    return out;
}

void Canvas::MaskWith(const Canvas& mask) {
    for (int j = 0; j < height_; ++j)
        for (int i = 0; i < width_; ++i)
            At(i, j).a *= mask.Get(i, j).a;
}

// The 4x4 Bayer matrix, thresholds in (0, 1).
static float Bayer(int x, int y) {
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (float(m[y & 3][x & 3]) + 0.5f) / 16.0f;
}

Picture Quantise(const Canvas& canvas, const QuantiseOptions& o) {
    Picture out(canvas.Width(), canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            Rgba p = canvas.At(x, y);
            Rgb c{p.r, p.g, p.b};
            if (o.opaque) {
                c = Mix(o.backdrop, c, std::clamp(p.a, 0.0f, 1.0f));
            } else {
                if (p.a < o.threshold) continue; // stays the key
                if (o.useMatte) c = Mix(o.matte, c, std::clamp(p.a, 0.0f, 1.0f));
            }
            if (o.dither) {
                // Slightly less than a full step, so a colour in the middle of a 16-bit step stays flat.
                float t = Bayer(x, y) - 0.5f;
                c.r += t * 7.0f;
                c.g += t * 3.0f;
                c.b += t * 7.0f;
            }
            out.At(x, y) = AvoidKey(ToRgb8(c));
        }
    return out;
}

Canvas FromPicture(const Picture& picture) {
    Canvas out(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            Rgb8 c = picture.At(x, y);
            if (!IsKey(c)) out.At(x, y) = Rgba{float(c.r), float(c.g), float(c.b), 1.0f};
        }
    return out;
}
