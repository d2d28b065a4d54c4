#include "host/d3d/raster_span.h"

#include <algorithm>
#include <cmath>

#include "host/d3d/raster_pixel.h"

namespace host_d3d {
namespace {

// Texturing of the specialised kernels.
enum TextureKind { kUntextured, kModulate, kDecal, kDecalCopy };

// A plane value as a float, kept finite.
inline float ToFloat(double v) {
    return float(v > -1e30 ? (v < 1e30 ? v : 1e30) : -1e30);
}

// A 16.16 fixed-point ramp over n pixels from first to last (plus one half, so that the integer part
// is the rounded value), both kept in [0.25, high]: every value the ramp takes, step rounding
// included, lies within [0, high + 0.25), so the integer part needs no clamp.
inline void Ramp(double first, double last, int n, double high, uint32_t& value, uint32_t& step) {
    first += 0.5;
    last += 0.5;
    first = first > 0.25 ? (first < high ? first : high) : 0.25;
    last = last > 0.25 ? (last < high ? last : high) : 0.25;
    value = uint32_t(first * 65536.0);
    step = n > 1 ? uint32_t(int32_t(std::lround((last - first) * 65536.0 / (n - 1)))) : 0u;
}

constexpr double kMaxDepthRamp = 65535.25;
constexpr double kMaxColourRamp = 255.25;

// The specialised loop: optional depth test (less-or-equal) with write, optional nearest sampling of a
// power-of-two 16-bit texture with wrapping and the colour key, Gouraud or flat colour, written as
// 5-6-5 or 5-5-5. Colours and depth step in fixed point, texture coordinates in float with one
// reciprocal per pixel.
template <bool kZ, TextureKind kTex, bool k555> void FastSpan(const SpanJob& job, int y, int x0, int x1) {
    const int n = x1 - x0;
    const double first = x0;
    const double last = x1 - 1;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = kZ ? job.target->DepthRow(y) + x0 : nullptr;

    uint32_t z = 0, dz = 0;
    if (kZ) Ramp(job.ValueAt(kDepth, first, y), job.ValueAt(kDepth, last, y), n, kMaxDepthRamp, z, dz);
    constexpr bool kColour = kTex != kDecal && kTex != kDecalCopy;
    uint32_t r = 0, g = 0, b = 0, dr = 0, dg = 0, db = 0;
    if (kColour) {
        Ramp(job.ValueAt(kRed, first, y), job.ValueAt(kRed, last, y), n, kMaxColourRamp, r, dr);
        Ramp(job.ValueAt(kGreen, first, y), job.ValueAt(kGreen, last, y), n, kMaxColourRamp, g, dg);
        Ramp(job.ValueAt(kBlue, first, y), job.ValueAt(kBlue, last, y), n, kMaxColourRamp, b, db);
    }
    constexpr bool kTextured = kTex != kUntextured;
    float q = 0, uq = 0, vq = 0, dq = 0, duq = 0, dvq = 0;
    const uint8_t* texels = nullptr;
    int texPitch = 0;
    int maskU = 0, maskV = 0;
    const uint32_t* lut = nullptr;
    bool keyed = false;
    uint32_t keyLow = 0, keyHigh = 0, copyMask = 0;
    if (kTextured) {
        const RasterTexture& tex = *job.texture;
        q = ToFloat(job.ValueAt(kQ, first, y));
        uq = ToFloat(job.ValueAt(kUQ, first, y));
        vq = ToFloat(job.ValueAt(kVQ, first, y));
        dq = ToFloat(job.dx[kQ]);
        duq = ToFloat(job.dx[kUQ]);
        dvq = ToFloat(job.dx[kVQ]);
        texels = tex.texels;
        texPitch = tex.pitch;
        maskU = tex.width - 1;
        maskV = tex.height - 1;
        lut = tex.lut;
        keyed = job.pipeline->colorKey && tex.keyed;
        keyLow = tex.keyLow;
        keyHigh = tex.keyHigh;
        copyMask = tex.sameLayoutMask;
    }

    for (int i = 0; i < n; ++i) {
        if (kZ && (z >> 16) > depth[i]) goto next;
        {
            uint32_t outR = r >> 16, outG = g >> 16, outB = b >> 16;
            if (kTextured) {
                float w = 1.0f / q;
                float fu = uq * w;
                float fv = vq * w;
                fu = fu > 0.0f ? fu : 0.0f;
                fv = fv > 0.0f ? fv : 0.0f;
                fu = fu < kMaxTexel ? fu : kMaxTexel;
                fv = fv < kMaxTexel ? fv : kMaxTexel;
                int tx = int(fu) & maskU;
                int ty = int(fv) & maskV;
                uint32_t raw = reinterpret_cast<const uint16_t*>(texels + ptrdiff_t(ty) * texPitch)[tx];
                if (keyed && raw >= keyLow && raw <= keyHigh) goto next;
                if (kTex == kDecalCopy) {
                    dst[i] = uint16_t(raw & copyMask);
                    if (kZ) depth[i] = uint16_t(z >> 16);
                    goto next;
                }
                uint32_t texel = lut[raw];
                if (kTex == kDecal) {
                    outR = (texel >> 16) & 255;
                    outG = (texel >> 8) & 255;
                    outB = texel & 255;
                } else {
                    outR = Mul255((texel >> 16) & 255, outR);
                    outG = Mul255((texel >> 8) & 255, outG);
                    outB = Mul255(texel & 255, outB);
                }
            }
            dst[i] = Pack(outR, outG, outB, k555);
            if (kZ) depth[i] = uint16_t(z >> 16);
        }
    next:
        if (kZ) z += dz;
        if (kColour) {
            r += dr;
            g += dg;
            b += db;
        }
        if (kTextured) {
            q += dq;
            uq += duq;
            vq += dvq;
        }
    }
}

// The whole pixel pipeline per pixel, with every value stepped in float.
void GeneralSpan(const SpanJob& job, int y, int x0, int x1) {
    float a[kAttributeCount];
    float d[kAttributeCount];
    for (int i = 0; i < kAttributeCount; ++i) {
        a[i] = ToFloat(job.ValueAt(i, x0, y));
        d[i] = ToFloat(job.dx[i]);
    }
    const PixelPipeline& p = *job.pipeline;
    const bool is555 = job.target->is555;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = p.depthTest ? job.target->DepthRow(y) + x0 : nullptr;
    for (int x = x0; x < x1; ++x) {
        ShadePixel(p, job.texture, is555, a, dst, depth);
        ++dst;
        if (depth) ++depth;
        for (int i = 0; i < kAttributeCount; ++i)
            a[i] += d[i];
    }
}

bool IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

template <bool kZ, bool k555>
SpanKernel ChooseTexturing(const PixelPipeline& p, const RasterTexture* texture) {
    if (!texture) return &FastSpan<kZ, kUntextured, k555>;
    if (!p.decal) return &FastSpan<kZ, kModulate, k555>;
    if (texture->sameLayoutMask) return &FastSpan<kZ, kDecalCopy, k555>;
    return &FastSpan<kZ, kDecal, k555>;
}

template <bool kZ> SpanKernel ChooseFormat(const PixelPipeline& p, const RasterTexture* texture, bool is555) {
    return is555 ? ChooseTexturing<kZ, true>(p, texture) : ChooseTexturing<kZ, false>(p, texture);
}

} // namespace

SpanKernel ChooseSpanKernel(const PixelPipeline& p, const RasterTexture* texture,
                            const RasterTarget& target) {
    bool general = p.blend || p.fog || p.specular;
    if (p.depthTest && (p.depthFunc != D3DCMP_LESSEQUAL || !p.depthWrite)) general = true;
    if (texture && (p.bilinear || p.address != D3DTADDRESS_WRAP || texture->bytesPerTexel != 2 ||
                    !IsPowerOfTwo(texture->width) || !IsPowerOfTwo(texture->height)))
        general = true;
    if (general) return &GeneralSpan;
    return p.depthTest ? ChooseFormat<true>(p, texture, target.is555)
                       : ChooseFormat<false>(p, texture, target.is555);
}

} // namespace host_d3d
