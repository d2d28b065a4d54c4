// Screen-space (TL) vertices of the immediate-mode pipeline: projection of camera-space points with the
// current viewport, the clip codes of vertices and box corners, and the per-vertex transform of a
// sub-mesh, shared by the unlit and lit drawing paths.
#pragma once

#include <cstdint>

#include "host/d3d/d3d.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/draw_submesh.h"
#include "quib/scene/pipeline/pipeline_matrix.h"
#include "quib/scene/pipeline/viewport_state.h"

// Specular colour of a vertex without specular light: fog factor 255.
constexpr D3DCOLOR kNoSpecular = 0xFF000000u;

// Half extents of the view at camera depth 1 (the side planes are x = +-kx z, y = +-ky z).
inline float view_slope_x() {
    return ViewportState.scale > 0.0f ? float(ViewportState.width) * 0.5f / ViewportState.scale : 0.0f;
}
inline float view_slope_y() {
    return ViewportState.scale > 0.0f ? float(ViewportState.height) * 0.5f / ViewportState.scale : 0.0f;
}

// The camera-space point (x, y, z) on the screen: position, depth and 1/z; colours left to the caller.
inline void project_camera_point(float x, float y, float z, D3DTLVERTEX& out) {
    float rhw = 1.0f / z;
    out.sx = ViewportState.centreX + x * rhw * ViewportState.scale;
    out.sy = ViewportState.centreY - y * rhw * ViewportState.scale;
    out.sz = 1.0f - kDepthConstant * rhw;
    out.rhw = rhw;
}

// Clip code of a projected vertex at camera depth z (edges count as outside).
inline uint8_t vertex_clip_code(const D3DTLVERTEX& v, float z) {
    uint8_t code = 0;
    if (v.sx <= ViewportState.left) code |= kClipLeft;
    if (v.sx >= ViewportState.right) code |= kClipRight;
    if (z <= kNearPlane) code |= kClipNear;
    if (v.sy <= ViewportState.top) code |= kClipTop;
    if (v.sy >= ViewportState.bottom) code |= kClipBottom;
    if (z >= g_FarClip) code |= kClipFar;
    return code;
}

// Clip code of a camera-space box corner against the view volume (edges count as inside).
inline uint8_t box_clip_code(const float p[3], float kx, float ky) {
    uint8_t code = 0;
    if (p[0] < -kx * p[2]) code |= kClipLeft;
    if (p[0] > kx * p[2]) code |= kClipRight;
    if (p[1] < -ky * p[2]) code |= kClipBottom;
    if (p[1] > ky * p[2]) code |= kClipTop;
    if (p[2] < kNearPlane) code |= kClipNear;
    if (p[2] > g_FarClip) code |= kClipFar;
    return code;
}

// Transforms every vertex of sub by to_camera into g_VertexBuffer (texture coordinates from the vertex),
// with shade(vertex, out) setting the colour and specular of each; WithCodes also fills g_ClipCodes.
// The caller has checked the vertex count against the buffer.
template <bool WithCodes, typename Shade>
void transform_vertices(const DPSubMesh& sub, const PipelineMatrix& to_camera, const Shade& shade) {
    const int count = sub.vertexCount;
    for (int i = 0; i < count; ++i) {
        const DPVertex& v = sub.vertices[i];
        const float position[3] = {v.x, v.y, v.z};
        float camera[3];
        apply_transform(to_camera, position, camera);
        D3DTLVERTEX& out = g_VertexBuffer[i];
        project_camera_point(camera[0], camera[1], camera[2], out);
        out.tu = v.tu;
        out.tv = v.tv;
        shade(v, out);
        if constexpr (WithCodes) g_ClipCodes[i] = vertex_clip_code(out, camera[2]);
    }
}
