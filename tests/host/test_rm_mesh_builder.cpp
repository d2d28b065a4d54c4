// Retained Mode mesh builders: ".x" files written by the tests loaded through the importer (frames
// flattened, faces, materials, the texture callback), the vertex and face lists, meshes made from the
// builder, and the references it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "rm_test_support.h"
#include "host/ddraw/testing.h"
#include "host/rm/d3drm.h"
#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

// Two materials (a red one with the texture "wood.bmp", a green one without), and a mesh of four
// vertices and three faces (two triangles in red, a quad in green) under a frame moved by (10, 20, 30).
const char kTwoMaterials[] = R"(xof 0303txt 0032
Material Red {
 1.0;0.0;0.0;1.0;;
 5.0;
 0.5;0.5;0.5;;
 0.0;0.0;0.25;;
 TextureFilename { "wood.bmp"; }
}
Material Green {
 0.0;1.0;0.0;0.5;;
 1.0;
 0.0;0.0;0.0;;
 0.0;0.0;0.0;;
}
Frame Root {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0,
  0.0,1.0,0.0,0.0,
  0.0,0.0,1.0,0.0,
  10.0,20.0,30.0,1.0;;
 }
 Mesh Board {
  4;
  0.0;0.0;1.0;,
  1.0;0.0;2.0;,
  0.0;1.0;3.0;,
  1.0;1.0;4.0;;
  3;
  3;0,1,2;,
  4;0,1,3,2;,
  3;1,3,2;;
  MeshNormals { 1; 0.0;0.0;-1.0;; 3; 3;0,0,0;, 4;0,0,0,0;, 3;0,0,0;; }
  MeshTextureCoords { 4; 0.0;0.25;, 1.0;0.5;, 0.0;0.75;, 1.0;1.0;; }
  MeshMaterialList { 2; 3; 0, 1, 0;; { Red } { Green } }
 }
}
)";

// Two meshes in nested frames, each with a material of its own (written inside its material list)
// naming the same texture.
const char kSharedTexture[] = R"(xof 0303txt 0032
Frame Outer {
 FrameTransformMatrix { 2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,0.0,0.0,1.0;; }
 Mesh First { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0;;
   Material A { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "stone.bmp"; } } } }
 Frame Inner {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,5.0,1.0;; }
  Mesh Second { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;;
   MeshMaterialList { 1; 1; 0;;
    Material B { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "stone.bmp"; } } } }
 }
}
)";

// A 2 x 1 binary pixmap: red, then blue.
const char kWoodPpm[] = "P6\n2 1\n255\n\xff\x00\x00\x00\x00\xff";

// What the texture callback saw, and what it does: rewrite the name's extension to ".ppm" in place and
// load that file (failing when told to).
struct CallbackRecord {
    IDirect3DRM2* rm = nullptr;
    std::vector<std::string> names;
    bool fail = false;
};

HRESULT LoadPpmTexture(char* name, void* arg, IDirect3DRMTexture** texture) {
    auto* record = static_cast<CallbackRecord*>(arg);
    record->names.push_back(name);
    if (record->fail) return D3DRMERR_NOTFOUND;
    if (char* dot = std::strchr(name, '.')) std::strcpy(dot, ".ppm");
    return record->rm->LoadTexture(name, texture);
}

class RMMeshBuilderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rm2_ = NewRetainedMode();
        ASSERT_NE(rm2_, nullptr);
        ASSERT_EQ(rm2_->CreateMeshBuilder(&builder_), D3DRM_OK);
        record_.rm = rm2_;
        testsupport::WriteText("model.x", kTwoMaterials);
        testsupport::WriteText("shared.x", kSharedTexture);
        testsupport::WriteBytes("wood.ppm", std::vector<uint8_t>(kWoodPpm, kWoodPpm + sizeof kWoodPpm - 1));
        testsupport::WriteBytes("stone.ppm", std::vector<uint8_t>(kWoodPpm, kWoodPpm + sizeof kWoodPpm - 1));
    }
    void TearDown() override {
        if (builder_) {
            EXPECT_EQ(builder_->Release(), 0u);
        }
        if (rm2_) {
            EXPECT_EQ(rm2_->Release(), 0u);
        }
        EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);
    }
    HRESULT LoadModel(const char* name) {
        return builder_->Load(const_cast<char*>(name), nullptr, D3DRMLOAD_FROMFILE, LoadPpmTexture, &record_);
    }
    // The positions of face f's corners as the builder lists them.
    std::vector<std::vector<float>> FaceCorners(size_t f) const {
        const auto& data = HostRMMeshBuilder::From(builder_)->Data();
        std::vector<std::vector<float>> corners;
        const HostRMBuilderFace& face = data.faces[f];
        for (uint32_t k = 0; k < face.cornerCount; ++k) {
            const D3DVECTOR& p = data.positions[data.corners[face.firstCorner + k].vertex];
            corners.push_back({p.x, p.y, p.z});
        }
        return corners;
    }

    testsupport::TempCurrentFolder folder_{"quib-rm-x"};
    IDirect3DRM2* rm2_ = nullptr;
    IDirect3DRMMeshBuilder2* builder_ = nullptr;
    CallbackRecord record_;
};

TEST_F(RMMeshBuilderTest, TextFileLoadsFacesInFileSpaceWithFrameTransformApplied) {
    ASSERT_EQ(LoadModel("MODEL.X"), D3DRM_OK); // names are found in any case
    ASSERT_EQ(builder_->GetFaceCount(), 3);
    EXPECT_EQ(builder_->GetVertexCount(), 4); // the file's vertices, though the importer splits them

    // The importer groups faces by material; each face keeps its corners and their order.
    std::vector<std::vector<std::vector<float>>> faces = {FaceCorners(0), FaceCorners(1), FaceCorners(2)};
    std::vector<std::vector<float>> triangle = {{10, 20, 31}, {11, 20, 32}, {10, 21, 33}};
    std::vector<std::vector<float>> quad = {{10, 20, 31}, {11, 20, 32}, {11, 21, 34}, {10, 21, 33}};
    std::vector<std::vector<float>> last = {{11, 20, 32}, {11, 21, 34}, {10, 21, 33}};
    EXPECT_NE(std::find(faces.begin(), faces.end(), triangle), faces.end());
    EXPECT_NE(std::find(faces.begin(), faces.end(), quad), faces.end());
    EXPECT_NE(std::find(faces.begin(), faces.end(), last), faces.end());

    const auto& data = HostRMMeshBuilder::From(builder_)->Data();
    EXPECT_EQ(data.normals[0].z, -1.0f);
    // Texture coordinates of the triangle's corners, as the file gives them.
    for (const HostRMBuilderFace& face : data.faces) {
        if (face.cornerCount != 3 || FaceCorners(&face - data.faces.data()) != triangle) continue;
        D3DVALUE u, v;
        ASSERT_EQ(builder_->GetTextureCoordinates(data.corners[face.firstCorner].vertex, &u, &v), D3DRM_OK);
        EXPECT_EQ(u, 0.0f);
        EXPECT_EQ(v, 0.25f);
        ASSERT_EQ(builder_->GetTextureCoordinates(data.corners[face.firstCorner + 2].vertex, &u, &v),
                  D3DRM_OK);
        EXPECT_EQ(v, 0.75f);
    }

    D3DRMBOX box;
    ASSERT_EQ(builder_->GetBox(&box), D3DRM_OK);
    EXPECT_EQ(box.min.x, 10.0f);
    EXPECT_EQ(box.max.x, 11.0f);
    EXPECT_EQ(box.min.z, 31.0f);
    EXPECT_EQ(box.max.z, 34.0f);
}

TEST_F(RMMeshBuilderTest, VerticesAreReadAsCountsThenData) {
    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    DWORD vertexCount = 0, normalCount = 0, faceSize = 0;
    ASSERT_EQ(builder_->GetVertices(&vertexCount, nullptr, &normalCount, nullptr, &faceSize, nullptr),
              D3DRM_OK);
    EXPECT_EQ(vertexCount, 4u);
    EXPECT_EQ(normalCount, 4u);
    EXPECT_EQ(faceSize, 1u + 3u + 2u * 10u);
    std::vector<D3DVECTOR> vertices(vertexCount), normals(normalCount);
    std::vector<DWORD> faceData(faceSize);
    ASSERT_EQ(builder_->GetVertices(&vertexCount, vertices.data(), &normalCount, normals.data(), &faceSize,
                                    faceData.data()),
              D3DRM_OK);
    // Walk the face data: counts, vertex and normal indices in range, the 0 at the end.
    size_t at = 0;
    for (int face = 0; face < 3; ++face) {
        DWORD corners = faceData[at++];
        ASSERT_GE(corners, 3u);
        for (DWORD k = 0; k < corners; ++k, at += 2) {
            EXPECT_LT(faceData[at], vertexCount);
            EXPECT_LT(faceData[at + 1], normalCount);
        }
    }
    EXPECT_EQ(faceData[at], 0u);
    EXPECT_EQ(at + 1, faceSize);

    DWORD shortRoom = vertexCount - 1;
    EXPECT_EQ(builder_->GetVertices(&shortRoom, vertices.data(), nullptr, nullptr, nullptr, nullptr),
              D3DRMERR_BADVALUE);
}

TEST_F(RMMeshBuilderTest, MeshHasOneGroupPerMaterialWithItsColourAndTexture) {
    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    ASSERT_EQ(record_.names, std::vector<std::string>{"wood.bmp"});
    ASSERT_EQ(builder_->SetPerspective(TRUE), D3DRM_OK);
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder_->CreateMesh(&mesh), D3DRM_OK);
    ASSERT_EQ(mesh->GetGroupCount(), 2u);

    int red = mesh->GetGroupColor(0) == 0xFFFF0000 ? 0 : 1;
    EXPECT_EQ(mesh->GetGroupColor(red), 0xFFFF0000u);
    EXPECT_EQ(mesh->GetGroupColor(1 - red), 0x8000FF00u);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(mesh->GetGroupTexture(red, &texture), D3DRM_OK);
    ASSERT_NE(texture, nullptr);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(HostRMTexture::From(texture)->Surface()->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 2u);
    texture->Release();
    ASSERT_EQ(mesh->GetGroupTexture(1 - red, &texture), D3DRM_OK);
    EXPECT_EQ(texture, nullptr);

    IDirect3DRMMaterial* material = nullptr;
    ASSERT_EQ(mesh->GetGroupMaterial(red, &material), D3DRM_OK);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetPower(), 5.0f);
    D3DVALUE r, g, b;
    material->GetEmissive(&r, &g, &b);
    EXPECT_EQ(b, 0.25f);
    material->Release();

    unsigned vertices = 0, faces = 0;
    ASSERT_EQ(mesh->GetGroup(red, &vertices, &faces, nullptr, nullptr, nullptr), D3DRM_OK);
    EXPECT_EQ(faces, 2u);
    EXPECT_EQ(vertices, 4u);
    EXPECT_EQ(mesh->GetGroupMapping(red), DWORD(D3DRMMAP_PERSPCORRECT));
    EXPECT_EQ(mesh->GetGroupQuality(red), builder_->GetQuality());
    EXPECT_EQ(mesh->Release(), 0u);
}

TEST_F(RMMeshBuilderTest, CallbackIsAskedOncePerNameAndNestedFramesMultiply) {
    ASSERT_EQ(LoadModel("shared.x"), D3DRM_OK);
    EXPECT_EQ(record_.names, std::vector<std::string>{"stone.bmp"});
    D3DRMBOX box;
    ASSERT_EQ(builder_->GetBox(&box), D3DRM_OK);
    EXPECT_EQ(box.max.x, 2.0f);
    EXPECT_EQ(box.min.z, 0.0f);
    EXPECT_EQ(box.max.z, 10.0f); // (0, 0, 5) in the inner frame, scaled by the outer one
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder_->CreateMesh(&mesh), D3DRM_OK);
    ASSERT_EQ(mesh->GetGroupCount(), 2u); // two materials sharing one texture
    IDirect3DRMTexture *first = nullptr, *second = nullptr;
    mesh->GetGroupTexture(0, &first);
    mesh->GetGroupTexture(1, &second);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    first->Release();
    second->Release();
    mesh->Release();
}

TEST_F(RMMeshBuilderTest, FailedCallbackLeavesTheFacesUntextured) {
    record_.fail = true;
    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    EXPECT_EQ(record_.names.size(), 1u);
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder_->CreateMesh(&mesh), D3DRM_OK);
    for (unsigned g = 0; g < mesh->GetGroupCount(); ++g) {
        IDirect3DRMTexture* texture = reinterpret_cast<IDirect3DRMTexture*>(1);
        ASSERT_EQ(mesh->GetGroupTexture(static_cast<D3DRMGROUPINDEX>(g), &texture), D3DRM_OK);
        EXPECT_EQ(texture, nullptr);
    }
    mesh->Release();
}

TEST_F(RMMeshBuilderTest, UnreadableFilesFailAndLeaveTheBuilderAsItWas) {
    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    EXPECT_EQ(LoadModel("missing.x"), D3DRMERR_FILENOTFOUND);
    testsupport::WriteText("cut.x", std::string(kTwoMaterials, 420));
    EXPECT_EQ(LoadModel("cut.x"), D3DRMERR_BADFILE);
    testsupport::WriteText("other.x", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"); // another format's text
    EXPECT_EQ(LoadModel("other.x"), D3DRMERR_BADFILE);
    EXPECT_EQ(builder_->Load(const_cast<char*>("model.x"), nullptr, 1, nullptr, nullptr), D3DRMERR_BADVALUE);
    EXPECT_EQ(builder_->GetFaceCount(), 3);
}

// A binary ".x" file of one frame moved by (1, 2, 3) holding one red triangle; garbage is appended
// inside the mesh's data when asked.
std::string BinaryTriangle(const std::string& garbage = "") {
    std::string out = "xof 0302bin 0032";
    auto word = [&](uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    auto dword = [&](uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    auto name = [&](const std::string& text) { word(1), dword(uint32_t(text.size())), out += text; };
    auto ints = [&](std::vector<uint32_t> v) {
        word(6), dword(uint32_t(v.size()));
        for (uint32_t i : v)
            dword(i);
    };
    auto reals = [&](std::vector<float> v) {
        word(7), dword(uint32_t(v.size()));
        for (float f : v)
            out.append(reinterpret_cast<const char*>(&f), 4);
    };
    name("Frame"), name("F"), word(10), name("FrameTransformMatrix"), word(10);
    reals({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1});
    word(11), name("Mesh"), name("M"), word(10), ints({3}), reals({0, 0, 0, 1, 0, 0, 0, 1, 0});
    out += garbage;
    ints({1, 3, 0, 1, 2}), word(11), word(11);
    return out;
}

TEST_F(RMMeshBuilderTest, BinaryFormLoadsAndFilesTheImporterFailsOnAreRefused) {
    HostRMMeshBuilder* builder = HostRMMeshBuilder::From(builder_);
    std::string binary = BinaryTriangle();
    ASSERT_EQ(builder->LoadFromMemory(binary.data(), binary.size(), nullptr, nullptr), D3DRM_OK);
    EXPECT_EQ(builder_->GetFaceCount(), 1);
    D3DRMBOX box;
    builder_->GetBox(&box);
    EXPECT_EQ(box.min.x, 1.0f);
    EXPECT_EQ(box.max.y, 3.0f);
    EXPECT_EQ(box.max.z, 3.0f);

    // Counts the importer allocates for before reading (its helper runs out of memory), a word that is no
    // token: refused.
    std::string huge = BinaryTriangle(std::string("\x03\x00\xff\xff\xff\xff", 6));
    EXPECT_EQ(builder->LoadFromMemory(huge.data(), huge.size(), nullptr, nullptr), D3DRMERR_BADFILE);
    std::string stray = BinaryTriangle(std::string("\x00\xff\xff\xff\xff\xff", 6)); // not a token
    EXPECT_EQ(builder->LoadFromMemory(stray.data(), stray.size(), nullptr, nullptr), D3DRMERR_BADFILE);
    for (const char* count : {"4000000000", "-1"}) {
        std::string text =
            std::string("xof 0303txt 0032\nMesh M { ") + count + "; 0.0;0.0;0.0;;\n 1; 3;0,0,0;; }\n";
        EXPECT_EQ(builder->LoadFromMemory(text.data(), text.size(), nullptr, nullptr), D3DRMERR_BADFILE)
            << count;
    }
    // Material lists the importer crashes on (in its helper): nothing in them, or an object that is no
    // material.
    for (const char* list : {"", "Matxrial M { 1.0;0.0;0.0;1.0;; 2.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }",
                             "\xbb Material M { 1.0;0.0;0.0;1.0;; 2.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }"}) {
        std::string text =
            std::string("xof 0303txt 0032\nMesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;"
                        " 1; 3;0,1,2;;\n MeshMaterialList { 1; 1; 0;; ") +
            list + " } }\n";
        EXPECT_EQ(builder->LoadFromMemory(text.data(), text.size(), nullptr, nullptr), D3DRMERR_BADFILE)
            << list;
    }
    EXPECT_EQ(builder_->GetFaceCount(), 1);
}

TEST_F(RMMeshBuilderTest, AddMeshAppendsGroupsWithTheirLook) {
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(rm2_->CreateMesh(&mesh), D3DRM_OK);
    unsigned quad[] = {0, 1, 2, 3};
    D3DRMGROUPINDEX id = -1;
    ASSERT_EQ(mesh->AddGroup(4, 1, 4, quad, &id), D3DRM_OK);
    D3DRMVERTEX corners[4] = {};
    for (int i = 0; i < 4; ++i)
        corners[i].position = {float(i), 0.0f, 1.0f};
    mesh->SetVertices(id, 0, 4, corners);
    mesh->SetGroupColor(id, 0xFF0000FF);
    IDirect3DRMMaterial* material = nullptr;
    ASSERT_EQ(rm2_->CreateMaterial(2.0f, &material), D3DRM_OK);
    mesh->SetGroupMaterial(id, material);

    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    ASSERT_EQ(builder_->AddMesh(mesh), D3DRM_OK);
    EXPECT_EQ(builder_->GetFaceCount(), 4);
    EXPECT_EQ(builder_->GetVertexCount(), 8);
    IDirect3DRMMesh* made = nullptr;
    ASSERT_EQ(builder_->CreateMesh(&made), D3DRM_OK);
    ASSERT_EQ(made->GetGroupCount(), 3u);
    EXPECT_EQ(made->GetGroupColor(2), 0xFF0000FFu);
    IDirect3DRMMaterial* got = nullptr;
    made->GetGroupMaterial(2, &got);
    EXPECT_EQ(got, material);
    got->Release();

    EXPECT_EQ(made->Release(), 0u);
    EXPECT_EQ(mesh->Release(), 0u);
    builder_->Release();
    builder_ = nullptr;
    EXPECT_EQ(material->Release(), 0u); // the builder gave up its reference too
}

TEST_F(RMMeshBuilderTest, BuilderSettersApplyToEveryFace) {
    ASSERT_EQ(LoadModel("model.x"), D3DRM_OK);
    ASSERT_EQ(builder_->SetColorRGB(0.0f, 0.0f, 1.0f), D3DRM_OK);
    ASSERT_EQ(builder_->SetTexture(nullptr), D3DRM_OK);
    IDirect3DRMMaterial* material = nullptr;
    ASSERT_EQ(rm2_->CreateMaterial(1.0f, &material), D3DRM_OK);
    ASSERT_EQ(builder_->SetMaterial(material), D3DRM_OK);
    HostRMMesh* drawn = HostRMMeshBuilder::From(builder_)->Drawable();
    ASSERT_EQ(drawn->Groups().size(), 1u);
    EXPECT_EQ(drawn->Groups()[0].colour, 0xFF0000FFu);
    EXPECT_EQ(drawn->Groups()[0].material.Get(), HostRMMaterial::From(material));
    EXPECT_FALSE(drawn->Groups()[0].texture);
    EXPECT_FALSE(drawn->Groups()[0].Perspective());
    // The file's materials and the texture were given up with the looks no face uses.
    EXPECT_EQ(HostRMMeshBuilder::From(builder_)->Data().looks.size(), 2u);
    EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);

    ASSERT_EQ(builder_->Translate(1.0f, 0.0f, 0.0f), D3DRM_OK);
    D3DRMBOX box;
    builder_->GetBox(&box);
    EXPECT_EQ(box.min.x, 11.0f);
    EXPECT_EQ(CountOf(material), 2u); // the builder's look; the drawable mesh went with the change
    material->Release();
}

} // namespace
