// The model file (.m3d) loader, on files the tests write: geometry, welding, texture mapping, materials
// shared through the surface table, key frames and the object hierarchy; and broken files (cut at every
// field, counts past the end, too deep a hierarchy, too many vertices or triangles) refused with 0, the
// mesh and the surface table unchanged.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/m3d_file.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/quib/m3d_writer.h"

using namespace bmptest;
using m3dtest::Face;
using m3dtest::MakeFace;
using m3dtest::Material;
using m3dtest::Model;
using m3dtest::Object;

namespace {

class LoadM3dTest : public EngineDisplayTest {
  protected:
    void SetUp() override {
        EngineDisplayTest::SetUp();
        QuibInitSurfaceTable();
        std::vector<uint32_t> grey(16, 0x808080u);
        WriteBytes("wood.bmp", BuildBmp(Picture24(4, 4, grey)));
    }
    void TearDown() override {
        FreeMesh();
        DeleteSurfaceTable();
        EngineDisplayTest::TearDown();
    }

    int Load(const Model& model, const char* file = "model.m3d") {
        WriteBytes("model.m3d", m3dtest::Bytes(model));
        return mesh_.LoadMax(file);
    }
    int LoadBytes(const std::vector<uint8_t>& bytes) {
        WriteBytes("model.m3d", bytes);
        return mesh_.LoadMax("model.m3d");
    }
    void FreeMesh() {
        delete mesh_.geometry;
        delete mesh_.skin;
        mesh_.geometry = nullptr;
        mesh_.skin = nullptr;
    }
    static int TableSize() { return g_pSurfaceTable->m_entries.GetCount(); }
    DPSubMesh& Sub(int i) { return mesh_.geometry->subMeshes[i]; }

    DPMesh mesh_{0, 0};
};

// A textured, tiled material with a path and a flat-coloured one.
std::vector<Material> TwoMaterials() {
    Material wood{"wood", "c:\\art\\Wood.bmp"};
    wood.tiling = 1;
    wood.uScale = wood.vScale = 2.0f;
    wood.uOffset = 0.5f;
    wood.vOffset = 0.25f;
    Material paint{"paint", ""};
    paint.rgb[0] = 10, paint.rgb[1] = 20, paint.rgb[2] = 30;
    return {wood, paint};
}

// A square of two triangles sharing an edge, texture vertex i at corner i.
Object Square(const std::string& name, const std::string& parent, int material) {
    Object o;
    o.name = name;
    o.parent = parent;
    o.material = material;
    o.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    o.uvs = {{0.25f, 0.25f}, {1, 0}, {1, 1}, {0, 1}};
    o.faces = {MakeFace({0, 1, 2}, {0, 1, 2}), MakeFace({0, 2, 3}, {0, 2, 3})};
    return o;
}

// root (dummy, moved) -> arm (textured, tiled) -> hand (flat colour, key frames); and a second top-level
// object, so that roots come in file order with the hierarchy depth first.
Model Hierarchy() {
    Model m;
    m.header = {11, 22, 33, 44};
    m.materials = TwoMaterials();
    Object root;
    root.name = "root";
    root.dummy = 1;
    root.placement = {0, 1, 0, -1, 0, 0, 0, 0, 1, 5, 6, 7};
    Object hand = Square("hand", "arm", 1);
    hand.hidden = 1;
    hand.positionKeys = {{0, 1, 2, 3}, {10, 4, 5, 6}};
    hand.rotationKeys = {{0, 1, 0, 0, 0}};
    m.objects = {hand, root, Square("arm", "root", 0), Square("lamp", "", 1)};
    return m;
}

void ExpectVertex(const DPVertex& v, float x, float y, float z, float tu, float tv) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
    EXPECT_FLOAT_EQ(v.tu, tu);
    EXPECT_FLOAT_EQ(v.tv, tv);
}

} // namespace

TEST_F(LoadM3dTest, ThreeLevelHierarchyWithTwoMaterialsAndKeyFrames) {
    ASSERT_EQ(1, Load(Hierarchy()));
    DPMeshGeo& geo = *mesh_.geometry;
    ASSERT_EQ(4u, geo.count);
    EXPECT_EQ(11, geo.header[0]);
    EXPECT_EQ(44, geo.header[3]);

    // Hierarchy: roots in file order, children depth first, parents set.
    DPSubMesh &hand = Sub(0), &root = Sub(1), &arm = Sub(2), &lamp = Sub(3);
    ASSERT_EQ(2, geo.Roots().GetCount());
    EXPECT_EQ(&root, geo.Roots().Lookup(0));
    EXPECT_EQ(&lamp, geo.Roots().Lookup(1));
    ASSERT_EQ(1, root.children->GetCount());
    EXPECT_EQ(&arm, root.children->Lookup(0));
    ASSERT_EQ(1, arm.children->GetCount());
    EXPECT_EQ(&hand, arm.children->Lookup(0));
    EXPECT_EQ(0, hand.children->GetCount());
    EXPECT_EQ(nullptr, root.parent);
    EXPECT_EQ(&root, arm.parent);
    EXPECT_EQ(&arm, hand.parent);

    // The faceless dummy: name, hidden, placement with column 3 = (0, 0, 0, 1), no geometry.
    EXPECT_STREQ("root", root.name);
    EXPECT_EQ(1, root.hidden);
    EXPECT_EQ(0, root.vertexCount);
    EXPECT_FLOAT_EQ(-1.0f, root.base._21);
    EXPECT_FLOAT_EQ(5.0f, root.base._41);
    EXPECT_FLOAT_EQ(7.0f, root.base._43);
    EXPECT_FLOAT_EQ(1.0f, root.base._44);
    EXPECT_FLOAT_EQ(0.0f, root.base._14);

    // The tiled arm: the shared edge welds, file winding kept, (0.25, 0.25) -> (1.0, -0.25).
    EXPECT_STREQ("arm", arm.name);
    EXPECT_EQ(0, arm.hidden);
    ASSERT_EQ(4, arm.vertexCount);
    ASSERT_EQ(2, arm.triangleCount);
    ExpectVertex(arm.vertices[0], 0, 0, 0, 1.0f, -0.25f);
    ExpectVertex(arm.vertices[1], 1, 0, 0, 2.5f, 0.25f);
    ExpectVertex(arm.vertices[3], 0, 1, 0, 0.5f, -1.75f);
    const uint16_t expected[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(expected[t][k], arm.triangles[t].v[k]);
    EXPECT_NE(nullptr, arm.triInfo);

    // The flat hand: v = 0.25 without tiling gives tv = -0.75; hidden flag; keys copied.
    EXPECT_EQ(1, hand.hidden);
    ExpectVertex(hand.vertices[0], 0, 0, 0, 0.25f, -0.75f);
    ASSERT_EQ(2, hand.positionKeyCount);
    EXPECT_EQ(10, hand.positionKeys[1].frame);
    EXPECT_FLOAT_EQ(6.0f, hand.positionKeys[1].z);
    ASSERT_EQ(1, hand.rotationKeyCount);
    EXPECT_FLOAT_EQ(1.0f, hand.rotationKeys[0].q.w);
    EXPECT_EQ(0, arm.positionKeyCount);
    EXPECT_EQ(nullptr, arm.rotationKeys);

    // Materials: the texture found under its file name and kept by the table; the flat colour.
    ASSERT_EQ(2u, mesh_.skin->count);
    const DPMaterial &wood = mesh_.skin->materials[0], &paint = mesh_.skin->materials[1];
    EXPECT_EQ(kDPMaterialTextured, wood.colour);
    ASSERT_NE(nullptr, wood.texture);
    EXPECT_STREQ("Wood.bmp", wood.texture->name);
    EXPECT_EQ(wood.texture, g_pSurfaceTable->FindByName("Wood.bmp"));
    EXPECT_EQ(0x0A141Eu, paint.colour);
    EXPECT_EQ(nullptr, paint.texture);
    EXPECT_EQ(&wood, arm.material);
    EXPECT_EQ(&paint, hand.material);
    EXPECT_EQ(1, hand.materialIndex);

    // The box spans the placed hierarchy; the sub-meshes keep their local extents.
    EXPECT_FLOAT_EQ(1.0f, arm.extents[1]);
    EXPECT_LT(geo.extents[0], geo.extents[1]);
}

TEST_F(LoadM3dTest, KeyFramesAnyDistanceApartInterpolate) {
    Model m = Hierarchy();
    const int32_t lowest = std::numeric_limits<int32_t>::min(), highest = std::numeric_limits<int32_t>::max();
    m.objects[0].positionKeys = {{lowest, 0, 0, 0}, {highest, 10, 0, 0}};
    ASSERT_EQ(1, Load(m));
    Sub(0).SetFrameNumber(0);
    EXPECT_NEAR(5.0f, Sub(0).local._41, 0.001f);
}

TEST_F(LoadM3dTest, TexturesAreSharedThroughTheTableAndFailuresLeaveNoEntry) {
    Model m = Hierarchy();
    m.materials.push_back(Material{"same", "tex/Wood.bmp"});
    m.materials.push_back(Material{"gone", "missing.bmp"});
    m.objects[3].material = 3;
    ASSERT_EQ(1, Load(m));
    EXPECT_EQ(1, TableSize());
    EXPECT_EQ(mesh_.skin->materials[0].texture, mesh_.skin->materials[2].texture);
    EXPECT_EQ(kDPMaterialMissingTexture, mesh_.skin->materials[3].colour);
    EXPECT_EQ(nullptr, mesh_.skin->materials[3].texture);
    SurfaceTableEntry* first = mesh_.skin->materials[0].texture;

    // A second load finds the entry again rather than adding one.
    FreeMesh();
    ASSERT_EQ(1, Load(m));
    EXPECT_EQ(1, TableSize());
    EXPECT_EQ(first, mesh_.skin->materials[0].texture);
}

TEST_F(LoadM3dTest, WeldsExactlyEqualCornersOnly) {
    Model m;
    m.materials = TwoMaterials();
    Object o;
    o.name = "w";
    o.material = 1;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    o.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-0.0f, 0, 0}, {nan, 0, 0}};
    o.uvs = {{0, 0}, {0.5f, 0}};
    o.faces = {MakeFace({0, 1, 2}, {0, 0, 0}), MakeFace({3, 1, 2}, {0, 0, 1}),
               MakeFace({4, 4, 0}, {0, 0, 0})};
    m.objects = {o};
    ASSERT_EQ(1, Load(m));
    ASSERT_EQ(1u, mesh_.geometry->count);
    const DPSubMesh& w = Sub(0);
    // -0 welds with +0; the same position with another uv does not; a NaN corner never welds.
    ASSERT_EQ(6, w.vertexCount);
    ASSERT_EQ(3, w.triangleCount);
    EXPECT_EQ(0, w.triangles[1].v[0]);
    EXPECT_EQ(1, w.triangles[1].v[1]);
    EXPECT_EQ(3, w.triangles[1].v[2]);
    EXPECT_EQ(4, w.triangles[2].v[0]);
    EXPECT_EQ(5, w.triangles[2].v[1]);
    EXPECT_EQ(0, w.triangles[2].v[2]);
}

TEST_F(LoadM3dTest, BadIndicesDropFacesOrTextureCoordinatesAndNamesAreCut) {
    Model m;
    m.materials = TwoMaterials();
    Object o = Square(std::string(300, 'n'), "", 7);   // no such material
    o.faces.push_back(MakeFace({0, 1, 4}, {}));        // corner past the vertices: dropped
    o.faces.push_back(MakeFace({0, -1, 2}, {}));       // negative corner: dropped
    o.faces.push_back(MakeFace({0, 1}, {}));           // two corners: dropped
    o.faces.push_back(MakeFace({1, 2, 3, 0}, {9, 1})); // fourth corner ignored; uv only where it exists
    m.objects = {o};
    ASSERT_EQ(1, Load(m));
    const DPSubMesh& s = Sub(0);
    EXPECT_EQ(std::string(31, 'n'), s.name);
    EXPECT_EQ(nullptr, s.material);
    ASSERT_EQ(3, s.triangleCount);
    const DPVertex& noUv = s.vertices[s.triangles[2].v[0]];
    ExpectVertex(noUv, 1, 0, 0, 0, 0);
    const DPVertex& withUv = s.vertices[s.triangles[2].v[1]];
    ExpectVertex(withUv, 1, 1, 0, 1, -1); // (1, 0) untiled: v' = 1
    EXPECT_EQ(0, s.vertices[s.triangles[2].v[2]].tu);
}

TEST_F(LoadM3dTest, ObjectsOutsideTheTreeAreInNoList) {
    Model m;
    m.objects = {Square("a", "", 0),       Square("b", "c", 0), Square("c", "b", 0),
                 Square("d", "nobody", 0), Square("e", "a", 0), Square("a2", "a", 0)};
    m.objects[5].name = "a"; // a child named like its parent: a chain, not a loop
    ASSERT_EQ(1, Load(m));
    DPMeshGeo& geo = *mesh_.geometry;
    ASSERT_EQ(1, geo.Roots().GetCount());
    EXPECT_EQ(&Sub(0), geo.Roots().Lookup(0));
    // a takes e, then the second a, which takes nothing more: e was already taken.
    ASSERT_EQ(2, Sub(0).children->GetCount());
    EXPECT_EQ(&Sub(4), Sub(0).children->Lookup(0));
    EXPECT_EQ(&Sub(5), Sub(0).children->Lookup(1));
    for (int orphan : {1, 2, 3}) {
        EXPECT_EQ(nullptr, Sub(orphan).parent);
        EXPECT_EQ(0, Sub(orphan).children->GetCount());
    }
}

TEST_F(LoadM3dTest, FindsTheFileWithBackslashesInAnyCase) {
    std::filesystem::create_directory("models");
    WriteBytes("models/ship.m3d", m3dtest::Bytes(Hierarchy()));
    EXPECT_EQ(1, mesh_.LoadMax("MODELS\\Ship.M3D"));
}

TEST_F(LoadM3dTest, MissingFileNamesTheMeshAndChangesNothingElse) {
    DPMeshGeo* geo = mesh_.geometry = new DPMeshGeo(1);
    EXPECT_EQ(0, mesh_.LoadMax("nothing.m3d"));
    EXPECT_STREQ("PARENT OBJECT", mesh_.name);
    EXPECT_EQ(geo, mesh_.geometry);
    EXPECT_EQ(0, mesh_.LoadMax(nullptr));
}

// Broken files: the result 0, the mesh only renamed, the table untouched (the valid file's texture
// exists, so a loader that added it before refusing would show).
class BrokenM3dTest : public LoadM3dTest {
  protected:
    void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& what) {
        std::strcpy(mesh_.name, "mesh");
        EXPECT_EQ(0, LoadBytes(bytes)) << what;
        EXPECT_STREQ("PARENT OBJECT", mesh_.name) << what;
        EXPECT_EQ(nullptr, mesh_.geometry) << what;
        EXPECT_EQ(nullptr, mesh_.skin) << what;
        EXPECT_EQ(0, TableSize()) << what;
    }
};

TEST_F(BrokenM3dTest, CutAtEveryFieldBoundary) {
    m3dtest::Writer w;
    Model m = Hierarchy();
    m.objects[2].faces[0].normals = 1;
    w.Write(m);
    for (size_t cut : w.boundaries) {
        if (cut == w.bytes.size()) continue;
        ExpectRefused(std::vector<uint8_t>(w.bytes.begin(), w.bytes.begin() + long(cut)),
                      "cut at " + std::to_string(cut));
    }
    ExpectRefused({}, "empty file");
    // The whole file, and the file with bytes after it, load.
    ASSERT_EQ(1, LoadBytes(w.bytes));
    FreeMesh();
    w.bytes.push_back(0);
    EXPECT_EQ(1, LoadBytes(w.bytes));
}

TEST_F(BrokenM3dTest, CountsPastTheEnd) {
    for (int32_t huge : {0x7FFFFFFF, 0x10000000, 3000}) {
        Model m = Hierarchy();
        m.materialCountOverride = huge;
        ExpectRefused(m3dtest::Bytes(m), "material count");
        m = Hierarchy();
        m.objectCountOverride = huge;
        ExpectRefused(m3dtest::Bytes(m), "object count");
        for (int list = 0; list < 5; ++list) {
            m = Hierarchy();
            m.objects[3].countOverride[size_t(list)] = huge;
            ExpectRefused(m3dtest::Bytes(m), "list " + std::to_string(list));
        }
        m = Hierarchy();
        m.objects[3].faces[1].cornerCount = huge;
        ExpectRefused(m3dtest::Bytes(m), "corner count");
    }
    // Negative counts are empty lists.
    Model m = Hierarchy();
    m.objects[1].countOverride[0] = -5;
    EXPECT_EQ(1, Load(m));
}

TEST_F(BrokenM3dTest, HierarchyDeeperThanTheLimit) {
    Model m;
    m.materials = TwoMaterials();
    for (int i = 0; i <= kM3dMaxDepth; ++i) {
        Object o;
        o.name = "n" + std::to_string(i);
        o.parent = i ? "n" + std::to_string(i - 1) : "";
        m.objects.push_back(o);
    }
    ExpectRefused(m3dtest::Bytes(m), "too deep");
    m.objects.pop_back();
    EXPECT_EQ(1, Load(m));
}

TEST_F(BrokenM3dTest, MoreThan65535VerticesOrTrianglesInAnObject) {
    Model m = Hierarchy();
    Object& many = m.objects[3];
    many.vertices.clear();
    many.faces.clear();
    for (int i = 0; i < 65536; ++i)
        many.vertices.push_back({float(i), 0, 0});
    for (int i = 0; i < 65536; i += 3)
        many.faces.push_back(MakeFace({i % 65536, (i + 1) % 65536, (i + 2) % 65536}, {}));
    ExpectRefused(m3dtest::Bytes(m), "65536 vertices");

    many.faces.assign(65536, MakeFace({0, 1, 2}, {}));
    ExpectRefused(m3dtest::Bytes(m), "65536 triangles");
    many.faces.pop_back();
    EXPECT_EQ(1, Load(m));
    EXPECT_EQ(65535, Sub(3).triangleCount);
    EXPECT_EQ(3, Sub(3).vertexCount);
}
