// Fuzz target for the mesh builder's ".x" loading (our use of the model importer): the input is a model
// file. A file that loads must give a builder whose faces index its vertex and normal lists and whose
// texture callback was asked once per distinct name with a writable, terminated buffer; the mesh made
// from it must have faces that index their groups' vertices; every object must be freed (the leak
// checker sees the rest) and no child process may be left. The importer itself runs in a child process
// that dies alone on the files it crashes on: what is fuzzed here is everything around it. Inputs over
// 1 MiB are skipped.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/wait.h>
#include <set>
#include <string>

#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "mesh builder";

namespace {

using fuzz::Require;

constexpr size_t kMaxInput = 1 << 20;

// Writes over the whole room the callback is promised, then refuses: the faces stay untextured.
HRESULT ScribbleAndRefuse(char* name, void* arg, IDirect3DRMTexture** texture) {
    auto* seen = static_cast<std::set<std::string>*>(arg);
    Require(seen->insert(name).second, "one callback per texture name");
    size_t length = std::strlen(name);
    std::memset(name, 'x', length + D3DRM_TEXTURE_NAME_ROOM);
    *texture = nullptr;
    return D3DRMERR_NOTFOUND;
}

void CheckBuilder(HostRMMeshBuilder& builder) {
    const HostRMMeshBuilder::Contents& data = builder.Data();
    Require(data.normals.size() == data.positions.size(), "a normal per vertex");
    Require(data.texCoords.size() == 2 * data.positions.size(), "texture coordinates per vertex");
    for (const HostRMBuilderFace& face : data.faces) {
        Require(face.cornerCount >= 3, "faces of three corners or more");
        Require(face.look < data.looks.size(), "face look in range");
        Require(face.firstCorner + size_t(face.cornerCount) <= data.corners.size(), "face corners in range");
    }
    for (const HostRMCorner& corner : data.corners)
        Require(corner.vertex < data.positions.size() && corner.normal < data.normals.size(),
                "corner indices");
    D3DRMBOX box;
    Require(builder.GetBox(&box) == D3DRM_OK, "box");
}

void CheckMesh(HostRMMeshBuilder& builder) {
    IDirect3DRMMesh* made = nullptr;
    Require(builder.CreateMesh(&made) == D3DRM_OK, "mesh made");
    size_t faces = 0;
    for (const HostRMGroup& group : HostRMMesh::From(made)->Groups()) {
        faces += group.faceSizes.size();
        for (unsigned corner : group.corners)
            Require(corner < group.vertices.size(), "group corner in range");
    }
    Require(faces == static_cast<size_t>(builder.GetFaceCount()), "every face in a group");
    Require(made->Release() == 0, "mesh freed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    auto* builder = new HostRMMeshBuilder();
    std::set<std::string> seen;
    if (builder->LoadFromMemory(data, size, ScribbleAndRefuse, &seen) == D3DRM_OK) {
        CheckBuilder(*builder);
        CheckMesh(*builder);
    } else {
        Require(builder->GetFaceCount() == 0 && builder->GetVertexCount() == 0,
                "failed load leaves builder empty");
    }
    Require(builder->Release() == 0, "builder freed");
    Require(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD, "importer's child reaped");
    return 0;
}
