// Shared set-up of the drawing-pipeline tests: a 640 x 480 display and viewport (tests/support/
// viewport_fixture.h; view slopes kx 1 and ky 0.75), a camera at (0, 0, -10) looking down +z, and the
// device's recording on.
#pragma once

#include <array>
#include <cstring>
#include <vector>

#include "host/d3d/recording.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/draw_submesh.h"
#include "quib/scene/pipeline/lighting.h"
#include "quib/scene/pipeline/render_mode.h"
#include "quib/scene/pipeline/scene_fog.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/support/viewport_fixture.h"
#include "video_test_support.h"

namespace draw_test {

inline const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class DrawTest : public testsupport::ViewportTest {
  protected:
    void SetUp() override {
        ViewportTest::SetUp();
        ASSERT_EQ(1, QuibSetFOV(0.1f));
        LookFrom(0.0f, 0.0f, -10.0f);
        g_RenderStats = {};
        g_LightsEnabled = 0;
        ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    }
    void TearDown() override {
        QuibFogEnable(0);
        QuibFogParams(0x808080, 0.0f, 1000.0f, 0.02f);
        g_LightsEnabled = 0;
        ViewportTest::TearDown();
    }

    static std::vector<HostD3DCall> Draws(const std::vector<HostD3DCall>& calls) {
        std::vector<HostD3DCall> draws;
        for (const HostD3DCall& call : calls)
            if (call.kind == HostD3DCall::Kind::kDraw) draws.push_back(call);
        return draws;
    }
    static int CountState(const std::vector<HostD3DCall>& calls, D3DRENDERSTATETYPE state) {
        int n = 0;
        for (const HostD3DCall& call : calls)
            n += call.kind == HostD3DCall::Kind::kRenderState && call.state == state;
        return n;
    }

    // A sub-mesh of the given triangles (positions only), with extents and normals computed.
    static void MakeTriangles(DPSubMesh& sub, const std::vector<std::array<float, 3>>& positions,
                              const std::vector<DPTriangle>& triangles) {
        std::vector<DPVertex> vertices;
        for (const auto& p : positions)
            vertices.push_back({p[0], p[1], p[2], 0, 0, 0, 0, 0});
        ASSERT_EQ(1,
                  sub.Init(int(vertices.size()), int(triangles.size()), vertices.data(), triangles.data()));
        sub.compute_extents();
    }

    // render_submesh as DPSubMesh::Render calls it, with transform and lighting mask.
    static int Render(DPSubMesh& sub, DPMaterial& material, const float* transform = kIdentity,
                      int lighting_mask = 0) {
        return render_submesh(&sub, &material, transform, nullptr, 0, 30000.0f, 500.0f, 1, lighting_mask);
    }
};

} // namespace draw_test
