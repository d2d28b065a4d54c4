// ".x" files load with the file's own vertices in the builder, not one per face corner.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "host/rm/mesh_builder.h"

namespace {

HRESULT RecordName(char* name, void* arg, IDirect3DRMTexture** texture) {
    static_cast<std::set<std::string>*>(arg)->insert(name);
    *texture = nullptr;
    return D3DRMERR_NOTFOUND;
}

// What a load gave: faces, vertices, texture names, the lowest and highest point and the mean height.
struct Loaded {
    HRESULT result = E_FAIL;
    int faces = 0, vertices = 0;
    std::set<std::string> textures;
    D3DRMBOX box = {};
    float meanY = 0.0f;
};

Loaded Load(const std::string& file) {
    Loaded got;
    auto* builder = new HostRMMeshBuilder();
    got.result = builder->LoadFromMemory(file.data(), file.size(), RecordName, &got.textures);
    got.faces = builder->GetFaceCount();
    got.vertices = builder->GetVertexCount();
    builder->GetBox(&got.box);
    for (const D3DVECTOR& p : builder->Data().positions)
        got.meanY += p.y / float(got.vertices);
    builder->Release();
    return got;
}

// Corners are welded where position, normal and texture coordinates agree, within one frame: a vertex
// shared by faces of two materials is one vertex, one met with two normals is two, and a frame's meshes
// share no vertex with another frame's.
TEST(RMXFiles, TheBuilderHoldsTheFilesVertices) {
    const std::string pyramid = "5; -1.0;0.0;-1.0;, 1.0;0.0;-1.0;, 1.0;0.0;1.0;, -1.0;0.0;1.0;, 0.0;1.0;0.0;;"
                                " 5; 3;4,1,0;, 3;4,2,1;, 3;4,3,2;, 3;4,0,3;, 4;0,1,2,3;;";
    const std::string twoMaterials =
        " MeshMaterialList { 2; 5; 0,0,0,0,1;; Material A { 1.0;0.0;0.0;1.0;; 0.0;"
        " 0.0;0.0;0.0;; 0.0;0.0;0.0;; } Material B { 0.0;0.0;1.0;1.0;; 0.0;"
        " 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }";
    const std::string faceNormals = " MeshNormals { 2; 0.0;1.0;0.0;, 0.0;-1.0;0.0;; 5; 3;0,0,0;, 3;0,0,0;,"
                                    " 3;0,0,0;, 3;0,0,0;, 4;1,1,1,1;; }";
    const std::string seam = " MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;, 0.5;0.5;; }";
    const std::string triangle = "Mesh T { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }";
    struct Case {
        const char* what;
        std::string body;
        int vertices;
        float meanY;
    };
    const Case cases[] = {
        {"split by material", "Mesh P { " + pyramid + twoMaterials + " }", 5, 0.2f},
        {"texture coordinates per vertex", "Mesh P { " + pyramid + seam + " }", 5, 0.2f},
        {"base corners with a second normal", "Mesh P { " + pyramid + faceNormals + " }", 9, 1.0f / 9},
        {"the same triangle in two frames", "Frame A { " + triangle + " } Frame B { " + triangle + " }", 6,
         1.0f / 3},
    };
    for (const Case& c : cases) {
        Loaded got = Load("xof 0303txt 0032\n" + c.body + "\n");
        ASSERT_EQ(got.result, D3DRM_OK) << c.what;
        EXPECT_EQ(got.vertices, c.vertices) << c.what;
        EXPECT_NEAR(got.meanY, c.meanY, 1e-6f) << c.what;
    }
}

} // namespace
