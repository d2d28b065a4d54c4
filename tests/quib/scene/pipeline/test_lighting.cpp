// The lit path: ambient level, the light grid and the choice of the nearest lights, and the vertex
// colours the lit transformers give, read from the device's recording with the camera looking straight
// down on a triangle at the origin whose normals point up.
#include <cmath>

#include "quib/scene/pipeline/light_grid.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/draw_test_support.h"

using namespace draw_test;

namespace {

class LightingTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        // Ten units above the origin, looking down -y; screen up is +z.
        const float down[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 10, 0, 1};
        setup_view(kIdentity, down, g_lpD3DDevice2);
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = desc.dwHeight = 8;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface* surface = nullptr;
        ASSERT_EQ(DD_OK, g_lpDD->CreateSurface(&desc, &surface, nullptr));
        entry_ = new SurfaceTableEntry(surface);
        surface->Release();
        textured_.texture = entry_;
        MakeTriangles(floor_, {{0, 0, 0}, {0, 0, 0.5f}, {0.5f, 0, 0}}, {{{0, 1, 2}}});
        g_LightsEnabled = 1;
        Take();
    }
    void TearDown() override {
        g_CurrentTexture = nullptr;
        delete entry_;
        DrawTest::TearDown();
    }
    // The vertices of the one draw a lit render of sub made.
    std::vector<D3DTLVERTEX> LitVertices(DPSubMesh& sub, DPMaterial& material) {
        EXPECT_EQ(0, Render(sub, material, kIdentity, 1));
        std::vector<HostD3DCall> draws = Draws(Take());
        EXPECT_EQ(1u, draws.size());
        return draws.empty() ? std::vector<D3DTLVERTEX>{} : draws[0].vertices;
    }
    // The colour and specular every vertex of the floor triangle gets under lights.
    std::pair<D3DCOLOR, D3DCOLOR> FloorLight(std::vector<point_light_incoming> lights,
                                             float ambient = 0.25f) {
        setup_all_lights(lights.data(), int(lights.size()), ambient);
        std::vector<D3DTLVERTEX> v = LitVertices(floor_, textured_);
        if (v.size() != 3) return {0xDEADu, 0xDEADu};
        for (const D3DTLVERTEX& tl : v) {
            EXPECT_EQ(v[0].color, tl.color);
            EXPECT_EQ(v[0].specular, tl.specular);
        }
        return {v[0].color, v[0].specular};
    }

    SurfaceTableEntry* entry_ = nullptr;
    DPMaterial textured_{0xFFFFFF, nullptr};
    DPSubMesh floor_;
};

TEST_F(LightingTest, AmbientLevelIsClampedAndGivesTheAmbientGrey) {
    setup_all_lights(nullptr, 0, 1.5f);
    EXPECT_FLOAT_EQ(0.99609375f, g_Ambient);
    EXPECT_EQ(0xFFFFFFu, g_AmbientColour);
    setup_all_lights(nullptr, 0, -0.2f);
    EXPECT_FLOAT_EQ(0.0f, g_Ambient);
    EXPECT_EQ(0u, g_AmbientColour);
    setup_all_lights(nullptr, 0); // 0.1: round(25.6) = 26
    EXPECT_EQ(0x1A1A1Au, g_AmbientColour);
    // No light anywhere: the ambient grey, no specular.
    EXPECT_EQ(std::make_pair(D3DCOLOR(0x404040), D3DCOLOR(0xFF000000)), FloorLight({}));
}

TEST_F(LightingTest, AttenuationIsHorizontalAndEndsAtTheRadius) {
    // Straight above at any height: full strength. 0.25 + 0.75 x 0.5 = 0.625 -> 160.
    EXPECT_EQ(0xA0A0A0u, FloorLight({{0, 5, 0, 2, 0.5f}}).first);
    EXPECT_EQ(0xA0A0A0u, FloorLight({{0, 500, 0, 2, 0.5f}}).first);
    // At exactly the radius: not lit at all.
    EXPECT_EQ(0x404040u, FloorLight({{2, 0, 0, 2, 1.0f}}).first);
    // Half the radius away, 45 degrees up: a = 0.75, L.N = -0.7071: 0.25 + 0.75 x 0.75 x 0.7071 -> 166.
    EXPECT_EQ(0xA6A6A6u, FloorLight({{1, 1, 0, 2, 1.0f}}).first);
}

TEST_F(LightingTest, TwoLightsGiveTheStrongerTermNotTheSum) {
    EXPECT_EQ(0xA6A6A6u, FloorLight({{0, 5, 0, 2, 0.5f}, {1, 1, 0, 2, 1.0f}}).first);
    EXPECT_EQ(0xA6A6A6u, FloorLight({{1, 1, 0, 2, 1.0f}, {0, 5, 0, 2, 0.5f}}).first);
}

TEST_F(LightingTest, SpecularByteSaturatesInsteadOfSpilling) {
    // Light and eye straight above: H.N = -1, s = strength.
    EXPECT_EQ(0xFF000000u, FloorLight({{0, 5, 0, 2, 0.5f}}).second); // 256 x 0.5^16 rounds to 0
    EXPECT_EQ(0xFFFFFFFFu, FloorLight({{0, 5, 0, 2, 1.0f}}).second); // 256 -> 255
    std::pair<D3DCOLOR, D3DCOLOR> strong = FloorLight({{0, 5, 0, 2, 3.0f}});
    EXPECT_EQ(0xFFFFFFFFu, strong.second);
    EXPECT_EQ(0xFFFFFFu, strong.first); // diffuse saturates too, alpha stays 0
}

TEST_F(LightingTest, UntexturedMaterialsKeepTheirColourAndGetSpecular) {
    setup_all_lights(std::vector<point_light_incoming>{{0, 5, 0, 2, 1.0f}}.data(), 1, 0.25f);
    DPMaterial blue{0x0000FF, nullptr};
    for (const D3DTLVERTEX& v : LitVertices(floor_, blue)) {
        EXPECT_EQ(0x0000FFu, v.color);
        EXPECT_EQ(0xFFFFFFFFu, v.specular);
    }
}

TEST_F(LightingTest, MaskSelectsTheLitPathAndItsRenderMode) {
    setup_all_lights(std::vector<point_light_incoming>{{0, 5, 0, 2, 0.5f}}.data(), 1, 0.25f);
    g_LightsEnabled = 2;
    EXPECT_EQ(0, Render(floor_, textured_, kIdentity, 1)); // no common bit: unlit
    std::vector<HostD3DCall> calls = Take();
    EXPECT_EQ(0xFFFFFFFFu, Draws(calls)[0].vertices[0].color);
    EXPECT_EQ(0, CountState(calls, D3DRENDERSTATE_SHADEMODE)); // already unlit

    EXPECT_EQ(0, Render(floor_, textured_, kIdentity, 3));
    calls = Take();
    EXPECT_EQ(0xA0A0A0u, Draws(calls)[0].vertices[0].color);
    EXPECT_EQ(1, CountState(calls, D3DRENDERSTATE_SHADEMODE));
    EXPECT_EQ(1, g_LitMode);
    DWORD shade = 0;
    g_lpD3DDevice2->GetRenderState(D3DRENDERSTATE_SHADEMODE, &shade);
    EXPECT_EQ(DWORD(D3DSHADE_GOURAUD), shade);
    EXPECT_EQ(0, Render(floor_, textured_, kIdentity, 3)); // lit already: no state change
    EXPECT_EQ(0, CountState(Take(), D3DRENDERSTATE_SHADEMODE));
    EXPECT_EQ(0, Render(floor_, textured_, kIdentity, 0)); // back to unlit
    EXPECT_EQ(1, CountState(Take(), D3DRENDERSTATE_SHADEMODE));
    EXPECT_EQ(0, g_LitMode);
}

TEST_F(LightingTest, ClippedLitTriangleCarriesItsColoursToTheNewVertices) {
    // Across the left edge (x = -10 at depth 10), lit from straight above its origin.
    DPSubMesh sub;
    MakeTriangles(sub, {{-12, 0, 0}, {-8, 0, 1}, {-8, 0, -1}}, {{{0, 1, 2}}});
    setup_all_lights(std::vector<point_light_incoming>{{0, 5, 0, 20, 0.5f}}.data(), 1, 0.25f);
    std::vector<D3DTLVERTEX> v = LitVertices(sub, textured_);
    ASSERT_EQ(5u, v.size());
    for (size_t i = 1; i < v.size(); ++i) {
        EXPECT_EQ(0xA0A0A0u, v[i].color) << i;
        EXPECT_EQ(0xFF000000u, v[i].specular) << i;
    }
    EXPECT_NEAR(0.0f, v[3].sx, 1e-3f);
}

TEST_F(LightingTest, GridListsEachLightInEveryCellItOverlapsInTableOrder) {
    // Positions 0 .. 16 in x and z: one cell per unit, cell k spans k .. k + 1.
    const point_light_incoming lights[3] = {
        {0, 0, 0, 1.2f, 1}, {16, 0, 16, 1.2f, 1}, {0.5f, 0, 0.5f, 0.2f, 1}};
    setup_all_lights(lights, 3, 0.25f);
    auto indices = [](int cx, int cz) {
        std::vector<int> out;
        for (const LightEntry* const* it = light_grid_list(cx, cz); *it; ++it)
            out.push_back(light_table_index(*it));
        return out;
    };
    EXPECT_EQ((std::vector<int>{0, 2}), indices(0, 0));
    EXPECT_EQ((std::vector<int>{0}), indices(1, 1));
    EXPECT_EQ((std::vector<int>{}), indices(2, 0));
    EXPECT_EQ((std::vector<int>{1}), indices(14, 15));
    EXPECT_EQ((std::vector<int>{1}), indices(15, 15));
    int cx = -1, cz = -1;
    light_grid_cell(100.0f, -100.0f, cx, cz); // clamped to the grid
    EXPECT_EQ(15, cx);
    EXPECT_EQ(0, cz);
    light_grid_cell(NAN, 3.2f, cx, cz);
    EXPECT_EQ(0, cx);
    EXPECT_EQ(3, cz);
}

TEST_F(LightingTest, NearestThreeLightsWinAndTiesKeepTableOrder) {
    const point_light_incoming lights[5] = {
        {1, 0, 0, 10, 1}, {0, 0, 2, 10, 1}, {0.5f, 0, 0, 10, 1}, {-1, 0, 0, 10, 1}, {0, 0, 0.2f, 0.1f, 1}};
    setup_all_lights(lights, 5, 0.25f);
    const float at[3] = {0, 0, 0};
    const LightEntry* chosen[3];
    ASSERT_EQ(3, choose_nearest_lights(at, chosen));
    EXPECT_EQ(2, light_table_index(chosen[0]));
    EXPECT_EQ(0, light_table_index(chosen[1])); // tie with light 3: the earlier first
    EXPECT_EQ(3, light_table_index(chosen[2]));
}

TEST_F(LightingTest, DegenerateLightLayoutsStillLight) {
    // One light, or lights in a line along z: a zero extent in an axis divides nothing by zero.
    EXPECT_EQ(0xA0A0A0u, FloorLight({{0, 5, 0, 2, 0.5f}}).first);
    EXPECT_EQ(0xA0A0A0u, FloorLight({{0, 5, 0, 2, 0.5f}, {0, 5, 30, 2, 0.5f}}).first);
    const float at[3] = {0, 0, 30};
    const LightEntry* chosen[3];
    EXPECT_EQ(1, choose_nearest_lights(at, chosen));
    EXPECT_EQ(1, light_table_index(chosen[0]));
    // A light exactly at the sub-mesh origin has no direction: ambient only, no NaN.
    EXPECT_EQ(0x404040u, FloorLight({{0, 0, 0, 2, 1.0f}}).first);
}

TEST_F(LightingTest, NoLightInReachGivesTheAmbientColourAndNoTermDarkensBelowIt) {
    // A light beyond its radius lights nothing: the ambient grey, also for an untextured material and for
    // the vertices its clipping makes.
    setup_all_lights(std::vector<point_light_incoming>{{50, 5, 0, 2, 1.0f}}.data(), 1, 0.25f);
    DPMaterial blue{0x0000FF, nullptr};
    DPSubMesh across; // across the left edge of the view
    MakeTriangles(across, {{-12, 0, 0}, {-8, 0, 1}, {-8, 0, -1}}, {{{0, 1, 2}}});
    for (DPSubMesh* sub : {&floor_, &across}) {
        const std::vector<D3DTLVERTEX> v = LitVertices(*sub, blue);
        EXPECT_EQ(sub == &floor_ ? 3u : 5u, v.size());
        for (const D3DTLVERTEX& tl : v) {
            EXPECT_EQ(0x404040u, tl.color);
            EXPECT_EQ(0xFF000000u, tl.specular);
        }
    }
    // A light below the floor gives a negative term: the intensity stays at the ambient level.
    EXPECT_EQ(0x404040u, FloorLight({{0, -5, 0, 2, 0.5f}}).first);
}

} // namespace
