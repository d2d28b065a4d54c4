// Camera-space polygon clipping against one plane at a time. A polygon is a ring of clip vertices (the
// last links back to the first) built in a static pool that is restarted for every polygon; the clipper
// rewrites the links in place and takes the few new vertices it needs from the same pool.
#pragma once

struct ClipVertex {
    ClipVertex* next;
    float x, y, z;
    float tu, tv;
    float distance; // offset distance to the current plane, written by the clipper
};

// A clip vertex of the lit path: two lighting values carried through clipping.
struct LitClipVertex {
    LitClipVertex* next;
    float x, y, z;
    float tu, tv;
    float distance;
    float diffuse;
    float specular;
};

// The current plane: a point is inside when a*x + b*y + c*z + d >= 0.
struct ClipPlane {
    float a, b, c, d;
};

constexpr float kClipEpsilon = 1.0f / 1024.0f; // added to every plane distance
constexpr float kClipBand = 2.0f / 1024.0f;    // a vertex is clearly inside only beyond this
constexpr int kMaxClipRing = 32;               // most vertices a ring may hold entering a pass

// Nodes for one polygon: its corners first, then every vertex the clip passes add. 64 holds a quad
// clipped by six planes many times over; a polygon needing more is refused rather than overrun.
template <typename Vertex> struct ClipVertexPool {
    static constexpr int kCapacity = 64;
    Vertex nodes[kCapacity];
    int used = 0;

    // Starts a new polygon: links the first `corners` nodes into a closed ring and returns its start,
    // or null when corners is not in 1..kCapacity.
    Vertex* restart(int corners) {
        used = 0;
        if (corners < 1 || corners > kCapacity) return nullptr;
        for (int i = 0; i < corners; ++i)
            nodes[i].next = &nodes[(i + 1) % corners];
        used = corners;
        return &nodes[0];
    }
    // A fresh node, or null when the pool is used up.
    Vertex* take() { return used < kCapacity ? &nodes[used++] : nullptr; }
};

extern ClipPlane g_ClipPlane;
extern ClipVertexPool<ClipVertex> g_ClipPool;
extern ClipVertexPool<LitClipVertex> g_LitClipPool;

// Clips the convex ring against g_ClipPlane. Returns null when nothing is left inside (or the ring is
// longer than kMaxClipRing, or the pool ran out), the ring itself when nothing changed, otherwise the
// exit vertex of the clipped ring. Vertices within the band stay as they are instead of being
// duplicated by a new vertex on the plane.
ClipVertex* clip_polygon(ClipVertex* ring);
// The same for lit rings; the two lighting values are interpolated like the texture coordinates.
LitClipVertex* clip_polygon_lit(LitClipVertex* ring);

// out = from + t * (to - from) for position and texture coordinates (and the lighting values).
void lerp_clip_vertex(ClipVertex* out, double t, const ClipVertex* from, const ClipVertex* to);
void lerp_clip_vertex(LitClipVertex* out, double t, const LitClipVertex* from, const LitClipVertex* to);
