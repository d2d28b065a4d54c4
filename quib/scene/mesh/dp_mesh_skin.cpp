#include "quib/scene/mesh/dp_mesh_skin.h"

#include <new>

namespace {
constexpr int kMaxSkinMaterials = 0xFFFF;
}

DPMeshSkin::DPMeshSkin(int n) : count(0), materials(nullptr) {
    if (n <= 0 || n > kMaxSkinMaterials) return;
    materials = new (std::nothrow) DPMaterial[n];
    if (materials) count = static_cast<uint32_t>(n);
}

DPMeshSkin::~DPMeshSkin() {
    delete[] materials;
}
