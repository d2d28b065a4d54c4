#include "quib/scene/pipeline/polygon_clip.h"

#include <cmath>

ClipPlane g_ClipPlane = {};
ClipVertexPool<ClipVertex> g_ClipPool;
ClipVertexPool<LitClipVertex> g_LitClipPool;

namespace {

enum : int { kOnBand = 0, kOutside = 1, kInside = 2 };

// Offset distances of every vertex to g_ClipPlane; returns the OR of the vertex codes, or -1 when the
// ring is longer than a pass may take.
template <typename Vertex> int measure_ring(Vertex* ring) {
    const ClipPlane& p = g_ClipPlane;
    int codes = 0;
    int count = 0;
    Vertex* v = ring;
    do {
        if (++count > kMaxClipRing) return -1;
        v->distance = p.a * v->x + p.b * v->y + p.c * v->z + p.d + kClipEpsilon;
        if (v->distance > kClipBand)
            codes |= kInside;
        else if (v->distance < 0.0f || std::signbit(v->distance))
            codes |= kOutside;
        v = v->next;
    } while (v != ring);
    return codes;
}

// A new pool node on the plane between from (inside the epsilon) and to, linked nowhere yet.
template <typename Vertex>
Vertex* split_edge(ClipVertexPool<Vertex>& pool, const Vertex* from, const Vertex* to) {
    Vertex* made = pool.take();
    if (!made) return nullptr;
    double t = (double(from->distance) - kClipEpsilon) / (double(from->distance) - double(to->distance));
    lerp_clip_vertex(made, t, from, to);
    return made;
}

template <typename Vertex> Vertex* clip_ring(Vertex* ring, ClipVertexPool<Vertex>& pool) {
    int codes = measure_ring(ring);
    if (codes < 0 || codes == kOnBand || codes == kOutside) return nullptr;
    if (codes == kInside) return ring;

    // Exit: past the run that is not clearly inside, then along the inside run to its last vertex A.
    Vertex* a = ring->next;
    while (a->distance <= kClipBand)
        a = a->next;
    while (a->next->distance >= kClipBand)
        a = a->next;
    Vertex* b = a->next;
    Vertex* exit = b;
    if (b->distance < 0.0f || std::signbit(b->distance)) {
        exit = split_edge(pool, a, b);
        if (!exit) return nullptr;
        a->next = exit;
    }

    // Entry: the last vertex Q at or below zero before D, the first vertex above zero.
    Vertex* q = b;
    while (q->next->distance <= 0.0f)
        q = q->next;
    Vertex* d = q->next;
    // When Q itself is on the band (only B can be) it is both exit and entry; a lerp from it towards D
    // would fall outside the edge, so the ring simply continues to D.
    if (d->distance <= kClipBand || q->distance >= 0.0f) {
        exit->next = d;
    } else {
        Vertex* entry = split_edge(pool, q, d);
        if (!entry) return nullptr;
        exit->next = entry;
        entry->next = d;
    }
    return exit;
}

template <typename Vertex> void lerp_common(Vertex* out, double t, const Vertex* from, const Vertex* to) {
    out->x = float(from->x + t * (to->x - from->x));
    out->y = float(from->y + t * (to->y - from->y));
    out->z = float(from->z + t * (to->z - from->z));
    out->tu = float(from->tu + t * (to->tu - from->tu));
    out->tv = float(from->tv + t * (to->tv - from->tv));
}

} // namespace

ClipVertex* clip_polygon(ClipVertex* ring) {
    return clip_ring(ring, g_ClipPool);
}

LitClipVertex* clip_polygon_lit(LitClipVertex* ring) {
    return clip_ring(ring, g_LitClipPool);
}

void lerp_clip_vertex(ClipVertex* out, double t, const ClipVertex* from, const ClipVertex* to) {
    lerp_common(out, t, from, to);
}

void lerp_clip_vertex(LitClipVertex* out, double t, const LitClipVertex* from, const LitClipVertex* to) {
    lerp_common(out, t, from, to);
    out->diffuse = float(from->diffuse + t * (to->diffuse - from->diffuse));
    out->specular = float(from->specular + t * (to->specular - from->specular));
}
