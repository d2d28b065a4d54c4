// The geometry half of mesh objects: box corners and screen extents through the viewport, geometry edits
// and the lowest point over animation frames, frame animation that wraps both ways without freeing what
// it borrows, the shadow quad and picking the nearer of two objects.
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

DPMeshGeo* BoxGeometry(float x0, float y0, float z0, float x1, float y1, float z1) {
    auto* geo = new DPMeshGeo(1);
    geo->subMeshes[0].MakeBox(x0, y0, z0, x1, y1, z1);
    geo->subMeshes[0].ComputeTriangleInfo();
    return geo;
}

// Gives obj the box b with its corners (AddBox alone would grow the empty box at the origin).
void SetBox(MeshObject& obj, MeshBox b) {
    obj.m_box = b;
    obj.AddBox(b);
}

class MeshObjectGeometryTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
    // Three animation frames whose boxes stand at heights 0, -2 and 5.
    static void AddThreeFrames(MeshObject& obj) {
        char name[] = "missing.3ds";
        const float bottoms[3] = {0.0f, -2.0f, 5.0f};
        for (float y : bottoms) {
            ASSERT_EQ(1, obj.Add3DSFrame(name));
            DPMesh* frame = obj.m_frames3DS->GetAt(obj.m_frames3DS->GetCount() - 1);
            delete frame->geometry;
            delete frame->skin;
            frame->geometry = BoxGeometry(0, y, 0, 1, y + 1, 1);
            frame->skin = new DPMeshSkin(1);
        }
    }
};

TEST_F(MeshObjectGeometryTest, CornersAreNumberedByAxisBits) {
    MeshObject obj(nullptr, nullptr);
    SetBox(obj, {{-1, -2, -3}, {1, 2, 3}});
    EXPECT_EQ(-1.0f, obj.m_corners[0].x);
    EXPECT_EQ(3.0f, obj.m_corners[1].z);  // max z
    EXPECT_EQ(2.0f, obj.m_corners[2].y);  // max y
    EXPECT_EQ(1.0f, obj.m_corners[4].x);  // max x
    EXPECT_EQ(-3.0f, obj.m_corners[6].z); // max x, max y, min z
    MeshBox grow = {{0, 0, 0}, {5, 0, 0}};
    obj.AddBox(grow);
    EXPECT_EQ(5.0f, obj.m_box.max.x);
    EXPECT_EQ(-1.0f, obj.m_box.min.x);
    EXPECT_EQ(5.0f, obj.m_corners[7].x);
}

TEST_F(MeshObjectGeometryTest, ScreenExtentsOfBoxesAroundAndBesideTheView) {
    g_lpCamera->SetPosition(0, 0, 0);
    MeshObject around(nullptr, nullptr);
    SetBox(around, {{-100, -100, 1}, {100, 100, 2}});
    ASSERT_EQ(1, around.MakeScreenExtents());
    EXPECT_LT(around.m_screenRect[0], 0);
    EXPECT_GT(around.m_screenRect[2], 640);
    EXPECT_LT(around.m_screenRect[1], 0);
    EXPECT_GT(around.m_screenRect[3], 480);
    EXPECT_EQ(around.m_screenRect[2] - around.m_screenRect[0], around.m_screenSize[0]);
    // Corners just in front of the camera land far off every edge, and the sizes stay whole.
    MeshObject grazing(nullptr, nullptr);
    SetBox(grazing, {{-1, -1, 1e-8f}, {1, 1, 2}});
    ASSERT_EQ(1, grazing.MakeScreenExtents());
    EXPECT_LT(grazing.m_screenRect[0], -640);
    EXPECT_GT(grazing.m_screenRect[2], 1280);
    EXPECT_GT(grazing.m_screenSize[0], 0);
    EXPECT_GT(grazing.m_screenSize[1], 0);

    MeshObject beside(nullptr, nullptr);
    SetBox(beside, {{1000, -1, 5}, {1001, 1, 6}});
    EXPECT_EQ(0, beside.MakeScreenExtents());
    EXPECT_EQ(-1, beside.m_screenSize[0]);

    MeshObject ahead(nullptr, nullptr);
    SetBox(ahead, {{-1, -1, 9}, {1, 1, 11}});
    ASSERT_EQ(1, ahead.MakeScreenExtents());
    EXPECT_GT(ahead.m_screenRect[0], 0);
    EXPECT_LT(ahead.m_screenRect[2], 640);
    EXPECT_LT(ahead.m_screenRect[0], 320);
    EXPECT_GT(ahead.m_screenRect[2], 320);
}

TEST_F(MeshObjectGeometryTest, EditsAndLowestPointOfTheObjectsGeometry) {
    MeshObject obj(nullptr, nullptr);
    EXPECT_EQ(0.0f, obj.GetMinimumY());
    EXPECT_EQ(0, obj.Scale(2, 2, 2));
    EXPECT_EQ(0, obj.TranslateVertices(0, 1, 0));
    obj.m_geo = BoxGeometry(0, 1, 0, 1, 2, 1);
    obj.m_ownsGeo = true;
    EXPECT_EQ(1.0f, obj.GetMinimumY());
    ASSERT_EQ(1, obj.Scale(1, 3, 1));
    EXPECT_EQ(3.0f, obj.GetMinimumY());
    ASSERT_EQ(1, obj.TranslateVertices(0, -4, 0));
    EXPECT_EQ(-1.0f, obj.GetMinimumY());
}

TEST_F(MeshObjectGeometryTest, FramesWrapBothWaysAndEditsReachEveryFrame) {
    MeshObject obj(nullptr, nullptr);
    EXPECT_EQ(0, obj.Set3DSFrame(0));
    EXPECT_EQ(0, obj.Next3DSFrame());
    EXPECT_EQ(0, obj.Prev3DSFrame());
    obj.m_geo = BoxGeometry(0, 0, 0, 1, 1, 1); // the loaded model, replaced by the first frame shown
    obj.m_ownsGeo = true;
    AddThreeFrames(obj);
    EXPECT_EQ(0, obj.Set3DSFrame(3));
    EXPECT_EQ(0, obj.Set3DSFrame(-1));
    ASSERT_EQ(1, obj.Set3DSFrame(2));
    EXPECT_EQ(obj.m_frames3DS->GetAt(2)->geometry, obj.m_geo);
    EXPECT_EQ(obj.m_frames3DS->GetAt(2)->skin, obj.m_skin);
    ASSERT_EQ(1, obj.Next3DSFrame());
    EXPECT_EQ(0, obj.m_frame3DS);
    ASSERT_EQ(1, obj.Prev3DSFrame());
    EXPECT_EQ(2, obj.m_frame3DS);
    ASSERT_EQ(1, obj.Prev3DSFrame());
    EXPECT_EQ(1, obj.m_frame3DS);
    EXPECT_EQ(obj.m_frames3DS->GetAt(1)->geometry, obj.m_geo);
    // The lowest point over all frames, and edits of all frames.
    EXPECT_EQ(-2.0f, obj.GetMinimumY());
    ASSERT_EQ(1, obj.TranslateVertices(0, 10, 0));
    EXPECT_EQ(8.0f, obj.GetMinimumY());
    EXPECT_EQ(10.0f, obj.m_frames3DS->GetAt(0)->geometry->subMeshes[0].GetMinimumY());
}

TEST_F(MeshObjectGeometryTest, AnInstanceShowingAFrameFreesNothingOfItsMaster) {
    auto* master = new MeshObject(nullptr, nullptr);
    AddThreeFrames(*master);
    ASSERT_EQ(1, master->Set3DSFrame(1));
    auto* instance = new MeshObject(master);
    EXPECT_EQ(master->m_frames3DS, instance->m_frames3DS);
    EXPECT_NE(master->m_skin, instance->m_skin); // a copy of the frame's skin
    ASSERT_EQ(1, instance->Set3DSFrame(1));
    EXPECT_EQ(master->m_skin, instance->m_skin); // now borrowed, as the master's is
    delete instance;
    EXPECT_EQ(master->m_frames3DS->GetAt(1)->skin, master->m_skin);
    EXPECT_EQ(1, master->Next3DSFrame());
    delete master;
}

TEST_F(MeshObjectGeometryTest, ShadowQuadSitsUnderTheBoxAndMoves) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    ASSERT_EQ(DD_OK, g_lpDD->CreateSurface(&desc, &surface, nullptr));
    const int entries = g_pSurfaceTable->m_entries.GetCount();

    auto* master = new MeshObject(nullptr, nullptr);
    SetBox(*master, {{-1, 2, -3}, {1, 4, 3}});
    ASSERT_EQ(1, master->CreateShadow(surface));
    ASSERT_EQ(1, master->m_hasShadow);
    const DPSubMesh& quad = master->m_shadowGeo->subMeshes[0];
    ASSERT_EQ(4, quad.vertexCount);
    ASSERT_EQ(2, quad.triangleCount);
    EXPECT_FLOAT_EQ(-1.03f, quad.vertices[0].x);
    EXPECT_FLOAT_EQ(3.0f, quad.vertices[0].z);
    EXPECT_FLOAT_EQ(1.03f, quad.vertices[2].x);
    EXPECT_FLOAT_EQ(-3.0f, quad.vertices[2].z);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(2.0f, quad.vertices[i].y);
    EXPECT_EQ(1.0f, quad.vertices[1].tu);
    EXPECT_EQ(1.0f, quad.vertices[3].tv);
    EXPECT_EQ(3, quad.triangles[1].v[2]);
    // The surface's entry is the table's, made once.
    SurfaceTableEntry* entry = master->m_shadowSkin->materials[0].texture;
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(entry, g_pSurfaceTable->FindBySurface(surface));
    EXPECT_EQ(entries + 1, g_pSurfaceTable->m_entries.GetCount());

    master->AdjustShadow(0, 0, 1, 1);
    EXPECT_FLOAT_EQ(-1.03f, quad.vertices[0].x);
    master->AdjustShadow(1, 0, 1, 1);
    master->AdjustShadow(1, 0, 1, 1);
    EXPECT_FLOAT_EQ(0.97f, quad.vertices[0].x);
    master->AdjustShadow(0, 0, 1, 2);
    EXPECT_FLOAT_EQ(6.0f, quad.vertices[0].z);

    // An instance draws the master's shadow and leaves it alone.
    auto* instance = new MeshObject(master);
    EXPECT_EQ(master->m_shadowGeo, instance->m_shadowGeo);
    instance->AdjustShadow(5, 5, 1, 1);
    EXPECT_FLOAT_EQ(0.97f, quad.vertices[0].x);
    delete instance;
    delete master;
    surface->Release();
}

TEST_F(MeshObjectGeometryTest, PickingFindsTheNearerOfTwoObjects) {
    MeshObject nearer(nullptr, nullptr), farther(nullptr, nullptr);
    nearer.m_geo = BoxGeometry(-1, -1, 4, 1, 1, 6);
    nearer.m_ownsGeo = true;
    farther.m_geo = BoxGeometry(-1, -1, 9, 1, 1, 11);
    farther.m_ownsGeo = true;
    D3DVECTOR from{0.0f, 0.0f, 0.0f}, to{0.0f, 0.0f, 20.0f};
    MeshObject* objects[2] = {&farther, &nearer};
    MeshObject* picked = nullptr;
    float best = 1e9f;
    for (MeshObject* obj : objects) {
        D3DVECTOR hit{};
        if (!obj->FindMeshIntersection(from, to, hit)) continue;
        if (hit.z < best) {
            best = hit.z;
            picked = obj;
        }
    }
    EXPECT_EQ(&nearer, picked);
    EXPECT_FLOAT_EQ(4.0f, best);
    MeshObject empty(nullptr, nullptr);
    D3DVECTOR out{7.0f, 7.0f, 7.0f};
    EXPECT_EQ(0, empty.FindMeshIntersection(from, to, out));
    EXPECT_EQ(7.0f, out.x);
    EXPECT_EQ(1, nearer.FindClosestTriangle(0, 0, 4));
}

TEST_F(MeshObjectGeometryTest, CreateDPMeshKeepsExistingGeometry) {
    MeshObject obj(nullptr, nullptr);
    ASSERT_EQ(1, obj.CreateDPMesh());
    DPMeshGeo* made = obj.m_geo;
    ASSERT_NE(nullptr, made);
    ASSERT_EQ(1, obj.CreateDPMesh());
    EXPECT_EQ(made, obj.m_geo);
}

} // namespace
