// Short animations: balls falling into holes and settling into goals, the generator's flash, and the
// two frames of an explosion.
#include <algorithm>
#include <cmath>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"
#include "assets/common/noise.h"

namespace art {

namespace {

// ballfall.bmp: 6 frames per colour, one row per colour in tile order (blue, red, green, yellow, grey):
// the ball shrinks and darkens as it drops into the hole.
void WriteBallFall(ArtOutput& out) {
    Canvas c(6 * kCell, 5 * kCell);
    for (int colour = 0; colour < 5; ++colour)
        for (int f = 0; f < 6; ++f) {
            float t = float(f) / 5.0f;
            float r = kBallRadius * (1.0f - 0.8f * t);
            Canvas ball(kCell, kCell);
            DrawBall(ball, 12.0f, 12.0f + t * 1.5f, r, colour);
            // Darken toward the pit.
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    Rgba& p = ball.At(x, y);
                    p.r *= 1.0f - 0.65f * t;
                    p.g *= 1.0f - 0.65f * t;
                    p.b *= 1.0f - 0.65f * t;
                }
            c.Blit(ball, f * kCell, colour * kCell);
        }
    out.Save("ballfall.bmp", SpritePicture(c, Hex(0x100C08)));
}

// goalanim.bmp: 11 frames per colour (rows blue, red, green, yellow): the ball sinks into its socket in a
// ring of light, then a burst of sparkles fades away.
void WriteGoalAnim(ArtOutput& out) {
    Canvas c(11 * kCell, 4 * kCell);
    for (int colour = 0; colour < 4; ++colour) {
        Rgb col = BallColour(colour);
        Rgb glow = Shade(col, 0.55f);
        for (int f = 0; f < 11; ++f) {
            float ox = float(f * kCell), oy = float(colour * kCell);
            float cx = ox + 12.0f, cy = oy + 12.0f;
            Box box{int(ox), int(oy), int(ox) + kCell, int(oy) + kCell};
            if (f < 7) {
                float t = float(f) / 6.0f;
                float ringR = 6.0f + 5.0f * t;
                FillSdf(c, box, Ring(cx, cy, ringR, 1.6f), Solid(glow), 0.35f + 0.5f * t);
                DrawBall(c, cx, cy, kBallRadius * (1.0f - 0.65f * t) - 1.0f, colour);
            } else {
                float t = float(f - 7) / 3.0f;
                float reach = 5.0f + 6.0f * t;
                for (int k = 0; k < 8; ++k) {
                    float a = float(k) * 0.7854f + (k % 2 ? 0.2f : 0.0f);
                    float r0 = reach * (k % 2 ? 0.6f : 1.0f);
                    float sx = cx + std::cos(a) * r0, sy = cy + std::sin(a) * r0;
                    float size = 2.6f * (1.0f - t) + 0.8f;
                    FillSdf(c, box, Star(sx, sy, 4, size * 0.35f, size, a), Solid(Shade(col, 0.3f)),
                            1.0f - 0.3f * t);
                }
                FillSdf(c, box, Circle(cx, cy, 3.0f * (1.0f - t) + 0.5f), Solid(Rgb{255, 255, 240}),
                        1.0f - t);
            }
        }
    }
    out.Save("goalanim.bmp", SpritePicture(c, Hex(0x3A3228)));
}

// The generator's flash, 24 frames (about 400 ms at the game's pace, until the ball appears): sparks
// converge on the spawn cell, a core flares and bursts.
void WriteGeneratorFlash(ArtOutput& out, const char* name, Rgb spark, Rgb core) {
    const int frames = 24;
    Canvas c(frames * kCell, kCell);
    for (int f = 0; f < frames; ++f) {
        float ox = float(f * kCell);
        float cx = ox + 12.0f, cy = 12.0f;
        Box box{int(ox), 0, int(ox) + kCell, kCell};
        float t = float(f) / float(frames - 1);
        if (t < 0.6f) {
            float u = t / 0.6f;
            for (int k = 0; k < 6; ++k) {
                float a = float(k) * 1.0472f + u * 2.5f;
                float r = 11.0f * (1.0f - u) + 2.0f;
                FillSdf(c, box,
                        Capsule(cx + std::cos(a) * r, cy + std::sin(a) * r,
                                cx + std::cos(a - 0.5f) * (r + 2.5f), cy + std::sin(a - 0.5f) * (r + 2.5f),
                                1.6f),
                        Solid(spark));
            }
            FillSdf(c, box, Circle(cx, cy, 1.5f + 3.0f * u), Solid(core), 0.5f + 0.5f * u);
        } else {
            float u = (t - 0.6f) / 0.4f;
            FillSdf(c, box, Ring(cx, cy, 3.0f + 8.0f * u, 2.2f * (1.0f - u) + 0.6f), Solid(spark),
                    1.0f - 0.5f * u);
            FillSdf(c, box, Star(cx, cy, 4, 1.5f, 5.0f + 5.0f * (1.0f - u), u * 1.2f), Solid(core),
                    1.0f - u * 0.6f);
        }
    }
    out.Save(name, SpritePicture(c, Hex(0x202830)));
}

// An explosion frame: a ragged fireball of radius r, hot white-yellow at the core, red and smoke at the
// rim, with flying sparks.
Canvas Fireball(float r, float heat, unsigned seed) {
    const int n = 48;
    Canvas c(n, n);
    ValueNoise noise(seed);
    float m = 24.0f;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float a = std::atan2(py - m, px - m);
            float ragged =
                r * (0.78f + 0.35f * noise.Fractal(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, 3));
            float d = std::hypot(px - m, py - m);
            float cover = Coverage(d - ragged);
            if (cover <= 0) continue;
            float t = std::clamp(d / ragged, 0.0f, 1.0f);
            float turbulence = noise.Fractal(px / 5.0f, py / 5.0f, 3);
            float k = std::clamp(t * 1.1f - heat * 0.5f + (turbulence - 0.5f) * 0.5f, 0.0f, 1.0f);
            Rgb col;
            if (k < 0.25f)
                col = Mix(Rgb{255, 255, 230}, Hex(0xFFE060), k / 0.25f);
            else if (k < 0.55f)
                col = Mix(Hex(0xFFE060), Hex(0xF08020), (k - 0.25f) / 0.3f);
            else if (k < 0.8f)
                col = Mix(Hex(0xF08020), Hex(0xA02818), (k - 0.55f) / 0.25f);
            else
                col = Mix(Hex(0xA02818), Hex(0x4A3C38), (k - 0.8f) / 0.2f);
            c.Blend(x, y, col, cover);
        }
    for (int k = 0; k < 10; ++k) {
        float a = HashUnit(uint32_t(k), seed) * 6.2832f;
        float d0 = r * (0.9f + 0.4f * HashUnit(uint32_t(k), seed, 1));
        float sx = m + std::cos(a) * d0, sy = m + std::sin(a) * d0;
        FillSdf(c, Capsule(sx, sy, sx + std::cos(a) * 3.0f, sy + std::sin(a) * 3.0f, 1.6f),
                Solid(Hex(0xFFD050)));
    }
    return c;
}

void WriteExplosions(ArtOutput& out) {
    out.Save("exp01.bmp", SpritePicture(Fireball(15.0f, 1.0f, 3), Hex(0x601810)));
    out.Save("exp02.bmp", SpritePicture(Fireball(21.0f, 0.2f, 9), Hex(0x402018)));
}

} // namespace

void WriteEffects(ArtOutput& out) {
    WriteBallFall(out);
    WriteGoalAnim(out);
    WriteGeneratorFlash(out, "GeneratorAnimDark.bmp", Hex(0x60D8FF), Hex(0xC8F4FF));
    WriteGeneratorFlash(out, "GeneratorAnimLight.bmp", Hex(0xFFE070), Rgb{255, 255, 235});
    WriteExplosions(out);
}

} // namespace art
