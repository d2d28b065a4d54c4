// Mesh objects on the Retained Mode side: the mesh builder and mesh held and given back by masters and
// instances, ".x" files loaded into the builder with centre and box, the engine's geometry made from the
// mesh groups, and the Retained Mode drawing path with its distance switches.
#include <cstdio>

#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

// A quad of side 2 at z = 1 (two faces: a triangle and a quad's worth) in one red material.
constexpr const char* kQuadX = R"(xof 0302txt 0032
Mesh quad {
 5;
 -1.0;-1.0;1.0;,
 1.0;-1.0;1.0;,
 1.0;1.0;1.0;,
 -1.0;1.0;1.0;,
 0.0;3.0;1.0;;
 2;
 4;0,1,2,3;,
 3;3,2,4;;
 MeshMaterialList {
  1;
  2;
  0,0;;
  Material red {
   1.0;0.0;0.0;1.0;;
   10.0;
   0.0;0.0;0.0;;
   0.0;0.0;0.0;;
  }
 }
}
)";

class MeshObjectRMTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
        FILE* f = std::fopen("quad.x", "w");
        ASSERT_NE(nullptr, f);
        std::fputs(kQuadX, f);
        std::fclose(f);
    }
};

TEST_F(MeshObjectRMTest, BuilderAndMeshReferencesComeBackWhenMasterAndInstancesGo) {
    auto* master = new MeshObject(nullptr, nullptr);
    ASSERT_NE(nullptr, master->m_meshbuilder);
    ASSERT_NE(nullptr, master->m_mesh);
    IUnknown* builder = master->m_meshbuilder;
    IUnknown* mesh = master->m_mesh;
    builder->AddRef();
    mesh->AddRef();
    const ULONG builderAlone = CountOf(builder), meshAlone = CountOf(mesh);
    auto* instance = new MeshObject(master);
    EXPECT_EQ(builderAlone + 1, CountOf(builder));
    EXPECT_EQ(meshAlone + 2, CountOf(mesh)); // the instance's reference and its frame's
    delete instance;
    EXPECT_EQ(builderAlone, CountOf(builder));
    EXPECT_EQ(meshAlone, CountOf(mesh));
    delete master;
    EXPECT_EQ(0u, builder->Release());
    EXPECT_EQ(0u, mesh->Release());
}

TEST_F(MeshObjectRMTest, XFilesLoadWithCentreBoxAndEngineGeometry) {
    MeshObject obj(nullptr, nullptr);
    char name[] = "quad.x";
    ASSERT_EQ(1, obj.LoadX(name)) << ErrorText();
    EXPECT_FLOAT_EQ(-1.0f, obj.m_box.min.x);
    EXPECT_FLOAT_EQ(3.0f, obj.m_box.max.y);
    EXPECT_FLOAT_EQ(1.0f, obj.m_corners[7].z);
    // The mean of the file's five vertices, each counted once: (-1 - 1 + 1 + 1 + 3) / 5.
    EXPECT_FLOAT_EQ(0.6f, obj.m_center.y);
    EXPECT_EQ(5, obj.m_meshbuilder->GetVertexCount());
    ASSERT_EQ(1, obj.CreateDPMesh());
    ASSERT_NE(nullptr, obj.m_geo);
    ASSERT_GE(obj.m_geo->count, 1u);
    int triangles = 0;
    for (uint32_t i = 0; i < obj.m_geo->count; ++i)
        triangles += obj.m_geo->subMeshes[i].triangleCount;
    EXPECT_EQ(3, triangles); // the quad fanned into two, and the triangle
    EXPECT_EQ(0xFF0000u, obj.m_skin->materials[0].colour);
    // An instance of a ".x" object has no skin of its own to copy.
    MeshObject instance(&obj);
    char missing[] = "missing.x";
    EXPECT_EQ(0, obj.LoadX(missing));
}

TEST_F(MeshObjectRMTest, RetainedModeDrawingSwitchesTheZBufferByDistance) {
    MeshObject obj(nullptr, nullptr);
    char name[] = "quad.x";
    ASSERT_EQ(1, obj.LoadX(name)) << ErrorText();
    obj.m_polyCount = 2;
    obj.m_switchDistance1 = 10.0f;
    obj.m_distance = 10.0f;
    g_RenderStats = {};
    ASSERT_EQ(1, obj.Render(g_lpD3DRMViewport)) << ErrorText();
    EXPECT_EQ(D3DRMZBUFFER_ENABLE, obj.m_frame->GetZbufferMode());
    EXPECT_EQ(1, g_RenderStats.objects);
    EXPECT_EQ(2, g_RenderStats.polygons);
    obj.m_distance = 10.001f;
    ASSERT_EQ(1, obj.Render(g_lpD3DRMViewport));
    EXPECT_EQ(D3DRMZBUFFER_DISABLE, obj.m_frame->GetZbufferMode());
    EXPECT_EQ(0, obj.m_rejected);
}

TEST_F(MeshObjectRMTest, PerspectiveCorrectionSwitchesOnTheMeshDrawn) {
    MeshObject obj(nullptr, nullptr);
    char name[] = "quad.x";
    ASSERT_EQ(1, obj.LoadX(name)) << ErrorText();
    ASSERT_GE(obj.m_mesh->GetGroupCount(), 1u);
    obj.m_mesh->SetGroupMapping(0, D3DRMMAP_WRAPU);
    obj.m_switchDistance2 = 10.0f;
    obj.m_distance = 10.5f;
    ASSERT_EQ(1, obj.Render(g_lpD3DRMViewport)) << ErrorText();
    EXPECT_EQ(DWORD(D3DRMMAP_WRAPU), obj.m_mesh->GetGroupMapping(0));
    obj.m_distance = 10.0f;
    ASSERT_EQ(1, obj.Render(g_lpD3DRMViewport));
    EXPECT_EQ(DWORD(D3DRMMAP_WRAPU | D3DRMMAP_PERSPCORRECT), obj.m_mesh->GetGroupMapping(0));
    EXPECT_EQ(TRUE, obj.m_meshbuilder->GetPerspective());
}

} // namespace
