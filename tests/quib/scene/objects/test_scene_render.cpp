// The scene layer: typed display lists, the render queue, the queued-object path drawing ".x" objects far
// to near, and the display-list path drawing a list with the horizon behind it, both into captured frames.
#include <cstdio>
#include <cstring>

#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/objects/scene_settings.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"

using namespace draw_test;
using video_test::LockedPixels;

namespace {

MeshObject* Named(const char* name) {
    auto* object = new MeshObject(nullptr, nullptr);
    std::strcpy(object->m_name, name);
    return object;
}

std::string Types(void* list) {
    std::string types;
    auto* objects = static_cast<DisplayList*>(list);
    for (int i = 0; i < objects->GetCount(); ++i)
        types += objects->GetAt(i)->m_renderType;
    return types;
}

TEST(TypedListTest, ObjectsAreTypedFromNamesAndSortedByType) {
    MeshObject* objects[] = {Named("t1p0b"), Named("t2p0T"), Named("box"), Named("t3p0a"),
                             Named("t4p0e"), Named("t5p0q"), Named("t7bg")};
    void* source = QuibCreateDisplayList(0);
    for (MeshObject* object : objects)
        QuibAddDisplayList(source, object);
    QuibSetRenderTypes(const_cast<char*>("tbaeQ?z"));
    void* typed = QuibMakeParentChildRelationship(source);
    EXPECT_EQ("te?abqz", Types(typed)); // "Q" enables 'q' (marked droppable)
    EXPECT_EQ(7, static_cast<DisplayList*>(source)->GetCount());
    EXPECT_FLOAT_EQ(10000.0f, objects[6]->m_switchDistance0);
    EXPECT_FLOAT_EQ(0.0f, objects[6]->m_switchDistance1);

    // The skid marks come once, after the decals, whether or not the list holds them.
    MeshObject* skid = Named("skid");
    g_pSkidObject = skid;
    QuibAddDisplayList(typed, skid);
    QuibSortDisplayList(typed);
    ASSERT_EQ(8, static_cast<DisplayList*>(typed)->GetCount());
    EXPECT_EQ(skid, static_cast<DisplayList*>(typed)->GetAt(2));
    // An empty list with the skid object gets exactly it.
    void* empty = QuibCreateDisplayList(0);
    QuibSortDisplayList(empty);
    EXPECT_EQ(1, static_cast<DisplayList*>(empty)->GetCount());
    g_pSkidObject = nullptr;

    // A slow frame drops 'Q' and rebuilds; passing the source as the current list keeps the source.
    int changed = -1;
    void* rebuilt = QuibAutoFramerateAdjust(source, source, 20.0f, 40.0f, 5.0f, &changed);
    EXPECT_EQ(1, changed);
    EXPECT_NE(source, rebuilt);
    EXPECT_EQ(7, static_cast<DisplayList*>(source)->GetCount());

    QuibSetRenderTypes(const_cast<char*>("*"));
    for (void* list : {source, typed, empty, rebuilt})
        QuibFreeDisplayList(list);
    for (MeshObject* object : objects)
        delete object;
    delete skid;
}

TEST(RenderQueueTest, TheThousandAndFirstObjectIsRefused) {
    MeshObject object(nullptr, nullptr);
    QuibBeginScene();
    EXPECT_EQ(0, QuibRenderObject(nullptr));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(1, QuibRenderObject(&object));
    EXPECT_EQ(0, QuibRenderObject(&object));
    EXPECT_STREQ("QuibRenderObject:: exceeded MAX_RENDEROBJECTS!\n", g_ErrorText);
    QuibBeginScene();
    EXPECT_EQ(1, QuibRenderObject(&object));
    QuibBeginScene();
}

TEST(TextureCallbackTest, AMissingTextureFailsWithoutTouchingTheName) {
    char name[] = "x";
    IDirect3DRMTexture* texture = nullptr;
    EXPECT_EQ(-1, TextureLoadCallback(name, nullptr, &texture));
    EXPECT_STREQ("x", name);
}

// Writes a ".x" file of one square of side 2 x half around the origin in the plane z = 0, facing -z, in
// the colour (r, g, b) (0..1).
void WriteSquareX(const char* file, float half, float r, float g, float b) {
    FILE* f = std::fopen(file, "w");
    ASSERT_NE(nullptr, f);
    std::fprintf(
        f,
        "xof 0302txt 0032\nMesh square {\n 4;\n %.1f;%.1f;0.0;,\n %.1f;%.1f;0.0;,\n %.1f;%.1f;0.0;,\n"
        " %.1f;%.1f;0.0;;\n 1;\n 4;0,1,2,3;;\n MeshMaterialList {\n  1;\n  1;\n  0;;\n"
        "  Material paint {\n   %.1f;%.1f;%.1f;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n"
        "  }\n }\n}\n",
        -half, -half, -half, half, half, half, half, -half, r, g, b);
    std::fclose(f);
}

class QueuedSceneTest : public DrawTest {};

TEST_F(QueuedSceneTest, LoadedObjectsAreDrawnFarToNearWhereTheyArePlaced) {
    g_lpCamera->SetPosition(0.0f, 0.0f, -10.0f);
    WriteSquareX("small_red.x", 1.0f, 1.0f, 0.0f, 0.0f);
    WriteSquareX("large_green.x", 4.0f, 0.0f, 1.0f, 0.0f);
    MeshObject nearer(nullptr, nullptr), farther(nullptr, nullptr);
    char red[] = "small_red.x", green[] = "large_green.x";
    ASSERT_EQ(1, nearer.LoadX(red)) << ErrorText();
    ASSERT_EQ(1, farther.LoadX(green)) << ErrorText();
    farther.SetPosition(2.0f, 0.0f, 10.0f); // 20 ahead: x -2..6 lands on 288..416, y on 176..304
    // Without the Z-buffer the drawing order alone decides which object covers the other.
    nearer.m_switchDistance1 = farther.m_switchDistance1 = 0.0f;
    auto frame = [](std::initializer_list<MeshObject*> queue) {
        QuibBeginScene();
        for (MeshObject* object : queue)
            ASSERT_EQ(1, QuibRenderObject(object));
        ASSERT_EQ(1, QuibRenderScene()) << ErrorText();
    };
    frame({&nearer, &farther});
    {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        testsupport::WriteFrame565("queued_objects.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                                   &pixels.At(0, 0));
        EXPECT_EQ(0xF800, pixels.At(320, 240)); // the nearer square, drawn last
        EXPECT_EQ(0xF800, pixels.At(295, 215));
        EXPECT_EQ(0x07E0, pixels.At(400, 240)); // the farther one around it
        EXPECT_EQ(0x07E0, pixels.At(300, 180));
        const WORD background = pixels.At(10, 10);
        EXPECT_NE(0xF800, background);
        EXPECT_NE(0x07E0, background);
        EXPECT_EQ(background, pixels.At(270, 240)); // left of both
        EXPECT_EQ(background, pixels.At(630, 470));
    }
    auto centre = [] {
        LockedPixels pixels(g_lpBackBuffer);
        return pixels.ok() ? pixels.At(320, 240) : WORD(0);
    };
    // An object of type '~' is drawn before every other, however near.
    nearer.m_renderType = '~';
    frame({&nearer, &farther});
    EXPECT_EQ(0x07E0, centre());
    // Equal distances keep the queue order: the later object covers the earlier.
    nearer.m_renderType = '?';
    farther.SetPosition(0.0f, 0.0f, 0.0f);
    frame({&nearer, &farther});
    EXPECT_EQ(0x07E0, centre());
    frame({&farther, &nearer});
    EXPECT_EQ(0xF800, centre());
}

class DisplayListSceneTest : public DrawTest {
  protected:
    void TearDown() override {
        FreeHorizon();
        DrawTest::TearDown();
    }
};

TEST_F(DisplayListSceneTest, ListIsDrawnOverTheHorizonColour) {
    ASSERT_NE(nullptr, g_lpCamera);
    g_lpCamera->SetPosition(0.0f, 0.0f, -10.0f);
    QuibSetHorizonColor(0, 0, 255, 0, 255, 0);
    MeshObject box(nullptr, nullptr);
    box.m_geo = new DPMeshGeo(1);
    box.m_skin = new DPMeshSkin(1);
    box.m_ownsGeo = box.m_ownsSkin = true;
    box.m_skin->materials[0].colour = 0xFF0000;
    DPSubMesh& sub = box.m_geo->subMeshes[0];
    sub.MakeBox(-1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f);
    sub.compute_extents();
    sub.material = box.m_skin->materials;
    void* list = QuibCreateDisplayList(1);
    QuibAddDisplayList(list, &box);

    // The horizon made in the first frame sets the clear colour from the second on.
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(1, QuibRenderDisplayList(list)) << ErrorText();
        g_lpD3DDevice2->EndScene();
    }
    ASSERT_NE(nullptr, g_pHorizon);
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    testsupport::WriteFrame565("display_list_scene.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                               &pixels.At(0, 0));
    EXPECT_EQ(0xF800, pixels.At(320, 240)); // the box, seen from the front
    EXPECT_EQ(0x07E0, pixels.At(10, 10));   // background objects shown, no fog: colour 2
    EXPECT_EQ(0x07E0, pixels.At(630, 470));
    QuibFreeDisplayList(list);
}

TEST_F(DisplayListSceneTest, ReleasingTheDirectXObjectsDeletesTheHorizon) {
    void* list = QuibCreateDisplayList(1);
    ASSERT_EQ(1, QuibRenderDisplayList(list)) << ErrorText();
    g_lpD3DDevice2->EndScene();
    ASSERT_NE(nullptr, g_pHorizon);
    // Its background material belongs to the viewport: a restart's release deletes it with the rest.
    ReleaseAllDirectX();
    EXPECT_EQ(nullptr, g_pHorizon);
    QuibFreeDisplayList(list);
}

} // namespace
