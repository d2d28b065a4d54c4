// The software rasterizer behind the immediate-mode device: pre-transformed vertices (screen x and y,
// depth, reciprocal of eye depth, colours, texture coordinates) drawn into a 16-bit render target and
// an optional 16-bit Z-buffer, through the fixed-function pixel order of the render states.
//
// Rules: pixel centres lie at integer coordinates; a triangle covers a pixel when its centre lies
// inside, or on a top or left edge (so two triangles sharing an edge draw each pixel once). Lines are
// one pixel wide (stepping along their longer axis) with the end pixel drawn when asked; a point is
// the pixel nearest to it. Every primitive is clipped in floating point before any conversion to
// integers; a vertex with a non-finite position, depth or rhw, or with rhw <= 0 (at or behind the eye),
// drops its primitive. Depth is clamped to 0..1; non-finite texture coordinates read as 0. Nothing is
// ever written outside the clip rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "host/d3d/d3dtypes.h"

class HostRenderStates;

namespace host_d3d {

// Where drawing goes: the locked render target, the locked Z-buffer (16-bit, or none) and the clip
// rectangle, which lies inside both.
struct RasterTarget {
    uint8_t* pixels = nullptr;
    int pitch = 0; // bytes
    int width = 0;
    int height = 0;
    bool is555 = false;
    uint8_t* depth = nullptr; // NULL: no Z-buffer
    int depthPitch = 0;       // bytes
    // Pixels left <= x < right, top <= y < bottom may be drawn.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    uint16_t* Row(int y) const { return reinterpret_cast<uint16_t*>(pixels + ptrdiff_t(y) * pitch); }
    uint16_t* DepthRow(int y) const { return reinterpret_cast<uint16_t*>(depth + ptrdiff_t(y) * depthPitch); }
};

// A locked texture as sampling reads it.
struct RasterTexture {
    const uint8_t* texels = nullptr;
    int pitch = 0; // bytes
    int width = 0;
    int height = 0;
    int bytesPerTexel = 2;         // 1 (palettised) or 2
    const uint32_t* lut = nullptr; // raw texel -> 0xAARRGGBB (alpha 255 without an alpha channel)
    bool hasAlpha = false;
    bool keyed = false; // a source colour key: raw texels keyLow..keyHigh are transparent
    uint32_t keyLow = 0;
    uint32_t keyHigh = 0;
    // The texel's colour bits when they are laid out as the target's pixels are (0: they are not).
    uint32_t sameLayoutMask = 0;

    uint32_t Raw(int x, int y) const {
        const uint8_t* row = texels + ptrdiff_t(y) * pitch;
        return bytesPerTexel == 1 ? row[x] : reinterpret_cast<const uint16_t*>(row)[x];
    }
};

// Interpolated values of a vertex, in the order the pixel pipeline reads them.
enum Attribute {
    kDepth, // depth scaled to 0..65535
    kQ,     // rhw when texturing is perspective-correct, else 1
    kUQ,    // u in texels times kQ
    kVQ,    // v in texels times kQ
    kRhw,   // rhw (table fog reads eye depth 1 / rhw)
    kRed,   // diffuse colour, 0..255 each
    kGreen,
    kBlue,
    kAlpha,
    kSpecularRed, // specular colour, 0..255 each; its alpha is the vertex fog factor
    kSpecularGreen,
    kSpecularBlue,
    kFog,
    kAttributeCount
};

// The render states as drawing reads them, resolved once per draw call.
struct PixelPipeline {
    bool depthTest = false; // ZENABLE with a Z-buffer
    bool depthWrite = false;
    DWORD depthFunc = 0; // D3DCMPFUNC
    bool textured = false;
    bool perspective = false;
    bool bilinear = false;
    DWORD address = 0; // D3DTEXTUREADDRESS
    bool colorKey = false;
    bool decal = false; // D3DTBLEND_DECAL, else MODULATE
    bool flat = false;
    bool specular = false;
    bool fog = false;
    bool tableFog = false;
    float fogStart = 0.0f;
    float fogEnd = 1.0f;
    // Linear table fog keeps fogBias - eyeDepth * fogScale (of 255) of the pixel's colour when
    // fogEnd > fogStart: fogScale = 255 / (fogEnd - fogStart), fogBias = fogEnd * fogScale.
    float fogScale = 0.0f;
    float fogBias = 0.0f;
    uint32_t fogColor = 0;
    bool blend = false;
    DWORD srcBlend = 0;
    DWORD destBlend = 0;
    DWORD cull = 0; // D3DCULL
    bool lastPixel = true;
    DWORD fill = 0; // D3DFILLMODE
};

// Resolves states for a target with or without a Z-buffer and with or without a texture.
PixelPipeline ResolvePipeline(const HostRenderStates& states, bool hasDepth, bool hasTexture);

// A vertex ready for setup: screen position, texture coordinates and the attributes above.
struct RasterVertex {
    double x;
    double y;
    double u;
    double v;
    float a[kAttributeCount];
};

// One row of a triangle: pixels x0 <= x < x1, inside the clip rectangle (none when x0 >= x1).
struct Span {
    int x0;
    int x1;
};

struct SpanJob;
// Fills rows y .. y + count - 1 of a triangle, row y + i over spans[i]: one call a triangle, so that a
// kernel sets up its state once and only the ramps row by row.
using SpanKernel = void (*)(const SpanJob& job, int y, const Span* spans, int count);

class Rasterizer {
  public:
    // texture may be NULL (untextured drawing whatever TEXTUREHANDLE says).
    Rasterizer(const RasterTarget& target, const RasterTexture* texture, const PixelPipeline& pipeline);

    // Draws one triangle (culled by its winding as the pipeline says).
    void Triangle(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1, const D3DTLVERTEX& v2);
    // Draws the line from v0 to v1; the end pixel only when the pipeline's lastPixel is set.
    void Line(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1);
    void Point(const D3DTLVERTEX& v);

  private:
    // Converts a vertex; false when it cannot be drawn (non-finite values).
    bool Prepare(const D3DTLVERTEX& in, RasterVertex& out) const;
    // Sets the texel coordinates of a primitive's vertices (kUQ, kVQ) from u and v.
    void FinishTextureCoordinates(RasterVertex* v, int count) const;
    void FillTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
    void ClipAndFill(const RasterVertex* v);
    void DrawLine(const RasterVertex& a, const RasterVertex& b, bool drawEnd);
    void ShadeOne(int x, int y, const float* attributes);
    // The span job of the triangle p0, p1, p2 (twice its signed area given): its planes and ramp steps.
    void SetUpPlanes(const RasterVertex& p0, const RasterVertex& p1, const RasterVertex& p2, double area,
                     SpanJob& job) const;

    RasterTarget target_;
    const RasterTexture* texture_;
    PixelPipeline pipeline_;
    SpanKernel kernel_;       // the span loop for triangles in this state, chosen once
    uint32_t live_;           // the attributes this state reads (bit per Attribute)
    std::vector<Span> spans_; // the rows of the triangle being filled
};

} // namespace host_d3d
