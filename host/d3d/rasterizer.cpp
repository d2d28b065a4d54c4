#include <algorithm>
#include <cmath>

#include "host/d3d/raster.h"
#include "host/d3d/raster_pixel.h"
#include "host/d3d/raster_span.h"
#include "host/d3d/render_states.h"

namespace host_d3d {
namespace {

// Triangles reaching further than this outside the clip rectangle are clipped to a band this wide
// around it before setup, so that setup and spans only see coordinates of modest size.
constexpr double kGuardBand = 4096.0;
// Twice the area below which a triangle is taken as degenerate (it can cover no pixel centre in any
// stable way, and its gradients would not be finite).
constexpr double kMinDoubleArea = 1e-7;
// Texture coordinates of a primitive are kept within this many repeats of the texture.
constexpr double kMaxRepeats = 65536.0;

bool Finite(float v) {
    return std::isfinite(v);
}

// The side of a triangle from its upper end to its lower end, as x at a row's centre.
struct Edge {
    double x0;
    double y0;
    double slope; // dx per row

    Edge(const RasterVertex& upper, const RasterVertex& lower) : x0(upper.x), y0(upper.y) {
        slope = lower.y > upper.y ? (lower.x - upper.x) / (lower.y - upper.y) : 0.0;
    }
    double XAt(double y) const { return x0 + (y - y0) * slope; }
};

// A vertex on the way from a to b at t, every value in screen space.
RasterVertex Between(const RasterVertex& a, const RasterVertex& b, double t) {
    RasterVertex v;
    v.x = a.x + (b.x - a.x) * t;
    v.y = a.y + (b.y - a.y) * t;
    v.u = a.u + (b.u - a.u) * t;
    v.v = a.v + (b.v - a.v) * t;
    for (int i = 0; i < kAttributeCount; ++i)
        v.a[i] = ToFloat(a.a[i] + (double(b.a[i]) - a.a[i]) * t);
    return v;
}

// Keeps the part of a polygon on the inner side of one rectangle edge: axis 0 is x, 1 is y; sign +1
// keeps values >= limit, -1 keeps values <= limit. Returns the new vertex count.
int ClipPolygon(const RasterVertex* in, int count, RasterVertex* out, int axis, double limit, double sign) {
    int made = 0;
    for (int i = 0; i < count; ++i) {
        const RasterVertex& a = in[i];
        const RasterVertex& b = in[(i + 1) % count];
        double da = sign * ((axis ? a.y : a.x) - limit);
        double db = sign * ((axis ? b.y : b.x) - limit);
        if (da >= 0) out[made++] = a;
        if ((da >= 0) != (db >= 0)) out[made++] = Between(a, b, da / (da - db));
    }
    return made;
}

} // namespace

PixelPipeline ResolvePipeline(const HostRenderStates& s, bool hasDepth, bool hasTexture) {
    PixelPipeline p;
    p.depthTest = hasDepth && s.Value(D3DRENDERSTATE_ZENABLE) != FALSE;
    p.depthWrite = s.Value(D3DRENDERSTATE_ZWRITEENABLE) != FALSE;
    p.depthFunc = s.Value(D3DRENDERSTATE_ZFUNC);
    p.textured = hasTexture;
    p.perspective = s.Value(D3DRENDERSTATE_TEXTUREPERSPECTIVE) != FALSE;
    p.bilinear = s.Value(D3DRENDERSTATE_TEXTUREMAG) == D3DFILTER_LINEAR;
    p.address = s.Value(D3DRENDERSTATE_TEXTUREADDRESS);
    p.colorKey = s.Value(D3DRENDERSTATE_COLORKEYENABLE) != FALSE;
    p.decal = s.Value(D3DRENDERSTATE_TEXTUREMAPBLEND) == D3DTBLEND_DECAL;
    p.flat = s.Value(D3DRENDERSTATE_SHADEMODE) == D3DSHADE_FLAT;
    p.specular = s.Value(D3DRENDERSTATE_SPECULARENABLE) != FALSE;
    p.fog = s.Value(D3DRENDERSTATE_FOGENABLE) != FALSE;
    p.tableFog = s.Value(D3DRENDERSTATE_FOGTABLEMODE) != D3DFOG_NONE;
    p.fogStart = s.FloatValue(D3DRENDERSTATE_FOGTABLESTART);
    p.fogEnd = s.FloatValue(D3DRENDERSTATE_FOGTABLEEND);
    if (!Finite(p.fogStart)) p.fogStart = 0.0f;
    if (!Finite(p.fogEnd)) p.fogEnd = 0.0f;
    if (p.fogEnd > p.fogStart) {
        p.fogScale = 255.0f / (p.fogEnd - p.fogStart);
        p.fogBias = p.fogEnd * p.fogScale;
    }
    p.fogColor = s.Value(D3DRENDERSTATE_FOGCOLOR);
    p.blend = s.Value(D3DRENDERSTATE_ALPHABLENDENABLE) != FALSE;
    p.srcBlend = s.Value(D3DRENDERSTATE_SRCBLEND);
    p.destBlend = s.Value(D3DRENDERSTATE_DESTBLEND);
    p.cull = s.Value(D3DRENDERSTATE_CULLMODE);
    p.lastPixel = s.Value(D3DRENDERSTATE_LASTPIXEL) != FALSE;
    p.fill = s.Value(D3DRENDERSTATE_FILLMODE);
    return p;
}

Rasterizer::Rasterizer(const RasterTarget& target, const RasterTexture* texture,
                       const PixelPipeline& pipeline)
    : target_(target), texture_(texture), pipeline_(pipeline) {
    if (!target_.depth) pipeline_.depthTest = false;
    pipeline_.textured = texture_ != nullptr;
    kernel_ = ChooseSpanKernel(pipeline_, texture_, target_);
    live_ = LiveAttributes(pipeline_, texture_);
}

bool Rasterizer::Prepare(const D3DTLVERTEX& in, RasterVertex& out) const {
    if (!Finite(in.sx) || !Finite(in.sy) || !Finite(in.sz) || !Finite(in.rhw)) return false;
    // A vertex at or behind the eye has no place on screen.
    if (!(in.rhw > 0.0f)) return false;
    out.x = in.sx;
    out.y = in.sy;
    out.u = Finite(in.tu) ? in.tu : 0.0;
    out.v = Finite(in.tv) ? in.tv : 0.0;
    float z = in.sz > 0.0f ? (in.sz < 1.0f ? in.sz : 1.0f) : 0.0f; // depth is clamped to 0..1
    out.a[kDepth] = z * 65535.0f;
    out.a[kRhw] = in.rhw;
    out.a[kQ] = pipeline_.perspective ? in.rhw : 1.0f;
    out.a[kUQ] = 0.0f;
    out.a[kVQ] = 0.0f;
    out.a[kAlpha] = float(in.color >> 24);
    out.a[kRed] = float((in.color >> 16) & 255);
    out.a[kGreen] = float((in.color >> 8) & 255);
    out.a[kBlue] = float(in.color & 255);
    out.a[kFog] = float(in.specular >> 24);
    out.a[kSpecularRed] = float((in.specular >> 16) & 255);
    out.a[kSpecularGreen] = float((in.specular >> 8) & 255);
    out.a[kSpecularBlue] = float(in.specular & 255);
    return true;
}

void Rasterizer::FinishTextureCoordinates(RasterVertex* v, int count) const {
    if (!texture_) return;
    // Wrapping repeats the texture every 1 (mirroring every 2), so moving every coordinate of the
    // primitive by a whole period changes nothing drawn; it keeps texel positions small and positive.
    double shiftU = 0.0, shiftV = 0.0;
    double minU = v[0].u, minV = v[0].v;
    for (int i = 1; i < count; ++i) {
        minU = std::min(minU, v[i].u);
        minV = std::min(minV, v[i].v);
    }
    if (pipeline_.address == D3DTADDRESS_WRAP) {
        shiftU = std::floor(minU) - 1.0;
        shiftV = std::floor(minV) - 1.0;
    } else if (pipeline_.address == D3DTADDRESS_MIRROR) {
        shiftU = 2.0 * std::floor(minU * 0.5) - 2.0;
        shiftV = 2.0 * std::floor(minV * 0.5) - 2.0;
    }
    for (int i = 0; i < count; ++i) {
        double u = std::clamp(v[i].u - shiftU, -kMaxRepeats, kMaxRepeats);
        double t = std::clamp(v[i].v - shiftV, -kMaxRepeats, kMaxRepeats);
        v[i].a[kUQ] = ToFloat(u * texture_->width * v[i].a[kQ]);
        v[i].a[kVQ] = ToFloat(t * texture_->height * v[i].a[kQ]);
    }
}

void Rasterizer::Triangle(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1, const D3DTLVERTEX& v2) {
    RasterVertex v[3];
    if (!Prepare(v0, v[0]) || !Prepare(v1, v[1]) || !Prepare(v2, v[2])) return;
    double area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
    if (pipeline_.cull == D3DCULL_CCW && area < 0) return;
    if (pipeline_.cull == D3DCULL_CW && area > 0) return;
    if (pipeline_.fill == D3DFILL_POINT) {
        Point(v0);
        Point(v1);
        Point(v2);
        return;
    }
    if (pipeline_.fill == D3DFILL_WIREFRAME) {
        Line(v0, v1);
        Line(v1, v2);
        Line(v2, v0);
        return;
    }
    if (pipeline_.flat) {
        for (int i = 1; i < 3; ++i)
            for (int c : {kRed, kGreen, kBlue, kAlpha, kSpecularRed, kSpecularGreen, kSpecularBlue, kFog})
                v[i].a[c] = v[0].a[c];
    }
    FinishTextureCoordinates(v, 3);
    double minX = std::min({v[0].x, v[1].x, v[2].x}), maxX = std::max({v[0].x, v[1].x, v[2].x});
    double minY = std::min({v[0].y, v[1].y, v[2].y}), maxY = std::max({v[0].y, v[1].y, v[2].y});
    if (maxX <= target_.left || minX >= target_.right || maxY <= target_.top || minY >= target_.bottom)
        return;
    if (minX < target_.left - kGuardBand || maxX > target_.right + kGuardBand ||
        minY < target_.top - kGuardBand || maxY > target_.bottom + kGuardBand) {
        ClipAndFill(v);
        return;
    }
    FillTriangle(v[0], v[1], v[2]);
}

void Rasterizer::ClipAndFill(const RasterVertex* v) {
    // Clipping a triangle by four edges leaves at most seven corners.
    RasterVertex a[8], b[8];
    int count = 3;
    std::copy(v, v + 3, a);
    const double band = kGuardBand * 0.5;
    count = ClipPolygon(a, count, b, 0, target_.left - band, +1);
    count = ClipPolygon(b, count, a, 0, target_.right + band, -1);
    count = ClipPolygon(a, count, b, 1, target_.top - band, +1);
    count = ClipPolygon(b, count, a, 1, target_.bottom + band, -1);
    for (int i = 1; i + 1 < count; ++i)
        FillTriangle(a[0], a[i], a[i + 1]);
}

void Rasterizer::SetUpPlanes(const RasterVertex& p0, const RasterVertex& p1, const RasterVertex& p2,
                             double area, SpanJob& job) const {
    job.target = &target_;
    job.texture = texture_;
    job.pipeline = &pipeline_;
    job.originX = p0.x;
    job.originY = p0.y;
    job.clampRamps = false;
    job.live = live_;
    double dx1 = p1.x - p0.x, dy1 = p1.y - p0.y;
    double dx2 = p2.x - p0.x, dy2 = p2.y - p0.y;
    double inverse = 1.0 / area;
    for (int i = 0; i < kAttributeCount; ++i) {
        job.start[i] = job.dx[i] = job.dy[i] = 0.0;
        job.fixedStep[i] = 0;
        job.floatStep[i] = 0.0f;
        if (!((live_ >> i) & 1)) continue;
        double d1 = double(p1.a[i]) - p0.a[i];
        double d2 = double(p2.a[i]) - p0.a[i];
        job.start[i] = p0.a[i];
        job.dx[i] = (d1 * dy2 - d2 * dy1) * inverse;
        job.dy[i] = (d2 * dx1 - d1 * dx2) * inverse;
        if (!((kFixedAttributes >> i) & 1)) {
            job.floatStep[i] = ToFloat(job.dx[i]);
            continue;
        }
        double fixedStep = job.dx[i] * 65536.0;
        fixedStep = std::clamp(fixedStep, -2147483648.0, 2147483647.0);
        job.fixedStep[i] = uint32_t(int64_t(fixedStep + (fixedStep >= 0 ? 0.5 : -0.5)));
        // Every covered pixel centre lies inside the triangle, so its value lies between the corners'
        // (give or take the positions' rounding), and the step's rounding adds at most an eighth of a
        // unit over a span: when that stays within what a clamped ramp may reach, no row needs a clamp.
        double high = i == kDepth ? kMaxDepthRamp : kMaxColourRamp;
        double low = std::min({p0.a[i], p1.a[i], p2.a[i]}) + 0.5;
        double top = std::max({p0.a[i], p1.a[i], p2.a[i]}) + 0.5;
        double slack = (std::fabs(job.dx[i]) + std::fabs(job.dy[i])) * 1e-6 + 0.125;
        if (!(low - slack >= 0.125 && top + slack <= high + 0.125)) job.clampRamps = true;
    }
}

void Rasterizer::FillTriangle(const RasterVertex& p0, const RasterVertex& p1, const RasterVertex& p2) {
    double area = (p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y);
    if (!(std::fabs(area) >= kMinDoubleArea)) return;

    // Sort by y; the long side runs from the top corner to the bottom one.
    const RasterVertex* top = &p0;
    const RasterVertex* mid = &p1;
    const RasterVertex* bottom = &p2;
    if (mid->y < top->y) std::swap(mid, top);
    if (bottom->y < top->y) std::swap(bottom, top);
    if (bottom->y < mid->y) std::swap(bottom, mid);
    // Rows whose centre y satisfies top <= y < bottom; pixels whose centre x satisfies left <= x < right.
    int firstRow = std::max(target_.top, int(std::ceil(top->y)));
    int endRow = std::min(target_.bottom, int(std::ceil(bottom->y)));
    if (firstRow >= endRow) return;

    SpanJob job;
    SetUpPlanes(p0, p1, p2, area, job);
    Edge longSide(*top, *bottom), upper(*top, *mid), lower(*mid, *bottom);
    double side = (mid->x - top->x) * (bottom->y - top->y) - (bottom->x - top->x) * (mid->y - top->y);
    bool longOnLeft = side > 0;

    // Each attribute's value at x = 0 of the first row (the kernel walks them down).
    for (int i = 0; i < kAttributeCount; ++i)
        job.row[i] = job.start[i] - job.dx[i] * job.originX + job.dy[i] * (firstRow - job.originY);
    spans_.resize(size_t(endRow - firstRow));
    for (int y = firstRow; y < endRow; ++y) {
        const Edge& shortSide = y < mid->y ? upper : lower;
        double xLong = longSide.XAt(y);
        double xShort = shortSide.XAt(y);
        double left = longOnLeft ? xLong : xShort;
        double right = longOnLeft ? xShort : xLong;
        Span& span = spans_[size_t(y - firstRow)];
        span.x0 = std::max(target_.left, int(std::ceil(std::max(left, double(target_.left)))));
        span.x1 = std::min(target_.right, int(std::ceil(std::min(right, double(target_.right)))));
    }
    kernel_(job, firstRow, spans_.data(), endRow - firstRow);
}

void Rasterizer::Line(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1) {
    RasterVertex v[2];
    if (!Prepare(v0, v[0]) || !Prepare(v1, v[1])) return;
    if (pipeline_.flat)
        for (int c : {kRed, kGreen, kBlue, kAlpha, kSpecularRed, kSpecularGreen, kSpecularBlue, kFog})
            v[1].a[c] = v[0].a[c];
    FinishTextureCoordinates(v, 2);
    // Clip in floating point to the area whose nearest pixels lie inside the clip rectangle
    // (Liang-Barsky), remembering whether the end was cut off.
    double t0 = 0.0, t1 = 1.0;
    double dx = v[1].x - v[0].x, dy = v[1].y - v[0].y;
    const double lowX = target_.left - 0.5, highX = target_.right - 0.5 - 1e-6;
    const double lowY = target_.top - 0.5, highY = target_.bottom - 0.5 - 1e-6;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {v[0].x - lowX, highX - v[0].x, v[0].y - lowY, highY - v[0].y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return;
    RasterVertex a = t0 > 0.0 ? Between(v[0], v[1], t0) : v[0];
    RasterVertex b = t1 < 1.0 ? Between(v[0], v[1], t1) : v[1];
    DrawLine(a, b, pipeline_.lastPixel || t1 < 1.0);
}

void Rasterizer::DrawLine(const RasterVertex& a, const RasterVertex& b, bool drawEnd) {
    // Both ends lie within the clip rectangle (plus half a pixel), so these conversions are safe.
    int ax = int(std::floor(a.x + 0.5)), ay = int(std::floor(a.y + 0.5));
    int bx = int(std::floor(b.x + 0.5)), by = int(std::floor(b.y + 0.5));
    int steps = std::max(std::abs(bx - ax), std::abs(by - ay));
    int last = drawEnd ? steps : steps - 1;
    float values[kAttributeCount];
    for (int i = 0; i <= last; ++i) {
        double t = steps ? double(i) / steps : 0.0;
        int x = int(std::floor(a.x + (b.x - a.x) * t + 0.5));
        int y = int(std::floor(a.y + (b.y - a.y) * t + 0.5));
        if (x < target_.left || x >= target_.right || y < target_.top || y >= target_.bottom) continue;
        for (int k = 0; k < kAttributeCount; ++k)
            values[k] = ToFloat(a.a[k] + (double(b.a[k]) - a.a[k]) * t);
        ShadeOne(x, y, values);
    }
}

void Rasterizer::Point(const D3DTLVERTEX& in) {
    RasterVertex v;
    if (!Prepare(in, v)) return;
    FinishTextureCoordinates(&v, 1);
    double fx = std::floor(v.x + 0.5), fy = std::floor(v.y + 0.5);
    if (fx < target_.left || fx >= target_.right || fy < target_.top || fy >= target_.bottom) return;
    ShadeOne(int(fx), int(fy), v.a);
}

void Rasterizer::ShadeOne(int x, int y, const float* a) {
    PixelInputs in{DepthValue(a[kDepth]),
                   Channel(a[kRed]),
                   Channel(a[kGreen]),
                   Channel(a[kBlue]),
                   Channel(a[kAlpha]),
                   Channel(a[kSpecularRed]),
                   Channel(a[kSpecularGreen]),
                   Channel(a[kSpecularBlue]),
                   Channel(a[kFog]),
                   a[kQ],
                   a[kUQ],
                   a[kVQ],
                   a[kRhw]};
    uint16_t* depth = pipeline_.depthTest ? target_.DepthRow(y) + x : nullptr;
    ShadePixel(pipeline_, texture_, target_.is555, in, target_.Row(y) + x, depth);
}

} // namespace host_d3d
