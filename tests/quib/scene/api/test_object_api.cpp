// The exported object family driven as a small game drives it: models loaded by extension (and refused
// without leaking), instances placed in float and fixed point, points taken to world space, children,
// visuals and a camera under an object, picking at a projected pixel, outlines, and everything freed
// with the Retained Mode references given back. The default camera sits at the origin looking down +z
// (320 pixels per unit of x/z on the 640 x 480 view).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/rm/d3drm_mesh.h"
#include "host/rm/frame.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/m3d_writer.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

// A writable copy of a file name: QuibLoadObject lower-cases the extension in place.
char* Name(const char* text) {
    static std::string buffer;
    buffer = text;
    return buffer.data();
}

// A red square x, y in -1..1 at z = 1, facing the camera.
constexpr const char* kSquareX = R"(xof 0302txt 0032
Mesh square {
 4;
 -1.0;-1.0;1.0;, -1.0;1.0;1.0;, 1.0;1.0;1.0;, 1.0;-1.0;1.0;;
 1;
 4;0,1,2,3;;
 MeshMaterialList { 1; 1; 0;; Material red { 1.0;0.0;0.0;1.0;; 10.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
}
)";

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class ObjectApiTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
        FILE* f = std::fopen("square.x", "w");
        ASSERT_NE(nullptr, f);
        std::fputs(kSquareX, f);
        std::fclose(f);
        m3dtest::Model model;
        model.materials = {m3dtest::Material{"paint", ""}};
        m3dtest::Object tri;
        tri.name = "tri";
        tri.vertices = {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}};
        tri.faces = {m3dtest::MakeFace({0, 1, 2})};
        model.objects = {tri};
        const std::vector<uint8_t> bytes = m3dtest::Bytes(model);
        f = std::fopen("tri.m3d", "wb");
        ASSERT_NE(nullptr, f);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
};

TEST_F(ObjectApiTest, LoadChoosesByExtensionAndRefusalsHandOutNothing) {
    void* h = nullptr;
    ASSERT_EQ(1, QuibLoadObject(nullptr, &h)); // an empty object
    QuibFreeObject(h);
    char upper[] = "SQUARE.X"; // found by the case-insensitive host
    ASSERT_EQ(1, QuibLoadObject(upper, &h)) << ErrorText();
    EXPECT_STREQ("SQUARE.x", upper); // the caller sees the lower-cased extension
    EXPECT_FLOAT_EQ(1.0f, static_cast<MeshObject*>(h)->m_box.max.x);
    QuibFreeObject(h);
    ASSERT_EQ(1, QuibLoadObject(Name("tri.m3d"), &h));
    ASSERT_NE(nullptr, static_cast<MeshObject*>(h)->m_geo);
    QuibFreeObject(h);

    void* const untouched = reinterpret_cast<void*>(0x1);
    h = untouched;
    g_ErrorText[0] = '\0';
    EXPECT_EQ(0, QuibLoadObject(Name("scene.otm"), &h));
    EXPECT_EQ(untouched, h);
    EXPECT_EQ("", ErrorText());
    EXPECT_EQ(0, QuibLoadObject(Name("model.foo"), &h));
    EXPECT_EQ(untouched, h);
    EXPECT_NE(std::string::npos, ErrorText().find("QuibLoadObject: Invalid filename extension"));
    EXPECT_EQ(0, QuibLoadObject(Name("../square.x"), &h)); // the first '.' starts the extension
    EXPECT_EQ(0, QuibLoadObject(Name("noextension"), &h));
    // Missing files of every loader: 0 and NULL (the sanitizer build checks the object was freed).
    for (std::string missing : {"missing.x", "missing.3ds", "missing.m3d"}) {
        h = untouched;
        EXPECT_EQ(0, QuibLoadObject(missing.data(), &h)) << missing;
        EXPECT_EQ(nullptr, h) << missing;
    }
}

TEST_F(ObjectApiTest, InstancesPlaceInBothUnitsAndEverythingIsGivenBack) {
    void *master = nullptr, *tri = nullptr;
    ASSERT_EQ(1, QuibLoadObject(Name("square.x"), &master));
    ASSERT_EQ(1, QuibLoadObject(Name("tri.m3d"), &tri));
    IUnknown* builder = static_cast<MeshObject*>(master)->m_meshbuilder;
    IUnknown* mesh = static_cast<MeshObject*>(master)->m_mesh;
    builder->AddRef();
    mesh->AddRef();
    void* instance = QuibMakeInstance(master);
    ASSERT_NE(nullptr, instance);
    char logged[64];
    std::snprintf(logged, sizeof logged, "QuibMakeInstance(,%p)", instance);
    EXPECT_EQ(1, CountLines(logged));

    float x, y, z, a, b, c;
    ASSERT_EQ(1, QuibObjectOrientation(instance, 32768L, 65536L, 0L, 1024L, 0L, 4096L));
    ASSERT_EQ(1, QuibObjectGetOrientation(instance, x, y, z, a, b, c));
    EXPECT_EQ((std::vector<float>{1, 2, 0, 90, 0, 360}), (std::vector<float>{x, y, z, a, b, c}));
    // Turned 90 degrees about y (z goes to x, so x goes to -z) and moved to (1, 2, 3).
    ASSERT_EQ(1, QuibObjectOrientation(instance, 1.0f, 2.0f, 3.0f, 90.0f, 0.0f, 0.0f));
    float px = 1, py = 0, pz = 0, ox, oy, oz;
    ASSERT_EQ(1, QuibTransformPointRelative(instance, px, py, pz, ox, oy, oz));
    EXPECT_NEAR(1.0f, ox, 1e-5f);
    EXPECT_NEAR(2.0f, oy, 1e-5f);
    EXPECT_NEAR(2.0f, oz, 1e-5f);

    // A camera under the instance moves with it; one without a parent joins the scene root.
    void *riding = nullptr, *loose = nullptr;
    ASSERT_EQ(1, QuibCreateCamera(instance, &riding));
    ASSERT_EQ(1, QuibCreateCamera(nullptr, &loose));
    IDirect3DRMFrame* parent = nullptr;
    static_cast<Frame*>(loose)->m_frame->GetParent(&parent);
    EXPECT_EQ(static_cast<IDirect3DRMFrame*>(g_lpScene), parent);
    if (parent) parent->Release();
    D3DVECTOR seen;
    static_cast<Frame*>(riding)->GetAbsolutePosition(&seen);
    EXPECT_FLOAT_EQ(3.0f, seen.z);
    QuibFreeCamera(riding);
    IDirect3DRMFrame2* looseFrame = static_cast<Frame*>(loose)->m_frame;
    looseFrame->AddRef();
    QuibFreeCamera(loose);
    EXPECT_EQ(0u, looseFrame->Release()); // the scene let go of the freed camera's frame

    // Relations: no children yet is nothing to remove; a visual grows the box; a child goes with its
    // parent.
    EXPECT_EQ(1, QuibDelChild(master, tri));
    ASSERT_EQ(1, QuibAddVisual(master, tri));
    EXPECT_FLOAT_EQ(0.0f, static_cast<MeshObject*>(master)->m_box.min.z);
    ASSERT_EQ(1, QuibDeleteVisual(master, tri));
    ASSERT_EQ(1, QuibAddChild(master, tri));
    ASSERT_EQ(1, QuibDelChild(master, tri));
    EXPECT_EQ(0, static_cast<MeshObject*>(master)->m_children->GetCount());
    EXPECT_EQ(0, QuibAddChild(master, master));
    ASSERT_EQ(1, QuibAddChild(master, tri));

    QuibFreeObject(instance);
    QuibFreeObject(master); // and tri, its child
    EXPECT_EQ(0u, builder->Release());
    EXPECT_EQ(0u, mesh->Release());
}

TEST_F(ObjectApiTest, PickFindsTheListedObjectAtItsPixelOnly) {
    void *square = nullptr, *tri = nullptr;
    ASSERT_EQ(1, QuibLoadObject(Name("square.x"), &square));
    ASSERT_EQ(1, QuibLoadObject(Name("tri.m3d"), &tri));
    ASSERT_EQ(1, QuibObjectPosition(square, 0.0f, 0.0f, 5.0f)); // x, y -1..1 at z = 6
    QuibBeginScene();
    QuibRenderObject(square);
    ASSERT_EQ(1, QuibRenderScene()) << ErrorText();
    void* list = QuibCreateDisplayList(1);
    QuibAddDisplayList(list, tri);
    EXPECT_EQ(nullptr, QuibPickObject(list, 320, 240)); // hit, but not on a listed object
    QuibAddDisplayList(list, square);
    IUnknown* mesh = static_cast<MeshObject*>(square)->m_mesh;
    const ULONG before = CountOf(mesh);
    float sx, sy;
    ASSERT_EQ(1, QuibTransformPoint(0.5f, 0.5f, 6.0f, &sx, &sy));
    EXPECT_EQ(square, QuibPickObject(list, int(sx), int(sy)));
    EXPECT_EQ(before, CountOf(mesh));                        // the picked visual was given back
    EXPECT_EQ(nullptr, QuibPickObject(list, 320 + 60, 240)); // beside it: 1 / 6 x 320 is 53 pixels

    // Outlines are drawn where the object is: the bottom edge (y = -1, z = 6) on row 293, the top edge
    // (y = 1) on row 187. The queued objects get only their bottom face.
    auto whiteNear = [](int row) {
        LockedPixels pixels(g_lpBackBuffer);
        int white = 0;
        for (int r = row - 2; r <= row + 2; ++r)
            white += pixels.ok() && pixels.At(320, r) == 0xFFFF;
        return white;
    };
    ASSERT_EQ(1, QuibOutlineObjects());
    EXPECT_EQ(1, whiteNear(293));
    EXPECT_EQ(0, whiteNear(187));
    ASSERT_EQ(1, QuibOutlineObjects(list));
    EXPECT_EQ(1, whiteNear(187));
    QuibFreeDisplayList(list);
    QuibFreeObject(tri);
    QuibFreeObject(square);
}

TEST_F(ObjectApiTest, InitObjectCopiesCheckedArraysAndAttributesRoundTrip) {
    DPVERTEX verts[3] = {{0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 1, 0, 0, 0, 0}, {0, 1, 0, 0, 1, 0, 0, 0}};
    DPTRIANGLE tris[1] = {{{0, 1, 2}}};
    DPTRIANGLE outside[1] = {{{0, 1, 3}}};
    void* h = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(0, QuibInitObject("none.bmp", 0, 1, verts, tris, &h));
    EXPECT_EQ(nullptr, h);
    EXPECT_EQ(0, QuibInitObject("none.bmp", 65536, 1, verts, tris, &h));
    EXPECT_EQ(0, QuibInitObject("none.bmp", 3, 1, nullptr, tris, &h));
    EXPECT_EQ(0, QuibInitObject("none.bmp", 3, 1, verts, outside, &h));
    ASSERT_EQ(1, QuibInitObject("none.bmp", 3, 1, verts, tris, &h));
    verts[1].x = 9.0f; // the object keeps its copy
    auto* object = static_cast<MeshObject*>(h);
    EXPECT_EQ(1.0f, object->m_geo->subMeshes[0].vertices[1].x);

    QuibSetObjectSwitchDistances(h, 1, 2, 3, 4, 5);
    object->m_center = {7, 8, 9};
    _OBJ3DINFO info{};
    ASSERT_EQ(1, QuibGetObjectAttributes(h, &info));
    EXPECT_EQ((std::vector<float>{1, 2, 3, 4, 7, 8, 9}),
              (std::vector<float>{info.switchDistance[0], info.switchDistance[1], info.switchDistance[2],
                                  info.switchDistance[3], info.centre[0], info.centre[1], info.centre[2]}));
    info = _OBJ3DINFO{{10, 20, 30, 40}, {0, 0, 0}};
    ASSERT_EQ(1, QuibSetObjectAttributes(h, &info));
    EXPECT_EQ(40.0f, object->m_switchDistance3);
    EXPECT_EQ(5.0f, object->m_switchDistance4);
    EXPECT_EQ(8.0f, object->m_center.y); // the record's centre is not taken
    QuibSetFogColor(h, 300, -5, 0x12);   // out-of-range components stay in their byte
    EXPECT_EQ(0xFF0012u, object->m_frame->GetSceneFogColor() & 0xFFFFFFu);
    EXPECT_EQ(0, QuibAdjustShadow(h, 1, 1, 1, 1));
    QuibFreeObject(h);
    QuibFreeObject(nullptr);
}

} // namespace

// Objects loaded and freed over and over leave the scene root as they found it: the frame each piece of
// their geometry made under it goes with the piece.
TEST_F(ObjectApiTest, LoadingAndFreeingObjectsLeavesTheSceneAsItWas) {
    auto sceneChildren = [] { return HostRMFrame::From(g_lpScene)->Children().size(); };
    const size_t before = sceneChildren();
    for (int i = 0; i < 1000; ++i) {
        void* h = nullptr;
        ASSERT_EQ(1, QuibLoadObject(Name("tri.m3d"), &h));
        QuibFreeObject(h);
    }
    EXPECT_EQ(before, sceneChildren());

    // A plain frame (a camera's) leaves the scene with its Frame; a frame borrowed from it stays.
    auto* camera = new Frame(nullptr, g_lpScene);
    auto* borrower = new Frame(nullptr, nullptr);
    borrower->ReleaseFrame("borrower");
    borrower->m_frame = camera->m_frame;
    borrower->m_frame->AddRef();
    borrower->m_ownsFrame = false;
    delete borrower;
    EXPECT_EQ(before + 2, sceneChildren()); // the camera's frame and its look-at target
    delete camera;
    EXPECT_EQ(before, sceneChildren());
}
