// The .3ds loader on files the tests write chunk by chunk: meshes grouped by material with z-up turned
// into y-up, colours and shared textures from the material block, pivots from the key-frame block, and
// every broken file refused without a change to the mesh or the surface table.
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/load_3ds.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

using Bytes = std::vector<uint8_t>;
using Point = std::array<float, 3>;

// A chunk: id, data and sub-chunks; its length is counted when it is written unless given.
struct Chunk {
    uint16_t id;
    Bytes data;
    std::vector<Chunk> kids;
    long length = -1;

    Bytes Write() const {
        Bytes body = data;
        for (const Chunk& kid : kids) {
            const Bytes written = kid.Write();
            body.insert(body.end(), written.begin(), written.end());
        }
        Bytes out;
        PutLe16(out, id);
        PutLe32(out, uint32_t(length >= 0 ? size_t(length) : 6 + body.size()));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
};

Bytes Words(std::initializer_list<uint16_t> values) {
    Bytes out;
    for (uint16_t v : values)
        PutLe16(out, v);
    return out;
}

Bytes Floats(std::initializer_list<float> values) {
    Bytes out;
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutLe32(out, bits);
    }
    return out;
}

Bytes Text(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

void Append(Bytes& out, const Bytes& part) {
    out.insert(out.end(), part.begin(), part.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        Append(out, part);
    return out;
}

// A counted list (points, texture vertices): the count (default: as many as given), then each record.
Chunk List(uint16_t id, const std::vector<std::vector<float>>& records, int count = -1) {
    Bytes data = Words({uint16_t(count < 0 ? records.size() : size_t(count))});
    for (const auto& record : records)
        for (float v : record)
            Append(data, Floats({v}));
    return Chunk{id, data, {}};
}
Chunk Points(const std::vector<std::vector<float>>& xyz, int count = -1) {
    return List(0x4110, xyz, count);
}
Chunk TexVertices(const std::vector<std::vector<float>>& uv) {
    return List(0x4140, uv);
}

Chunk Faces(const std::vector<std::array<uint16_t, 3>>& faces, std::vector<Chunk> groups = {}) {
    Bytes data = Words({uint16_t(faces.size())});
    for (const auto& f : faces)
        Append(data, Words({f[0], f[1], f[2], 0}));
    return Chunk{0x4120, data, std::move(groups)};
}

Chunk Group(const std::string& material, std::initializer_list<uint16_t> faces) {
    return Chunk{0x4130, Cat({Text(material), Words({uint16_t(faces.size())}), Words(faces)}), {}};
}

Chunk Object(const std::string& name, std::vector<Chunk> mesh) {
    return Chunk{0x4000, Text(name), {Chunk{0x4100, {}, std::move(mesh)}}};
}

Chunk Material(const std::string& name, std::array<uint8_t, 3> diffuse, const char* map = nullptr) {
    Chunk block{0xAFFF,
                {},
                {Chunk{0xA000, Text(name), {}}, Chunk{0xA010, {}, {Chunk{0x0011, {9, 9, 9}, {}}}},
                 Chunk{0xA020, {}, {Chunk{0x0011, {diffuse[0], diffuse[1], diffuse[2]}, {}}}}}};
    if (map) block.kids.push_back(Chunk{0xA200, {}, {Chunk{0xA300, Text(map), {}}}});
    return block;
}

// Main chunk { editor chunk { editor } , after... }.
Bytes File(std::vector<Chunk> editor, std::vector<Chunk> after = {}) {
    Chunk main{0x4D4D, {}, {Chunk{0x3D3D, {}, std::move(editor)}}};
    for (Chunk& c : after)
        main.kids.push_back(std::move(c));
    return main.Write();
}

Chunk OneTriangle(const std::string& name = "a") {
    return Object(name, {Points({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}), Faces({{0, 1, 2}})});
}

class Load3DSTest : public EngineDisplayTest {
  protected:
    void SetUp() override {
        EngineDisplayTest::SetUp();
        QuibInitSurfaceTable();
    }
    void TearDown() override {
        Free(mesh_);
        DeleteSurfaceTable();
        EngineDisplayTest::TearDown();
    }

    static void Free(DPMesh& mesh) {
        delete mesh.geometry;
        delete mesh.skin;
        mesh.geometry = nullptr;
        mesh.skin = nullptr;
    }

    int Load(const Bytes& file) {
        WriteBytes("model.3ds", file);
        return mesh_.Load3DS("model.3ds");
    }

    static int TableSize() { return g_pSurfaceTable->m_entries.GetCount(); }

    // A loadable 2 x 2 texture.
    static void WriteTexture(const std::string& name) {
        WriteBytes(name, BuildBmp(Picture24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF})));
    }

    const DPSubMesh& Sub(int i) const { return mesh_.geometry->subMeshes[i]; }

    // Corner k of triangle t of sub-mesh s.
    const DPVertex& Corner(int s, int t, int k) const {
        const DPSubMesh& sub = Sub(s);
        return sub.vertices[sub.triangles[t].v[k]];
    }

    static Point Position(const DPVertex& v) { return {v.x, v.y, v.z}; }

    DPMesh mesh_{0, 0};
};

} // namespace

TEST_F(Load3DSTest, OneTriangleFileGivesARedDefaultSubMeshTurnedToYUp) {
    const Bytes file = File({OneTriangle()});
    ASSERT_EQ(86u, file.size());
    WriteBytes("model.3ds", file);
    // The programs name their files in another case and with backslashes.
    ASSERT_EQ(1, mesh_.Load3DS(".\\MODEL.3DS"));

    ASSERT_NE(nullptr, mesh_.geometry);
    ASSERT_EQ(1u, mesh_.geometry->count);
    ASSERT_EQ(1u, mesh_.skin->count);
    EXPECT_EQ(0xFF0000u, mesh_.skin->materials[0].colour);
    EXPECT_EQ(nullptr, mesh_.skin->materials[0].texture);
    const DPSubMesh& sub = Sub(0);
    EXPECT_EQ(0, sub.materialIndex);
    EXPECT_EQ(&mesh_.skin->materials[0], sub.material);
    ASSERT_EQ(3, sub.vertexCount);
    ASSERT_EQ(1, sub.triangleCount);
    // Corners in reverse order, y and z exchanged; welding numbers them in file order.
    EXPECT_EQ((Point{7, 9, 8}), Position(Corner(0, 0, 0)));
    EXPECT_EQ((Point{4, 6, 5}), Position(Corner(0, 0, 1)));
    EXPECT_EQ((Point{1, 3, 2}), Position(Corner(0, 0, 2)));
    EXPECT_EQ(2, sub.triangles[0].v[0]);
    EXPECT_EQ(0.0f, Corner(0, 0, 0).tu);
    EXPECT_EQ(1.0f, sub.extents[0]);
    EXPECT_EQ(7.0f, sub.extents[1]);
    EXPECT_NE(nullptr, sub.triInfo);
    EXPECT_EQ(0, TableSize());
}

TEST_F(Load3DSTest, MaterialsGiveColoursAndTexturesSharedThroughTheTable) {
    WriteTexture("WOOD.BMP"); // found whatever the case
    const Bytes file =
        File({Material("wood", {1, 2, 3}, "wood.tga"), Material("paint", {10, 20, 30}),
              Material("stone", {0, 0, 0}, "stone"), Material("spare", {1, 2, 3}),
              Object("box", {Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}}),
                             Faces({{0, 1, 2}, {2, 3, 0}, {0, 1, 4}},
                                   {Group("wood", {0}), Group("paint", {1}), Group("stone", {2})})})});
    ASSERT_EQ(1, Load(file));

    ASSERT_EQ(4u, mesh_.skin->count);
    const DPMaterial* skin = mesh_.skin->materials;
    ASSERT_NE(nullptr, skin[0].texture);
    EXPECT_EQ(0xFFFFFFu, skin[0].colour);
    EXPECT_STREQ("wood.bmp", skin[0].texture->name);
    EXPECT_EQ(skin[0].texture, g_pSurfaceTable->FindByName("wood.bmp"));
    EXPECT_EQ(0x0A141Eu, skin[1].colour);
    EXPECT_EQ(nullptr, skin[1].texture);
    EXPECT_EQ(0xFF0000u, skin[2].colour); // "stone.bmp" is missing
    EXPECT_EQ(nullptr, skin[2].texture);
    EXPECT_EQ(0x010203u, skin[3].colour); // unused, yet set
    EXPECT_EQ(0, Sub(3).vertexCount);
    EXPECT_EQ(0, Sub(3).triangleCount);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1, Sub(i).triangleCount) << i;
    EXPECT_EQ(1, TableSize()); // the failed texture was not kept

    // Loading again replaces the geometry and shares the texture.
    SurfaceTableEntry* wood = skin[0].texture;
    ASSERT_EQ(1, Load(file));
    EXPECT_EQ(wood, mesh_.skin->materials[0].texture);
    DPMesh other(0, 0);
    ASSERT_EQ(1, other.Load3DS("model.3ds"));
    EXPECT_EQ(wood, other.skin->materials[0].texture);
    EXPECT_EQ(1, TableSize());
    Free(other);
}

TEST_F(Load3DSTest, MapNamesBecomeBitmapNamesWithinTheNameLimit) {
    const std::string longName(300, 'n');
    const char* const maps[] = {"wood.tga", "wood", "a.b.c", "", longName.c_str()};
    std::vector<Chunk> editor;
    for (const char* map : maps)
        editor.push_back(Material("m", {0, 0, 0}, map));
    WriteBytes("model.3ds", File(editor));
    Scene3DS scene;
    ASSERT_EQ(1, scene.Load("model.3ds"));
    ASSERT_EQ(5u, scene.materials.size());
    EXPECT_EQ("wood.bmp", scene.materials[0].mapName);
    EXPECT_EQ("wood.bmp", scene.materials[1].mapName);
    EXPECT_EQ("a.bmp", scene.materials[2].mapName);
    EXPECT_EQ("", scene.materials[3].mapName); // no texture
    EXPECT_EQ(std::string(251, 'n') + ".bmp", scene.materials[4].mapName);
    EXPECT_EQ(9, scene.materials[0].ambient[0]);
}

TEST_F(Load3DSTest, ObjectsSharingAMaterialMergeAndEqualCornersWeldButNaNsNever) {
    const Bytes file = File({Material("shared", {0, 0, 0}),
                             Object("one", {Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
                                            TexVertices({{0, 0}, {1, 0}, {1, 0.25f}, {0, 1}}),
                                            Faces({{0, 1, 2}, {2, 3, 0}}, {Group("shared", {0, 1})})}),
                             // No texture vertices; -0.0 is the same corner as the first object's first one.
                             Object("two", {Points({{-0.0f, 0, -0.0f}, {5, 0, 0}, {5, 5, 0}}),
                                            Faces({{0, 1, 2}}, {Group("shared", {0})})})});
    ASSERT_EQ(1, Load(file));
    ASSERT_EQ(1u, mesh_.geometry->count);
    const DPSubMesh& sub = Sub(0);
    EXPECT_EQ(6, sub.vertexCount);
    ASSERT_EQ(3, sub.triangleCount);
    EXPECT_EQ(sub.triangles[0].v[2], sub.triangles[1].v[0]); // corner (0, 0, 0) of both faces
    EXPECT_EQ(sub.triangles[0].v[2], sub.triangles[2].v[2]); // and of the second object
    EXPECT_EQ(sub.triangles[0].v[0], sub.triangles[1].v[2]); // corner (1, 1, 0)
    const DPVertex& c = Corner(0, 0, 0);
    EXPECT_EQ((Point{1, 0, 1}), Position(c));
    EXPECT_EQ(1.0f, c.tu);
    EXPECT_EQ(-0.25f, c.tv);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_EQ(1, Load(File({Object(
                     "n", {Points({{nan, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}, {0, 2, 1}})})})));
    EXPECT_EQ(4, Sub(0).vertexCount); // the NaN corner twice, the two others shared
    EXPECT_TRUE(std::isnan(Corner(0, 0, 2).x));
}

TEST_F(Load3DSTest, PivotShiftsTheObjectByItsRotatedAxes) {
    QuibDebugEnable(1);
    Bytes track = Cat({Words({0}), Bytes(8, 0), Words({50, 0}), // says 50 keys, holds one
                       Words({3}), Bytes(4, 0), Floats({1, 2, 3})});
    const Bytes file =
        File({OneTriangle("other"),
              Object("piv",
                     {Points({{1, 2, 3}, {2, 2, 3}, {1, 3, 3}}),
                      Chunk{0x4160, Floats({0, 1, 0, -1, 0, 0, 0, 0, 1, 5, 5, 5}), {}}, Faces({{0, 1, 2}})})},
             {Chunk{0xB000,
                    {},
                    {Chunk{0xB002,
                           {},
                           {Chunk{0xB010, Cat({Text("piv"), Words({0, 0, 0xFFFF})}), {}},
                            Chunk{0xB020, track, {}}, Chunk{0xB013, Floats({1, 2, 0}), {}}}}}}});
    ASSERT_EQ(1, Load(file));
    // Both objects' faces fall to "Default": the first triangle as it is, the second less the pivot
    // 1 * (0, 1, 0) + 2 * (-1, 0, 0) = (-2, 1, 0), then y and z exchanged.
    ASSERT_EQ(1u, mesh_.geometry->count);
    ASSERT_EQ(2, Sub(0).triangleCount);
    EXPECT_EQ((Point{7, 9, 8}), Position(Corner(0, 0, 0)));
    EXPECT_EQ((Point{3, 3, 1}), Position(Corner(0, 1, 2)));
    EXPECT_EQ((Point{3, 3, 2}), Position(Corner(0, 1, 0)));
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos, log.find("Pivot Point <   1.00000,   2.00000,   0.00000>\n"));
    EXPECT_NE(std::string::npos, log.find("POSITION KEY\nKEY:  3,XYZ:<   1.00000,   2.00000,   3.00000>"));
    EXPECT_NE(std::string::npos, log.find("MATERIAL <Default>, Bitmap<>, RGB<255,0,0>, totalf=2\n"));
}

TEST_F(Load3DSTest, DegenerateFacesStayAndIndicesOutOfRangeAreDropped) {
    const Bytes file =
        File({Material("m", {0, 0, 0}),
              Object("o", {Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, 5), // says 5, holds 3
                           Faces({{0, 1, 2}, {1, 1, 1}, {0, 1, 9}}, {Group("m", {0, 7, 1, 2})})})});
    ASSERT_EQ(1, Load(file));
    ASSERT_EQ(1u, mesh_.geometry->count); // every face has a material: no "Default"
    const DPSubMesh& sub = Sub(0);
    EXPECT_EQ(3, sub.vertexCount);
    ASSERT_EQ(2, sub.triangleCount); // face 7 does not exist, face 2 names vertex 9
    EXPECT_EQ(sub.triangles[1].v[0], sub.triangles[1].v[1]);
    EXPECT_EQ(sub.triangles[1].v[1], sub.triangles[1].v[2]);
}

TEST_F(Load3DSTest, DataBeforeItsObjectOrMaterialIsSkipped) {
    const Bytes file = File(
        {Points({{9, 9, 9}}), Faces({{0, 0, 0}}, {Group("x", {0})}), TexVertices({{1, 1}}),
         Chunk{0x4160, Floats({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), {}},
         Chunk{0xA020, {}, {Chunk{0x0011, {1, 2, 3}, {}}}}, Chunk{0xA300, Text("x.tga"), {}}, OneTriangle()});
    ASSERT_EQ(1, Load(file));
    ASSERT_EQ(1u, mesh_.geometry->count);
    EXPECT_EQ(0xFF0000u, mesh_.skin->materials[0].colour);
    EXPECT_EQ(3, Sub(0).vertexCount);
    EXPECT_EQ((Point{1, 3, 2}), Position(Corner(0, 0, 2)));
}

TEST_F(Load3DSTest, BrokenFilesAreRefusedLeavingMeshAndTableAlone) {
    WriteTexture("wood.bmp");
    const Chunk wood = Material("wood", {0, 0, 0}, "wood.tga");
    const Chunk woodFaces =
        Object("w", {Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}}, {Group("wood", {0})})});
    const Bytes good = File({wood, woodFaces});

    std::vector<std::pair<const char*, Bytes>> broken;
    broken.emplace_back("truncated", Bytes(good.begin(), good.end() - 3));
    Bytes longer = good;
    longer[2] = uint8_t(longer[2] + 1); // the main chunk claims a byte more than the file holds
    broken.emplace_back("longer than the file", longer);
    broken.emplace_back("zero length", File({wood, Chunk{0x1234, {}, {}, 0}, woodFaces}));
    broken.emplace_back("shorter than its header", File({wood, Chunk{0x1234, {}, {}, 5}, woodFaces}));
    // The editor chunk ends 10 bytes into the object chunk, which claims more.
    const long editorLength = long(6 + wood.Write().size() + 10);
    broken.emplace_back("longer than its parent",
                        Chunk{0x4D4D, {}, {Chunk{0x3D3D, {}, {wood, woodFaces}, editorLength}}}.Write());
    broken.emplace_back("unterminated name", File({wood, Chunk{0x4000, Bytes{'w', 'w'}, {}}, woodFaces}));
    broken.emplace_back("short colour",
                        File({wood, Chunk{0xA020, {}, {Chunk{0x0011, {1, 2}, {}}}}, woodFaces}));
    broken.emplace_back("short axes", File({wood, woodFaces, Chunk{0x4160, Floats({1, 2, 3}), {}}}));
    broken.emplace_back("tail in a container", File({wood, woodFaces, Chunk{0x3000, {1, 2, 3}, {}}}));

    for (const auto& [what, bytes] : broken) {
        std::snprintf(mesh_.name, sizeof mesh_.name, "kept");
        EXPECT_EQ(0, Load(bytes)) << what;
        EXPECT_EQ(nullptr, mesh_.geometry) << what;
        EXPECT_EQ(nullptr, mesh_.skin) << what;
        EXPECT_STREQ("PARENT OBJECT", mesh_.name) << what;
        EXPECT_EQ(0, TableSize()) << what;
    }
    ASSERT_EQ(1, Load(good)); // the pieces themselves are sound
    EXPECT_EQ(1, TableSize());
}

TEST_F(Load3DSTest, MissingFileOrNoFacesGivesNoMesh) {
    QuibDebugEnable(1);
    EXPECT_EQ(0, mesh_.Load3DS("nothere.3ds"));
    EXPECT_STREQ("PARENT OBJECT", mesh_.name);
    EXPECT_NE(std::string::npos, ReadLog().find("_3DS::Load(nothere.3ds) : can't find file...\n"));

    std::snprintf(mesh_.name, sizeof mesh_.name, "kept");
    EXPECT_EQ(0, Load(File({Object("bare", {Points({{0, 0, 0}})})}))); // read, but no material at all
    EXPECT_STREQ("kept", mesh_.name);
    EXPECT_EQ(nullptr, mesh_.geometry);
}

TEST_F(Load3DSTest, MoreWeldedVerticesThanSixteenBitsRefuseTheFile) {
    WriteTexture("wood.bmp");
    // Two objects of 35001 distinct points and 11667 faces each: 70002 vertices for one material.
    std::vector<Chunk> editor{Material("wood", {0, 0, 0}, "wood.tga")};
    for (int o = 0; o < 2; ++o) {
        std::vector<std::vector<float>> points;
        std::vector<std::array<uint16_t, 3>> faces;
        for (int i = 0; i < 35001; ++i)
            points.push_back({float(i), float(o), 0});
        for (int f = 0; f < 11667; ++f)
            faces.push_back({uint16_t(3 * f), uint16_t(3 * f + 1), uint16_t(3 * f + 2)});
        Chunk group{0x4130, Cat({Text("wood"), Words({11667})}), {}};
        for (int f = 0; f < 11667; ++f)
            PutLe16(group.data, uint16_t(f));
        editor.push_back(Object(std::string(1, char('a' + o)), {Points(points), Faces(faces, {group})}));
    }
    EXPECT_EQ(0, Load(File(editor)));
    EXPECT_EQ(nullptr, mesh_.geometry);
    EXPECT_EQ(0, TableSize());
}

TEST_F(Load3DSTest, DamageOnlyInTheKeyFrameBlockKeepsTheMesh) {
    // Node "a" with pivot (1, 0, 0), then a position track of two keys.
    const Chunk header{0xB010, Cat({Text("a"), Words({0, 0, 0xFFFF})}), {}};
    const Chunk pivot{0xB013, Floats({1, 0, 0}), {}};
    const Chunk track{0xB020,
                      Cat({Words({0}), Bytes(8, 0), Words({2, 0}), Words({0}), Bytes(4, 0), Floats({1, 2, 3}),
                           Words({9}), Bytes(4, 0), Floats({4, 5, 6})}),
                      {}};
    auto keyFrames = [&](std::vector<Chunk> after) {
        std::vector<Chunk> node{header, pivot};
        node.insert(node.end(), after.begin(), after.end());
        return File({OneTriangle()}, {Chunk{0xB000, {}, {Chunk{0xB002, {}, node}}}});
    };
    const Bytes whole = keyFrames({track});
    Chunk overlong = track;
    overlong.length = 4000;
    std::vector<std::pair<const char*, Bytes>> loaded = {
        {"cut inside the track", Bytes(whole.begin(), whole.end() - 7)},
        {"cut inside the track's header", Bytes(whole.begin(), whole.end() - track.Write().size() + 3)},
        {"track longer than its node", keyFrames({overlong, track})},
        {"track fields cut short", keyFrames({Chunk{0xB020, Words({0, 1}), {}}})},
        {"unknown chunk past the block", keyFrames({Chunk{0xB030, {}, {}, 1 << 20}})},
    };
    for (const auto& [what, bytes] : loaded) {
        ASSERT_EQ(1, Load(bytes)) << what;
        ASSERT_EQ(1, Sub(0).triangleCount) << what;
        // (1, 2, 3) less the pivot read before the damage, y and z exchanged.
        EXPECT_EQ((Point{0, 3, 2}), Position(Corner(0, 0, 2))) << what;
    }
    // A chunk that would never move the reading on still refuses the file, there too; a pivot cut short
    // is not taken.
    EXPECT_EQ(0, Load(keyFrames({Chunk{0xB021, {}, {}, 0}})));
    ASSERT_EQ(1,
              Load(File({OneTriangle()}, {Chunk{0xB000, {}, {header, Chunk{0xB013, Floats({1, 0}), {}}}}})));
    EXPECT_EQ((Point{1, 3, 2}), Position(Corner(0, 0, 2)));
}
