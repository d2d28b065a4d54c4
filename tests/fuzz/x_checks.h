// What the two ".x" fuzz targets check of a mesh builder filled from their input: faces that index its
// vertex, normal and look lists, a texture callback asked once per name with the room it is promised,
// and a mesh made from it whose faces index their groups' vertices.
#pragma once

#include <cstring>
#include <set>
#include <string>

#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

// A texture callback that writes over the whole room the callback is promised, then refuses (the faces
// stay untextured); arg is a std::set<std::string> of the names seen.
inline HRESULT ScribbleAndRefuse(char* name, void* arg, IDirect3DRMTexture** texture) {
    auto* seen = static_cast<std::set<std::string>*>(arg);
    Require(seen->insert(name).second, "one callback per texture name");
    size_t length = std::strlen(name);
    std::memset(name, 'x', length + D3DRM_TEXTURE_NAME_ROOM);
    *texture = nullptr;
    return D3DRMERR_NOTFOUND;
}

inline void CheckBuilder(HostRMMeshBuilder& builder) {
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

inline void CheckMesh(HostRMMeshBuilder& builder) {
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

} // namespace fuzz
