// Four pixels at a time in SSE2 lanes: the vector forms of the per-pixel steps of raster_pixel.h, with
// the same arithmetic, so that a pixel drawn four at a time gets exactly what it gets alone.
//
// Colour travels packed, two channels a vector: each pixel's 32-bit lane holds red in its upper and
// blue in its lower 16 bits (rb), and green in its lower 16 bits (ag; the upper half carries the
// texel's alpha where a texture's alpha is read, else anything). Every colour step works on 16-bit
// lanes, so it does two channels at once and never mixes the halves.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "host/d3d/raster_pixel.h"
#include "host/d3d/raster_span.h"

namespace host_d3d {

// The colour of four pixels (see above).
struct Colour4 {
    __m128i rb;
    __m128i ag;
};

// The same value in both 16-bit halves of each lane (v below 65536).
inline __m128i Pair(__m128i v) {
    return _mm_or_si128(v, _mm_slli_epi32(v, 16));
}

// Channel(v) in each lane: v kept within 0..255 (NaN giving 0), plus one half, truncated.
inline __m128i ChannelLanes(__m128 v) {
    v = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(_mm_add_ps(v, _mm_set1_ps(0.5f)));
}

// 1 / q in each lane (as TexelPosition).
inline __m128 ReciprocalLanes(__m128 q) {
    return _mm_div_ps(_mm_set1_ps(1.0f), q);
}

// SafeTexel in each lane (NaN giving low, as the scalar form).
inline __m128 SafeTexelLanes(__m128 t, float low) {
    return _mm_min_ps(_mm_max_ps(t, _mm_set1_ps(low)), _mm_set1_ps(kMaxTexel));
}

// v + k * d in lane k, wrapping as the scalar ramps do.
inline __m128i RampLanes(uint32_t v, uint32_t d) {
    const __m128i step = _mm_set1_epi32(int32_t(d)); // 0, d, 2d, 3d from shifted copies
    const __m128i multiples = _mm_add_epi32(_mm_add_epi32(_mm_slli_si128(step, 4), _mm_slli_si128(step, 8)),
                                            _mm_slli_si128(step, 12));
    return _mm_add_epi32(_mm_set1_epi32(int32_t(v)), multiples);
}

// Four 16-bit values from p as 32-bit lanes; a tail reads only its first lanes.
template <bool kTail> inline __m128i Load4(const uint16_t* p, int lanes) {
    if (!kTail)
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    alignas(16) int32_t v[4] = {0, 0, 0, 0};
    for (int i = 0; i < lanes; ++i)
        v[i] = p[i];
    return _mm_load_si128(reinterpret_cast<const __m128i*>(v));
}

// Stores four 32-bit lanes (each below 65536) as 16-bit values; a tail stores only its first lanes.
template <bool kTail> inline void Store4(uint16_t* p, __m128i v, int lanes) {
    v = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    v = _mm_packs_epi32(v, v);
    if (!kTail) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        return;
    }
    alignas(16) uint16_t out[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(out), v);
    std::memcpy(p, out, size_t(lanes) * 2);
}

// round(x / 255) in each 16-bit lane, x in 0..65025: (x + 128) * 257 >> 16, which equals Div255.
inline __m128i Div255Lanes(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Mul255 in each 16-bit lane (a, b in 0..255).
inline __m128i Mul255Lanes(__m128i a, __m128i b) {
    return Div255Lanes(_mm_mullo_epi16(a, b));
}

// round((a * k + b * rest) / 255) in each 16-bit lane, a, b, k in 0..255 and rest = 255 - k.
inline __m128i MixLanes(__m128i a, __m128i k, __m128i b, __m128i rest) {
    return Div255Lanes(_mm_add_epi16(_mm_mullo_epi16(a, k), _mm_mullo_epi16(b, rest)));
}

// (a * rest + b * f) >> 8 in each 16-bit lane, a, b in 0..255, f in 0..256 and rest = 256 - f (as
// LerpArgb per channel; the sum stays below 65536).
inline __m128i LerpLanes(__m128i a, __m128i b, __m128i f, __m128i rest) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, rest), _mm_mullo_epi16(b, f)), 8);
}
inline Colour4 LerpLanes(const Colour4& a, const Colour4& b, __m128i f, __m128i rest) {
    return {LerpLanes(a.rb, b.rb, f, rest), LerpLanes(a.ag, b.ag, f, rest)};
}

// min(a + b, 255) in each 16-bit lane (a, b in 0..255).
inline __m128i AddClampLanes(__m128i a, __m128i b) {
    return _mm_min_epi16(_mm_add_epi16(a, b), _mm_set1_epi16(255));
}

// Splits 0xAARRGGBB lanes into packed colour, alpha in ag's upper half.
inline Colour4 SplitArgb(__m128i argb) {
    const __m128i even = _mm_set1_epi32(0x00FF00FF);
    return {_mm_and_si128(argb, even), _mm_and_si128(_mm_srli_epi32(argb, 8), even)};
}

// The target's layout (5-6-5 or 5-5-5), which texels laid out as the target share. Channels widen to 8
// bits by repeating their top bits, c * 33 >> 2 for five bits and c * 65 >> 4 for six: one high
// multiply of the channel left at the top of a 16-bit lane.
struct LaneLayout {
    __m128i redUp, redDown, greenUp; // shift counts
    __m128i greenMask, greenWiden, redPack;

    explicit LaneLayout(bool is555) {
        redUp = _mm_cvtsi32_si128(is555 ? 17 : 16); // red to bits 27..31
        redDown = _mm_cvtsi32_si128(is555 ? 9 : 8); // 8-bit red (bits 16..23) to the pixel's red
        greenUp = _mm_cvtsi32_si128(is555 ? 2 : 3); // 8-bit green to the pixel's green
        greenMask = _mm_set1_epi32(is555 ? 0x03E0 : 0x07E0);
        greenWiden = _mm_set1_epi32(is555 ? 16896 : 8320); // 8.25 * 2048 or 4.0625 * 2048
        redPack = _mm_set1_epi32(is555 ? 0x7C00 : 0xF800);
    }
    // Stored pixels (or texels of the same layout, in 32-bit lanes) as packed colour.
    Colour4 Unpack(__m128i p) const {
        __m128i rb = _mm_or_si128(_mm_sll_epi32(p, redUp), _mm_slli_epi32(p, 11));
        rb = _mm_mulhi_epu16(_mm_and_si128(rb, _mm_set1_epi32(int32_t(0xF800F800u))), _mm_set1_epi16(264));
        return {rb, _mm_mulhi_epu16(_mm_and_si128(p, greenMask), greenWiden)};
    }
    // Packed colour as pixels in 32-bit lanes (ag's upper half ignored).
    __m128i Pack(const Colour4& c) const {
        __m128i r = _mm_and_si128(_mm_srl_epi32(c.rb, redDown), redPack);
        __m128i b = _mm_and_si128(_mm_srli_epi32(c.rb, 3), _mm_set1_epi32(0x1F));
        __m128i g = _mm_and_si128(_mm_sll_epi32(c.ag, greenUp), greenMask);
        return _mm_or_si128(_mm_or_si128(r, g), b);
    }
};

// What a four-lane ramp keeps for a whole triangle: the multiples 0, 1, 2, 3 of its step for the lanes
// and the step's change per four pixels. Fixed-point ramps take these only while the triangle's ramps
// are not clamped row by row (their step is then the triangle's).
struct LaneSteps {
    __m128i multiples = _mm_setzero_si128();
    __m128i step4 = _mm_setzero_si128();
    __m128 floatMultiples = _mm_setzero_ps();
    __m128 floatStep4 = _mm_setzero_ps();

    LaneSteps() = default;
    LaneSteps(const SpanJob& job, int attribute) {
        multiples = RampLanes(0, job.fixedStep[attribute]);
        step4 = _mm_set1_epi32(int32_t(job.fixedStep[attribute] * 4));
        const float step = job.floatStep[attribute];
        floatMultiples = _mm_mul_ps(_mm_set_ps(3.0f, 2.0f, 1.0f, 0.0f), _mm_set1_ps(step));
        floatStep4 = _mm_set1_ps(step * 4.0f);
    }
};

// A fixed-point ramp in four lanes (as FixedRamp) and its change per four pixels.
struct Ramp4 {
    __m128i value = _mm_setzero_si128();
    __m128i step4 = _mm_setzero_si128();

    Ramp4() = default;
    [[gnu::always_inline]] Ramp4(const SpanJob& job, const RowWalk& rows, int attribute, int x0, int n,
                                 const LaneSteps& steps) {
        if (job.clampRamps) {
            *this = Clamped(job, rows, attribute, x0, n);
            return;
        }
        value = _mm_add_epi32(_mm_set1_epi32(int32_t(UnclampedRampStart(job, rows, attribute, x0))),
                              steps.multiples);
        step4 = steps.step4;
    }
    // The ramp of a row whose ends are clamped (its step is the row's own).
    [[gnu::noinline]] static Ramp4 Clamped(const SpanJob& job, const RowWalk& rows, int attribute, int x0,
                                           int n) {
        uint32_t first, step;
        FixedRamp(job, rows, attribute, x0, n, first, step);
        Ramp4 ramp;
        ramp.value = RampLanes(first, step);
        ramp.step4 = _mm_set1_epi32(int32_t(step * 4));
        return ramp;
    }
    void Next() { value = _mm_add_epi32(value, step4); }
    __m128i At() const { return _mm_srli_epi32(value, 16); }
};

// Two colour ramps as packed colour: upper in the upper, lower in the lower half of each lane.
inline __m128i PackedRamps(const Ramp4& upper, const Ramp4& lower) {
    return _mm_or_si128(_mm_and_si128(upper.value, _mm_set1_epi32(int32_t(0xFFFF0000u))), lower.At());
}

// A float ramp in four lanes and its change per four pixels (as FloatRamp: first + k * step in lane k).
struct FloatRamp4 {
    __m128 value = _mm_setzero_ps();
    __m128 step4 = _mm_setzero_ps();

    FloatRamp4() = default;
    FloatRamp4(const SpanJob& job, const RowWalk& rows, int attribute, int x0, const LaneSteps& steps)
        : value(_mm_add_ps(_mm_set1_ps(FloatAt(job, rows, attribute, x0)), steps.floatMultiples)),
          step4(steps.floatStep4) {}
    void Next() { value = _mm_add_ps(value, step4); }
};

// round((c * k + f * (255 - k)) / 255) in each 16-bit lane for a constant colour f, computed as
// (c - f) * k + bias with bias = f * 255 + 128: the sum wraps in 16 bits to the exact value (which lies
// in 0..65153), then times 257 >> 16 as Div255Lanes.
inline __m128i MixConstantLanes(__m128i c, __m128i k, __m128i f, __m128i bias) {
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(c, f), k), bias);
    return _mm_mulhi_epu16(sum, _mm_set1_epi16(257));
}

// Where pass is set, a; elsewhere b.
inline __m128i Select(__m128i pass, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(pass, a), _mm_andnot_si128(pass, b));
}

} // namespace host_d3d
#endif
