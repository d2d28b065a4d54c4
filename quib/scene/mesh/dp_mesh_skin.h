// The material table of a mesh: its sub-meshes point into it by index.
#pragma once

#include <cstdint>

#include "quib/export.h"
#include "quib/scene/mesh/dp_material.h"

class QUIB_API DPMeshSkin {
  public:
    // n materials (untextured black), or an empty table for n <= 0. A table of more than 65535
    // materials cannot be counted and stays empty.
    explicit DPMeshSkin(int n);
    // Frees the array only; the textures belong to the surface table.
    ~DPMeshSkin();

    DPMeshSkin(const DPMeshSkin&) = delete;
    DPMeshSkin& operator=(const DPMeshSkin&) = delete;

    uint32_t count;        // 16-bit count in a 32-bit slot
    DPMaterial* materials; // count entries, owned; NULL when empty
};
