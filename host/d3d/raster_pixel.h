// The per-pixel steps of the rasterizer, in the fixed-function order: depth test, texture sample,
// colour-key discard, texture blend, specular, fog, alpha blend, write. Inline so that the span
// kernels (raster_spans.cpp) and the line and point drawing compile them into their loops.
#pragma once

#include <cmath>
#include <cstdint>

#include "host/d3d/raster.h"

namespace host_d3d {

// Texture coordinates (in texels) are kept within this magnitude before conversion to integers.
constexpr float kMaxTexel = 16777216.0f;

// A double as a float, kept finite.
inline float ToFloat(double v) {
    return float(v > -1e30 ? (v < 1e30 ? v : 1e30) : -1e30);
}

inline bool IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// round(x / 255) for any x.
inline uint32_t Div255(uint32_t x) {
    return (x + 127) / 255;
}

// round(a * b / 255) for a, b in 0..255 (as Div255(a * b)).
inline uint32_t Mul255(uint32_t a, uint32_t b) {
    uint32_t m = a * b + 128;
    return (m + (m >> 8)) >> 8;
}

// A float colour channel as 0..255 (NaN gives 0).
inline uint32_t Channel(float v) {
    return v > 0.0f ? uint32_t(v < 255.0f ? v + 0.5f : 255.0f) : 0u;
}

// Depth scaled to 0..65535 as the Z-buffer stores it (NaN gives 0).
inline uint32_t DepthValue(float z) {
    return z > 0.0f ? uint32_t(z < 65535.0f ? z + 0.5f : 65535.0f) : 0u;
}

// The lowest texel coordinate sampling reads. Wrapped coordinates lie a whole repeat above zero (the
// rasterizer shifts them there), so only rounding takes a pixel's below: they are kept at zero or
// above (half a texel above for bilinear filtering, whose corners lie half a texel lower), where
// truncation is the floor, which spares the four-lane loops a correction. The other modes keep
// negative coordinates.
inline float LowestTexel(DWORD address, bool bilinear) {
    if (address != D3DTADDRESS_WRAP) return -kMaxTexel;
    return bilinear ? 0.5f : 0.0f;
}

// A texel coordinate bounded for conversion to low .. kMaxTexel (NaN gives low).
inline float SafeTexel(float t, float low) {
    t = t > low ? t : low;
    return t < kMaxTexel ? t : kMaxTexel;
}

// floor(t) as an integer, for t within +-kMaxTexel (as SafeTexel leaves it): a truncation corrected
// downwards.
inline int FloorToInt(float t) {
    int i = int(t);
    return i - int(float(i) > t);
}

inline uint16_t Pack(uint32_t r, uint32_t g, uint32_t b, bool is555) {
    if (is555) return uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Expands a target pixel to 8 bits per channel.
inline void Unpack(uint16_t p, bool is555, uint32_t& r, uint32_t& g, uint32_t& b) {
    if (is555) {
        r = (p >> 10) & 31;
        g = (p >> 5) & 31;
        b = p & 31;
        r = (r << 3) | (r >> 2);
        g = (g << 3) | (g >> 2);
    } else {
        r = p >> 11;
        g = (p >> 5) & 63;
        b = p & 31;
        r = (r << 3) | (r >> 2);
        g = (g << 2) | (g >> 4);
    }
    b = (b << 3) | (b >> 2);
}

inline bool DepthPasses(DWORD func, uint32_t z, uint32_t stored) {
    switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return z < stored;
    case D3DCMP_EQUAL: return z == stored;
    case D3DCMP_LESSEQUAL: return z <= stored;
    case D3DCMP_GREATER: return z > stored;
    case D3DCMP_NOTEQUAL: return z != stored;
    case D3DCMP_GREATEREQUAL: return z >= stored;
    default: return true;
    }
}

// A texel index along one axis of n texels under an addressing mode.
inline int Address(int t, int n, DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_CLAMP: return t < 0 ? 0 : (t >= n ? n - 1 : t);
    case D3DTADDRESS_MIRROR: {
        int period = 2 * n;
        int m = t % period;
        if (m < 0) m += period;
        return m < n ? m : period - 1 - m;
    }
    default: {
        if (IsPowerOfTwo(n)) return t & (n - 1); // wrapping by the mask
        int m = t % n;
        return m < 0 ? m + n : m;
    }
    }
}

inline bool IsKeyed(const RasterTexture& tex, uint32_t raw) {
    return raw >= tex.keyLow && raw <= tex.keyHigh;
}

// The texel nearest to (u, v) (in texels) as 0xAARRGGBB; raw receives its stored value.
inline uint32_t SampleNearest(const RasterTexture& tex, float u, float v, DWORD address, uint32_t& raw) {
    int x = Address(FloorToInt(u), tex.width, address);
    int y = Address(FloorToInt(v), tex.height, address);
    raw = tex.Raw(x, y);
    return tex.lut[raw];
}

// (a * (256 - f) + b * f) >> 8 for each 8-bit channel of two 0xAARRGGBB colours, f in 0..256: two
// channels a multiply (each product stays below 65536, so the channels do not meet).
inline uint32_t LerpArgb(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t even = 0x00FF00FFu;
    uint32_t low = (((a & even) * (256 - f) + (b & even) * f) >> 8) & even;
    uint32_t high = ((((a >> 8) & even) * (256 - f) + ((b >> 8) & even) * f) >> 8) & even;
    return low | (high << 8);
}

// The weights and corners of a bilinear sample at (u, v): texel columns x0, x0 + 1 and rows y0, y0 + 1
// (before addressing), weights wu and wv in 0..256.
inline void BilinearCorners(float u, float v, int& x0, int& y0, uint32_t& wu, uint32_t& wv) {
    float su = u - 0.5f;
    float sv = v - 0.5f;
    x0 = FloorToInt(su);
    y0 = FloorToInt(sv);
    wu = uint32_t((su - float(x0)) * 256.0f);
    wv = uint32_t((sv - float(y0)) * 256.0f);
}

// The four texels around (u, v) weighted by distance; raw receives the nearest texel's stored value
// (the colour key is decided on it).
inline uint32_t SampleBilinear(const RasterTexture& tex, float u, float v, DWORD address, uint32_t& raw) {
    int fu, fv;
    uint32_t wu, wv;
    BilinearCorners(u, v, fu, fv, wu, wv);
    int x0 = Address(fu, tex.width, address);
    int x1 = Address(fu + 1, tex.width, address);
    int y0 = Address(fv, tex.height, address);
    int y1 = Address(fv + 1, tex.height, address);
    raw = tex.Raw(Address(FloorToInt(u), tex.width, address), Address(FloorToInt(v), tex.height, address));
    uint32_t top = LerpArgb(tex.lut[tex.Raw(x0, y0)], tex.lut[tex.Raw(x1, y0)], wu);
    uint32_t bottom = LerpArgb(tex.lut[tex.Raw(x0, y1)], tex.lut[tex.Raw(x1, y1)], wu);
    return LerpArgb(top, bottom, wv);
}

// One blend factor for a channel: src and dest colour channel and alpha, 0..255 each.
inline uint32_t BlendFactor(DWORD factor, uint32_t srcChannel, uint32_t srcAlpha, uint32_t destChannel) {
    const uint32_t destAlpha = 255; // a 16-bit target has no alpha: it reads as opaque
    switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return srcChannel;
    case D3DBLEND_INVSRCCOLOR: return 255 - srcChannel;
    case D3DBLEND_SRCALPHA: return srcAlpha;
    case D3DBLEND_INVSRCALPHA: return 255 - srcAlpha;
    case D3DBLEND_DESTALPHA: return destAlpha;
    case D3DBLEND_INVDESTALPHA: return 255 - destAlpha;
    case D3DBLEND_DESTCOLOR: return destChannel;
    case D3DBLEND_INVDESTCOLOR: return 255 - destChannel;
    case D3DBLEND_SRCALPHASAT: return srcAlpha < 255 - destAlpha ? srcAlpha : 255 - destAlpha;
    default: return 255;
    }
}

// src * srcFactor + dest * destFactor for one channel (rounded once), clamped to 255.
inline uint32_t BlendChannel(const PixelPipeline& p, uint32_t src, uint32_t srcAlpha, uint32_t dest) {
    DWORD srcBlend = p.srcBlend;
    DWORD destBlend = p.destBlend;
    // The "both" factors set the destination factor from the source's alpha.
    if (srcBlend == D3DBLEND_BOTHSRCALPHA) {
        srcBlend = D3DBLEND_SRCALPHA;
        destBlend = D3DBLEND_INVSRCALPHA;
    } else if (srcBlend == D3DBLEND_BOTHINVSRCALPHA) {
        srcBlend = D3DBLEND_INVSRCALPHA;
        destBlend = D3DBLEND_SRCALPHA;
    }
    uint32_t out = Div255(src * BlendFactor(srcBlend, src, srcAlpha, dest) +
                          dest * BlendFactor(destBlend, src, srcAlpha, dest));
    return out < 255 ? out : 255;
}

// The values one pixel is shaded with: depth and colour channels as integers (as the span ramps and
// the line and point drawing round them), texture coordinates and rhw as floats.
struct PixelInputs {
    uint32_t z;               // 0..65535
    uint32_t r, g, b, a;      // diffuse, 0..255 each
    uint32_t sr, sg, sb, fog; // specular, 0..255 each; fog is the vertex fog factor
    float q, uq, vq, rhw;
};

// The fog factor that keeps the pixel's own colour (0..255), by table fog from rhw or by the vertex
// factor. Every kernel computes table fog with this arithmetic (one reciprocal, one multiply-add).
inline uint32_t FogKeep(const PixelPipeline& p, float rhw, uint32_t vertexFog) {
    if (!p.tableFog) return vertexFog;
    float d = rhw > 0.0f ? 1.0f / rhw : 3.0e38f; // eye depth
    if (p.fogEnd > p.fogStart) return Channel(p.fogBias - d * p.fogScale);
    return d < p.fogEnd ? 255u : 0u;
}

// c of weight keep/255 mixed with the fog colour channel of weight 1 - keep/255 (rounded once).
inline uint32_t Fogged(uint32_t c, uint32_t fogChannel, uint32_t keep) {
    return Div255(c * keep + fogChannel * (255 - keep));
}

// The perspective divide of the texture coordinates: (u, v) in texels, bounded below by low. q is
// positive at every pixel of a primitive whose corners are all in front of the eye; only rounding could
// take it to zero or below, and the bounds then hold whatever comes out.
inline void TexelPosition(float q, float uq, float vq, float low, float& u, float& v) {
    float w = 1.0f / q;
    u = SafeTexel(uq * w, low);
    v = SafeTexel(vq * w, low);
}

// Runs the whole pipeline for one pixel with values in. depth is the pixel's Z-buffer entry, NULL when
// the pipeline has no depth test. The reference for every specialised span kernel: they draw exactly
// what this draws.
[[gnu::always_inline]] inline void ShadePixel(const PixelPipeline& p, const RasterTexture* tex, bool is555,
                                              const PixelInputs& in, uint16_t* dst, uint16_t* depth) {
    if (depth && !DepthPasses(p.depthFunc, in.z, *depth)) return;
    uint32_t r = in.r, g = in.g, b = in.b, alpha = in.a;
    if (tex) {
        float u, v;
        TexelPosition(in.q, in.uq, in.vq, LowestTexel(p.address, p.bilinear), u, v);
        uint32_t raw;
        uint32_t texel = p.bilinear ? SampleBilinear(*tex, u, v, p.address, raw)
                                    : SampleNearest(*tex, u, v, p.address, raw);
        if (p.colorKey && tex->keyed && IsKeyed(*tex, raw)) return;
        uint32_t tr = (texel >> 16) & 255, tg = (texel >> 8) & 255, tb = texel & 255, ta = texel >> 24;
        if (p.decal) {
            r = tr;
            g = tg;
            b = tb;
            alpha = ta;
        } else {
            r = Mul255(tr, r);
            g = Mul255(tg, g);
            b = Mul255(tb, b);
            if (tex->hasAlpha) alpha = ta;
        }
    }
    if (p.specular) {
        r += in.sr;
        g += in.sg;
        b += in.sb;
        r = r < 255 ? r : 255;
        g = g < 255 ? g : 255;
        b = b < 255 ? b : 255;
    }
    if (p.fog) {
        uint32_t keep = FogKeep(p, in.rhw, in.fog);
        r = Fogged(r, (p.fogColor >> 16) & 255, keep);
        g = Fogged(g, (p.fogColor >> 8) & 255, keep);
        b = Fogged(b, p.fogColor & 255, keep);
    }
    if (p.blend) {
        uint32_t dr, dg, db;
        Unpack(*dst, is555, dr, dg, db);
        r = BlendChannel(p, r, alpha, dr);
        g = BlendChannel(p, g, alpha, dg);
        b = BlendChannel(p, b, alpha, db);
    }
    *dst = Pack(r, g, b, is555);
    if (depth && p.depthWrite) *depth = uint16_t(in.z);
}

} // namespace host_d3d
