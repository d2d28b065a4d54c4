// Mesh objects loaded from the three model formats: ".3ds" and ".m3d" files into the engine's own
// geometry (and ".3ds" frames animated across key frames), ".x" files into the Retained Mode mesh
// builder; then drawn through the immediate-mode pipeline into a captured frame.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"
#include "tests/quib/m3d_writer.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void PutFloat(Bytes& b, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put32(b, bits);
}
Bytes Chunk(uint16_t id, const Bytes& body) {
    Bytes b;
    Put16(b, id);
    Put32(b, uint32_t(6 + body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes Cat(const Bytes& a, const Bytes& c) {
    Bytes b = a;
    b.insert(b.end(), c.begin(), c.end());
    return b;
}

// A ".3ds" file of one triangle; the file's z is the engine's height (y).
void Write3DS(const std::string& path, float x0, float x1, float height) {
    Bytes points;
    Put16(points, 3);
    for (float p : {x0, 0.0f, height, x1, 0.0f, height, x0, 0.0f, height + 1.0f})
        PutFloat(points, p);
    Bytes faces;
    for (uint16_t v : {1, 0, 1, 2, 0})
        Put16(faces, v);
    const Bytes mesh = Chunk(0x4100, Cat(Chunk(0x4110, points), Chunk(0x4120, faces)));
    const Bytes object = Chunk(0x4000, Cat(Bytes{'a', 0}, mesh));
    const Bytes file = Chunk(0x4D4D, Chunk(0x3D3D, object));
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
}

class MeshObjectLoadTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
};

TEST_F(MeshObjectLoadTest, ThreeDSFilesLoadAndAnimateAcrossFrames) {
    Write3DS("tri.3ds", -1.0f, 1.0f, 0.0f);
    Write3DS("up.3ds", -1.0f, 1.0f, 3.0f);
    Write3DS("down.3ds", -1.0f, 1.0f, -2.0f);
    MeshObject obj(nullptr, nullptr);
    char tri[] = "tri.3ds", up[] = "up.3ds", down[] = "down.3ds";
    ASSERT_EQ(1, obj.Load3DS(tri));
    ASSERT_NE(nullptr, obj.m_geo);
    ASSERT_NE(nullptr, obj.m_skin);
    EXPECT_EQ(3, obj.m_geo->subMeshes[0].vertexCount);
    EXPECT_EQ(0.0f, obj.GetMinimumY());
    ASSERT_EQ(1, obj.Add3DSFrame(up));
    ASSERT_EQ(1, obj.Add3DSFrame(down));
    EXPECT_EQ(-2.0f, obj.GetMinimumY()); // over the frames
    ASSERT_EQ(1, obj.Set3DSFrame(0));
    EXPECT_EQ(3.0f, obj.m_geo->subMeshes[0].GetMinimumY());
    ASSERT_EQ(1, obj.Next3DSFrame());
    EXPECT_EQ(-2.0f, obj.m_geo->subMeshes[0].GetMinimumY());
    ASSERT_EQ(1, obj.Next3DSFrame());
    EXPECT_EQ(3.0f, obj.m_geo->subMeshes[0].GetMinimumY());
}

TEST_F(MeshObjectLoadTest, ModelFilesLoadIntoGeometryDrawnInTheObjectsFrame) {
    m3dtest::Model model;
    m3dtest::Material paint{"paint", ""};
    paint.rgb[0] = 200;
    model.materials = {paint};
    m3dtest::Object square;
    square.name = "square";
    square.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    square.faces = {m3dtest::MakeFace({0, 1, 2}), m3dtest::MakeFace({0, 2, 3})};
    model.objects = {square};
    const std::vector<uint8_t> bytes = m3dtest::Bytes(model);
    FILE* f = std::fopen("square.m3d", "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);

    MeshObject obj(nullptr, nullptr);
    char name[] = "square.m3d";
    ASSERT_EQ(1, obj.LoadMax(name));
    ASSERT_NE(nullptr, obj.m_geo);
    ASSERT_NE(nullptr, obj.m_skin);
    EXPECT_EQ(1u, obj.m_geo->count);
    EXPECT_EQ(2, obj.m_geo->subMeshes[0].triangleCount);
    EXPECT_EQ(static_cast<Frame*>(&obj), obj.m_geo->frame);
    // A second load replaces the first geometry (freed, not leaked: the sanitizer build checks).
    ASSERT_EQ(1, obj.LoadMax(name));
    // An instance shares the geometry and copies the skin.
    MeshObject instance(&obj);
    EXPECT_EQ(obj.m_geo, instance.m_geo);
    ASSERT_NE(nullptr, instance.m_skin);
    EXPECT_EQ(obj.m_skin->count, instance.m_skin->count);
    // A missing file leaves the object without geometry.
    char missing[] = "missing.m3d";
    MeshObject none(nullptr, nullptr);
    EXPECT_EQ(1, none.LoadMax(missing));
    EXPECT_EQ(0.0f, none.GetMinimumY());
}

// Geometry a master replaces (by showing a frame or loading again) stays for the instances sharing it,
// until the last of them goes; without instances it is freed at once (the sanitizer build checks both).
TEST_F(MeshObjectLoadTest, GeometryAMasterReplacesStaysWithItsInstances) {
    Write3DS("tri.3ds", -1.0f, 1.0f, 0.0f);
    Write3DS("up.3ds", -1.0f, 1.0f, 3.0f);
    char tri[] = "tri.3ds", up[] = "up.3ds";
    auto* master = new MeshObject(nullptr, nullptr);
    ASSERT_EQ(1, master->Load3DS(tri));
    auto* first = new MeshObject(master);
    auto* second = new MeshObject(first); // an instance of an instance shares the master's too
    ASSERT_EQ(1, master->Add3DSFrame(up));
    ASSERT_EQ(1, master->Set3DSFrame(0));
    ASSERT_EQ(1, master->Load3DS(up));
    auto* third = new MeshObject(master);
    ASSERT_EQ(1, master->Load3DS(tri));
    for (MeshObject* instance : {first, second})
        EXPECT_EQ(0.0f, instance->m_geo->subMeshes[0].GetMinimumY());
    EXPECT_EQ(3.0f, third->m_geo->subMeshes[0].GetMinimumY());
    EXPECT_EQ(1, second->RenderDPMesh());
    delete first;
    EXPECT_EQ(0.0f, second->m_geo->subMeshes[0].GetMinimumY());
    delete second;
    delete third;
    delete master;

    MeshObject alone(nullptr, nullptr);
    ASSERT_EQ(1, alone.Load3DS(tri));
    ASSERT_EQ(1, alone.Load3DS(up));
    EXPECT_EQ(3.0f, alone.m_geo->subMeshes[0].GetMinimumY());
}

} // namespace
