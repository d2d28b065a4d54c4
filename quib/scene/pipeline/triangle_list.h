// The triangle stage shared by the unlit and lit drawing paths: screen-space culling of whole-inside
// sub-meshes, plane selection and camera-space clipping of triangles that cross the view volume, and
// the indexed list the device draws. Templated over the clip vertex (plain or lit) through an Emit
// policy that knows its pool, its clipper and how clip-made vertices are coloured:
//   using Vertex;  static Vertex* restart_ring();  static Vertex* clip(Vertex*);
//   void load_corner(Vertex&, const D3DTLVERTEX&) const;  void shade(const Vertex&, D3DTLVERTEX&) const;
#pragma once

#include <cstdint>

#include "quib/scene/pipeline/polygon_clip.h"
#include "quib/scene/pipeline/tl_vertex.h"

// What a draw has put in g_VertexBuffer and g_IndexBuffer so far.
struct TriangleBatch {
    int vertices = 0; // in use in g_VertexBuffer
    int indices = 0;  // in use in g_IndexBuffer
};

// Planes of the six clip passes; the clip-code bit of each plane selects it.
constexpr uint8_t kAllClipPlanes = kClipLeft | kClipRight | kClipNear | kClipTop | kClipBottom | kClipFar;

// Twice the screen area of a triangle, positive when it runs clockwise on the screen (y downwards);
// triangles of 1/32 pixel or less do not count as front facing.
inline bool front_facing_on_screen(const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) {
    return (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy) > 0.0625f;
}

// Planes a triangle with the OR of its corner codes meets: near brings all four sides with it.
inline uint8_t planes_for_codes(uint8_t codes) {
    if (codes & kClipNear) codes |= kClipLeft | kClipRight | kClipTop | kClipBottom;
    return codes;
}

// Appends the triangle (i0, i1, i2) to the batch; false when the index buffer is full.
inline bool append_triangle(TriangleBatch& batch, int i0, int i1, int i2) {
    if (batch.indices + 3 > kMaxDrawTriangles * 3) return false;
    g_IndexBuffer[batch.indices++] = WORD(i0);
    g_IndexBuffer[batch.indices++] = WORD(i1);
    g_IndexBuffer[batch.indices++] = WORD(i2);
    return true;
}

// Clips the triangle of buffer vertices i0, i1, i2 (camera-space positions p) against the selected
// planes and fans what is left into the batch: corners keep their indices, vertices made by clipping are
// projected and appended after the vertices in use. Dropped when it faces away from the camera, when
// nothing is left, or when a buffer would overflow (the batch is then as before). true when a triangle
// was added.
template <typename Emit>
bool clip_triangle(const int index[3], const float p[3][3], uint8_t planes, const Emit& emit,
                   TriangleBatch& batch) {
    using Vertex = typename Emit::Vertex;
    // Facing the camera (at the origin) only: p0 . (p1 x p2) <= 0.
    float cross[3] = {p[1][1] * p[2][2] - p[1][2] * p[2][1], p[1][2] * p[2][0] - p[1][0] * p[2][2],
                      p[1][0] * p[2][1] - p[1][1] * p[2][0]};
    if (!(p[0][0] * cross[0] + p[0][1] * cross[1] + p[0][2] * cross[2] <= 0.0f)) return false;

    Vertex* ring = Emit::restart_ring();
    Vertex* corners = ring;
    for (int k = 0; k < 3; ++k) {
        Vertex& v = corners[k];
        const D3DTLVERTEX& tl = g_VertexBuffer[index[k]];
        v.x = p[k][0];
        v.y = p[k][1];
        v.z = p[k][2];
        v.tu = tl.tu;
        v.tv = tl.tv;
        emit.load_corner(v, tl);
    }
    const float kx = view_slope_x(), ky = view_slope_y();
    const struct {
        uint8_t bit;
        ClipPlane plane;
    } passes[6] = {{kClipNear, {0, 0, 1, -kNearPlane}}, {kClipLeft, {1, 0, kx, 0}},
                   {kClipRight, {-1, 0, kx, 0}},        {kClipBottom, {0, 1, ky, 0}},
                   {kClipTop, {0, -1, ky, 0}},          {kClipFar, {0, 0, -1, g_FarClip}}};
    for (const auto& pass : passes) {
        if (!(planes & pass.bit)) continue;
        g_ClipPlane = pass.plane;
        ring = Emit::clip(ring);
        if (!ring) return false;
    }

    // Index of each ring vertex: a corner's own, or a new vertex made from it.
    const TriangleBatch before = batch;
    int ringIndex[kMaxClipRing];
    int count = 0;
    const Vertex* v = ring;
    do {
        if (count == kMaxClipRing) {
            batch = before;
            return false;
        }
        const std::ptrdiff_t corner = v - corners;
        if (corner >= 0 && corner < 3) {
            ringIndex[count++] = index[corner];
        } else {
            if (batch.vertices >= kMaxDrawVertices) {
                batch = before;
                return false;
            }
            D3DTLVERTEX& out = g_VertexBuffer[batch.vertices];
            project_camera_point(v->x, v->y, v->z, out);
            out.tu = v->tu;
            out.tv = v->tv;
            emit.shade(*v, out);
            ringIndex[count++] = batch.vertices++;
        }
        v = v->next;
    } while (v != ring);
    if (count < 3 || batch.indices + 3 * (count - 2) > kMaxDrawTriangles * 3) {
        batch = before;
        return false;
    }
    for (int k = 1; k + 1 < count; ++k)
        append_triangle(batch, ringIndex[0], ringIndex[k], ringIndex[k + 1]);
    return true;
}

// The front-facing triangles of a sub-mesh whose box lies wholly inside the view (vertices transformed
// without codes). Returns how many were kept.
inline int collect_unclipped(const DPSubMesh& sub, TriangleBatch& batch) {
    batch.vertices = sub.vertexCount;
    int kept = 0;
    for (int t = 0; t < sub.triangleCount; ++t) {
        const uint16_t* i = sub.triangles[t].v;
        if (i[0] >= sub.vertexCount || i[1] >= sub.vertexCount || i[2] >= sub.vertexCount) continue;
        if (!front_facing_on_screen(g_VertexBuffer[i[0]], g_VertexBuffer[i[1]], g_VertexBuffer[i[2]]))
            continue;
        if (!append_triangle(batch, i[0], i[1], i[2])) break;
        ++kept;
    }
    return kept;
}

// The triangles of a sub-mesh that crosses the view volume's edges (vertices transformed with codes):
// wholly outside ones and, unless a corner is behind the near plane, screen-space back faces are
// dropped; wholly inside ones are taken as they are; the rest are clipped. Returns how many triangles
// went into the batch.
template <typename Emit>
int collect_clipped(const DPSubMesh& sub, const PipelineMatrix& to_camera, const Emit& emit,
                    TriangleBatch& batch) {
    batch.vertices = sub.vertexCount;
    int added = 0;
    for (int t = 0; t < sub.triangleCount; ++t) {
        const uint16_t* i = sub.triangles[t].v;
        if (i[0] >= sub.vertexCount || i[1] >= sub.vertexCount || i[2] >= sub.vertexCount) continue;
        const uint8_t c0 = g_ClipCodes[i[0]], c1 = g_ClipCodes[i[1]], c2 = g_ClipCodes[i[2]];
        const uint8_t any = c0 | c1 | c2;
        if (!(any & kClipNear)) {
            if (c0 & c1 & c2) continue;
            if (!front_facing_on_screen(g_VertexBuffer[i[0]], g_VertexBuffer[i[1]], g_VertexBuffer[i[2]]))
                continue;
            if (!any) {
                if (!append_triangle(batch, i[0], i[1], i[2])) break;
                ++added;
                continue;
            }
        }
        const int index[3] = {i[0], i[1], i[2]};
        float p[3][3];
        for (int k = 0; k < 3; ++k) {
            const DPVertex& v = sub.vertices[index[k]];
            const float position[3] = {v.x, v.y, v.z};
            apply_transform(to_camera, position, p[k]);
        }
        if (clip_triangle(index, p, planes_for_codes(any), emit, batch)) ++added;
    }
    return added;
}

// Plain clip vertices: clip-made vertices take the draw's colour and no specular.
struct PlainClipEmit {
    using Vertex = ClipVertex;
    D3DCOLOR colour;

    static ClipVertex* restart_ring() { return g_ClipPool.restart(3); }
    static ClipVertex* clip(ClipVertex* ring) { return clip_polygon(ring); }
    void load_corner(ClipVertex&, const D3DTLVERTEX&) const {}
    void shade(const ClipVertex&, D3DTLVERTEX& out) const {
        out.color = colour;
        out.specular = kNoSpecular;
    }
};

// Whether the sub-mesh's vertices and triangles fit the shared buffers.
bool submesh_fits_buffers(const DPSubMesh& sub);
// Adds a drawn sub-mesh to the frame's statistics (vertices, polygons, objects).
void count_submesh_statistics(const DPSubMesh& sub);
// Draws the batch as one indexed triangle list on g_ImDevice (nothing for an empty batch).
void draw_triangle_batch(const TriangleBatch& batch);
