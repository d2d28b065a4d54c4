// A small scene through the whole immediate-mode pipeline, checked by its pixels: two textured quads
// drawn lit (one near a light, one out of its reach), a far wall in fog, and lines and dots on top. The
// captured frame goes to the build folder's frames/pipeline_scene.bmp for review.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/quib/bitmap_test_support.h"
#include "quib/scene/pipeline/draw_submesh.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/primitive.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "tests/support/frame_capture.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr WORD kBackground = 0x0010; // dark blue
constexpr DWORD kFogColour = 0x00408040;
constexpr float kFogStart = 10.0f;
constexpr float kFogEnd = 60.0f;
constexpr int kLitMask = 1;

struct Rgb {
    int r, g, b; // 8 bits each, widened from 5-6-5
};

Rgb Decode(WORD p) {
    int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

WORD Encode(DWORD rgb) {
    return WORD(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 | ((rgb >> 3) & 31));
}

void Translation(float x, float y, float z, float out[16]) {
    std::memcpy(out, kIdentity, sizeof kIdentity);
    out[12] = x;
    out[13] = y;
    out[14] = z;
}

class PipelineSceneTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
        primitive_reset_states();
    }
    void TearDown() override {
        QuibLightsEnable(0);
        QuibInitLights(nullptr, 0, 0.25f);
        QuibFogEnable(0);
        QuibFogParams(0x808080, 0.0f, 1000.0f, 0.02f);
        primitive_reset_states();
        g_CurrentTexture = nullptr;
        g_ImDevice = nullptr;
        VideoTest::TearDown();
    }

    // A texture of 4 x 4 blocks, white and orange.
    static SurfaceTableEntry* CheckerTexture() {
        std::vector<uint32_t> texels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                texels.push_back(((x / 4 + y / 4) & 1) ? 0xFFC040u : 0xFFFFFFu);
        bmptest::WriteBytes("checker.bmp", bmptest::BuildBmp(bmptest::Picture24(16, 16, texels)));
        auto* entry = new SurfaceTableEntry("checker.bmp");
        EXPECT_EQ(1, g_pSurfaceTable->Add(entry));
        return entry;
    }

    // A w x h quad around the origin in the plane z = 0, facing -z (towards the camera), texture
    // coordinates 0..1.
    static void MakeQuad(DPSubMesh& quad, float w, float h, DPMaterial* material) {
        const float x = w / 2, y = h / 2;
        const DPVertex v[4] = {{-x, y, 0, 0, 0, 0, 0, 0},
                               {x, y, 0, 1, 0, 0, 0, 0},
                               {x, -y, 0, 1, 1, 0, 0, 0},
                               {-x, -y, 0, 0, 1, 0, 0, 0}};
        const DPTriangle t[2] = {{{0, 1, 2}}, {{0, 2, 3}}};
        ASSERT_EQ(1, quad.Init(4, 2, v, t));
        quad.compute_extents();
        quad.material = material;
    }

    // The mean of r + g + b over a rectangle.
    static double Brightness(LockedPixels& pixels, int x0, int y0, int x1, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgb c = Decode(pixels.At(x, y));
                sum += c.r + c.g + c.b;
            }
        return sum / ((x1 - x0) * (y1 - y0));
    }
    static int Distinct(LockedPixels& pixels, int x0, int y0, int x1, int y1) {
        std::vector<WORD> seen;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (std::find(seen.begin(), seen.end(), pixels.At(x, y)) == seen.end())
                    seen.push_back(pixels.At(x, y));
        return int(seen.size());
    }
    static bool Near(WORD actual, WORD expected, int tolerance) {
        Rgb a = Decode(actual), e = Decode(expected);
        return std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
               std::abs(a.b - e.b) <= tolerance;
    }
    static bool RowsHold(LockedPixels& pixels, int x, int y0, int y1, WORD expected) {
        for (int y = y0; y <= y1; ++y)
            if (Near(pixels.At(x, y), expected, 24)) return true;
        return false;
    }
};

TEST_F(PipelineSceneTest, LitTexturedFoggedQuadsWithLinesAndDots) {
    ASSERT_EQ(1, QuibFogOK());
    QuibFogParams(kFogColour, kFogStart, kFogEnd, 0.02f);
    QuibFogEnable(1);
    // One light just in front of the left quad; a second far off so the grid has an extent.
    SPECULAR_LIGHT lights[2] = {{-2.0f, 0.0f, -1.0f, 3.0f, 1.0f}, {40.0f, 0.0f, 40.0f, 1.0f, 1.0f}};
    ASSERT_EQ(1, QuibInitLights(lights, 2, 0.25f));
    QuibLightsEnable(kLitMask);

    SurfaceTableEntry* checker = CheckerTexture();
    DPMaterial textured{kDPMaterialTextured, checker};
    DPSubMesh left, right, wall;
    MakeQuad(left, 2.0f, 2.0f, &textured);
    MakeQuad(right, 2.0f, 2.0f, &textured);
    MakeQuad(wall, 20.0f, 4.0f, &textured);

    // Camera at (0, 0, -10) looking down +z: a point (x, y, z) lands at 320 + 320x/(z+10), 240 - 320y/(z+10).
    float camera[16];
    Translation(0.0f, 0.0f, -10.0f, camera);
    setup_view(kIdentity, camera, g_lpD3DDevice2);
    FillSolid(g_lpBackBuffer, kBackground);
    D3DRECT all{0, 0, 640, 480};
    ASSERT_EQ(D3D_OK, g_ImViewport->Clear(1, &all, D3DCLEAR_ZBUFFER));

    ASSERT_EQ(D3D_OK, g_lpD3DDevice2->BeginScene());
    float at[16];
    Translation(-2.0f, 0.0f, 0.0f, at); // in the light's reach: x 224..288, y 208..272
    EXPECT_EQ(0, render_submesh(&left, &textured, at, nullptr, 0, 30000.0f, 500.0f, 1, kLitMask));
    Translation(2.0f, 0.0f, 0.0f, at); // out of its reach: ambient only, x 352..416
    EXPECT_EQ(0, render_submesh(&right, &textured, at, nullptr, 0, 30000.0f, 500.0f, 1, kLitMask));
    Translation(0.0f, 6.0f, 49.5f, at); // depth 59.5, just inside the fog's end: x 266..374, y 197..218
    EXPECT_EQ(0, render_submesh(&wall, &textured, at, nullptr, 0, 30000.0f, 500.0f, 1, 0));
    // A red world line along y = -2 (row 304), a white world dot, a yellow screen line and a screen dot.
    EXPECT_EQ(1, d3dDrawLine(D3DVECTOR{-4.0f, -2.0f, 0.0f}, D3DVECTOR{4.0f, -2.0f, 0.0f}, 0xFF0000));
    EXPECT_EQ(1, d3dDrawDot(D3DVECTOR{0.0f, 2.5f, 0.0f}, 0xFFFFFF));
    EXPECT_EQ(1, d3dDrawLine(10, 460, 100, 460, 0xFFFF00));
    EXPECT_EQ(1, d3dDrawDot(600, 20, 0x00FFFF));
    ASSERT_EQ(D3D_OK, g_lpD3DDevice2->EndScene());

    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    testsupport::WriteFrame565("pipeline_scene.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                               &pixels.At(0, 0));

    EXPECT_EQ(kBackground, pixels.At(5, 5));
    EXPECT_EQ(kBackground, pixels.At(320, 400));
    // Both quads are textured (both texel colours show) and the lit one is much brighter.
    EXPECT_GE(Distinct(pixels, 232, 216, 280, 264), 2);
    EXPECT_GE(Distinct(pixels, 360, 216, 408, 264), 2);
    const double lit = Brightness(pixels, 232, 216, 280, 264), unlit = Brightness(pixels, 360, 216, 408, 264);
    EXPECT_GT(lit, 2.0 * unlit) << lit << " " << unlit;
    EXPECT_GT(unlit, 0.0);
    // The wall at depth 59.5 of a fog ending at 60 is fog-coloured, texture and all.
    EXPECT_TRUE(Near(pixels.At(320, 205), Encode(kFogColour), 12)) << std::hex << pixels.At(320, 205);
    EXPECT_EQ(kBackground, pixels.At(250, 205)); // beside the wall
    // Lines and dots, unfogged at their depths.
    EXPECT_TRUE(RowsHold(pixels, 320, 303, 305, 0xF800));
    EXPECT_TRUE(RowsHold(pixels, 320, 159, 161, 0xFFFF));
    EXPECT_TRUE(RowsHold(pixels, 50, 459, 461, Encode(0xFFFF00)));
    EXPECT_TRUE(Near(pixels.At(600, 20), Encode(0x00FFFF), 24));
}

} // namespace
