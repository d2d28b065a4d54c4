// The display-list path with fog: the horizon clears to colour 1 and lays its plane in colour 2, the fog
// fades what lies far (the far plane and a far object) into the fog colour, and what lies near keeps its
// own colour. The frame is written into the build folder for review.
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"

using namespace draw_test;
using video_test::LockedPixels;

namespace {

constexpr WORD kColour1 = 0x07E0;   // green: the clear colour
constexpr WORD kColour2 = 0xFFE0;   // yellow: the ground plane
constexpr WORD kFogColour = 0x8410; // 0x808080
constexpr WORD kRed = 0xF800;
constexpr float kFogStart = 10.0f;
constexpr float kFogEnd = 60.0f;

// A box (x0, y0, z0)-(x1, y1, z1) in one flat colour, owned by obj.
void GiveBox(MeshObject& obj, uint32_t colour, float x0, float y0, float z0, float x1, float y1, float z1) {
    obj.m_geo = new DPMeshGeo(1);
    obj.m_skin = new DPMeshSkin(1);
    obj.m_ownsGeo = obj.m_ownsSkin = true;
    obj.m_skin->materials[0].colour = colour;
    DPSubMesh& sub = obj.m_geo->subMeshes[0];
    sub.MakeBox(x0, y0, z0, x1, y1, z1);
    sub.compute_extents();
    sub.material = obj.m_skin->materials;
}

// Each channel within tolerance of the expected 5-6-5 pixel.
bool Near(WORD pixel, WORD expected, int tolerance) {
    const int shifts[3] = {11, 5, 0}, masks[3] = {0x1F, 0x3F, 0x1F};
    for (int c = 0; c < 3; ++c) {
        const int a = (pixel >> shifts[c]) & masks[c], b = (expected >> shifts[c]) & masks[c];
        if (a - b > tolerance || b - a > tolerance) return false;
    }
    return true;
}

class SceneFogTest : public DrawTest {
  protected:
    void TearDown() override {
        FreeHorizon();
        DrawTest::TearDown();
    }
};

TEST_F(SceneFogTest, FarThingsTakeTheFogColourAndNearOnesKeepTheirOwn) {
    ASSERT_EQ(1, QuibFogOK());
    QuibFogParams(0x808080, kFogStart, kFogEnd, 0.02f);
    QuibFogEnable(1);
    QuibSetHorizonColor(0, 255, 0, 255, 255, 0);
    // Eye 5 above the ground plane (y 0) looking along +z: a ground point seen r rows below the centre
    // lies at depth 5 x 320 / r, inside the fog's start for r > 160.
    g_lpCamera->SetPosition(0.0f, 5.0f, -10.0f);
    MeshObject nearBox(nullptr, nullptr), farBox(nullptr, nullptr);
    GiveBox(nearBox, 0xFF0000, -4.0f, 4.0f, -3.0f, -2.0f, 6.0f, -1.0f); // front at depth 7
    // A thin wall above the horizon whose front stands at depth 59.5 of the fog ending at 60.
    GiveBox(farBox, 0x0000FF, 3.0f, 6.0f, 49.5f, 13.0f, 16.0f, 49.8f);
    void* list = QuibCreateDisplayList(2);
    QuibAddDisplayList(list, &farBox);
    QuibAddDisplayList(list, &nearBox);

    // The horizon made in the first frame sets the clear colour from the second on.
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(1, QuibRenderDisplayList(list)) << ErrorText();
        g_lpD3DDevice2->EndScene();
    }
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    testsupport::WriteFrame565("display_list_fog.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                               &pixels.At(0, 0));
    EXPECT_EQ(kColour1, pixels.At(10, 10)) << std::hex << pixels.At(10, 10);     // sky: the clear colour
    EXPECT_EQ(kColour2, pixels.At(10, 470)) << std::hex << pixels.At(10, 470);   // ground before the fog
    EXPECT_EQ(kFogColour, pixels.At(10, 244)) << std::hex << pixels.At(10, 244); // ground far off
    EXPECT_EQ(kRed, pixels.At(200, 240)) << std::hex << pixels.At(200, 240);     // near box: its own colour
    // The far wall (x 336..390, y 181..235 on screen): fog-coloured over the clear colour.
    EXPECT_TRUE(Near(pixels.At(363, 208), kFogColour, 2)) << std::hex << pixels.At(363, 208);
    EXPECT_EQ(kColour1, pixels.At(363, 170)) << std::hex << pixels.At(363, 170);
    QuibFreeDisplayList(list);
}

} // namespace
