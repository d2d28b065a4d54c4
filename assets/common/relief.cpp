#include "assets/common/relief.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
// The light's direction in the picture plane (toward the upper left) and in space.
constexpr float kLightX = -0.7071f, kLightY = -0.7071f;
} // namespace

void BevelRect(Canvas& canvas, int x, int y, int w, int h, int depth, float light, float dark, bool sunken) {
    if (depth <= 0) return;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            int dl = i - x, dt = j - y, dr = x + w - 1 - i, db = y + h - 1 - j;
            int lit = std::min(dl, dt), shaded = std::min(dr, db);
            int d = std::min(lit, shaded);
            if (d >= depth) continue;
            bool isLit = lit < shaded || (lit == shaded && dl + dt <= dr + db && dt < db);
            if (sunken) isLit = !isLit;
            float f = 1.0f - float(d) / float(depth);
            if (isLit)
                canvas.Blend(i, j, kWhite, light * f);
            else
                canvas.Blend(i, j, kBlack, dark * f);
        }
}

void EmbossSdf(Canvas& canvas, const Box& box, const Sdf& shape, float depth, float strength) {
    float reach = std::fabs(depth);
    for (int y = std::max(box.y0, 0); y < std::min(box.y1, canvas.Height()); ++y)
        for (int x = std::max(box.x0, 0); x < std::min(box.x1, canvas.Width()); ++x) {
            float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float d = shape(px, py);
            if (d > 0.5f || d < -reach) continue;
            float gx = shape(px + 0.5f, py) - shape(px - 0.5f, py);
            float gy = shape(px, py + 0.5f) - shape(px, py - 0.5f);
            float len = std::hypot(gx, gy);
            if (len < 1e-5f) continue;
            // The outward normal points along the gradient; an edge faces the light when it points to it.
            float facing = (gx * kLightX + gy * kLightY) / len;
            if (depth < 0) facing = -facing;
            float f = strength * (1.0f - std::clamp(-d, 0.0f, reach) / reach) * Coverage(d);
            if (facing > 0)
                canvas.Blend(x, y, kWhite, f * facing);
            else
                canvas.Blend(x, y, kBlack, f * -facing);
        }
}

void DrawSphere(Canvas& canvas, float cx, float cy, float r, Rgb base, float opacity, const SphereLight& l) {
    const float lx = -0.45f, ly = -0.55f, lz = 0.70f; // normalised enough: |L| ~ 1
    const float ln = std::sqrt(lx * lx + ly * ly + lz * lz);
    int x0 = int(std::floor(cx - r - 1)), x1 = int(std::ceil(cx + r + 1));
    int y0 = int(std::floor(cy - r - 1)), y1 = int(std::ceil(cy + r + 1));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float dist = std::hypot(px - cx, py - cy);
            float cover = Coverage(dist - r) * opacity;
            if (cover <= 0) continue;
            float nx = (px - cx) / r, ny = (py - cy) / r;
            float n2 = std::min(nx * nx + ny * ny, 1.0f);
            float nz = std::sqrt(1.0f - n2);
            float diffuse = std::max(0.0f, (nx * lx + ny * ly + nz * lz) / ln);
            // Blinn half vector between the light and the viewer (0, 0, 1).
            float hx = lx / ln, hy = ly / ln, hz = lz / ln + 1.0f;
            float hn = std::sqrt(hx * hx + hy * hy + hz * hz);
            float highlight = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hn), l.shininess);
            float bounce = std::max(0.0f, ny) * std::max(0.0f, 0.35f - nz * 0.2f) * 0.5f; // from the floor
            float rim = 1.0f - l.rim * std::pow(1.0f - nz, 2.0f);
            Rgb c = Scale(base, (l.ambient + l.diffuse * diffuse + bounce) * rim);
            c = Mix(c, kWhite, std::clamp(highlight * l.gloss, 0.0f, 1.0f));
            canvas.Blend(x, y, c, cover);
        }
}

void DrawSoftShadow(Canvas& canvas, float cx, float cy, float rx, float ry, float strength) {
    int x0 = int(std::floor(cx - rx)), x1 = int(std::ceil(cx + rx));
    int y0 = int(std::floor(cy - ry)), y1 = int(std::ceil(cy + ry));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float nx = (float(x) + 0.5f - cx) / rx, ny = (float(y) + 0.5f - cy) / ry;
            float d = std::sqrt(nx * nx + ny * ny);
            if (d >= 1.0f) continue;
            float f = (1.0f - d * d);
            canvas.Blend(x, y, kBlack, strength * f * f);
        }
}
