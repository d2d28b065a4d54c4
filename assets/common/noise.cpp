#include "assets/common/noise.h"

#include <cmath>

uint32_t HashInts(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c) {
    return float(HashInts(a, b, c) >> 8) / 16777216.0f;
}

static int Wrap(int v, int period) {
    if (period <= 0) return v;
    int m = v % period;
    return m < 0 ? m + period : m;
}

float ValueNoise::Lattice(int i, int j) const {
    return HashUnit(uint32_t(i), uint32_t(j), seed_);
}

float ValueNoise::At(float x, float y, int period) const {
    float fx = std::floor(x), fy = std::floor(y);
    int i = int(fx), j = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = Lattice(Wrap(i, period), Wrap(j, period));
    float b = Lattice(Wrap(i + 1, period), Wrap(j, period));
    float c = Lattice(Wrap(i, period), Wrap(j + 1, period));
    float d = Lattice(Wrap(i + 1, period), Wrap(j + 1, period));
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float ValueNoise::Fractal(float x, float y, int octaves, int period) const {
    float sum = 0, amplitude = 1, total = 0, frequency = 1;
    for (int o = 0; o < octaves; ++o) {
        int p = period > 0 ? period << o : 0;
        sum += At(x * frequency + float(o) * 17.31f * (period > 0 ? 0 : 1), y * frequency, p) * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
        frequency *= 2;
    }
    return total > 0 ? sum / total : 0;
}
