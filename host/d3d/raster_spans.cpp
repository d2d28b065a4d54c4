#include "host/d3d/raster_span.h"

#include <algorithm>
#include <cmath>

#include "host/d3d/raster_pixel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace host_d3d {
namespace {

// Texturing of the specialised kernels.
enum TextureKind { kUntextured, kModulate, kDecal, kDecalCopy };

// A plane value as a float, kept finite.
inline float ToFloat(double v) {
    return float(v > -1e30 ? (v < 1e30 ? v : 1e30) : -1e30);
}

// A 16.16 fixed-point ramp over n pixels starting at first and changing by slope a pixel, plus one
// half (so that the integer part is the rounded value). Both ends are kept in [0.25, high]: every value
// the ramp takes, step rounding included (at most half a unit a pixel over at most 16384 pixels),
// lies within [0, high + 0.25), so the integer part needs no clamp. Arithmetic wraps in 32 bits.
inline void Ramp(double first, double slope, int n, double high, uint32_t& value, uint32_t& step) {
    first += 0.5;
    if (n == 1) slope = 0.0;
    double last = first + slope * (n - 1);
    if (!(first >= 0.25 && first <= high && last >= 0.25 && last <= high)) {
        // Rounding at the triangle's edges (or a plane running far outside) leaves an end out of range.
        first = first > 0.25 ? (first < high ? first : high) : 0.25;
        last = last > 0.25 ? (last < high ? last : high) : 0.25;
        slope = n > 1 ? (last - first) / (n - 1) : 0.0;
    }
    double fixedStep = slope * 65536.0;
    value = uint32_t(first * 65536.0);
    step = uint32_t(int64_t(fixedStep + (fixedStep >= 0 ? 0.5 : -0.5)));
}

// A texel coordinate as an integer to be masked into the texture: any float gives some integer (the
// mask then keeps the index inside), so huge, negative or NaN values cannot reach outside.
inline int TexelIndex(float t) {
#if defined(__SSE2__)
    return _mm_cvttss_si32(_mm_set_ss(t)); // out of range or NaN: INT_MIN
#else
    t = t > 0.0f ? t : 0.0f;
    return int(t < kMaxTexel ? t : kMaxTexel);
#endif
}

// A texel channel (0..255) times a colour channel (0..255) with bits of precision left, in one
// multiply: (t * (c + 1)) >> (16 - bits), exact at c = 0 and c = 255 and at most one step low elsewhere.
template <int kBits> inline uint32_t Modulate(uint32_t texel, uint32_t colour) {
    return (texel * (colour + 1)) >> (16 - kBits);
}

constexpr double kMaxDepthRamp = 65535.25;
constexpr double kMaxColourRamp = 255.25;

#if defined(__SSE2__)
// Four pixels at a time of the modulated, textured loop: one division for four reciprocals, the
// conversions, colour ramps, modulation and packing in vector lanes; only the texel fetches are
// scalar. Pixels that fail the depth test or are colour-keyed keep their colour and depth (merged by
// masks). Returns how many pixels it did (a multiple of four); the ramps are advanced past them.
// kSameLayout: the texels are laid out as the target's pixels, and their channels are read straight
// from the stored bits rather than through the texture's lookup table.
template <bool kZ, bool k555, bool kSameLayout>
int ModulateGroups(int n, uint16_t* dst, uint16_t* depth, uint32_t& z, uint32_t dz, uint32_t& r, uint32_t dr,
                   uint32_t& g, uint32_t dg, uint32_t& b, uint32_t db, float& q, float dq, float& uq,
                   float duq, float& vq, float dvq, const RasterTexture& tex, bool keyed) {
    const int groups = n / 4;
    if (groups == 0) return 0;
    const __m128 laneF = _mm_set_ps(3.0f, 2.0f, 1.0f, 0.0f);
    const __m128i laneI = _mm_set_epi32(3, 2, 1, 0);
    auto rampI = [&](uint32_t v, uint32_t d) {
        // v + lane * d in each lane (wrapping, as the scalar ramps do).
        __m128i dv = _mm_set1_epi32(int32_t(d));
        __m128i lo = _mm_mul_epu32(laneI, dv);
        __m128i hi = _mm_mul_epu32(_mm_srli_epi64(laneI, 32), dv);
        __m128i prod = _mm_unpacklo_epi32(_mm_shuffle_epi32(lo, _MM_SHUFFLE(0, 0, 2, 0)),
                                          _mm_shuffle_epi32(hi, _MM_SHUFFLE(0, 0, 2, 0)));
        return _mm_add_epi32(_mm_set1_epi32(int32_t(v)), prod);
    };
    __m128i z4 = rampI(z, dz), r4 = rampI(r, dr), g4 = rampI(g, dg), b4 = rampI(b, db);
    const __m128i dz4 = _mm_set1_epi32(int32_t(dz * 4)), dr4 = _mm_set1_epi32(int32_t(dr * 4));
    const __m128i dg4 = _mm_set1_epi32(int32_t(dg * 4)), db4 = _mm_set1_epi32(int32_t(db * 4));
    __m128 q4 = _mm_add_ps(_mm_set1_ps(q), _mm_mul_ps(laneF, _mm_set1_ps(dq)));
    __m128 uq4 = _mm_add_ps(_mm_set1_ps(uq), _mm_mul_ps(laneF, _mm_set1_ps(duq)));
    __m128 vq4 = _mm_add_ps(_mm_set1_ps(vq), _mm_mul_ps(laneF, _mm_set1_ps(dvq)));
    const __m128 dq4 = _mm_set1_ps(dq * 4), duq4 = _mm_set1_ps(duq * 4), dvq4 = _mm_set1_ps(dvq * 4);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128i maskU = _mm_set1_epi32(tex.width - 1), maskV = _mm_set1_epi32(tex.height - 1);
    const __m128i byte = _mm_set1_epi32(255), oneI = _mm_set1_epi32(1), zero = _mm_setzero_si128();
    const uint8_t* texels = tex.texels;
    const ptrdiff_t pitch = tex.pitch;
    const uint32_t* lut = tex.lut;
    // 16-bit lanes of four 32-bit values (each below 65536) packed into the low 64 bits.
    auto pack16 = [](__m128i v) {
        v = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
        return _mm_packs_epi32(v, v);
    };
    for (int group = 0; group < groups; ++group) {
        __m128i pass = _mm_set1_epi32(-1);
        __m128i zi = _mm_srli_epi32(z4, 16), stored = zero;
        if (kZ) {
            stored = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(depth)), zero);
            pass = _mm_andnot_si128(_mm_cmpgt_epi32(zi, stored), pass);
        }
        if (!kZ || _mm_movemask_epi8(pass)) {
            __m128 w = _mm_div_ps(one, q4);
            __m128i tx = _mm_and_si128(_mm_cvttps_epi32(_mm_mul_ps(uq4, w)), maskU);
            __m128i ty = _mm_and_si128(_mm_cvttps_epi32(_mm_mul_ps(vq4, w)), maskV);
            alignas(16) int32_t xs[4], ys[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(xs), tx);
            _mm_store_si128(reinterpret_cast<__m128i*>(ys), ty);
            uint32_t raw[4];
            for (int k = 0; k < 4; ++k)
                raw[k] = reinterpret_cast<const uint16_t*>(texels + ys[k] * pitch)[xs[k]];
            if (keyed) {
                __m128i key = _mm_set_epi32(-int32_t(raw[3] >= tex.keyLow && raw[3] <= tex.keyHigh),
                                            -int32_t(raw[2] >= tex.keyLow && raw[2] <= tex.keyHigh),
                                            -int32_t(raw[1] >= tex.keyLow && raw[1] <= tex.keyHigh),
                                            -int32_t(raw[0] >= tex.keyLow && raw[0] <= tex.keyHigh));
                pass = _mm_andnot_si128(key, pass);
            }
            // texel channel x (colour + 1): both factors are below 257 and the product below 65536,
            // so 16-bit multiplies of the 32-bit lanes give it whole.
            __m128i cr = _mm_add_epi32(_mm_srli_epi32(r4, 16), oneI);
            __m128i cg = _mm_add_epi32(_mm_srli_epi32(g4, 16), oneI);
            __m128i cb = _mm_add_epi32(_mm_srli_epi32(b4, 16), oneI);
            __m128i outR, outG, outB;
            if (kSameLayout) {
                __m128i bits =
                    _mm_set_epi32(int32_t(raw[3]), int32_t(raw[2]), int32_t(raw[1]), int32_t(raw[0]));
                // Channels widened to 8 bits by repeating their top bits, as the lookup tables hold them.
                const __m128i five = _mm_set1_epi32(31), six = _mm_set1_epi32(63);
                __m128i tr = _mm_and_si128(_mm_srli_epi32(bits, k555 ? 10 : 11), five);
                __m128i tg = _mm_and_si128(_mm_srli_epi32(bits, 5), k555 ? five : six);
                __m128i tb = _mm_and_si128(bits, five);
                tr = _mm_or_si128(_mm_slli_epi32(tr, 3), _mm_srli_epi32(tr, 2));
                tg = k555 ? _mm_or_si128(_mm_slli_epi32(tg, 3), _mm_srli_epi32(tg, 2))
                          : _mm_or_si128(_mm_slli_epi32(tg, 2), _mm_srli_epi32(tg, 4));
                tb = _mm_or_si128(_mm_slli_epi32(tb, 3), _mm_srli_epi32(tb, 2));
                outR = _mm_srli_epi32(_mm_mullo_epi16(tr, cr), 11);
                outG = _mm_srli_epi32(_mm_mullo_epi16(tg, cg), k555 ? 11 : 10);
                outB = _mm_srli_epi32(_mm_mullo_epi16(tb, cb), 11);
            } else {
                __m128i texel = _mm_set_epi32(int32_t(lut[raw[3]]), int32_t(lut[raw[2]]),
                                              int32_t(lut[raw[1]]), int32_t(lut[raw[0]]));
                __m128i tr = _mm_and_si128(_mm_srli_epi32(texel, 16), byte);
                __m128i tg = _mm_and_si128(_mm_srli_epi32(texel, 8), byte);
                __m128i tb = _mm_and_si128(texel, byte);
                outR = _mm_srli_epi32(_mm_mullo_epi16(tr, cr), 11);
                outG = _mm_srli_epi32(_mm_mullo_epi16(tg, cg), k555 ? 11 : 10);
                outB = _mm_srli_epi32(_mm_mullo_epi16(tb, cb), 11);
            }
            __m128i colour = _mm_or_si128(
                _mm_or_si128(_mm_slli_epi32(outR, k555 ? 10 : 11), _mm_slli_epi32(outG, 5)), outB);
            __m128i old = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst)), zero);
            colour = _mm_or_si128(_mm_and_si128(pass, colour), _mm_andnot_si128(pass, old));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), pack16(colour));
            if (kZ) {
                __m128i newDepth = _mm_or_si128(_mm_and_si128(pass, zi), _mm_andnot_si128(pass, stored));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(depth), pack16(newDepth));
            }
        }
        dst += 4;
        if (kZ) depth += 4;
        z4 = _mm_add_epi32(z4, dz4);
        r4 = _mm_add_epi32(r4, dr4);
        g4 = _mm_add_epi32(g4, dg4);
        b4 = _mm_add_epi32(b4, db4);
        q4 = _mm_add_ps(q4, dq4);
        uq4 = _mm_add_ps(uq4, duq4);
        vq4 = _mm_add_ps(vq4, dvq4);
    }
    const int done = groups * 4;
    z += dz * uint32_t(done);
    r += dr * uint32_t(done);
    g += dg * uint32_t(done);
    b += db * uint32_t(done);
    q += dq * float(done);
    uq += duq * float(done);
    vq += dvq * float(done);
    return done;
}
#endif

// The specialised loop: optional depth test (less-or-equal) with write, optional nearest sampling of a
// power-of-two 16-bit texture with wrapping and the colour key, Gouraud or flat colour, written as
// 5-6-5 or 5-5-5. Colours and depth step in fixed point, texture coordinates in float with one
// reciprocal per pixel.
template <bool kZ, TextureKind kTex, bool k555> void FastSpan(const SpanJob& job, int y, int x0, int x1) {
    const int n = x1 - x0;
    const double first = x0;
    uint16_t* dst = job.target->Row(y) + x0;
    uint16_t* depth = kZ ? job.target->DepthRow(y) + x0 : nullptr;

    uint32_t z = 0, dz = 0;
    if (kZ) Ramp(job.ValueAt(kDepth, first, y), job.dx[kDepth], n, kMaxDepthRamp, z, dz);
    constexpr bool kColour = kTex != kDecal && kTex != kDecalCopy;
    uint32_t r = 0, g = 0, b = 0, dr = 0, dg = 0, db = 0;
    if (kColour) {
        Ramp(job.ValueAt(kRed, first, y), job.dx[kRed], n, kMaxColourRamp, r, dr);
        Ramp(job.ValueAt(kGreen, first, y), job.dx[kGreen], n, kMaxColourRamp, g, dg);
        Ramp(job.ValueAt(kBlue, first, y), job.dx[kBlue], n, kMaxColourRamp, b, db);
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

    int i = 0;
#if defined(__SSE2__)
    if constexpr (kTex == kModulate) {
        if (copyMask)
            i = ModulateGroups<kZ, k555, true>(n, dst, depth, z, dz, r, dr, g, dg, b, db, q, dq, uq, duq, vq,
                                               dvq, *job.texture, keyed);
        else
            i = ModulateGroups<kZ, k555, false>(n, dst, depth, z, dz, r, dr, g, dg, b, db, q, dq, uq, duq, vq,
                                                dvq, *job.texture, keyed);
    }
#endif
    if constexpr (kTex == kUntextured) {
        // Without a texture every pixel costs little, so it is written without branches: a pixel
        // failing the depth test (random on small overlapping triangles) rewrites what was there.
        for (; i < n; ++i) {
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
    for (; i < n; ++i) {
        if (kZ && (z >> 16) > depth[i]) goto next;
        {
            uint32_t outR = r >> 16, outG = g >> 16, outB = b >> 16;
            if (kTextured) {
                float w = 1.0f / q;
                int tx = TexelIndex(uq * w) & maskU;
                int ty = TexelIndex(vq * w) & maskV;
                uint32_t raw = reinterpret_cast<const uint16_t*>(texels + ptrdiff_t(ty) * texPitch)[tx];
                if (keyed && raw >= keyLow && raw <= keyHigh) goto next;
                if (kTex == kDecalCopy) {
                    dst[i] = uint16_t(raw & copyMask);
                    if (kZ) depth[i] = uint16_t(z >> 16);
                    goto next;
                }
                if (kTex == kModulate && copyMask) {
                    // The same arithmetic as the four-pixel loop's, on the stored channel bits.
                    uint32_t tr = k555 ? (raw >> 10) & 31 : raw >> 11;
                    uint32_t tg = k555 ? (raw >> 5) & 31 : (raw >> 5) & 63;
                    uint32_t tb = raw & 31;
                    tr = (tr << 3) | (tr >> 2);
                    tg = k555 ? (tg << 3) | (tg >> 2) : (tg << 2) | (tg >> 4);
                    tb = (tb << 3) | (tb >> 2);
                    outR = Modulate<5>(tr, outR);
                    outG = k555 ? Modulate<5>(tg, outG) : Modulate<6>(tg, outG);
                    outB = Modulate<5>(tb, outB);
                    dst[i] = uint16_t(k555 ? (outR << 10) | (outG << 5) | outB
                                           : (outR << 11) | (outG << 5) | outB);
                    if (kZ) depth[i] = uint16_t(z >> 16);
                    goto next;
                }
                uint32_t texel = lut[raw];
                if (kTex == kDecal) {
                    outR = (texel >> 16) & 255;
                    outG = (texel >> 8) & 255;
                    outB = texel & 255;
                } else {
                    // Modulated straight to the target's channel widths.
                    outR = Modulate<5>((texel >> 16) & 255, outR);
                    outG =
                        k555 ? Modulate<5>((texel >> 8) & 255, outG) : Modulate<6>((texel >> 8) & 255, outG);
                    outB = Modulate<5>(texel & 255, outB);
                    dst[i] = uint16_t(k555 ? (outR << 10) | (outG << 5) | outB
                                           : (outR << 11) | (outG << 5) | outB);
                    if (kZ) depth[i] = uint16_t(z >> 16);
                    goto next;
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
