// The single-plane polygon clipper: rejection, pass-through, new vertices on the plane, on-band
// vertices reused, the view-volume planes in turn, and a randomised property check.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "quib/scene/pipeline/polygon_clip.h"

namespace {

struct Corner {
    float x, y, z, tu, tv;
};

ClipVertex* make_ring(const std::vector<Corner>& corners) {
    ClipVertex* ring = g_ClipPool.restart(int(corners.size()));
    for (size_t i = 0; i < corners.size(); ++i) {
        ClipVertex& v = g_ClipPool.nodes[i];
        v.x = corners[i].x;
        v.y = corners[i].y;
        v.z = corners[i].z;
        v.tu = corners[i].tu;
        v.tv = corners[i].tv;
    }
    return ring;
}

std::vector<ClipVertex*> ring_nodes(ClipVertex* ring) {
    std::vector<ClipVertex*> nodes;
    if (!ring) return nodes;
    ClipVertex* v = ring;
    do {
        nodes.push_back(v);
        v = v->next;
    } while (v != ring && nodes.size() <= 64);
    return nodes;
}

float plane_value(const ClipVertex* v) {
    return g_ClipPlane.a * v->x + g_ClipPlane.b * v->y + g_ClipPlane.c * v->z + g_ClipPlane.d;
}

// Triangle in the plane z = 1 with corners at the given x values, clipped against x >= 0.
ClipVertex* clip_triangle_x(float x0, float x1, float x2) {
    g_ClipPlane = {1.0f, 0.0f, 0.0f, 0.0f};
    return clip_polygon(make_ring({{x0, 0, 1, 0, 0}, {x1, 1, 1, 0, 0}, {x2, -1, 1, 0, 0}}));
}

TEST(PolygonClip, RejectsWhenNothingIsClearlyInside) {
    // Offset distances 1/1024 .. 2/1024: all on the band.
    EXPECT_EQ(nullptr, clip_triangle_x(0.0f, 0.0005f, 0.0009765625f));
    EXPECT_EQ(nullptr, clip_triangle_x(-1.0f, -2.0f, 0.0f));
    EXPECT_EQ(nullptr, clip_triangle_x(-1.0f, -2.0f, -3.0f));
}

TEST(PolygonClip, KeepsRingWhenOneVertexLiesOnThePlane) {
    ClipVertex* ring = clip_triangle_x(0.0f, 1.0f, 2.0f);
    ASSERT_EQ(&g_ClipPool.nodes[0], ring);
    EXPECT_EQ(3u, ring_nodes(ring).size());
    EXPECT_EQ(3, g_ClipPool.used);
}

TEST(PolygonClip, OneOutsideGivesQuadTwoOutsideGiveTriangle) {
    ClipVertex* quad = clip_triangle_x(-1.0f, 1.0f, 1.0f);
    auto nodes = ring_nodes(quad);
    ASSERT_EQ(4u, nodes.size());
    EXPECT_EQ(5, g_ClipPool.used);
    int on_plane = 0;
    for (ClipVertex* v : nodes) {
        EXPECT_GE(plane_value(v), -1e-5f);
        if (std::fabs(plane_value(v)) < 1e-5f) ++on_plane;
    }
    EXPECT_EQ(2, on_plane);

    auto tri = ring_nodes(clip_triangle_x(1.0f, -1.0f, -1.0f));
    ASSERT_EQ(3u, tri.size());
    for (ClipVertex* v : tri)
        EXPECT_GE(plane_value(v), -1e-5f);
}

TEST(PolygonClip, OnBandVertexBesideOutsideVertexIsReused) {
    // Vertex 1 sits on the band, vertex 2 is outside: vertex 1 is the exit itself, one new entry.
    ClipVertex* ring = clip_triangle_x(1.0f, 0.0005f, -1.0f);
    auto nodes = ring_nodes(ring);
    ASSERT_EQ(3u, nodes.size());
    EXPECT_EQ(4, g_ClipPool.used);
    EXPECT_EQ(&g_ClipPool.nodes[1], ring);
    // An on-band exit with a distance above the epsilon followed by a clearly inside vertex (only a
    // ring that is not convex gets there): no vertex is extrapolated beyond the edge.
    g_ClipPlane = {1.0f, 0.0f, 0.0f, 0.0f};
    ClipVertex* odd =
        clip_polygon(make_ring({{-1, 0, 1, 0, 0}, {1, 1, 1, 0, 0}, {0.0008f, 2, 1, 0, 0}, {1, 3, 1, 0, 0}}));
    ASSERT_NE(nullptr, odd);
    EXPECT_EQ(4, g_ClipPool.used);
    for (ClipVertex* v : ring_nodes(odd))
        EXPECT_LE(std::fabs(v->x), 1.0f);
}

TEST(PolygonClip, TexturesAndLightingInterpolateAlongTheEdge) {
    g_ClipPlane = {1.0f, 0.0f, 0.0f, 0.0f};
    ClipVertex* ring = clip_polygon(make_ring({{-1, 0, 1, 0, 0}, {3, 0, 1, 1, 2}, {3, 1, 1, 1, 2}}));
    ClipVertex* made = nullptr;
    for (ClipVertex* v : ring_nodes(ring))
        if (v >= &g_ClipPool.nodes[3] && std::fabs(v->y) < 1e-6f) made = v;
    ASSERT_NE(nullptr, made);
    EXPECT_NEAR(0.25f, made->tu, 1e-5f);
    EXPECT_NEAR(0.5f, made->tv, 1e-5f);

    LitClipVertex* lit = g_LitClipPool.restart(3);
    const float xs[3] = {-1, 3, 3}, ys[3] = {0, 0, 1}, diffuse[3] = {0, 1, 1}, specular[3] = {1, 0, 0};
    for (int i = 0; i < 3; ++i) {
        g_LitClipPool.nodes[i].x = xs[i];
        g_LitClipPool.nodes[i].y = ys[i];
        g_LitClipPool.nodes[i].z = 1;
        g_LitClipPool.nodes[i].tu = g_LitClipPool.nodes[i].tv = 0;
        g_LitClipPool.nodes[i].diffuse = diffuse[i];
        g_LitClipPool.nodes[i].specular = specular[i];
    }
    LitClipVertex* out = clip_polygon_lit(lit);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(5, g_LitClipPool.used);
    LitClipVertex& exit_vertex = g_LitClipPool.nodes[3];
    LitClipVertex& entry_vertex = g_LitClipPool.nodes[4];
    const LitClipVertex* on_x_axis = std::fabs(exit_vertex.y) < 1e-6f ? &exit_vertex : &entry_vertex;
    EXPECT_NEAR(0.25f, on_x_axis->diffuse, 1e-5f);
    EXPECT_NEAR(0.75f, on_x_axis->specular, 1e-5f);
}

// A quad reaching past every side of the view volume, clipped by the six planes in the callers' order.
TEST(PolygonClip, ViewVolumePlanesEachCutTheExpectedVertices) {
    const float kx = 1.0f, ky = 0.75f;
    const ClipPlane planes[6] = {{0, 0, 1, -0.125f}, {1, 0, kx, 0},  {-1, 0, kx, 0},
                                 {0, 1, ky, 0},      {0, -1, ky, 0}, {0, 0, -1, 100.0f}};
    // Each plane alone against a triangle with one corner beyond it: a quad.
    const Corner beyond[6] = {{0, 0, 0.05f, 0, 0}, {-20, 0, 10, 0, 0}, {20, 0, 10, 0, 0},
                              {0, -20, 10, 0, 0},  {0, 20, 10, 0, 0},  {0, 0, 200, 0, 0}};
    for (int p = 0; p < 6; ++p) {
        g_ClipPlane = planes[p];
        ClipVertex* ring =
            clip_polygon(make_ring({beyond[p], {0.5f, 0.1f, 10, 0, 0}, {-0.5f, -0.1f, 11, 0, 0}}));
        auto nodes = ring_nodes(ring);
        EXPECT_EQ(4u, nodes.size()) << "plane " << p;
        for (ClipVertex* v : nodes)
            EXPECT_GE(plane_value(v), -1e-4f) << "plane " << p;
    }
    // A large quad in front of the camera crossing the four sides: each side cut adds one vertex.
    ClipVertex* ring =
        make_ring({{-50, -50, 10, 0, 0}, {-50, 50, 10, 0, 0}, {50, 50, 10, 0, 0}, {50, -50, 10, 0, 0}});
    const size_t expected[6] = {4, 4, 4, 4, 4, 4};
    for (int p = 0; p < 6; ++p) {
        g_ClipPlane = planes[p];
        ring = clip_polygon(ring);
        ASSERT_NE(nullptr, ring);
        EXPECT_EQ(expected[p], ring_nodes(ring).size()) << "plane " << p;
    }
    // The result is the screen rectangle at depth 10: x within ±10, y within ±7.5.
    for (ClipVertex* v : ring_nodes(ring)) {
        EXPECT_NEAR(10.0f, std::fabs(v->x), 1e-3f);
        EXPECT_NEAR(7.5f, std::fabs(v->y), 1e-3f);
    }
    // A triangle wholly behind the near plane is rejected.
    g_ClipPlane = planes[0];
    EXPECT_EQ(nullptr, clip_polygon(make_ring({{0, 0, -1, 0, 0}, {1, 0, -2, 0, 0}, {0, 1, 0.1f, 0, 0}})));
}

TEST(PolygonClip, RefusesOverlongRingsAndPoolExhaustion) {
    g_ClipPlane = {1.0f, 0.0f, 0.0f, 0.0f};
    std::vector<Corner> many;
    for (int i = 0; i < 33; ++i) {
        float angle = float(i) * 6.2831853f / 33.0f;
        many.push_back({std::cos(angle), std::sin(angle), 1, 0, 0});
    }
    EXPECT_EQ(nullptr, clip_polygon(make_ring(many)));
    // A ring that needs new nodes while the pool is full.
    ClipVertex* ring = make_ring({{-1, 0, 1, 0, 0}, {1, 1, 1, 0, 0}, {1, -1, 1, 0, 0}});
    g_ClipPool.used = ClipVertexPool<ClipVertex>::kCapacity;
    EXPECT_EQ(nullptr, clip_polygon(ring));
    EXPECT_EQ(nullptr, g_ClipPool.restart(0));
}

TEST(PolygonClip, RandomConvexPolygonsStayConvexAndInside) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int round = 0; round < 500; ++round) {
        int count = 3 + int(random() % 6);
        std::vector<Corner> corners;
        for (int i = 0; i < count; ++i) {
            float angle = float(i) * 6.2831853f / float(count);
            float x = std::cos(angle), y = std::sin(angle);
            corners.push_back({x, y, 0, x * 0.5f + 0.5f, y * 0.5f + 0.5f});
        }
        float nx = unit(random), ny = unit(random);
        float length = std::sqrt(nx * nx + ny * ny);
        if (length < 0.1f) continue;
        g_ClipPlane = {nx / length, ny / length, 0.0f, unit(random)};
        auto nodes = ring_nodes(clip_polygon(make_ring(corners)));
        if (nodes.empty()) continue;
        ASSERT_LE(nodes.size(), size_t(count + 1));
        for (size_t i = 0; i < nodes.size(); ++i) {
            const ClipVertex* v = nodes[i];
            // Vertices kept on the band may lie up to the epsilon outside.
            EXPECT_GE(plane_value(v), -kClipEpsilon - 1e-5f);
            // Texture coordinates stay the same linear function of position.
            EXPECT_NEAR(v->x * 0.5f + 0.5f, v->tu, 1e-4f);
            EXPECT_NEAR(v->y * 0.5f + 0.5f, v->tv, 1e-4f);
            // Counter-clockwise turn at every corner (the input winds counter-clockwise).
            const ClipVertex* w = nodes[(i + 1) % nodes.size()];
            const ClipVertex* u = nodes[(i + 2) % nodes.size()];
            float cross = (w->x - v->x) * (u->y - w->y) - (w->y - v->y) * (u->x - w->x);
            EXPECT_GE(cross, -1e-5f);
        }
    }
}

} // namespace
