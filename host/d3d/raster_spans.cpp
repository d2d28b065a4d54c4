#include "host/d3d/raster_span.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <utility>

#include "host/d3d/raster_pixel.h"
#include "host/d3d/testing.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace host_d3d {
namespace {

std::atomic<bool> g_fastSpans{true};

// The fixed-point attributes the general loop steps, in order.
constexpr int kFixedOrder[] = {kDepth,       kRed,           kGreen,        kBlue, kAlpha,
                               kSpecularRed, kSpecularGreen, kSpecularBlue, kFog};
constexpr int kFloatOrder[] = {kQ, kUQ, kVQ, kRhw};

// The whole pixel pipeline per pixel (ShadePixel), stepping only the attributes the state reads.
void GeneralSpan(const SpanJob& job, int y, int x0, int x1) {
    const PixelPipeline& p = *job.pipeline;
    const int n = x1 - x0;
    uint32_t fixed[kAttributeCount] = {}, step[kAttributeCount] = {};
    float first[kAttributeCount] = {}, delta[kAttributeCount] = {};
    int stepped[kAttributeCount];
    int count = 0;
    for (int k : kFixedOrder)
        if ((job.live >> k) & 1) {
            FixedRamp(job, k, x0, n, fixed[k], step[k]);
            stepped[count++] = k;
        }
    for (int k : kFloatOrder)
        if ((job.live >> k) & 1) {
            first[k] = FloatAt(job, k, x0);
            delta[k] = job.floatStep[k];
        }
    const bool is555 = job.target->is555;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = p.depthTest ? job.target->DepthRow(y) + x0 : nullptr;
    for (int i = 0; i < n; ++i) {
        const PixelInputs in{fixed[kDepth] >> 16,
                             fixed[kRed] >> 16,
                             fixed[kGreen] >> 16,
                             fixed[kBlue] >> 16,
                             fixed[kAlpha] >> 16,
                             fixed[kSpecularRed] >> 16,
                             fixed[kSpecularGreen] >> 16,
                             fixed[kSpecularBlue] >> 16,
                             fixed[kFog] >> 16,
                             FloatStep(first[kQ], delta[kQ], i),
                             FloatStep(first[kUQ], delta[kUQ], i),
                             FloatStep(first[kVQ], delta[kVQ], i),
                             FloatStep(first[kRhw], delta[kRhw], i)};
        ShadePixel(p, job.texture, is555, in, dst + i, depth ? depth + i : nullptr);
        for (int s = 0; s < count; ++s)
            fixed[stepped[s]] += step[stepped[s]];
    }
}

// A stored texel of a texture laid out as the target (5-6-5 or 5-5-5) as 0xFFRRGGBB, channels widened
// by repeating their top bits (as the texture's lookup table holds them).
inline uint32_t Widen(uint32_t raw, bool is555) {
    uint32_t r = is555 ? (raw >> 10) & 31 : raw >> 11;
    uint32_t g = is555 ? (raw >> 5) & 31 : (raw >> 5) & 63;
    uint32_t b = raw & 31;
    r = (r << 3) | (r >> 2);
    g = is555 ? (g << 3) | (g >> 2) : (g << 2) | (g >> 4);
    b = (b << 3) | (b >> 2);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Texel reads of a 16-bit, power-of-two, wrapped texture.
struct TextureFetch {
    const uint8_t* texels = nullptr;
    ptrdiff_t pitch = 0;
    int maskU = 0;
    int maskV = 0;
    const uint32_t* lut = nullptr;
    bool keyed = false;
    uint32_t keyLow = 0;
    uint32_t keyHigh = 0;
    bool widen = false; // read the channels from the stored bits instead of the lookup table
    bool is555 = false;

    TextureFetch() = default;
    explicit TextureFetch(const SpanJob& job) {
        const RasterTexture& tex = *job.texture;
        texels = tex.texels;
        pitch = tex.pitch;
        maskU = tex.width - 1;
        maskV = tex.height - 1;
        lut = tex.lut;
        keyed = job.pipeline->colorKey && tex.keyed;
        keyLow = tex.keyLow;
        keyHigh = tex.keyHigh;
        widen = tex.sameLayoutMask != 0 && !tex.hasAlpha;
        is555 = job.target->is555;
    }
    uint32_t Raw(int x, int y) const { return reinterpret_cast<const uint16_t*>(texels + y * pitch)[x]; }
    uint32_t Argb(uint32_t raw) const { return widen ? Widen(raw, is555) : lut[raw]; }
    bool Keyed(uint32_t raw) const { return keyed && raw >= keyLow && raw <= keyHigh; }
};

#if defined(__SSE2__)
// Four-lane forms of the scalar steps (FloorToInt, Channel, the perspective divide): the same float
// operations in the same order, so that every lane gets what the scalar code gets.
inline __m128i FloorLanes(__m128 t) {
    __m128i i = _mm_cvttps_epi32(t);
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(i), t)));
}
inline __m128i ChannelLanes(__m128 v) {
    const __m128 top = _mm_set1_ps(255.0f);
    __m128 below = _mm_cmplt_ps(v, top);
    __m128 t = _mm_or_ps(_mm_and_ps(below, _mm_add_ps(v, _mm_set1_ps(0.5f))), _mm_andnot_ps(below, top));
    return _mm_and_si128(_mm_cvttps_epi32(t), _mm_castps_si128(_mm_cmpgt_ps(v, _mm_setzero_ps())));
}
// 1 / q where q > 0, else 0.
inline __m128 ReciprocalLanes(__m128 q) {
    return _mm_and_ps(_mm_cmpgt_ps(q, _mm_setzero_ps()), _mm_div_ps(_mm_set1_ps(1.0f), q));
}
inline __m128 SafeTexelLanes(__m128 t) {
    return _mm_min_ps(_mm_max_ps(t, _mm_set1_ps(-kMaxTexel)), _mm_set1_ps(kMaxTexel));
}
// first + step * index in float, each lane.
inline __m128 FloatLanes(float first, float step, __m128 index) {
    return _mm_add_ps(_mm_set1_ps(first), _mm_mul_ps(index, _mm_set1_ps(step)));
}
// v + index * d in each lane, wrapping as the scalar ramps do.
inline __m128i RampLanes(uint32_t v, uint32_t d, __m128i index) {
    __m128i dv = _mm_set1_epi32(int32_t(d));
    __m128i lo = _mm_mul_epu32(index, dv);
    __m128i hi = _mm_mul_epu32(_mm_srli_epi64(index, 32), dv);
    __m128i prod = _mm_unpacklo_epi32(_mm_shuffle_epi32(lo, _MM_SHUFFLE(0, 0, 2, 0)),
                                      _mm_shuffle_epi32(hi, _MM_SHUFFLE(0, 0, 2, 0)));
    return _mm_add_epi32(_mm_set1_epi32(int32_t(v)), prod);
}
// Four 16-bit values from p as 32-bit lanes; only the first lanes are read when fewer remain.
inline __m128i Load4(const uint16_t* p, int lanes) {
    if (lanes == 4)
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    alignas(16) int32_t v[4] = {0, 0, 0, 0};
    for (int i = 0; i < lanes; ++i)
        v[i] = p[i];
    return _mm_load_si128(reinterpret_cast<const __m128i*>(v));
}
// Stores the first lanes of four 16-bit values (lanes below 65536).
inline void Store4(uint16_t* p, __m128i v, int lanes) {
    v = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    v = _mm_packs_epi32(v, v);
    if (lanes == 4) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        return;
    }
    alignas(16) uint16_t out[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(out), v);
    std::memcpy(p, out, size_t(lanes) * 2);
}

// round(x / 255) in each lane, x in 0..65025 (exact there, as Div255).
inline __m128i Div255Lanes(__m128i x) {
    __m128i m = _mm_add_epi32(x, _mm_set1_epi32(128));
    return _mm_srli_epi32(_mm_add_epi32(m, _mm_srli_epi32(m, 8)), 8);
}
// round(a * b / 255) in each lane, a and b in 0..255.
inline __m128i Mul255Lanes(__m128i a, __m128i b) {
    return Div255Lanes(_mm_mullo_epi16(a, b));
}
// round((a * k + b * (255 - k)) / 255) in each lane, a, b and k in 0..255; rest is 255 - k.
inline __m128i MixLanes(__m128i a, __m128i k, __m128i b, __m128i rest) {
    return Div255Lanes(_mm_add_epi32(_mm_mullo_epi16(a, k), _mm_mullo_epi16(b, rest)));
}
#endif

#if defined(__SSE2__)
// Lanes whose stored texel lies in the key's range (all ones), when keying is on.
inline __m128i KeyedLanes(const TextureFetch& tex, const uint32_t* raw) {
    return _mm_set_epi32(-int32_t(tex.Keyed(raw[3])), -int32_t(tex.Keyed(raw[2])),
                         -int32_t(tex.Keyed(raw[1])), -int32_t(tex.Keyed(raw[0])));
}
#endif

// Texturing of today's specialised kernels.
enum TextureKind { kUntextured, kModulate, kDecal, kDecalCopy };

#if defined(__SSE2__)
// Four pixels at a time of the modulated, nearest-sampled loop, tail included (masked lanes): one
// division for four reciprocals, the conversions, colour ramps, modulation and packing in vector lanes;
// only the texel fetches are scalar. Pixels that fail the depth test or are colour-keyed keep their
// colour and depth (merged by masks). kSameLayout: the texels are laid out as the target's pixels, and
// their channels are read straight from the stored bits rather than through the lookup table.
template <bool kZ, bool k555, bool kSameLayout>
void ModulateLanes(const SpanJob& job, int x0, int n, uint16_t* dst, uint16_t* depth, uint32_t z, uint32_t dz,
                   uint32_t r, uint32_t dr, uint32_t g, uint32_t dg, uint32_t b, uint32_t db) {
    const TextureFetch tex(job);
    const float q = FloatAt(job, kQ, x0), uq = FloatAt(job, kUQ, x0), vq = FloatAt(job, kVQ, x0);
    const float dq = job.floatStep[kQ], duq = job.floatStep[kUQ], dvq = job.floatStep[kVQ];
    const __m128i laneI = _mm_set_epi32(3, 2, 1, 0);
    const __m128i maskU = _mm_set1_epi32(tex.maskU), maskV = _mm_set1_epi32(tex.maskV);
    const __m128i byte = _mm_set1_epi32(255), zero = _mm_setzero_si128();
    // The ramps in four lanes, stepped four pixels a group (wrapping as the scalar ramps do).
    __m128i z4 = RampLanes(z, dz, laneI), r4 = RampLanes(r, dr, laneI);
    __m128i g4 = RampLanes(g, dg, laneI), b4 = RampLanes(b, db, laneI);
    const __m128i dz4 = _mm_set1_epi32(int32_t(dz * 4)), dr4 = _mm_set1_epi32(int32_t(dr * 4));
    const __m128i dg4 = _mm_set1_epi32(int32_t(dg * 4)), db4 = _mm_set1_epi32(int32_t(db * 4));
    for (int base = 0; base < n; base += 4, z4 = _mm_add_epi32(z4, dz4), r4 = _mm_add_epi32(r4, dr4),
             g4 = _mm_add_epi32(g4, dg4), b4 = _mm_add_epi32(b4, db4)) {
        const int lanes = n - base < 4 ? n - base : 4;
        const __m128i index = _mm_add_epi32(_mm_set1_epi32(base), laneI);
        auto at = [](__m128i ramp, uint32_t) { return _mm_srli_epi32(ramp, 16); };
        __m128i pass = _mm_cmplt_epi32(index, _mm_set1_epi32(n));
        __m128i zi = zero, stored = zero;
        if (kZ) {
            zi = at(z4, dz);
            stored = Load4(depth + base, lanes);
            pass = _mm_andnot_si128(_mm_cmpgt_epi32(zi, stored), pass);
        }
        if (!_mm_movemask_epi8(pass)) continue;
        const __m128 fi = _mm_cvtepi32_ps(index);
        __m128 w = ReciprocalLanes(FloatLanes(q, dq, fi));
        __m128 u = SafeTexelLanes(_mm_mul_ps(FloatLanes(uq, duq, fi), w));
        __m128 v = SafeTexelLanes(_mm_mul_ps(FloatLanes(vq, dvq, fi), w));
        alignas(16) int32_t xs[4], ys[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_and_si128(FloorLanes(u), maskU));
        _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_and_si128(FloorLanes(v), maskV));
        uint32_t raw[4];
        for (int k = 0; k < 4; ++k)
            raw[k] = tex.Raw(xs[k], ys[k]);
        if (tex.keyed) pass = _mm_andnot_si128(KeyedLanes(tex, raw), pass);
        __m128i tr, tg, tb;
        if (kSameLayout) {
            // Made in registers: a vector load of the four stored values would wait for their stores.
            __m128i bits = _mm_set_epi32(int32_t(raw[3]), int32_t(raw[2]), int32_t(raw[1]), int32_t(raw[0]));
            // Channels widened to 8 bits by repeating their top bits, as the lookup tables hold them.
            const __m128i five = _mm_set1_epi32(31), six = _mm_set1_epi32(63);
            tr = _mm_and_si128(_mm_srli_epi32(bits, k555 ? 10 : 11), five);
            tg = _mm_and_si128(_mm_srli_epi32(bits, 5), k555 ? five : six);
            tb = _mm_and_si128(bits, five);
            tr = _mm_or_si128(_mm_slli_epi32(tr, 3), _mm_srli_epi32(tr, 2));
            tg = k555 ? _mm_or_si128(_mm_slli_epi32(tg, 3), _mm_srli_epi32(tg, 2))
                      : _mm_or_si128(_mm_slli_epi32(tg, 2), _mm_srli_epi32(tg, 4));
            tb = _mm_or_si128(_mm_slli_epi32(tb, 3), _mm_srli_epi32(tb, 2));
        } else {
            __m128i texel = _mm_set_epi32(int32_t(tex.lut[raw[3]]), int32_t(tex.lut[raw[2]]),
                                          int32_t(tex.lut[raw[1]]), int32_t(tex.lut[raw[0]]));
            tr = _mm_and_si128(_mm_srli_epi32(texel, 16), byte);
            tg = _mm_and_si128(_mm_srli_epi32(texel, 8), byte);
            tb = _mm_and_si128(texel, byte);
        }
        __m128i outR = _mm_srli_epi32(Mul255Lanes(tr, at(r4, dr)), 3);
        __m128i outG = _mm_srli_epi32(Mul255Lanes(tg, at(g4, dg)), k555 ? 3 : 2);
        __m128i outB = _mm_srli_epi32(Mul255Lanes(tb, at(b4, db)), 3);
        __m128i colour =
            _mm_or_si128(_mm_or_si128(_mm_slli_epi32(outR, k555 ? 10 : 11), _mm_slli_epi32(outG, 5)), outB);
        __m128i old = Load4(dst + base, lanes);
        colour = _mm_or_si128(_mm_and_si128(pass, colour), _mm_andnot_si128(pass, old));
        Store4(dst + base, colour, lanes);
        if (kZ)
            Store4(depth + base, _mm_or_si128(_mm_and_si128(pass, zi), _mm_andnot_si128(pass, stored)),
                   lanes);
    }
}
#endif

// Today's specialised loop: optional depth test (less-or-equal) with write, optional nearest sampling
// of a power-of-two 16-bit texture with wrapping and the colour key, Gouraud or flat colour, written as
// 5-6-5 or 5-5-5, nothing else.
template <bool kZ, TextureKind kTex, bool k555> void FastSpan(const SpanJob& job, int y, int x0, int x1) {
    const int n = x1 - x0;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = kZ ? job.target->DepthRow(y) + x0 : nullptr;

    uint32_t z = 0, dz = 0;
    if (kZ) FixedRamp(job, kDepth, x0, n, z, dz);
    constexpr bool kColour = kTex != kDecal && kTex != kDecalCopy;
    uint32_t r = 0, g = 0, b = 0, dr = 0, dg = 0, db = 0;
    if (kColour) {
        FixedRamp(job, kRed, x0, n, r, dr);
        FixedRamp(job, kGreen, x0, n, g, dg);
        FixedRamp(job, kBlue, x0, n, b, db);
    }
    if constexpr (kTex == kUntextured) {
        // Without a texture every pixel costs little, so it is written without branches: a pixel
        // failing the depth test (random on small overlapping triangles) rewrites what was there.
        for (int i = 0; i < n; ++i) {
            uint32_t colour = Pack(r >> 16, g >> 16, b >> 16, k555);
            if (kZ) {
                uint32_t zi = z >> 16, stored = depth[i];
                uint32_t keep = 0u - uint32_t(zi > stored); // all ones when the test fails
                dst[i] = uint16_t((colour & ~keep) | (dst[i] & keep));
                depth[i] = uint16_t((zi & ~keep) | (stored & keep));
                z += dz;
            } else {
                dst[i] = uint16_t(colour);
            }
            r += dr;
            g += dg;
            b += db;
        }
        return;
    }
#if defined(__SSE2__)
    if constexpr (kTex == kModulate) {
        if (job.texture->sameLayoutMask)
            ModulateLanes<kZ, k555, true>(job, x0, n, dst, depth, z, dz, r, dr, g, dg, b, db);
        else
            ModulateLanes<kZ, k555, false>(job, x0, n, dst, depth, z, dz, r, dr, g, dg, b, db);
        return;
    }
#endif
    const TextureFetch tex(job);
    const float q = FloatAt(job, kQ, x0), uq = FloatAt(job, kUQ, x0), vq = FloatAt(job, kVQ, x0);
    const float dq = job.floatStep[kQ], duq = job.floatStep[kUQ], dvq = job.floatStep[kVQ];
    const uint32_t copyMask = job.texture->sameLayoutMask;
    for (int i = 0; i < n; ++i, z += dz, r += dr, g += dg, b += db) {
        if (kZ && (z >> 16) > depth[i]) continue;
        float u, v;
        TexelPosition(FloatStep(q, dq, i), FloatStep(uq, duq, i), FloatStep(vq, dvq, i), u, v);
        uint32_t raw = tex.Raw(FloorToInt(u) & tex.maskU, FloorToInt(v) & tex.maskV);
        if (tex.Keyed(raw)) continue;
        if (kTex == kDecalCopy) {
            dst[i] = uint16_t(raw & copyMask);
        } else {
            uint32_t texel = tex.lut[raw];
            uint32_t tr = (texel >> 16) & 255, tg = (texel >> 8) & 255, tb = texel & 255;
            if (kTex == kModulate) {
                tr = Mul255(tr, r >> 16);
                tg = Mul255(tg, g >> 16);
                tb = Mul255(tb, b >> 16);
            }
            dst[i] = Pack(tr, tg, tb, k555);
        }
        if (kZ) depth[i] = uint16_t(z >> 16);
    }
}

// The states the engine draws with beyond today's loop, as template flags.
enum DepthMode { kDepthOff, kDepthWrite, kDepthTestOnly }; // test: less-or-equal
enum TexMode { kTexNone, kTexModulate, kTexDecal };        // 16-bit, power-of-two, wrapped
enum BlendMode { kBlendNone, kBlendAlpha, kBlendAdd, kBlendMultiply };
// SRCALPHA/INVSRCALPHA; ONE/ONE; ZERO/SRCCOLOR.

#if defined(__SSE2__)
// The channels of four pixels, one per 32-bit lane, each 0..255.
struct Channels {
    __m128i r, g, b, a;
};

// Shift counts and masks of the target's layout (5-6-5 or 5-5-5), which texels laid out as the target
// share: variable-count shifts cost what fixed ones do, so one loop serves both layouts.
struct LaneLayout {
    __m128i redShift, greenMask, greenUp, greenDown, greenPack;
    explicit LaneLayout(bool is555) {
        redShift = _mm_cvtsi32_si128(is555 ? 10 : 11);
        greenMask = _mm_set1_epi32(is555 ? 31 : 63);
        greenUp = _mm_cvtsi32_si128(is555 ? 3 : 2);
        greenDown = _mm_cvtsi32_si128(is555 ? 2 : 4);
        greenPack = _mm_cvtsi32_si128(is555 ? 3 : 2);
    }
    // Stored pixels (or texels of the same layout) as channels widened by repeating their top bits.
    Channels Unpack(__m128i p) const {
        const __m128i five = _mm_set1_epi32(31);
        __m128i r = _mm_and_si128(_mm_srl_epi32(p, redShift), five);
        __m128i g = _mm_and_si128(_mm_srli_epi32(p, 5), greenMask);
        __m128i b = _mm_and_si128(p, five);
        return {_mm_or_si128(_mm_slli_epi32(r, 3), _mm_srli_epi32(r, 2)),
                _mm_or_si128(_mm_sll_epi32(g, greenUp), _mm_srl_epi32(g, greenDown)),
                _mm_or_si128(_mm_slli_epi32(b, 3), _mm_srli_epi32(b, 2)), _mm_set1_epi32(255)};
    }
    __m128i Pack(__m128i r, __m128i g, __m128i b) const {
        return _mm_or_si128(_mm_or_si128(_mm_sll_epi32(_mm_srli_epi32(r, 3), redShift),
                                         _mm_slli_epi32(_mm_srl_epi32(g, greenPack), 5)),
                            _mm_srli_epi32(b, 3));
    }
};

// Splits 0xAARRGGBB lanes into channels.
inline Channels SplitArgb(__m128i argb) {
    const __m128i byte = _mm_set1_epi32(255);
    return {_mm_and_si128(_mm_srli_epi32(argb, 16), byte), _mm_and_si128(_mm_srli_epi32(argb, 8), byte),
            _mm_and_si128(argb, byte), _mm_srli_epi32(argb, 24)};
}

// The texels at (xs[k], ys[k]) of the four lanes as channels; raw receives their stored values.
[[gnu::always_inline]] inline Channels FetchLanes(const TextureFetch& tex, const LaneLayout& layout,
                                                  const int32_t* xs, const int32_t* ys, uint32_t* raw) {
    for (int k = 0; k < 4; ++k)
        raw[k] = tex.Raw(xs[k], ys[k]);
    // Made in registers: a vector load of the four stored values would wait for their stores.
    if (tex.widen)
        return layout.Unpack(
            _mm_set_epi32(int32_t(raw[3]), int32_t(raw[2]), int32_t(raw[1]), int32_t(raw[0])));
    return SplitArgb(_mm_set_epi32(int32_t(tex.lut[raw[3]]), int32_t(tex.lut[raw[2]]),
                                   int32_t(tex.lut[raw[1]]), int32_t(tex.lut[raw[0]])));
}

// (a * (256 - f) + b * f) >> 8 in each lane (a, b in 0..255, f in 0..256), as LerpArgb per channel.
inline __m128i LerpLanes(__m128i a, __m128i b, __m128i f) {
    __m128i rest = _mm_sub_epi32(_mm_set1_epi32(256), f);
    return _mm_srli_epi32(_mm_add_epi32(_mm_mullo_epi16(a, rest), _mm_mullo_epi16(b, f)), 8);
}
// The colour channels, and alpha when alpha is read (else it keeps a's).
inline Channels LerpLanes(const Channels& a, const Channels& b, __m128i f, bool alpha) {
    return {LerpLanes(a.r, b.r, f), LerpLanes(a.g, b.g, f), LerpLanes(a.b, b.b, f),
            alpha ? LerpLanes(a.a, b.a, f) : a.a};
}

inline __m128i MinLanes(__m128i v, __m128i limit) { // lanes below 32768
    return _mm_min_epi16(v, limit);
}

// A state's span loop, four pixels a lane group (the last one masked): depth test, perspective divide,
// texel addresses, fog factors, modulation, specular, fog, blending and packing in vector lanes; only
// the texel reads are scalar. Pixels that fail the depth test or are keyed keep their colour and depth.
// Specular is read at run time (the engine's lit meshes); the layout (5-6-5 or 5-5-5) too.
template <int kD, int kT, bool kBi, bool kFog, int kB>
void StateSpan(const SpanJob& job, int y, int x0, int x1) {
    const PixelPipeline& p = *job.pipeline;
    const int n = x1 - x0;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = kD != kDepthOff ? job.target->DepthRow(y) + x0 : nullptr;
    constexpr bool kTextured = kT != kTexNone;
    constexpr bool kColour = kT != kTexDecal;
    const LaneLayout layout(job.target->is555);
    const __m128i laneI = _mm_set_epi32(3, 2, 1, 0), top = _mm_set1_epi32(255), zero = _mm_setzero_si128();

    // Fixed-point ramps: the first four lanes, and their change per pixel.
    auto ramp = [&](int attribute, __m128i& first, uint32_t& step) {
        uint32_t value;
        FixedRamp(job, attribute, x0, n, value, step);
        first = RampLanes(value, step, laneI);
    };
    __m128i z4 = zero, r4 = zero, g4 = zero, b4 = zero, a4 = zero, sr4 = zero, sg4 = zero, sb4 = zero;
    uint32_t dz = 0, dr = 0, dg = 0, db = 0, da = 0, dsr = 0, dsg = 0, dsb = 0;
    if (kD != kDepthOff) ramp(kDepth, z4, dz);
    if (kColour) {
        ramp(kRed, r4, dr);
        ramp(kGreen, g4, dg);
        ramp(kBlue, b4, db);
    }
    const bool textureAlpha = kTextured && (kT == kTexDecal || job.texture->hasAlpha);
    if (kB == kBlendAlpha && !textureAlpha) ramp(kAlpha, a4, da);
    const bool specular = p.specular;
    if (specular) {
        ramp(kSpecularRed, sr4, dsr);
        ramp(kSpecularGreen, sg4, dsg);
        ramp(kSpecularBlue, sb4, dsb);
    }
    float q = 0, uq = 0, vq = 0, dq = 0, duq = 0, dvq = 0, rhw = 0, drhw = 0;
    if (kTextured) {
        q = FloatAt(job, kQ, x0);
        uq = FloatAt(job, kUQ, x0);
        vq = FloatAt(job, kVQ, x0);
        dq = job.floatStep[kQ];
        duq = job.floatStep[kUQ];
        dvq = job.floatStep[kVQ];
    }
    // With perspective the texture's q is rhw itself: its reciprocal is the eye depth.
    const bool fogFromQ = kTextured && p.perspective;
    if (kFog && !fogFromQ) {
        rhw = FloatAt(job, kRhw, x0);
        drhw = job.floatStep[kRhw];
    }
    const __m128i fogR = _mm_set1_epi32(int32_t((p.fogColor >> 16) & 255));
    const __m128i fogG = _mm_set1_epi32(int32_t((p.fogColor >> 8) & 255));
    const __m128i fogB = _mm_set1_epi32(int32_t(p.fogColor & 255));
    const TextureFetch tex = kTextured ? TextureFetch(job) : TextureFetch{};
    const __m128i maskU = _mm_set1_epi32(tex.maskU), maskV = _mm_set1_epi32(tex.maskV);

    for (int base = 0; base < n; base += 4) {
        const int lanes = n - base < 4 ? n - base : 4;
        const __m128i index = _mm_add_epi32(_mm_set1_epi32(base), laneI);
        // The value of a ramp in this group's lanes.
        auto at = [&](__m128i first, uint32_t step) {
            return _mm_srli_epi32(_mm_add_epi32(first, _mm_set1_epi32(int32_t(uint32_t(base) * step))), 16);
        };
        __m128i pass = _mm_cmplt_epi32(index, _mm_set1_epi32(n));
        __m128i zi = zero, stored = zero;
        if (kD != kDepthOff) {
            zi = at(z4, dz);
            stored = Load4(depth + base, lanes);
            pass = _mm_andnot_si128(_mm_cmpgt_epi32(zi, stored), pass);
            if (!_mm_movemask_epi8(pass)) continue;
        }
        const __m128 fi = _mm_cvtepi32_ps(index);
        __m128 q4 = _mm_setzero_ps(), w4 = _mm_setzero_ps();
        Channels texel{zero, zero, zero, zero};
        if (kTextured) {
            q4 = FloatLanes(q, dq, fi);
            w4 = ReciprocalLanes(q4);
            __m128 u = SafeTexelLanes(_mm_mul_ps(FloatLanes(uq, duq, fi), w4));
            __m128 v = SafeTexelLanes(_mm_mul_ps(FloatLanes(vq, dvq, fi), w4));
            alignas(16) int32_t xs[4], ys[4];
            uint32_t raw[4];
            if (!kBi) {
                _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_and_si128(FloorLanes(u), maskU));
                _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_and_si128(FloorLanes(v), maskV));
                texel = FetchLanes(tex, layout, xs, ys, raw);
                if (tex.keyed) pass = _mm_andnot_si128(KeyedLanes(tex, raw), pass);
            } else {
                if (tex.keyed) {
                    _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_and_si128(FloorLanes(u), maskU));
                    _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_and_si128(FloorLanes(v), maskV));
                    for (int k = 0; k < 4; ++k)
                        raw[k] = tex.Raw(xs[k], ys[k]);
                    pass = _mm_andnot_si128(KeyedLanes(tex, raw), pass);
                }
                const __m128 half = _mm_set1_ps(0.5f), scale = _mm_set1_ps(256.0f);
                const __m128i one = _mm_set1_epi32(1);
                __m128 su = _mm_sub_ps(u, half), sv = _mm_sub_ps(v, half);
                __m128i fu = FloorLanes(su), fv = FloorLanes(sv);
                __m128i wu = _mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(su, _mm_cvtepi32_ps(fu)), scale));
                __m128i wv = _mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(sv, _mm_cvtepi32_ps(fv)), scale));
                alignas(16) int32_t xs1[4], ys1[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_and_si128(fu, maskU));
                _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_and_si128(fv, maskV));
                _mm_store_si128(reinterpret_cast<__m128i*>(xs1),
                                _mm_and_si128(_mm_add_epi32(fu, one), maskU));
                _mm_store_si128(reinterpret_cast<__m128i*>(ys1),
                                _mm_and_si128(_mm_add_epi32(fv, one), maskV));
                Channels t00 = FetchLanes(tex, layout, xs, ys, raw);
                Channels t10 = FetchLanes(tex, layout, xs1, ys, raw);
                Channels t01 = FetchLanes(tex, layout, xs, ys1, raw);
                Channels t11 = FetchLanes(tex, layout, xs1, ys1, raw);
                const bool alpha = kB == kBlendAlpha && textureAlpha;
                texel = LerpLanes(LerpLanes(t00, t10, wu, alpha), LerpLanes(t01, t11, wu, alpha), wv, alpha);
            }
            if (!_mm_movemask_epi8(pass)) continue;
        }
        __m128i outR, outG, outB, alpha = zero;
        if (kT == kTexDecal) {
            outR = texel.r;
            outG = texel.g;
            outB = texel.b;
        } else if (kT == kTexModulate) {
            outR = Mul255Lanes(texel.r, at(r4, dr));
            outG = Mul255Lanes(texel.g, at(g4, dg));
            outB = Mul255Lanes(texel.b, at(b4, db));
        } else {
            outR = at(r4, dr);
            outG = at(g4, dg);
            outB = at(b4, db);
        }
        if (kB == kBlendAlpha) alpha = textureAlpha ? texel.a : at(a4, da);
        if (specular) {
            outR = MinLanes(_mm_add_epi32(outR, at(sr4, dsr)), top);
            outG = MinLanes(_mm_add_epi32(outG, at(sg4, dsg)), top);
            outB = MinLanes(_mm_add_epi32(outB, at(sb4, dsb)), top);
        }
        if (kFog) {
            const __m128 far = _mm_set1_ps(3.0e38f);
            __m128 d;
            if (fogFromQ) {
                __m128 front = _mm_cmpgt_ps(q4, _mm_setzero_ps());
                d = _mm_or_ps(_mm_and_ps(front, w4), _mm_andnot_ps(front, far));
            } else {
                __m128 rhw4 = FloatLanes(rhw, drhw, fi);
                __m128 front = _mm_cmpgt_ps(rhw4, _mm_setzero_ps());
                d = _mm_or_ps(_mm_and_ps(front, _mm_div_ps(_mm_set1_ps(1.0f), rhw4)),
                              _mm_andnot_ps(front, far));
            }
            __m128i keep =
                ChannelLanes(_mm_sub_ps(_mm_set1_ps(p.fogBias), _mm_mul_ps(d, _mm_set1_ps(p.fogScale))));
            __m128i rest = _mm_sub_epi32(top, keep);
            outR = MixLanes(outR, keep, fogR, rest);
            outG = MixLanes(outG, keep, fogG, rest);
            outB = MixLanes(outB, keep, fogB, rest);
        }
        const __m128i old = Load4(dst + base, lanes);
        if (kB != kBlendNone) {
            const Channels dest = layout.Unpack(old);
            if (kB == kBlendAlpha) {
                __m128i rest = _mm_sub_epi32(top, alpha);
                outR = MixLanes(outR, alpha, dest.r, rest);
                outG = MixLanes(outG, alpha, dest.g, rest);
                outB = MixLanes(outB, alpha, dest.b, rest);
            } else if (kB == kBlendAdd) {
                outR = MinLanes(_mm_add_epi32(outR, dest.r), top);
                outG = MinLanes(_mm_add_epi32(outG, dest.g), top);
                outB = MinLanes(_mm_add_epi32(outB, dest.b), top);
            } else {
                outR = Mul255Lanes(dest.r, outR);
                outG = Mul255Lanes(dest.g, outG);
                outB = Mul255Lanes(dest.b, outB);
            }
        }
        __m128i colour = layout.Pack(outR, outG, outB);
        Store4(dst + base, _mm_or_si128(_mm_and_si128(pass, colour), _mm_andnot_si128(pass, old)), lanes);
        if (kD == kDepthWrite)
            Store4(depth + base, _mm_or_si128(_mm_and_si128(pass, zi), _mm_andnot_si128(pass, stored)),
                   lanes);
    }
}
#endif

// The table of state kernels, made from the one template: index ((depth x 3 + texturing) x 2 +
// bilinear) x 2 + fog) x 4 + blend.
constexpr int kStateKernelCount = 3 * 3 * 2 * 2 * 4;
constexpr int StateIndex(int depth, int texturing, bool bilinear, bool fog, int blend) {
    return (((depth * 3 + texturing) * 2 + int(bilinear)) * 2 + int(fog)) * 4 + blend;
}
template <int kIndex> constexpr SpanKernel StateKernelAt() {
#if defined(__SSE2__)
    constexpr int kBlend = kIndex % 4, kFog = (kIndex / 4) % 2, kBi = (kIndex / 8) % 2;
    constexpr int kTex = (kIndex / 16) % 3, kDepth = kIndex / 48;
    return &StateSpan < kDepth, kTex, kBi != 0 && kTex != kTexNone, kFog != 0, kBlend > ;
#else
    return &GeneralSpan; // the state loops work in vector lanes
#endif
}
template <size_t... kIndex>
constexpr std::array<SpanKernel, sizeof...(kIndex)> StateKernels(std::index_sequence<kIndex...>) {
    return {StateKernelAt<int(kIndex)>()...};
}
constexpr std::array<SpanKernel, kStateKernelCount> kStateKernels =
    StateKernels(std::make_index_sequence<kStateKernelCount>());

// The blend mode of the pipeline's factors, or -1 when no kernel covers them.
int BlendModeOf(const PixelPipeline& p) {
    if (!p.blend) return kBlendNone;
    if (p.srcBlend == D3DBLEND_BOTHSRCALPHA) return kBlendAlpha;
    if (p.srcBlend == D3DBLEND_ONE && p.destBlend == D3DBLEND_ZERO) return kBlendNone;
    if (p.srcBlend == D3DBLEND_SRCALPHA && p.destBlend == D3DBLEND_INVSRCALPHA) return kBlendAlpha;
    if (p.srcBlend == D3DBLEND_ONE && p.destBlend == D3DBLEND_ONE) return kBlendAdd;
    if (p.srcBlend == D3DBLEND_ZERO && p.destBlend == D3DBLEND_SRCCOLOR) return kBlendMultiply;
    return -1;
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

uint32_t LiveAttributes(const PixelPipeline& p, const RasterTexture* texture) {
    uint32_t live = 0;
    if (p.depthTest) live |= 1u << kDepth;
    if (texture) live |= (1u << kQ) | (1u << kUQ) | (1u << kVQ);
    if (!texture || !p.decal) live |= (1u << kRed) | (1u << kGreen) | (1u << kBlue);
    if (p.blend) live |= 1u << kAlpha;
    if (p.specular) live |= (1u << kSpecularRed) | (1u << kSpecularGreen) | (1u << kSpecularBlue);
    if (p.fog) live |= p.tableFog ? (1u << kRhw) : (1u << kFog);
    return live;
}

void SetFastSpans(bool on) {
    g_fastSpans = on;
}

SpanKernel ChooseSpanKernel(const PixelPipeline& p, const RasterTexture* texture,
                            const RasterTarget& target) {
    if (!g_fastSpans) return &GeneralSpan;
    int depth = kDepthOff;
    if (p.depthTest) {
        if (p.depthFunc != D3DCMP_LESSEQUAL) return &GeneralSpan;
        depth = p.depthWrite ? kDepthWrite : kDepthTestOnly;
    }
    if (texture && (p.address != D3DTADDRESS_WRAP || texture->bytesPerTexel != 2 ||
                    !IsPowerOfTwo(texture->width) || !IsPowerOfTwo(texture->height)))
        return &GeneralSpan;
    const int blend = BlendModeOf(p);
    if (blend < 0) return &GeneralSpan;
    const bool fog = p.fog;
    if (fog && !(p.tableFog && p.fogEnd > p.fogStart)) return &GeneralSpan;
    // Today's loops for the plain states; the state kernels for the rest.
    if (!fog && blend == kBlendNone && !p.specular && depth != kDepthTestOnly && !(texture && p.bilinear))
        return depth == kDepthWrite ? ChooseFormat<true>(p, texture, target.is555)
                                    : ChooseFormat<false>(p, texture, target.is555);
    const int texturing = !texture ? kTexNone : (p.decal ? kTexDecal : kTexModulate);
    return kStateKernels[StateIndex(depth, texturing, texture && p.bilinear, fog, blend)];
}

} // namespace host_d3d

void HostD3DUseFastSpans(bool on) {
    host_d3d::SetFastSpans(on);
}
