// Sprite-sheet quads: cells of the sheet as frames, stepped by hand and by keyed ticks, and the quad drawn
// facing the screen at the sprite's point, read back from the device's recording.

#include "host/d3d/recording.h"
#include "quib/platform/directx.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "quib/scene/world/sprite.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/viewport_fixture.h"

using namespace video_test;

namespace {

// The texture coordinates of the quad's four corners.
struct Cell {
    float u0, v0, u1, v1;
};

Cell CellOf(const Sprite3d& s) {
    const DPVertex* v = s.geometry->subMeshes[0].vertices;
    return {v[0].tu, v[0].tv, v[2].tu, v[2].tv};
}

TEST(SpriteSheetTest, CellsAreFramesRowByRow) {
    Sprite3d s(nullptr, 4, 2, 2.0f, 1.0f, 0.0f, 0.0f, 1.0f, 255);
    EXPECT_EQ(8, s.m_frameCount);
    s.SetFrame(7);
    s.NextFrame();
    EXPECT_EQ(0, s.m_currentFrame);
    s.PrevFrame();
    EXPECT_EQ(7, s.m_currentFrame);
    s.SetFrame(8); // outside the sheet
    EXPECT_EQ(0, s.m_currentFrame);
    Cell c = CellOf(s);
    EXPECT_FLOAT_EQ(0.0f, c.u0);
    EXPECT_FLOAT_EQ(0.25f, c.u1);
    EXPECT_FLOAT_EQ(0.5f, c.v1);
    s.SetFrame(5); // column 1, row 1
    c = CellOf(s);
    EXPECT_FLOAT_EQ(0.25f, c.u0);
    EXPECT_FLOAT_EQ(0.5f, c.v0);
    EXPECT_FLOAT_EQ(0.5f, c.u1);
    EXPECT_FLOAT_EQ(1.0f, c.v1);
    // The quad around its centre, top-left corner first.
    const DPVertex* v = s.geometry->subMeshes[0].vertices;
    EXPECT_FLOAT_EQ(-1.0f, v[0].x);
    EXPECT_FLOAT_EQ(-0.5f, v[0].y);
    EXPECT_FLOAT_EQ(1.0f, v[2].x);
    EXPECT_FLOAT_EQ(0.5f, v[2].y);
}

TEST(SpriteSheetTest, EmptySheetCountsAsOneCell) {
    Sprite3d s(nullptr, 0, -3, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 255);
    EXPECT_EQ(1, s.m_frameCount);
    s.NextFrame();
    EXPECT_EQ(0, s.m_currentFrame);
    EXPECT_FLOAT_EQ(1.0f, CellOf(s).u1);
}

// The frame shown after each of ticks 1..n.
std::vector<int> Ticks(Sprite3d& s, int n) {
    std::vector<int> frames;
    for (int i = 0; i < n; ++i) {
        s.TickFrame();
        frames.push_back(s.m_currentFrame);
    }
    return frames;
}

TEST(SpriteSheetTest, KeyedTicksShowTheLastStartedKeyAndHoldAtTheLast) {
    Sprite3d s(nullptr, 4, 2, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 255);
    Sprite3dFrameDef two[2] = {{0, 2, {0, 0}}, {10, 5, {0, 0}}};
    s.SetFrameDef(2, two);
    std::vector<int> frames = Ticks(s, 12);
    EXPECT_EQ(std::vector<int>({2, 2, 2, 2, 2, 2, 2, 2, 2, 5, 5, 5}), frames);
    EXPECT_EQ(10, s.m_tick);

    Sprite3dFrameDef late[1] = {{5, 6, {0, 0}}};
    s.Reset();
    s.SetFrameDef(1, late);
    EXPECT_EQ(std::vector<int>({0, 0, 0, 0, 6, 6}), Ticks(s, 6));

    // A copy shares the keys but starts its own clock.
    Sprite3d copy(&s);
    EXPECT_EQ(late, copy.m_keys);
    EXPECT_EQ(0, copy.m_tick);
    EXPECT_EQ(8, copy.m_frameCount);
}

class SpriteRenderTest : public testsupport::ViewportTest {
  protected:
    void SetUp() override {
        ViewportTest::SetUp();
        ASSERT_EQ(1, QuibSetFOV(0.1f));
        ASSERT_NE(nullptr, g_lpCamera);
        // Camera at (0, 0, -10) looking down +z.
        LookFrom(0.0f, 0.0f, -10.0f);
        g_lpCamera->m_position = D3DVECTOR{0.0f, 0.0f, -10.0f};
        HostD3DSetRecording(g_lpD3DDevice2, true);
    }
    void TearDown() override {
        HostD3DSetRecording(g_lpD3DDevice2, false);
        ViewportTest::TearDown();
    }
    static std::vector<HostD3DCall> Calls() { return HostD3DRecordedCalls(g_lpD3DDevice2); }
    static int Draws(const std::vector<HostD3DCall>& calls) {
        int n = 0;
        for (const HostD3DCall& c : calls)
            n += c.kind == HostD3DCall::Kind::kDraw;
        return n;
    }
};

TEST_F(SpriteRenderTest, OpaqueQuadFacesTheScreenShrunkByDistance) {
    Sprite3d s(nullptr, 1, 1, 2.0f, 1.0f, 0.0f, 0.0f, 100.0f, 255);
    s.m_position = D3DVECTOR{0.0f, 0.0f, 10.0f}; // 20 ahead of the camera
    ASSERT_EQ(1, s.Render());
    const std::vector<HostD3DCall> calls = Calls();
    ASSERT_EQ(1, Draws(calls));
    for (const HostD3DCall& c : calls) {
        // Opaque: blending is never switched on.
        if (c.kind == HostD3DCall::Kind::kRenderState) {
            EXPECT_NE(D3DRENDERSTATE_ALPHABLENDENABLE, c.state);
        }
        if (c.kind != HostD3DCall::Kind::kDraw) continue;
        ASSERT_EQ(4u, c.vertices.size());
        EXPECT_EQ(std::vector<WORD>({0, 1, 2, 0, 2, 3}), c.indices);
        // Centre (320, 240); half sizes 100 / 20 x (1, 0.5).
        EXPECT_NEAR(315.0f, c.vertices[0].sx, 1e-3f);
        EXPECT_NEAR(237.5f, c.vertices[0].sy, 1e-3f);
        EXPECT_NEAR(325.0f, c.vertices[2].sx, 1e-3f);
        EXPECT_NEAR(242.5f, c.vertices[2].sy, 1e-3f);
        EXPECT_NEAR(1.0f / 20.0f, c.vertices[1].rhw, 1e-6f);
        EXPECT_EQ(0xFFFFFFFFu, c.vertices[3].color);
        EXPECT_EQ(0u, c.vertices[3].specular);
    }
}

TEST_F(SpriteRenderTest, TranslucentQuadBlendsOnlyForItsDraw) {
    Sprite3d s(nullptr, 1, 1, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 128);
    s.m_position = D3DVECTOR{0.0f, 0.0f, 0.0f};
    ASSERT_EQ(1, s.Render());
    std::vector<DWORD> blend;
    bool drawnWhileOn = false;
    for (const HostD3DCall& c : Calls()) {
        if (c.kind == HostD3DCall::Kind::kRenderState && c.state == D3DRENDERSTATE_ALPHABLENDENABLE)
            blend.push_back(c.value);
        if (c.kind == HostD3DCall::Kind::kDraw) {
            drawnWhileOn = blend.size() == 1 && blend[0] == TRUE;
            EXPECT_EQ(0x80FFFFFFu, c.vertices[0].color);
        }
    }
    EXPECT_TRUE(drawnWhileOn);
    EXPECT_EQ(std::vector<DWORD>({TRUE, FALSE}), blend);
}

TEST_F(SpriteRenderTest, SpriteAtOrBehindTheCameraDrawsNothing) {
    Sprite3d s(nullptr, 1, 1, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 255);
    s.m_position = D3DVECTOR{0.0f, 0.0f, -10.0f}; // at the camera
    EXPECT_EQ(1, s.Render());
    s.m_position = D3DVECTOR{0.0f, 0.0f, -30.0f}; // behind it
    EXPECT_EQ(1, s.Render());
    EXPECT_EQ(0, Draws(Calls()));
}

} // namespace
