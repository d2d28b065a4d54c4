// Mesh objects on a started display: construction and destruction with every reference given back,
// instances beside their masters (shared geometry, copied skin and materials), visuals and their
// immediate-mode wrappers, switch distances, and the render-state sequence of the immediate-mode path.
#include <cmath>
#include <cstring>
#include <vector>

#include "host/d3d/recording.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

// A geometry of one sub-mesh: the box (x0, y0, z0)-(x1, y1, z1).
DPMeshGeo* BoxGeometry(float x0, float y0, float z0, float x1, float y1, float z1) {
    auto* geo = new DPMeshGeo(1);
    geo->subMeshes[0].MakeBox(x0, y0, z0, x1, y1, z1);
    geo->subMeshes[0].ComputeTriangleInfo();
    return geo;
}

// Gives obj a box geometry and a one-entry skin of its own.
void GiveBox(MeshObject& obj, float x0, float y0, float z0, float x1, float y1, float z1) {
    obj.m_geo = BoxGeometry(x0, y0, z0, x1, y1, z1);
    obj.m_skin = new DPMeshSkin(1);
    obj.m_skin->materials[0].colour = 0x123456;
    obj.m_geo->subMeshes[0].material = obj.m_skin->materials;
    obj.m_ownsGeo = obj.m_ownsSkin = true;
    obj.m_box = {{x0, y0, z0}, {x1, y1, z1}};
}

class MeshObjectTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
};

TEST_F(MeshObjectTest, StartsWithTheDocumentedSettings) {
    MeshObject obj(nullptr, nullptr);
    EXPECT_EQ(g_lpD3DRM2, obj.m_rm);
    EXPECT_NE(nullptr, obj.m_frame);
    EXPECT_EQ('?', obj.m_renderType);
    EXPECT_EQ(1, obj.m_render);
    EXPECT_EQ(-1, obj.m_showTextures);
    EXPECT_EQ(-1, obj.m_screenSize[0]);
    EXPECT_EQ(0.0f, obj.m_distance);
    // Every switch distance starts far, not only distance 1.
    for (float d : {obj.m_switchDistance0, obj.m_switchDistance1, obj.m_switchDistance2,
                    obj.m_switchDistance3, obj.m_switchDistance4})
        EXPECT_EQ(30000.0f, d);
    EXPECT_EQ(30000.0f, obj.m_drawFar);
    EXPECT_EQ(500.0f, obj.m_drawNear);
    EXPECT_FLOAT_EQ(3.0f, obj.m_switchRatios[0]);
    EXPECT_EQ(nullptr, obj.m_geo);
    EXPECT_EQ(0, obj.m_isInstance);
}

TEST_F(MeshObjectTest, FreeingAnObjectUnderAParentGivesBackItsFrameOnce) {
    auto* obj = new MeshObject(nullptr, g_lpScene);
    IDirect3DRMFrame2* frame = obj->m_frame;
    frame->AddRef();
    // The parent's reference, the object's and ours.
    EXPECT_EQ(3u, CountOf(frame));
    const ULONG sceneBefore = CountOf(g_lpScene);
    delete obj;
    // The frame left the scene and the object released it once: only ours is left.
    EXPECT_EQ(0u, frame->Release());
    EXPECT_EQ(sceneBefore, CountOf(g_lpScene));
    EXPECT_EQ(1, CountLines("~MeshObject->m_frame->Release()="));
    EXPECT_EQ(1, CountLines("~Frame->m_frame already NULL"));
}

TEST_F(MeshObjectTest, EveryFrameOfMastersInstancesAndDetailsIsFreedWithThem) {
    auto* master = new MeshObject(nullptr, g_lpScene);
    auto* instance = new MeshObject(master);
    auto* detail = new MeshObject(nullptr, nullptr);
    master->AddDetailVisual(detail);
    std::vector<IDirect3DRMFrame2*> frames = {master->m_frame, master->m_lookatframe, instance->m_frame,
                                              instance->m_lookatframe, master->m_detailFrame};
    for (IDirect3DRMFrame2* frame : frames) {
        ASSERT_NE(nullptr, frame);
        frame->AddRef();
    }
    delete instance;
    delete master;
    delete detail;
    // Only our references are left: no frame (look-at targets included) stays in the scene.
    for (IDirect3DRMFrame2* frame : frames)
        EXPECT_EQ(0u, frame->Release());

    // A parent object freed before its child: the child's frame is let go of, never its parent's
    // freed frame touched (the sanitizer build checks).
    auto* parent = new MeshObject(nullptr, g_lpScene);
    auto* child = new MeshObject(nullptr, parent->m_frame);
    IDirect3DRMFrame2* childFrame = child->m_frame;
    childFrame->AddRef();
    delete parent;
    delete child;
    EXPECT_EQ(0u, childFrame->Release());
}

TEST_F(MeshObjectTest, InstancesShareGeometryAndCopyTheSkin) {
    auto* master = new MeshObject(nullptr, nullptr);
    GiveBox(*master, 0, 0, 0, 1, 1, 1);
    std::strcpy(master->m_name, "crate");
    master->m_renderType = 't';
    auto* instance = new MeshObject(master);
    EXPECT_EQ(1, instance->m_isInstance);
    EXPECT_STREQ("crate", instance->m_name);
    EXPECT_EQ('t', instance->m_renderType);
    EXPECT_EQ(master->m_geo, instance->m_geo);
    ASSERT_NE(nullptr, instance->m_skin);
    EXPECT_NE(master->m_skin, instance->m_skin);
    EXPECT_EQ(0x123456u, instance->m_skin->materials[0].colour);
    EXPECT_NE(master->m_frame, instance->m_frame);
    // Freed instance first, nothing is freed twice (the sanitizer build checks).
    delete instance;
    EXPECT_EQ(0.0f, master->GetMinimumY()); // the shared geometry is still there
    EXPECT_EQ(0x123456u, master->m_skin->materials[0].colour);
    delete master;
}

TEST_F(MeshObjectTest, AnInstanceOfAnObjectWithoutSkinHasNone) {
    MeshObject empty(nullptr, nullptr);
    {
        MeshObject instance(&empty);
        EXPECT_EQ(nullptr, instance.m_skin);
        EXPECT_EQ(nullptr, instance.m_geo);
    }
    MeshObject geometryOnly(nullptr, nullptr);
    geometryOnly.m_geo = BoxGeometry(0, 0, 0, 1, 1, 1);
    geometryOnly.m_ownsGeo = true;
    MeshObject instance(&geometryOnly);
    EXPECT_EQ(nullptr, instance.m_skin);
    EXPECT_EQ(geometryOnly.m_geo, instance.m_geo);
}

TEST_F(MeshObjectTest, MaterialCopiesHoldTheirOwnReferences) {
    auto* master = new MeshObject(nullptr, nullptr);
    master->m_materials = new PtrArray<MATERIAL>(1);
    auto* material = new MATERIAL();
    material->power = 15.0;
    ASSERT_EQ(1, material->Create(g_lpD3DRM2));
    master->m_materials->Add(material);
    IDirect3DRMMaterial* rm = material->m_d3dmaterial;
    rm->AddRef();
    EXPECT_EQ(2u, CountOf(rm));
    auto* a = new MeshObject(master);
    auto* b = new MeshObject(master);
    EXPECT_EQ(4u, CountOf(rm));
    ASSERT_NE(nullptr, a->m_materials);
    EXPECT_NE(material, a->m_materials->GetAt(0));
    EXPECT_EQ(0, a->FindMaterial(rm));
    EXPECT_EQ(-1, a->FindMaterial(nullptr));
    delete a;
    EXPECT_EQ(3u, CountOf(rm));
    delete master; // the master goes before b: b's copy keeps the material alive
    EXPECT_EQ(2u, CountOf(rm));
    delete b;
    EXPECT_EQ(0u, rm->Release());
}

TEST_F(MeshObjectTest, VisualWrappersFollowTheirVisuals) {
    MeshObject master(nullptr, nullptr);
    auto* visual = new MeshObject(nullptr, nullptr);
    GiveBox(*visual, 0, 0, 0, 1, 1, 1);
    visual->m_polyCount = 12;
    IDirect3DRMFrame2* frame = visual->m_frame;
    const ULONG before = CountOf(frame);
    master.AddVisual(visual);
    EXPECT_EQ(12, master.m_polyCount);
    ASSERT_NE(nullptr, master.m_dpVisuals);
    ASSERT_EQ(1, master.m_dpVisuals->GetCount());
    EXPECT_EQ(frame, master.m_dpVisuals->GetAt(0)->m_frame);
    EXPECT_EQ(visual->m_geo, master.m_dpVisuals->GetAt(0)->geometry);
    EXPECT_GT(CountOf(frame), before); // the wrapper holds the frame (and the master's frame shows it)
    master.DeleteVisual(visual);
    EXPECT_EQ(0, master.m_visuals->GetCount());
    EXPECT_EQ(0, master.m_dpVisuals->GetCount());
    EXPECT_EQ(before, CountOf(frame));
    delete visual;
    // Nothing of the freed visual is drawn or read.
    EXPECT_EQ(1, master.RenderDPMesh());

    auto* v1 = new MeshObject(nullptr, nullptr);
    auto* v2 = new MeshObject(nullptr, nullptr);
    master.AddVisual(v1);
    master.AddVisual(v2);
    master.DeleteAllVisuals();
    EXPECT_EQ(0, master.m_dpVisuals->GetCount());
    delete v1;
    delete v2;
}

TEST_F(MeshObjectTest, TextureListHoldsEachEntryOnce) {
    MeshObject obj(nullptr, nullptr);
    SurfaceTableEntry* a = reinterpret_cast<SurfaceTableEntry*>(&obj);
    SurfaceTableEntry* b = reinterpret_cast<SurfaceTableEntry*>(&obj.m_box);
    obj.DelSTEList(a); // no list yet
    obj.AddSTEList(a);
    obj.AddSTEList(b);
    obj.AddSTEList(a);
    ASSERT_EQ(2, obj.m_steList->GetCount());
    obj.DelSTEList(a);
    EXPECT_EQ(b, obj.m_steList->GetAt(0));
}

TEST_F(MeshObjectTest, SwitchDistancesFollowTheLargestSide) {
    MeshObject obj(nullptr, nullptr);
    obj.m_box = {{0, 0, 0}, {2, 2, 2}};
    ASSERT_EQ(1, obj.ComputeSwitchDistances(3, 2, 1, 3, 1));
    EXPECT_FLOAT_EQ(6.0f, obj.m_switchDistance0);
    EXPECT_FLOAT_EQ(4.0f, obj.m_switchDistance1);
    EXPECT_FLOAT_EQ(2.0f, obj.m_switchDistance2);
    obj.m_box = {{-1, 0, 1}, {0, 2, 4}}; // 1 x 2 x 3
    obj.ComputeSwitchDistances(1, 2, 3, 4, 5);
    EXPECT_FLOAT_EQ(3.0f, obj.m_switchDistance0);
    EXPECT_FLOAT_EQ(15.0f, obj.m_switchDistance4);
    EXPECT_FLOAT_EQ(5.0f, obj.m_switchRatios[4]);
}

TEST_F(MeshObjectTest, DistancesAreMeasuredFromTheCurrentCamera) {
    MeshObject obj(nullptr, nullptr);
    obj.m_box = {{-1, -1, -1}, {1, 1, 1}};
    MeshBox none = obj.m_box;
    obj.AddBox(none);
    obj.SetPosition(0, 0, 10);
    g_lpCamera->SetPosition(0, 0, 0);
    EXPECT_FLOAT_EQ(10.0f, obj.DistanceFromCamera());
    EXPECT_FLOAT_EQ(10.0f, obj.m_distance);
    EXPECT_NEAR(std::sqrt(2.0f + 81.0f), obj.ClosestDistanceFromCamera(), 1e-4f);
    // Never rejects, even behind the camera.
    obj.SetPosition(0, 0, -10);
    EXPECT_EQ(0, obj.TrivialReject(g_lpD3DRMViewport, 1));
}

// The render states of the immediate-mode path, in order.
std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> RecordedStates() {
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
    for (const HostD3DCall& call : HostD3DRecordedCalls(g_lpD3DDevice2))
        if (call.kind == HostD3DCall::Kind::kRenderState) states.emplace_back(call.state, call.value);
    return states;
}

TEST_F(MeshObjectTest, ImmediateModeDrawingSetsBlendAndDepthStatesInOrder) {
    MeshObject obj(nullptr, nullptr);
    GiveBox(obj, 0, 0, 0, 1, 1, 1);
    ASSERT_EQ(1, obj.CreateShadow(nullptr));
    obj.m_alphaBlend = 1;
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    ASSERT_EQ(1, obj.RenderDPMesh());
    using S = std::pair<D3DRENDERSTATETYPE, DWORD>;
    const std::vector<S> expected = {{D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
                                     {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                                     {D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR},
                                     {D3DRENDERSTATE_ZENABLE, FALSE},
                                     {D3DRENDERSTATE_ZWRITEENABLE, FALSE},
                                     {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
                                     {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
                                     {D3DRENDERSTATE_ZENABLE, TRUE},
                                     {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
                                     {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
                                     {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                                     {D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR},
                                     {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE}};
    std::vector<S> blendAndDepth;
    for (const S& s : RecordedStates())
        if (s.first == D3DRENDERSTATE_ALPHABLENDENABLE || s.first == D3DRENDERSTATE_SRCBLEND ||
            s.first == D3DRENDERSTATE_DESTBLEND || s.first == D3DRENDERSTATE_ZENABLE ||
            s.first == D3DRENDERSTATE_ZWRITEENABLE)
            blendAndDepth.push_back(s);
    EXPECT_EQ(expected, blendAndDepth);
    EXPECT_EQ(0, obj.m_rejected);

    // A hidden object touches no state.
    ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    obj.m_render = 0;
    EXPECT_EQ(1, obj.RenderDPMesh());
    EXPECT_TRUE(RecordedStates().empty());
    HostD3DSetRecording(g_lpD3DDevice2, false);
}

TEST_F(MeshObjectTest, OutlineDrawsTheBoxEdgesAndACentreCross) {
    MeshObject obj(nullptr, nullptr);
    obj.m_box = {{-1, -1, 4}, {1, 1, 8}};
    obj.AddBox(obj.m_box);
    obj.m_center = {0, 0, 6};
    FillSolid(g_lpBackBuffer, 0);
    ASSERT_EQ(1, obj.DrawBox()); // not outlined: nothing drawn
    {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        EXPECT_EQ(0, pixels.At(320, 320));
    }
    obj.m_outline = 1;
    ASSERT_EQ(1, obj.DrawBox());
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    // Scale 320 around (320, 240): the near bottom edge (corners 0-4) is row 320 from x 240 to 400, the
    // near top edge (2-6) row 160; the cross passes through the centre.
    EXPECT_EQ(0xFFFF, pixels.At(320, 320));
    EXPECT_EQ(0xFFFF, pixels.At(320, 160));
    EXPECT_EQ(0xFFFF, pixels.At(320, 240));
    EXPECT_EQ(0xFFFF, pixels.At(320, 200)); // the far top edge (3-7)
    EXPECT_EQ(0, pixels.At(320, 210));
    EXPECT_EQ(0, pixels.At(100, 100));
}

TEST_F(MeshObjectTest, AHiddenObjectIsNeitherDrawnNorCounted) {
    MeshObject obj(nullptr, nullptr);
    obj.m_polyCount = 12;
    obj.m_render = 0;
    g_RenderStats = {};
    EXPECT_EQ(1, obj.Render(g_lpD3DRMViewport));
    EXPECT_EQ(1, obj.m_rejected);
    EXPECT_EQ(0, g_RenderStats.objects);
    EXPECT_EQ(0, g_RenderStats.polygons);
}

} // namespace
