#include "host/d3d/raster_span.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <type_traits>
#include <utility>

#include "host/d3d/raster_lanes.h"
#include "host/d3d/raster_pixel.h"
#include "host/d3d/testing.h"

namespace host_d3d {
namespace {

std::atomic<bool> g_fastSpans{true};

// The fixed-point attributes the general loop steps, in order.
constexpr int kFixedOrder[] = {kDepth,       kRed,           kGreen,        kBlue, kAlpha,
                               kSpecularRed, kSpecularGreen, kSpecularBlue, kFog};
constexpr int kFloatOrder[] = {kQ, kUQ, kVQ, kRhw};

// The whole pixel pipeline per pixel (ShadePixel) over one row, stepping only the attributes the state
// reads.
void GeneralRow(const SpanJob& job, const RowWalk& rows, int y, int x0, int x1) {
    const PixelPipeline& p = *job.pipeline;
    const int n = x1 - x0;
    uint32_t fixed[kAttributeCount] = {}, step[kAttributeCount] = {};
    FloatRamp ramps[kAttributeCount] = {};
    int stepped[kAttributeCount];
    int count = 0;
    for (int k : kFixedOrder)
        if ((job.live >> k) & 1) {
            FixedRamp(job, rows, k, x0, n, fixed[k], step[k]);
            stepped[count++] = k;
        }
    for (int k : kFloatOrder)
        if ((job.live >> k) & 1) ramps[k] = FloatRampAt(job, rows, k, x0);
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
                             ramps[kQ].At(i),
                             ramps[kUQ].At(i),
                             ramps[kVQ].At(i),
                             ramps[kRhw].At(i)};
        ShadePixel(p, job.texture, is555, in, dst + i, depth ? depth + i : nullptr);
        for (int s = 0; s < count; ++s)
            fixed[stepped[s]] += step[stepped[s]];
        for (int k : kFloatOrder)
            ramps[k].Past(i);
    }
}

// The reference loop for every state: the whole pixel pipeline per pixel.
void GeneralSpans(const SpanJob& job, int y, const Span* spans, int count) {
    ForEachRow(job, y, spans, count,
               [&](int row, int x0, int x1, const RowWalk& rows) { GeneralRow(job, rows, row, x0, x1); });
}

// The plain untextured loop: optional depth test (less-or-equal) with write, Gouraud or flat colour,
// written as 5-6-5 or 5-5-5, nothing else. Every pixel costs little, so it is written without
// branches: a pixel failing the depth test (random on small overlapping triangles) rewrites what was
// there.
template <bool kZ, bool k555> void PlainRow(const SpanJob& job, const RowWalk& rows, int y, int x0, int x1) {
    const int n = x1 - x0;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = kZ ? job.target->DepthRow(y) + x0 : nullptr;
    uint32_t z = 0, dz = 0, r, g, b, dr, dg, db;
    if (kZ) FixedRamp(job, rows, kDepth, x0, n, z, dz);
    FixedRamp(job, rows, kRed, x0, n, r, dr);
    FixedRamp(job, rows, kGreen, x0, n, g, dg);
    FixedRamp(job, rows, kBlue, x0, n, b, db);
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
}

template <bool kZ, bool k555> void PlainSpans(const SpanJob& job, int y, const Span* spans, int count) {
    ForEachRow(job, y, spans, count, [&](int row, int x0, int x1, const RowWalk& rows) {
        PlainRow<kZ, k555>(job, rows, row, x0, x1);
    });
}

// The states the engine draws with beyond the plain untextured loop, as template flags.
enum DepthMode { kDepthOff, kDepthWrite, kDepthTestOnly }; // test: less-or-equal
// Textures are 16-bit, power-of-two and wrapped. kTexCopy: decal texels laid out as the target, copied
// (only without filtering, fog, blending or specular).
enum TexMode { kTexNone, kTexModulate, kTexDecal, kTexCopy };
enum BlendMode { kBlendNone, kBlendAlpha, kBlendAdd, kBlendMultiply };
// SRCALPHA/INVSRCALPHA; ONE/ONE; ZERO/SRCCOLOR.

#if defined(__SSE2__)
// A texture as the four-lane loops read it: texel offsets made in lanes (x + y * pitch in one 16-bit
// multiply-add: the kernels take only textures whose sides and pitch stay below 32768 texels), the
// stored texels gathered into lanes, the colour key tested in lanes.
struct TextureLanes {
    const uint16_t* texels = nullptr;
    const uint32_t* lut = nullptr;
    __m128i maskU = _mm_setzero_si128(), maskV = _mm_setzero_si128();
    __m128i pitch = _mm_setzero_si128(); // 1 in the lower, the pitch in the upper half of each lane
    __m128i keyBelow = _mm_setzero_si128(), keyAbove = _mm_setzero_si128(); // keyed: below < raw < above
    __m128i copyMask = _mm_setzero_si128(); // the colour bits of a texel laid out as the target
    bool keyed = false;
    bool widen = false; // read the channels from the stored bits (laid out as the target, no alpha)

    TextureLanes() = default;

    explicit TextureLanes(const SpanJob& job) {
        const RasterTexture& tex = *job.texture;
        texels = reinterpret_cast<const uint16_t*>(tex.texels);
        lut = tex.lut;
        maskU = _mm_set1_epi32(tex.width - 1);
        maskV = _mm_set1_epi32(tex.height - 1);
        pitch = _mm_set1_epi32(1 | (tex.pitch / 2) << 16);
        keyed = job.pipeline->colorKey && tex.keyed && tex.keyLow <= 0xFFFF;
        keyBelow = _mm_set1_epi32(int32_t(tex.keyLow) - 1);
        keyAbove = _mm_set1_epi32(int32_t(std::min<uint32_t>(tex.keyHigh, 0xFFFF)) + 1);
        widen = tex.sameLayoutMask != 0 && !tex.hasAlpha;
        copyMask = _mm_set1_epi32(int32_t(tex.sameLayoutMask));
    }
    // The four 32-bit lanes of v, taken out in registers (read back from memory, a vector stored whole
    // would make the reads wait).
    static void LaneValues(__m128i v, uint32_t* out) {
        out[0] = uint32_t(_mm_cvtsi128_si32(v));
        out[1] = uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1))));
        out[2] = uint32_t(_mm_cvtsi128_si32(_mm_unpackhi_epi64(v, v)));
        out[3] = uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3))));
    }
    // The offsets of texels (x, y), both already masked into the texture.
    __m128i Offsets(__m128i x, __m128i y) const {
        return _mm_madd_epi16(_mm_or_si128(x, _mm_slli_epi32(y, 16)), pitch);
    }
    // The stored texels at the lanes' offsets, in 32-bit lanes.
    __m128i Gather(__m128i offsets) const {
        uint32_t at[4];
        LaneValues(offsets, at);
        __m128i v = _mm_setzero_si128();
        v = _mm_insert_epi16(v, texels[at[0]], 0);
        v = _mm_insert_epi16(v, texels[at[1]], 2);
        v = _mm_insert_epi16(v, texels[at[2]], 4);
        return _mm_insert_epi16(v, texels[at[3]], 6);
    }
    // The texels nearest to (u, v), as stored (u, v not negative: truncation floors them).
    __m128i Nearest(__m128 u, __m128 v) const {
        return Gather(
            Offsets(_mm_and_si128(_mm_cvttps_epi32(u), maskU), _mm_and_si128(_mm_cvttps_epi32(v), maskV)));
    }
    // Lanes holding a keyed texel (all ones).
    __m128i Keyed(__m128i raw) const {
        return _mm_and_si128(_mm_cmpgt_epi32(raw, keyBelow), _mm_cmplt_epi32(raw, keyAbove));
    }
    // Stored texels as packed colour (alpha in ag's upper half when read through the table).
    Colour4 Colours(__m128i raw, const LaneLayout& layout) const {
        if (widen) return layout.Unpack(raw);
        // Made in registers: a vector load of the four looked-up values would wait for their stores.
        return SplitArgb(
            _mm_set_epi32(int32_t(lut[_mm_extract_epi16(raw, 6)]), int32_t(lut[_mm_extract_epi16(raw, 4)]),
                          int32_t(lut[_mm_extract_epi16(raw, 2)]), int32_t(lut[_mm_extract_epi16(raw, 0)])));
    }
    // The four texels around (u, v) weighted by distance, as SampleBilinear (u, v at least one half, so
    // that truncation floors the corners).
    Colour4 Bilinear(__m128 u, __m128 v, const LaneLayout& layout) const {
        const __m128 half = _mm_set1_ps(0.5f), scale = _mm_set1_ps(256.0f);
        const __m128i one = _mm_set1_epi32(1), full = _mm_set1_epi16(256);
        __m128 su = _mm_sub_ps(u, half), sv = _mm_sub_ps(v, half);
        __m128i fu = _mm_cvttps_epi32(su), fv = _mm_cvttps_epi32(sv);
        __m128i wu = Pair(_mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(su, _mm_cvtepi32_ps(fu)), scale)));
        __m128i wv = Pair(_mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(sv, _mm_cvtepi32_ps(fv)), scale)));
        __m128i x0 = _mm_and_si128(fu, maskU), x1 = _mm_and_si128(_mm_add_epi32(fu, one), maskU);
        __m128i y0 = _mm_and_si128(fv, maskV), y1 = _mm_and_si128(_mm_add_epi32(fv, one), maskV);
        Colour4 t00 = Colours(Gather(Offsets(x0, y0)), layout),
                t10 = Colours(Gather(Offsets(x1, y0)), layout);
        Colour4 t01 = Colours(Gather(Offsets(x0, y1)), layout),
                t11 = Colours(Gather(Offsets(x1, y1)), layout);
        __m128i restU = _mm_sub_epi16(full, wu), restV = _mm_sub_epi16(full, wv);
        return LerpLanes(LerpLanes(t00, t10, wu, restU), LerpLanes(t01, t11, wu, restU), wv, restV);
    }
};

// A state's kernel, four pixels a lane group and the last group of a row masked: depth test,
// perspective divide, texel addresses and reads, fog factors, modulation, specular, fog, blending and
// packing in vector lanes. Pixels that fail the depth test or are keyed keep their colour and depth.
// Specular and the target's layout are read at run time. The state is set up once per triangle, the
// ramps once per row.
template <int kD, int kT, bool kBi, bool kFog, int kB>
void StateSpans(const SpanJob& job, int firstRow, const Span* spans, int count) {
    const PixelPipeline& p = *job.pipeline;
    constexpr bool kTextured = kT != kTexNone;
    constexpr bool kColour = kT == kTexNone || kT == kTexModulate;
    constexpr bool kDecalLike = kT == kTexDecal || kT == kTexCopy;
    // Wrapped coordinates are kept non-negative (bilinear corners too), so truncation floors them.
    constexpr float kLowestTexel = kBi ? 0.5f : 0.0f;
    const LaneLayout layout(job.target->is555);
    // Blending reads the texture's alpha (255 without an alpha channel) or the vertices'.
    const bool textureAlpha = kTextured && (kDecalLike || job.texture->hasAlpha);
    const bool vertexAlpha = kB == kBlendAlpha && !textureAlpha;
    const bool specular = p.specular;
    // With perspective the texture's q is rhw itself: its reciprocal is the eye depth.
    const bool fogFromQ = kTextured && p.perspective;
    const uint32_t fogRed = (p.fogColor >> 16) & 255, fogGreen = (p.fogColor >> 8) & 255;
    const uint32_t fogBlue = p.fogColor & 255;
    const __m128i fogRB = _mm_set1_epi32(int32_t(fogRed << 16 | fogBlue));
    const __m128i fogG = _mm_set1_epi32(int32_t(fogGreen));
    const __m128i fogBiasRB = _mm_set1_epi32(int32_t((fogRed * 255 + 128) << 16 | (fogBlue * 255 + 128)));
    const __m128i fogBiasG = _mm_set1_epi32(int32_t(fogGreen * 255 + 128));
    const __m128 fogBias = _mm_set1_ps(p.fogBias), fogScale = _mm_set1_ps(p.fogScale);
    const TextureLanes tex = kTextured ? TextureLanes(job) : TextureLanes{};
    const __m128i laneIndex = _mm_set_epi32(3, 2, 1, 0);
    LaneSteps steps[kAttributeCount];
    for (int k = 0; k < kAttributeCount; ++k)
        if ((job.live >> k) & 1) steps[k] = LaneSteps(job, k);

    ForEachRow(job, firstRow, spans, count, [&](int y, int x0, int x1, const RowWalk& rows) {
        const int n = x1 - x0;
        uint16_t* dst = job.target->Row(y) + x0;
        uint16_t* depth = kD != kDepthOff ? job.target->DepthRow(y) + x0 : nullptr;
        Ramp4 z, r, g, b, a, sr, sg, sb;
        if (kD != kDepthOff) z = Ramp4(job, rows, kDepth, x0, n, steps[kDepth]);
        if (kColour) {
            r = Ramp4(job, rows, kRed, x0, n, steps[kRed]);
            g = Ramp4(job, rows, kGreen, x0, n, steps[kGreen]);
            b = Ramp4(job, rows, kBlue, x0, n, steps[kBlue]);
        }
        if (vertexAlpha) a = Ramp4(job, rows, kAlpha, x0, n, steps[kAlpha]);
        if (specular) {
            sr = Ramp4(job, rows, kSpecularRed, x0, n, steps[kSpecularRed]);
            sg = Ramp4(job, rows, kSpecularGreen, x0, n, steps[kSpecularGreen]);
            sb = Ramp4(job, rows, kSpecularBlue, x0, n, steps[kSpecularBlue]);
        }
        FloatRamp4 q, uq, vq, rhw;
        if (kTextured) {
            q = FloatRamp4(job, rows, kQ, x0, steps[kQ]);
            uq = FloatRamp4(job, rows, kUQ, x0, steps[kUQ]);
            vq = FloatRamp4(job, rows, kVQ, x0, steps[kVQ]);
        }
        if (kFog && !fogFromQ) rhw = FloatRamp4(job, rows, kRhw, x0, steps[kRhw]);

        // One group of four pixels from base; a tail group (fewer than four left) masks its lanes.
        auto group = [&](auto tail, int base) __attribute__((always_inline)) {
            constexpr bool kTail = decltype(tail)::value;
            const int lanes = n - base;
            __m128i pass = kTail ? _mm_cmplt_epi32(laneIndex, _mm_set1_epi32(lanes)) : _mm_set1_epi32(-1);
            __m128i zi = _mm_setzero_si128(), stored = _mm_setzero_si128();
            if (kD != kDepthOff) {
                zi = z.At();
                stored = Load4<kTail>(depth + base, lanes);
                pass = _mm_andnot_si128(_mm_cmpgt_epi32(zi, stored), pass);
                if (!_mm_movemask_epi8(pass)) return;
            }
            Colour4 colour;
            __m128i alpha = _mm_setzero_si128(); // 0..255 in 32-bit lanes, when blending reads it
            __m128 w = _mm_setzero_ps();
            if (kTextured) {
                w = ReciprocalLanes(q.value);
                const __m128 u = SafeTexelLanes(_mm_mul_ps(uq.value, w), kLowestTexel);
                const __m128 v = SafeTexelLanes(_mm_mul_ps(vq.value, w), kLowestTexel);
                Colour4 texel;
                if (kT == kTexCopy) {
                    const __m128i raw = tex.Nearest(u, v);
                    if (tex.keyed) pass = _mm_andnot_si128(tex.Keyed(raw), pass);
                    const __m128i old = Load4<kTail>(dst + base, lanes);
                    Store4<kTail>(dst + base, Select(pass, _mm_and_si128(raw, tex.copyMask), old), lanes);
                    if (kD == kDepthWrite) Store4<kTail>(depth + base, Select(pass, zi, stored), lanes);
                    return;
                } else if (!kBi) {
                    const __m128i raw = tex.Nearest(u, v);
                    if (tex.keyed) pass = _mm_andnot_si128(tex.Keyed(raw), pass);
                    texel = tex.Colours(raw, layout);
                } else {
                    // The colour key is decided on the nearest texel.
                    if (tex.keyed) pass = _mm_andnot_si128(tex.Keyed(tex.Nearest(u, v)), pass);
                    texel = tex.Bilinear(u, v, layout);
                }
                if (tex.keyed && !_mm_movemask_epi8(pass)) return;
                if (kB == kBlendAlpha && textureAlpha)
                    alpha = tex.widen ? _mm_set1_epi32(255) : _mm_srli_epi32(texel.ag, 16);
                if (kDecalLike)
                    colour = texel;
                else
                    colour = {Mul255Lanes(texel.rb, PackedRamps(r, b)), Mul255Lanes(texel.ag, g.At())};
            } else {
                colour = {PackedRamps(r, b), g.At()};
            }
            if (vertexAlpha) alpha = a.At();
            if (specular) {
                colour.rb = AddClampLanes(colour.rb, PackedRamps(sr, sb));
                colour.ag = AddClampLanes(colour.ag, sg.At());
            }
            if (kFog) {
                __m128 front, d;
                if (fogFromQ) {
                    front = _mm_cmpgt_ps(q.value, _mm_setzero_ps());
                    d = w;
                } else {
                    front = _mm_cmpgt_ps(rhw.value, _mm_setzero_ps());
                    d = _mm_div_ps(_mm_set1_ps(1.0f), rhw.value);
                }
                d = _mm_or_ps(_mm_and_ps(front, d), _mm_andnot_ps(front, _mm_set1_ps(3.0e38f)));
                const __m128i keep = Pair(ChannelLanes(_mm_sub_ps(fogBias, _mm_mul_ps(d, fogScale))));
                colour.rb = MixConstantLanes(colour.rb, keep, fogRB, fogBiasRB);
                colour.ag = MixConstantLanes(colour.ag, keep, fogG, fogBiasG);
            }
            const __m128i old = Load4<kTail>(dst + base, lanes);
            if (kB != kBlendNone) {
                const Colour4 dest = layout.Unpack(old);
                if (kB == kBlendAlpha) {
                    const __m128i k = Pair(alpha), rest = _mm_sub_epi16(_mm_set1_epi16(255), k);
                    colour.rb = MixLanes(colour.rb, k, dest.rb, rest);
                    colour.ag = MixLanes(colour.ag, k, dest.ag, rest);
                } else if (kB == kBlendAdd) {
                    colour.rb = AddClampLanes(colour.rb, dest.rb);
                    colour.ag = AddClampLanes(colour.ag, dest.ag);
                } else {
                    colour.rb = Mul255Lanes(dest.rb, colour.rb);
                    colour.ag = Mul255Lanes(dest.ag, colour.ag);
                }
            }
            Store4<kTail>(dst + base, Select(pass, layout.Pack(colour), old), lanes);
            if (kD == kDepthWrite) Store4<kTail>(depth + base, Select(pass, zi, stored), lanes);
        };

        int base = 0;
        for (; base + 4 <= n; base += 4) {
            group(std::false_type{}, base);
            if (kD != kDepthOff) z.Next();
            if (kColour) {
                r.Next();
                g.Next();
                b.Next();
            }
            if (vertexAlpha) a.Next();
            if (specular) {
                sr.Next();
                sg.Next();
                sb.Next();
            }
            if (kTextured) {
                q.Next();
                uq.Next();
                vq.Next();
            }
            if (kFog && !fogFromQ) rhw.Next();
        }
        if (base < n) group(std::true_type{}, base);
    });
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
    return &StateSpans < kDepth, kTex, kBi != 0 && kTex != kTexNone, kFog != 0, kBlend > ;
#else
    return &GeneralSpans; // the state loops work in vector lanes
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

// The state kernel of the decal copy (depth off, test and write, or test only).
constexpr SpanKernel kCopyKernels[3] = {
#if defined(__SSE2__)
    &StateSpans<kDepthOff, kTexCopy, false, false, kBlendNone>,
    &StateSpans<kDepthWrite, kTexCopy, false, false, kBlendNone>,
    &StateSpans<kDepthTestOnly, kTexCopy, false, false, kBlendNone>
#else
    &GeneralSpans, &GeneralSpans, &GeneralSpans
#endif
};

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
    if (!g_fastSpans) return &GeneralSpans;
    int depth = kDepthOff;
    if (p.depthTest) {
        if (p.depthFunc != D3DCMP_LESSEQUAL) return &GeneralSpans;
        depth = p.depthWrite ? kDepthWrite : kDepthTestOnly;
    }
    // The lane loops address texels with 16-bit multiply-adds: sides and pitch below 32768 texels, the
    // pitch positive and whole texels.
    if (texture &&
        (p.address != D3DTADDRESS_WRAP || texture->bytesPerTexel != 2 || !IsPowerOfTwo(texture->width) ||
         !IsPowerOfTwo(texture->height) || texture->width > 32768 || texture->height > 32768 ||
         texture->pitch <= 0 || texture->pitch % 2 != 0 || texture->pitch / 2 > 32767))
        return &GeneralSpans;
    const int blend = BlendModeOf(p);
    if (blend < 0) return &GeneralSpans;
    const bool fog = p.fog;
    if (fog && !(p.tableFog && p.fogEnd > p.fogStart)) return &GeneralSpans;
    // The plain loop for untextured drawing, the copy for decal texels laid out as the target, the
    // state kernels for the rest.
    const bool plain = !fog && blend == kBlendNone && !p.specular;
    if (plain && !texture && depth != kDepthTestOnly) {
        if (depth == kDepthWrite) return target.is555 ? &PlainSpans<true, true> : &PlainSpans<true, false>;
        return target.is555 ? &PlainSpans<false, true> : &PlainSpans<false, false>;
    }
    if (plain && texture && p.decal && !p.bilinear && texture->sameLayoutMask) return kCopyKernels[depth];
    const int texturing = !texture ? kTexNone : (p.decal ? kTexDecal : kTexModulate);
    return kStateKernels[StateIndex(depth, texturing, texture && p.bilinear, fog, blend)];
}

} // namespace host_d3d

void HostD3DUseFastSpans(bool on) {
    host_d3d::SetFastSpans(on);
}
