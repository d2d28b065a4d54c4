// quib/scene/mesh: the engine's own meshes (DPMesh, sub-meshes, geometry, skins), materials, the .3ds
// and .m3d loaders and the corner weld. May include quib/scene/textures and the floors below it.
//
// One of the engine's own meshes: a frame with a name, its geometry and its material table.
#pragma once

#include "quib/export.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"

constexpr int kMeshNameSize = 256;
constexpr float kMeshFarDistance = 30000.0f;

class QUIB_API DPMesh : public Frame {
  public:
    // A root frame of the engine's Retained Mode object; geometry of nsub sub-meshes and a table of
    // nskin materials, each only when its count is not 0 (else NULL).
    DPMesh(int nsub, int nskin);
    // Destroys the frame only: the owners free geometry and skin.
    ~DPMesh();

    // Draws the geometry at the transform of placement's frame (of this mesh's own frame when placement is
    // NULL): every root of the hierarchy is transformed with it and rendered, then the geometry's box is
    // drawn. The AND of the roots' results; 1 without geometry.
    int Render(DPMesh* placement = nullptr);

    DPMesh(const DPMesh&) = delete;
    DPMesh& operator=(const DPMesh&) = delete;

    int Load3DS(const char* file); // one sub-mesh per material; 1, or 0 (name "PARENT OBJECT" if unread)

    // Loads a model file (.m3d): 1 with new geometry and skin (the previous ones are the caller's), or 0
    // with the name "PARENT OBJECT" and nothing else changed when the file is missing or broken.
    int LoadMax(const char* file);

    char name[kMeshNameSize];
    DPMeshGeo* geometry;
    DPMeshSkin* skin;
    int reserved;          // 0
    float farDistances[2]; // handed to the drawing call
};
