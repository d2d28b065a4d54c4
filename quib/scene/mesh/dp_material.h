// A material of the engine's own meshes: a flat colour and an optional texture of the surface table.
#pragma once

#include <cstdint>

#include "quib/export.h"

class SurfaceTableEntry;

// Colours a mesh material takes on: white under a texture, red when the named texture failed to load.
constexpr uint32_t kDPMaterialTextured = 0xFFFFFF;
constexpr uint32_t kDPMaterialMissingTexture = 0xFF0000;

struct QUIB_API DPMaterial {
    uint32_t colour = 0;                  // 0x00RRGGBB
    SurfaceTableEntry* texture = nullptr; // owned by the surface table, or NULL
};
