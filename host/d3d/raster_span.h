// Span kernels: the loops that fill the rows of a triangle. A kernel is chosen once per draw call from
// the pipeline: specialised loops for the states the engine draws with (made from templates over a few
// state flags), and one general loop that runs the whole pixel pipeline (ShadePixel) for everything
// else. Every kernel walks the rows and steps the per-pixel values alike (RowWalk, FixedRamp and
// FloatRamp below) and draws exactly what the general loop draws.
#pragma once

#include <cstdint>

#include "host/d3d/raster.h"
#include "host/d3d/raster_pixel.h"

namespace host_d3d {

// Attributes stepped in 16.16 fixed point (depth and colour channels: the integer part is the rounded
// value); the others (kQ, kUQ, kVQ, kRhw) step in float.
constexpr uint32_t kFixedAttributes = (1u << kDepth) | (1u << kRed) | (1u << kGreen) | (1u << kBlue) |
                                      (1u << kAlpha) | (1u << kSpecularRed) | (1u << kSpecularGreen) |
                                      (1u << kSpecularBlue) | (1u << kFog);
// The highest value (plus one half) a fixed-point ramp may reach at either end: its integer part then
// stays within the channel's range even with the step's rounding over a whole span.
constexpr double kMaxDepthRamp = 65535.75;
constexpr double kMaxColourRamp = 255.75;

// One triangle as its spans read it: the planes of its attributes.
struct SpanJob {
    const RasterTarget* target;
    const RasterTexture* texture; // NULL when untextured
    const PixelPipeline* pipeline;
    double originX; // the point the planes are written from
    double originY;
    double start[kAttributeCount]; // values at the origin
    double dx[kAttributeCount];    // change per pixel to the right
    double dy[kAttributeCount];    // change per row down
    // Set up once per triangle for the attributes the state reads (the others are 0):
    double row[kAttributeCount];         // values at x = 0 of the first row a kernel is given
    uint32_t fixedStep[kAttributeCount]; // dx in 16.16 (fixed-point attributes)
    float floatStep[kAttributeCount];    // dx as a float (float attributes)
    // False when every ramp of the triangle stays in range (its vertices lie well inside it): ramps are
    // then taken as they are; true: each row's ends are clamped.
    bool clampRamps;
    uint32_t live; // the attributes the state reads (bit per Attribute)
};

// The values of every attribute at x = 0 of a triangle's rows, walked down one row at a time from the
// first row a kernel is given (every kernel walks them alike, so all get the same values).
struct RowWalk {
    double value[kAttributeCount];

    explicit RowWalk(const SpanJob& job) {
        for (int k = 0; k < kAttributeCount; ++k)
            value[k] = job.row[k];
    }
    void Next(const SpanJob& job) {
        for (int k = 0; k < kAttributeCount; ++k)
            value[k] += job.dy[k];
    }
};

// Calls fill(y, x0, x1, rows) for each row of spans that has pixels, rows holding its values.
template <typename Fill>
inline void ForEachRow(const SpanJob& job, int y, const Span* spans, int count, Fill&& fill) {
    RowWalk rows(job);
    for (int i = 0; i < count; ++i, rows.Next(job))
        if (spans[i].x0 < spans[i].x1) fill(y + i, spans[i].x0, spans[i].x1, rows);
}

// A 16.16 ramp over n pixels starting at first and changing by slope a pixel, plus one half (so that
// the integer part is the rounded value), its ends clamped into [0.25, high]: every value the ramp takes,
// step rounding included (at most half a unit in 65536 a pixel over at most 16384 pixels), lies within
// [0.125, high + 0.125]. Arithmetic wraps in 32 bits.
inline void ClampedRamp(double first, double slope, int n, double high, uint32_t& value, uint32_t& step) {
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

// FixedRamp's value at x0 of a row when the triangle's ramps are not clamped (its step is then the
// triangle's).
inline uint32_t UnclampedRampStart(const SpanJob& job, const RowWalk& rows, int attribute, int x0) {
    return uint32_t((rows.value[attribute] + job.dx[attribute] * x0 + 0.5) * 65536.0);
}

// The ramp of one fixed-point attribute over the n pixels from x0 of a row: value at x0 and step
// (16.16). Clamped only when the triangle's set-up found that a ramp may leave its range.
inline void FixedRamp(const SpanJob& job, const RowWalk& rows, int attribute, int x0, int n, uint32_t& value,
                      uint32_t& step) {
    if (job.clampRamps) {
        ClampedRamp(rows.value[attribute] + job.dx[attribute] * x0, job.dx[attribute], n,
                    attribute == kDepth ? kMaxDepthRamp : kMaxColourRamp, value, step);
        return;
    }
    value = UnclampedRampStart(job, rows, attribute, x0);
    step = job.fixedStep[attribute];
}

// The value of a float attribute at x0 of a row; its step is job.floatStep[attribute].
inline float FloatAt(const SpanJob& job, const RowWalk& rows, int attribute, int x0) {
    return ToFloat(rows.value[attribute] + job.dx[attribute] * x0);
}

// A float attribute along a span as the four-lane loops step it: pixel i reads lane i % 4; lane k
// starts at first + k * step and moves on by 4 * step after every fourth pixel. Every loop, scalar or
// vector, steps float attributes this way, so that all get the same value for every pixel.
struct FloatRamp {
    float lane[4];
    float step4;

    FloatRamp() = default;
    FloatRamp(float first, float step) : step4(step * 4.0f) {
        for (int k = 0; k < 4; ++k)
            lane[k] = first + float(k) * step;
    }
    float At(int i) const { return lane[i & 3]; }
    // Moves on past pixel i (every lane once the fourth has been read).
    void Past(int i) {
        if ((i & 3) == 3)
            for (float& v : lane)
                v += step4;
    }
};

// The float ramp of an attribute over the span from x0 of a row.
inline FloatRamp FloatRampAt(const SpanJob& job, const RowWalk& rows, int attribute, int x0) {
    return FloatRamp(FloatAt(job, rows, attribute, x0), job.floatStep[attribute]);
}

SpanKernel ChooseSpanKernel(const PixelPipeline& pipeline, const RasterTexture* texture,
                            const RasterTarget& target);

// The attributes the pipeline reads (bit per Attribute).
uint32_t LiveAttributes(const PixelPipeline& pipeline, const RasterTexture* texture);

// While off, every triangle is drawn by the general loop (the equality test's reference).
void SetFastSpans(bool on);

} // namespace host_d3d
