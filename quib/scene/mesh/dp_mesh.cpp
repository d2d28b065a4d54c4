#include "quib/scene/mesh/dp_mesh.h"

#include <cstring>

DPMesh::DPMesh(int nsub, int nskin)
    : Frame(nullptr, nullptr), geometry(nsub ? new DPMeshGeo(nsub) : nullptr),
      skin(nskin ? new DPMeshSkin(nskin) : nullptr),
      reserved(0), farDistances{kMeshFarDistance, kMeshFarDistance} {
    std::memset(name, 0, sizeof(name));
}

DPMesh::~DPMesh() = default;
