// Mesh objects drawn through the immediate-mode pipeline into a captured frame: each object where its
// frame puts it, its visuals through their own frames, nothing of a removed visual, background elsewhere.
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"

using namespace draw_test;
using video_test::FillSolid;
using video_test::LockedPixels;

namespace {

constexpr WORD kBackground = 0x0000;

// Gives obj a box of half-size half around its origin, in one flat colour.
void GiveBox(MeshObject& obj, uint32_t colour, float half = 0.5f) {
    obj.m_geo = new DPMeshGeo(1);
    obj.m_skin = new DPMeshSkin(1);
    obj.m_ownsGeo = obj.m_ownsSkin = true;
    obj.m_skin->materials[0].colour = colour;
    DPSubMesh& sub = obj.m_geo->subMeshes[0];
    sub.MakeBox(-half, -half, -half, half, half, half);
    sub.compute_extents();
    sub.material = obj.m_skin->materials;
}

class MeshObjectRenderTest : public DrawTest {
  protected:
    // Draws the objects in one scene, starting from the background.
    static void DrawScene(std::initializer_list<MeshObject*> objects) {
        FillSolid(g_lpBackBuffer, kBackground);
        D3DRECT all{0, 0, 640, 480};
        ASSERT_EQ(D3D_OK, g_ImViewport->Clear(1, &all, D3DCLEAR_ZBUFFER));
        ASSERT_EQ(D3D_OK, g_lpD3DDevice2->BeginScene());
        for (MeshObject* obj : objects)
            EXPECT_EQ(1, obj->RenderDPMesh());
        ASSERT_EQ(D3D_OK, g_lpD3DDevice2->EndScene());
    }
    static int Red(WORD p) { return p >> 11; }
    static int Blue(WORD p) { return p & 0x1F; }
};

TEST_F(MeshObjectRenderTest, ObjectsAndVisualsLandWhereTheirFramesPutThem) {
    MeshObject red(nullptr, nullptr), blue(nullptr, nullptr);
    GiveBox(red, 0xFF0000);
    GiveBox(blue, 0x0000FF);
    // Camera at (0, 0, -10): (x, y, 0) lands at (320 + 32x, 240 - 32y).
    red.SetPosition(-3.0f, 0.0f, 0.0f);
    blue.SetPosition(3.0f, 0.0f, 0.0f);
    auto* visual = new MeshObject(nullptr, nullptr);
    GiveBox(*visual, 0x0000FF);
    visual->SetPosition(0.0f, 4.0f, 0.0f);
    red.AddVisual(visual);
    DrawScene({&red, &blue});
    {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        testsupport::WriteFrame565("mesh_objects.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                                   &pixels.At(0, 0));
        EXPECT_GT(Red(pixels.At(224, 240)), 0); // red at x -3
        EXPECT_EQ(0, Blue(pixels.At(224, 240)));
        EXPECT_GT(Blue(pixels.At(416, 240)), 0); // blue at x 3
        EXPECT_EQ(0, Red(pixels.At(416, 240)));
        EXPECT_GT(Blue(pixels.At(320, 112)), 0); // the visual, drawn by red at its own frame's place
        EXPECT_EQ(kBackground, pixels.At(320, 240));
        EXPECT_EQ(kBackground, pixels.At(10, 10));
        EXPECT_EQ(kBackground, pixels.At(630, 470));
    }
    // A removed (and freed) visual is drawn no more.
    red.DeleteVisual(visual);
    delete visual;
    DrawScene({&red});
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    EXPECT_EQ(kBackground, pixels.At(320, 112));
    EXPECT_GT(Red(pixels.At(224, 240)), 0);
}

TEST_F(MeshObjectRenderTest, ShadowDarkensWhatLiesUnderIt) {
    MeshObject wall(nullptr, nullptr), caster(nullptr, nullptr);
    GiveBox(wall, 0x808080, 4.0f);
    wall.SetPosition(0.0f, 0.0f, 10.0f);
    // The caster has no geometry of its own, only the shadow quad under its box (y -1, x and z within
    // about 1), turned to face the camera.
    caster.m_box = {{-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}};
    ASSERT_EQ(1, caster.CreateShadow(nullptr));
    caster.SetRotation(0.0f, 270.0f, 0.0f);
    DrawScene({&wall, &caster});
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    testsupport::WriteFrame565("mesh_object_shadow.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                               &pixels.At(0, 0));
    // Blended by the destination colour: grey 128 becomes 128 x 128 / 255 = 64 under the shadow.
    EXPECT_EQ(0x8410, pixels.At(250, 170)); // the wall beside the shadow
    EXPECT_EQ(0x4208, pixels.At(320, 240)) << std::hex << pixels.At(320, 240);
    EXPECT_EQ(kBackground, pixels.At(10, 10));
}

} // namespace
