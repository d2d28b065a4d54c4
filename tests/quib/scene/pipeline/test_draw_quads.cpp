// Camera-facing billboards and multiplicative skid pieces through the device's recording: placement,
// viewport clipping with its texture coordinates, the area budget, and the skid pieces' blend states.
#include "quib/scene/pipeline/draw_billboard.h"
#include "quib/scene/pipeline/draw_skid.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/surfaces.h"

using namespace draw_test;

namespace {

class DrawQuadsTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        g_FarClip = 1000.0f;
        IDirectDrawSurface* surface = testsupport::NewTexture(g_lpDD, 16, 16);
        ASSERT_NE(nullptr, surface);
        entry_ = new SurfaceTableEntry(surface);
        surface->Release();
        puff_.texture = entry_;
        Take();
    }
    void TearDown() override {
        g_CurrentTexture = nullptr;
        delete entry_;
        DrawTest::TearDown();
    }
    // A 2 x 2 puff anchored at its centre texel (8, 8).
    float Puff(float x, float y, float z, float size, float limit) {
        const float point[3] = {x, y, z};
        return draw_billboard(point, size, size, 8.0f, 8.0f, &puff_, limit, 0x00ABCDEF, 0xFF000000);
    }

    SurfaceTableEntry* entry_ = nullptr;
    DPMaterial puff_{0xFFFFFF, nullptr};
};

TEST_F(DrawQuadsTest, BillboardIsAScreenSquareAroundItsAnchor) {
    // Depth 10: 2 units are 64 pixels, centred on (320, 240).
    EXPECT_FLOAT_EQ(64.0f * 64.0f / (640.0f * 480.0f), Puff(0, 0, 0, 2.0f, -1.0f));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(D3DPT_TRIANGLEFAN, draws[0].primitive);
    ASSERT_EQ(4u, draws[0].vertices.size());
    const float corners[4][4] = {{288, 208, 0, 0}, {352, 208, 1, 0}, {352, 272, 1, 1}, {288, 272, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        const D3DTLVERTEX& v = draws[0].vertices[size_t(i)];
        EXPECT_FLOAT_EQ(corners[i][0], v.sx) << i;
        EXPECT_FLOAT_EQ(corners[i][1], v.sy) << i;
        EXPECT_FLOAT_EQ(corners[i][2], v.tu) << i;
        EXPECT_FLOAT_EQ(corners[i][3], v.tv) << i;
        EXPECT_FLOAT_EQ(0.1f, v.rhw);
        EXPECT_FLOAT_EQ(1.0f - 0.01240234375f, v.sz);
        EXPECT_EQ(0x00ABCDEFu, v.color);
        EXPECT_EQ(0xFF000000u, v.specular);
    }
    EXPECT_EQ(entry_, g_CurrentTexture);
}

TEST_F(DrawQuadsTest, BillboardCutByTheViewportTakesTheTextureOfWhatIsLeft) {
    // Centred on the left edge: the right half shows, u from 0.5 to 1.
    EXPECT_NEAR(32.0f * 64.0f / (640.0f * 480.0f), Puff(-10.0f, 0, 0, 2.0f, -1.0f), 1e-7f);
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_FLOAT_EQ(0.0f, draws[0].vertices[0].sx);
    EXPECT_NEAR(0.5f, draws[0].vertices[0].tu, 1e-5f);
    EXPECT_NEAR(32.0f, draws[0].vertices[1].sx, 1e-3f);
    EXPECT_NEAR(1.0f, draws[0].vertices[1].tu, 1e-5f);
}

TEST_F(DrawQuadsTest, BillboardOverItsAreaLimitOrOutOfReachIsNotDrawn) {
    // 20 units at depth 10 cover the whole viewport once clipped.
    EXPECT_FLOAT_EQ(0.0f, Puff(0, 0, 0, 20.0f, 0.5f));
    EXPECT_FLOAT_EQ(1.0f, Puff(0, 0, 0, 20.0f, -1.0f));
    EXPECT_EQ(1u, Draws(Take()).size());
    EXPECT_FLOAT_EQ(0.0f, Puff(0, 0, -10.0f, 2.0f, -1.0f)); // at the camera
    EXPECT_FLOAT_EQ(0.0f, Puff(0, 0, 995.0f, 2.0f, -1.0f)); // beyond g_FarClip
    EXPECT_FLOAT_EQ(0.0f, Puff(40.0f, 0, 0, 2.0f, -1.0f));  // right of the view
    // A material without a surface draws nothing (it has no texel size).
    DPMaterial plain{0xFFFFFF, nullptr};
    const float point[3] = {0, 0, 0};
    EXPECT_FLOAT_EQ(0.0f, draw_billboard(point, 2, 2, 8, 8, &plain, -1.0f, 0, 0));
    EXPECT_FLOAT_EQ(0.0f, draw_billboard(point, 2, 2, 8, 8, nullptr, -1.0f, 0, 0));
    EXPECT_TRUE(Draws(Take()).empty());
}

TEST_F(DrawQuadsTest, SkidPieceMultipliesOntoTheFrameAndRestoresTheStates) {
    const float p0[3] = {-1, -1, 0}, p1[3] = {-1, 1, 0}, p2[3] = {1, 1, 0}, p3[3] = {1, -1, 0};
    draw_skid_piece(p0, p1, p2, p3, nullptr);
    std::vector<HostD3DCall> calls = Take();
    const std::pair<D3DRENDERSTATETYPE, DWORD> expected[] = {
        {D3DRENDERSTATE_ZENABLE, FALSE},          {D3DRENDERSTATE_ZWRITEENABLE, FALSE},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO}, {D3DRENDERSTATE_DESTBLEND, D3DBLEND_SRCCOLOR},
        {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},  {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
        {D3DRENDERSTATE_ZENABLE, TRUE},           {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},  {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO}};
    ASSERT_EQ(11u, calls.size());
    for (size_t i = 0, k = 0; i < calls.size(); ++i) {
        if (i == 5) {
            ASSERT_EQ(HostD3DCall::Kind::kDraw, calls[i].kind);
            EXPECT_EQ(D3DPT_TRIANGLEFAN, calls[i].primitive);
            continue;
        }
        EXPECT_EQ(expected[k].first, calls[i].state) << i;
        EXPECT_EQ(expected[k].second, calls[i].value) << i;
        ++k;
    }
    const std::vector<D3DTLVERTEX>& v = calls[5].vertices;
    ASSERT_EQ(4u, v.size());
    EXPECT_FLOAT_EQ(288.0f, v[0].sx);
    EXPECT_FLOAT_EQ(272.0f, v[0].sy);
    EXPECT_FLOAT_EQ(0.5f, v[0].rhw);
    EXPECT_FLOAT_EQ(144.0f, v[0].tu); // screen-space texture: half the pixel position
    EXPECT_FLOAT_EQ(136.0f, v[0].tv);
    EXPECT_EQ(0xC0C0C0u, v[0].color); // light grey without a material

    // All corners zero, or the whole quad beyond one edge: nothing at all.
    const float zero[3] = {0, 0, 0};
    draw_skid_piece(zero, zero, zero, zero, &puff_);
    const float r0[3] = {20, -1, 0}, r1[3] = {20, 1, 0}, r2[3] = {22, 1, 0}, r3[3] = {22, -1, 0};
    draw_skid_piece(r0, r1, r2, r3, &puff_);
    EXPECT_TRUE(Take().empty());
}

TEST_F(DrawQuadsTest, SkidPieceReachingBehindTheCameraIsClippedAsTwoTriangles) {
    const float p0[3] = {-1, -1, -11}, p1[3] = {-1, 1, 0}, p2[3] = {1, 1, 0}, p3[3] = {1, -1, 0};
    draw_skid_piece(p0, p1, p2, p3, &puff_);
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_TRUE(draws[0].indexed);
    EXPECT_GE(draws[0].indices.size(), 6u);
    EXPECT_GT(draws[0].vertices.size(), 4u);
    for (WORD index : draws[0].indices) {
        EXPECT_NE(0, index);
        EXPECT_GT(draws[0].vertices[index].rhw, 0.0f);
        EXPECT_EQ(0xFFFFFFu, draws[0].vertices[index].color);
    }
}

} // namespace
