// The immediate-mode view: projection factor, the per-frame view set-up with its view volume and render
// states (read from the device's recording), point projection and the exported view settings.
#include <cmath>
#include <cstring>
#include <random>

#include "host/d3d/recording.h"
#include "quib/platform/directx.h"
#include "quib/scene/pipeline/ground_quad.h"
#include "quib/scene/pipeline/render_mode.h"
#include "quib/scene/pipeline/scene_fog.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/viewport_fixture.h"

using namespace video_test;

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ViewTransformTest : public testsupport::ViewportTest {
  protected:
    void SetUp() override {
        ViewportTest::SetUp();
        ASSERT_EQ(1, QuibSetFOV(0.1f));
    }
    void TearDown() override {
        QuibFogEnable(0);
        QuibFogParams(0x808080, 0.0f, 1000.0f, 0.02f);
        ViewportTest::TearDown();
    }
    // A camera at (0, 0, -10) looking down +z, under an identity parent.
    static void LookFromMinusTen(IDirect3DDevice2* device) {
        float camera[16];
        std::memcpy(camera, kIdentity, sizeof camera);
        camera[14] = -10.0f;
        setup_view(kIdentity, camera, device);
    }
};

TEST_F(ViewTransformTest, ProjectionFactorFollowsTheFieldOfView) {
    EXPECT_FLOAT_EQ(0.1f, g_ProjectionFactor);
    EXPECT_FLOAT_EQ(320.0f, ViewportState.scale);
    EXPECT_EQ(1, QuibSetFOV(0.5f)); // 0.02 is below the minimum
    EXPECT_FLOAT_EQ(0.025f, g_ProjectionFactor);
    EXPECT_FLOAT_EQ(80.0f, ViewportState.scale);
    EXPECT_EQ(1, QuibSetFOV(0.2f));
    EXPECT_FLOAT_EQ(0.05f, g_ProjectionFactor);
    // Refused fields leave the projection as it was.
    EXPECT_EQ(0, QuibSetFOV(0.0f));
    EXPECT_EQ(0, QuibSetFOV(-1.0f));
    EXPECT_EQ(0, QuibSetFOV(NAN));
    EXPECT_FLOAT_EQ(0.05f, g_ProjectionFactor);
    EXPECT_FALSE(ErrorText().empty());
}

TEST_F(ViewTransformTest, UnitCubeProjectsToKnownCornersAndWorldToScreenAgrees) {
    LookFromMinusTen(g_lpD3DDevice2);
    // Centre (320, 240), scale 320: sx = 320 + 160 / z, sy = 240 - 160 / z for the corner (+/-0.5, ...).
    const float offsets[2] = {160.0f / 9.5f, 160.0f / 10.5f};
    for (int corner = 0; corner < 8; ++corner) {
        float world[3] = {corner & 1 ? 0.5f : -0.5f, corner & 2 ? 0.5f : -0.5f, corner & 4 ? 0.5f : -0.5f};
        float screen[4];
        project_point(world, screen);
        float offset = offsets[corner & 4 ? 1 : 0];
        float depth = corner & 4 ? 10.5f : 9.5f;
        EXPECT_NEAR(320.0f + (world[0] > 0 ? offset : -offset), screen[0], 1e-3f) << corner;
        EXPECT_NEAR(240.0f - (world[1] > 0 ? offset : -offset), screen[1], 1e-3f) << corner;
        EXPECT_NEAR(1.0f / depth, screen[3], 1e-6f);
        EXPECT_NEAR(1.0f - 0.1240234375f / depth, screen[2], 1e-6f);
        int sx = -1, sy = -1;
        QuibWorldToScreen(world[0], world[1], world[2], sx, sy);
        EXPECT_EQ(int(screen[0]), sx);
        EXPECT_EQ(int(screen[1]), sy);
    }
    // A camera-space point at the right edge, at the near distance, and behind the camera.
    float right[3] = {1.0f, 0.0f, -9.0f}, near[3] = {0.0f, 0.0f, -9.875f}, behind[3] = {0.0f, 0.0f, -11.0f};
    float screen[4];
    project_point(right, screen);
    EXPECT_FLOAT_EQ(640.0f, screen[0]);
    project_point(near, screen);
    EXPECT_FLOAT_EQ(0.0078125f, screen[2]);
    project_point(behind, screen);
    EXPECT_LT(screen[3], 0.0f);
}

TEST_F(ViewTransformTest, ViewVolumePlanesPassThroughTheCamera) {
    LookFromMinusTen(nullptr);
    const ViewPlane& nearPlane = g_FrustumPlanes[kFrustumNear];
    EXPECT_FLOAT_EQ(1.0f, nearPlane.nz);
    EXPECT_FLOAT_EQ(10.0f - 0.125f, nearPlane.d);
    for (int p = kFrustumBottom; p < kFrustumPlaneCount; ++p) {
        const ViewPlane& plane = g_FrustumPlanes[p];
        EXPECT_NEAR(1.0f, std::sqrt(plane.nx * plane.nx + plane.ny * plane.ny + plane.nz * plane.nz), 1e-6f);
        EXPECT_NEAR(0.0f, plane.nz * -10.0f + plane.d, 1e-5f);
    }
    // kx = 1, ky = 0.75 at depth 1: the screen corners lie on the side planes, the centre inside all.
    auto value = [](int p, float x, float y, float z) {
        const ViewPlane& plane = g_FrustumPlanes[p];
        return plane.nx * x + plane.ny * y + plane.nz * z + plane.d;
    };
    EXPECT_NEAR(0.0f, value(kFrustumLeft, -1.0f, 0.0f, -9.0f), 1e-5f);
    EXPECT_NEAR(0.0f, value(kFrustumRight, 1.0f, 0.0f, -9.0f), 1e-5f);
    EXPECT_NEAR(0.0f, value(kFrustumBottom, 0.0f, -0.75f, -9.0f), 1e-5f);
    EXPECT_NEAR(0.0f, value(kFrustumTop, 0.0f, 0.75f, -9.0f), 1e-5f);
    for (int p = 0; p < kFrustumPlaneCount; ++p)
        EXPECT_GT(value(p, 0.0f, 0.0f, 0.0f), 0.0f) << p;
    EXPECT_LT(value(kFrustumLeft, -2.0f, 0.0f, -9.0f), 0.0f);
    EXPECT_FLOAT_EQ(-10.0f, g_CameraPosition[2]);

    // A parent turned 90 degrees about y (its x axis becomes -z) moves the camera with it.
    const float turned[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 5, 0, 0, 1};
    float camera[16];
    std::memcpy(camera, kIdentity, sizeof camera);
    camera[14] = -10.0f;
    setup_view(turned, camera, nullptr);
    EXPECT_NEAR(-5.0f, g_CameraPosition[0], 1e-5f); // (0, 0, -10) in the parent is (-10, 0, 0) + (5, 0, 0)
    float ahead[3] = {0.0f, 0.0f, 0.0f}, screen[4];
    project_point(ahead, screen);
    EXPECT_NEAR(320.0f, screen[0], 1e-3f);
    EXPECT_NEAR(1.0f / 5.0f, screen[3], 1e-6f);
}

TEST_F(ViewTransformTest, RigidInverseAndCompositionRoundTrip) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-3.1f, 3.1f), place(-50.0f, 50.0f);
    for (int round = 0; round < 50; ++round) {
        float pos[3] = {place(random), place(random), place(random)};
        PipelineMatrix m;
        make_transform_angles(m, pos, angle(random), angle(random), angle(random));
        PipelineMatrix inverse = m;
        invert_rigid(inverse);
        float first[16] = {};
        for (int row = 0; row < 3; ++row)
            for (int k = 0; k < 3; ++k)
                first[row * 4 + k] = m.r[row][k];
        for (int k = 0; k < 3; ++k)
            first[12 + k] = m.t[k];
        first[15] = 1.0f;
        PipelineMatrix product;
        multiply_transform(product, inverse, first);
        for (int row = 0; row < 3; ++row)
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(row == k ? 1.0f : 0.0f, product.r[row][k], 1e-5f);
        for (float t : product.t)
            EXPECT_NEAR(0.0f, t, 1e-3f);
    }
    // first = translate by (1, 0, 0), second = 90 degrees about z (x -> y): the point ends at (0, 1, 0).
    PipelineMatrix second = {{0, 0, 0}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}};
    float first[16];
    std::memcpy(first, kIdentity, sizeof first);
    first[12] = 1.0f;
    PipelineMatrix both;
    multiply_transform(both, second, first);
    const float origin[3] = {0, 0, 0};
    float out[3];
    apply_transform(both, origin, out);
    EXPECT_NEAR(0.0f, out[0], 1e-6f);
    EXPECT_NEAR(1.0f, out[1], 1e-6f);
    float v[3] = {1.0f, 2.0f, 3.0f};
    const float quarter[2] = {0.0f, 1.0f};
    rotate_pair(v, 2, quarter); // pair (0, 1): (1, 2) -> (-2, 1)
    EXPECT_FLOAT_EQ(-2.0f, v[0]);
    EXPECT_FLOAT_EQ(1.0f, v[1]);
    EXPECT_FLOAT_EQ(3.0f, v[2]);
}

DWORD Bits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> RecordedStates(IDirect3DDevice2* device) {
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
    for (const HostD3DCall& call : HostD3DRecordedCalls(device))
        if (call.kind == HostD3DCall::Kind::kRenderState) states.emplace_back(call.state, call.value);
    return states;
}

TEST_F(ViewTransformTest, FrameRenderStatesWithAndWithoutFog) {
    using State = std::pair<D3DRENDERSTATETYPE, DWORD>;
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    LookFromMinusTen(g_lpD3DDevice2);
    const std::vector<State> withoutFog = {{D3DRENDERSTATE_TEXTUREHANDLE, 0},
                                           {D3DRENDERSTATE_SPECULARENABLE, FALSE},
                                           {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL},
                                           {D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT},
                                           {D3DRENDERSTATE_COLORKEYENABLE, TRUE},
                                           {D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE},
                                           {D3DRENDERSTATE_FOGENABLE, FALSE},
                                           {D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE},
                                           {D3DRENDERSTATE_ZENABLE, TRUE},
                                           {D3DRENDERSTATE_ZWRITEENABLE, TRUE}};
    EXPECT_EQ(withoutFog, RecordedStates(g_lpD3DDevice2));
    EXPECT_EQ(g_lpD3DDevice2, g_ImDevice);
    EXPECT_EQ(0, g_LitMode);

    ASSERT_EQ(1, QuibFogOK());
    QuibFogEnable(1);
    QuibFogParams(0x123456, 10.0f, 500.0f, 0.5f);
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    LookFromMinusTen(g_lpD3DDevice2);
    const std::vector<State> withFog = {{D3DRENDERSTATE_TEXTUREHANDLE, 0},
                                        {D3DRENDERSTATE_SPECULARENABLE, FALSE},
                                        {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL},
                                        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT},
                                        {D3DRENDERSTATE_COLORKEYENABLE, TRUE},
                                        {D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR},
                                        {D3DRENDERSTATE_FOGENABLE, TRUE},
                                        {D3DRENDERSTATE_FOGCOLOR, 0x123456},
                                        {D3DRENDERSTATE_FOGTABLESTART, Bits(10.0f)},
                                        {D3DRENDERSTATE_FOGTABLEEND, Bits(500.0f)},
                                        {D3DRENDERSTATE_FOGTABLEDENSITY, Bits(0.5f)},
                                        {D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE},
                                        {D3DRENDERSTATE_ZENABLE, TRUE},
                                        {D3DRENDERSTATE_ZWRITEENABLE, TRUE}};
    EXPECT_EQ(withFog, RecordedStates(g_lpD3DDevice2));
    HostD3DSetRecording(g_lpD3DDevice2, false);
}

TEST_F(ViewTransformTest, GroundQuadDrawsOneFanBehindEverythingOrNothing) {
    float camera[16];
    std::memcpy(camera, kIdentity, sizeof camera);
    camera[13] = 5.0f; // above the ground, looking down +z: the ground fills the lower part of the view
    camera[14] = -10.0f;
    setup_view(kIdentity, camera, g_lpD3DDevice2);
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    draw_background_quad(1000.0f, 0x00336699);
    auto calls = HostD3DRecordedCalls(g_lpD3DDevice2);
    ASSERT_EQ(6u, calls.size());
    const HostD3DCall& draw = calls[3];
    ASSERT_EQ(HostD3DCall::Kind::kDraw, draw.kind);
    EXPECT_EQ(D3DPT_TRIANGLEFAN, draw.primitive);
    EXPECT_GE(draw.vertices.size(), 3u);
    for (const D3DTLVERTEX& v : draw.vertices) {
        EXPECT_FLOAT_EQ(0.999f, v.sz);
        EXPECT_EQ(0x00336699u, v.color);
        EXPECT_GE(v.sy, 240.0f - 0.01f); // below the horizon
        EXPECT_LE(v.sy, 480.0f + 0.01f);
        EXPECT_GE(v.sx, -0.01f);
        EXPECT_LE(v.sx, 640.0f + 0.01f);
    }
    EXPECT_EQ(D3DRENDERSTATE_ZENABLE, calls[1].state);
    EXPECT_EQ(DWORD(FALSE), calls[1].value);
    EXPECT_EQ(D3DRENDERSTATE_ZWRITEENABLE, calls[5].state);
    EXPECT_EQ(DWORD(TRUE), calls[5].value);

    // A small square wholly behind the camera: nothing drawn, no state touched.
    camera[14] = 100.0f;
    setup_view(kIdentity, camera, g_lpD3DDevice2);
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    draw_background_quad(10.0f, 0x00336699);
    EXPECT_TRUE(HostD3DRecordedCalls(g_lpD3DDevice2).empty());
    HostD3DSetRecording(g_lpD3DDevice2, false);
}

TEST(SceneFog, StaysOffWithoutADevice) {
    QuibFogEnable(1);
    EXPECT_EQ(0, g_FogEnabled);
    EXPECT_EQ(0, QuibFogOK());
}

} // namespace
