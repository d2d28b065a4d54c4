// Line and point primitives and their blending and texturing switches, read from the device's recording:
// which states each switch sets and when, the vertices each draw hands over, and what a failed draw
// leaves behind.

#include "host/d3d/recording.h"
#include "quib/scene/pipeline/primitive.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/viewport_fixture.h"

using namespace video_test;

namespace {

// A texture the drawing code believes bound: only compared, never used.
SurfaceTableEntry* SomeBoundTexture() {
    static char marker;
    return reinterpret_cast<SurfaceTableEntry*>(&marker);
}

class PrimitiveTest : public testsupport::ViewportTest {
  protected:
    void SetUp() override {
        ViewportTest::SetUp();
        LookFrom(0.0f, 0.0f, -10.0f);
        primitive_reset_states();
        g_CurrentTexture = nullptr;
        ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    }
    void TearDown() override {
        primitive_reset_states();
        ViewportTest::TearDown();
    }

    static void ExpectState(const HostD3DCall& call, D3DRENDERSTATETYPE state, DWORD value) {
        EXPECT_EQ(HostD3DCall::Kind::kRenderState, call.kind);
        EXPECT_EQ(state, call.state);
        EXPECT_EQ(value, call.value);
    }
    static void ExpectVertex(const D3DTLVERTEX& v, float sx, float sy, float sz, float rhw, DWORD colour) {
        EXPECT_FLOAT_EQ(sx, v.sx);
        EXPECT_FLOAT_EQ(sy, v.sy);
        EXPECT_FLOAT_EQ(sz, v.sz);
        EXPECT_FLOAT_EQ(rhw, v.rhw);
        EXPECT_EQ(colour, v.color);
        EXPECT_EQ(0u, v.specular);
        EXPECT_EQ(0.0f, v.tu);
        EXPECT_EQ(0.0f, v.tv);
    }
};

TEST_F(PrimitiveTest, AlphaSwitchSetsItsThreeStatesOnlyOnAChange) {
    EXPECT_EQ(1, d3dUseAlpha(0)); // off already: nothing to do
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(1, d3dUseAlpha(1));
    std::vector<HostD3DCall> on = Take();
    ASSERT_EQ(3u, on.size());
    ExpectState(on[0], D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    ExpectState(on[1], D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ExpectState(on[2], D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    EXPECT_EQ(1, d3dUseAlpha(1));
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(1, d3dUseAlpha(0));
    std::vector<HostD3DCall> off = Take();
    ASSERT_EQ(3u, off.size());
    ExpectState(off[0], D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    ExpectState(off[1], D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    ExpectState(off[2], D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
}

TEST_F(PrimitiveTest, ANewStartUpForgetsTheOldDevicesSwitches) {
    EXPECT_EQ(1, d3dUseAlpha(1));
    QuibFreeDirectX();
    EXPECT_EQ(nullptr, g_ImDevice);
    ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    // The new device starts unblended, so switching blending on acts again.
    EXPECT_EQ(1, d3dUseAlpha(1));
    EXPECT_EQ(3u, Take().size());
}

TEST_F(PrimitiveTest, TextureSwitchActsFirstTimeAndWheneverATextureWasBoundSince) {
    EXPECT_EQ(1, d3dUseTexture(0)); // the state starts unknown: the first switch acts
    std::vector<HostD3DCall> first = Take();
    ASSERT_EQ(1u, first.size());
    ExpectState(first[0], D3DRENDERSTATE_TEXTUREHANDLE, 0);
    EXPECT_EQ(1, d3dUseTexture(0));
    EXPECT_TRUE(Take().empty());

    // On sets the blend factors only: no handle.
    EXPECT_EQ(1, d3dUseTexture(1));
    std::vector<HostD3DCall> on = Take();
    ASSERT_EQ(2u, on.size());
    ExpectState(on[0], D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    ExpectState(on[1], D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);

    // Off unbinds whatever the drawing code bound, and tells it so.
    EXPECT_EQ(1, d3dUseTexture(0));
    ASSERT_EQ(1u, Take().size());
    g_CurrentTexture = SomeBoundTexture();
    EXPECT_EQ(1, d3dUseTexture(0));
    std::vector<HostD3DCall> again = Take();
    ASSERT_EQ(1u, again.size());
    ExpectState(again[0], D3DRENDERSTATE_TEXTUREHANDLE, 0);
    EXPECT_EQ(nullptr, g_CurrentTexture);
}

TEST_F(PrimitiveTest, WorldLineIsProjectedDrawnUntexturedAndSwitchesTexturingBackOn) {
    g_CurrentTexture = SomeBoundTexture();
    // Centre (320, 240), scale 320, camera 10 units away: x = 1 lands 32 pixels right of the centre.
    const D3DVECTOR a{1.0f, 0.0f, 0.0f}, b{0.0f, 1.0f, 10.0f};
    EXPECT_EQ(1, d3dDrawLine(a, b, 0x00FF8000));
    std::vector<HostD3DCall> calls = Take();
    ASSERT_EQ(4u, calls.size());
    ExpectState(calls[0], D3DRENDERSTATE_TEXTUREHANDLE, 0);
    ASSERT_EQ(HostD3DCall::Kind::kDraw, calls[1].kind);
    EXPECT_EQ(D3DPT_LINELIST, calls[1].primitive);
    EXPECT_FALSE(calls[1].indexed);
    ASSERT_EQ(2u, calls[1].vertices.size());
    ExpectVertex(calls[1].vertices[0], 352.0f, 240.0f, 1.0f - 0.1240234375f / 10.0f, 0.1f, 0x00FF8000);
    ExpectVertex(calls[1].vertices[1], 320.0f, 224.0f, 1.0f - 0.1240234375f / 20.0f, 0.05f, 0x00FF8000);
    ExpectState(calls[2], D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    ExpectState(calls[3], D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(1, primitive_texture_state());
    // The drawing code knows the device holds no texture now: its next texture is bound again.
    EXPECT_EQ(nullptr, g_CurrentTexture);
}

TEST_F(PrimitiveTest, DotsAndScreenLinesAreWholeVerticesAndLeaveTheTextureAlone) {
    const D3DVECTOR p{0.0f, -1.0f, 0.0f};
    EXPECT_EQ(1, d3dDrawDot(p, 0x123456));
    EXPECT_EQ(1, d3dDrawLine(10, 20, 30, 40, 0xFFFFFF));
    EXPECT_EQ(1, d3dDrawDot(5, 6, 0xABCDEF));
    std::vector<HostD3DCall> calls = Take();
    ASSERT_EQ(3u, calls.size());
    for (const HostD3DCall& call : calls)
        EXPECT_EQ(HostD3DCall::Kind::kDraw, call.kind);
    EXPECT_EQ(D3DPT_POINTLIST, calls[0].primitive);
    ASSERT_EQ(1u, calls[0].vertices.size());
    ExpectVertex(calls[0].vertices[0], 320.0f, 272.0f, 1.0f - 0.1240234375f / 10.0f, 0.1f, 0x123456);
    EXPECT_EQ(D3DPT_LINELIST, calls[1].primitive);
    ASSERT_EQ(2u, calls[1].vertices.size());
    ExpectVertex(calls[1].vertices[0], 10.0f, 20.0f, 0.1f, 0.1f, 0xFFFFFF);
    ExpectVertex(calls[1].vertices[1], 30.0f, 40.0f, 0.1f, 0.1f, 0xFFFFFF);
    EXPECT_EQ(D3DPT_POINTLIST, calls[2].primitive);
    ASSERT_EQ(1u, calls[2].vertices.size());
    ExpectVertex(calls[2].vertices[0], 5.0f, 6.0f, 1.0f, 1.0f, 0xABCDEF);
    EXPECT_EQ(kPrimitiveTextureAtStart, primitive_texture_state());
}

TEST_F(PrimitiveTest, FailedDrawReportsTheDeviceErrorAndLeavesTexturingOff) {
    // A locked render target cannot be drawn on: the device refuses the draw.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(DD_OK, g_lpBackBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    const D3DVECTOR a{0.0f, 0.0f, 0.0f}, b{1.0f, 1.0f, 1.0f};
    EXPECT_EQ(0, d3dDrawLine(a, b, 0xFFFFFF));
    std::string error = ErrorText();
    EXPECT_EQ(0u, error.find("Direct3D Error ")) << error;
    EXPECT_NE(std::string::npos, error.find("primitive.cpp")) << error;
    EXPECT_EQ(0, primitive_texture_state());
    EXPECT_EQ(0, d3dDrawDot(a, 0xFFFFFF));
    EXPECT_EQ(0, d3dDrawLine(0, 0, 5, 5, 0xFFFFFF));
    EXPECT_EQ(0, d3dDrawDot(1, 1, 0xFFFFFF));
    g_lpBackBuffer->Unlock(nullptr);
    // The texture was switched off and, the line having failed, not on again.
    std::vector<HostD3DCall> calls = Take();
    ASSERT_EQ(5u, calls.size());
    ExpectState(calls[0], D3DRENDERSTATE_TEXTUREHANDLE, 0);
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_EQ(HostD3DCall::Kind::kDraw, calls[i].kind) << i;
}

} // namespace
