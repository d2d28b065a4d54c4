// The geometry of one of the engine's meshes: its sub-meshes (owned), the roots of their hierarchy, the
// box over all of them and the frame they are drawn in.
#pragma once

#include <cstdint>

#include "host/d3d/d3dtypes.h"
#include "quib/export.h"
#include "quib/ptrarray.h"
#include "quib/scene/mesh/dp_sub_mesh.h"

class Frame;

class QUIB_API DPMeshGeo {
  public:
    // n default sub-meshes; empty for n <= 0 or more than 65535 (the count is 16-bit).
    explicit DPMeshGeo(int n);
    // Deletes the sub-meshes (each frees what it owns) and the roots list.
    ~DPMeshGeo();

    DPMeshGeo(const DPMeshGeo&) = delete;
    DPMeshGeo& operator=(const DPMeshGeo&) = delete;

    // The roots of the hierarchy. When none were set (by a loader) every sub-mesh becomes a root of a
    // flat hierarchy, in array order, with its parent and children cleared.
    PtrArray<DPSubMesh>& Roots();
    // The first sub-mesh named name (case counts), or NULL.
    DPSubMesh* FindMesh(const char* name) const;
    // The triangle of any sub-mesh whose centroid is nearest (x, y, z), searched in array order with the
    // sub-mesh rule (range 1000000 squared, strictly nearer replaces). sub and index are left unchanged
    // when nothing is in range. Always 1.
    int FindClosestTriangle(float x, float y, float z, DPSubMesh*& sub, int& index, float& dist2);
    // Where segment a-b meets the plane of the triangle whose centroid is nearest a. 1 with out set; 0
    // when no triangle is in range or the segment is parallel to its plane.
    int FindMeshIntersection(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out);
    // The box over all sub-meshes in world space (each root's extents transformed with the identity, the
    // children with their parents), then each sub-mesh's own local extents and normals recomputed.
    // Without sub-meshes the box stays as it was.
    void ComputeExtents();
    // Kept for callers; the radius needs no separate computation.
    void compute_m_radius() {}
    // When drawExtents is set and there is a frame: the 12 edges of the box, corners taken to world space
    // by the frame, as white 3D lines. 1, or 0 when a line failed.
    int DrawExtents();
    // Stores f and sets it on every sub-mesh (not theirs to delete).
    void SetFrame(Frame* f);
    // Key-frame animation of every sub-mesh at frame n.
    void SetFrameNumber(int n);

    uint32_t count;             // 16-bit count in a 32-bit slot
    DPSubMesh* subMeshes;       // count entries, owned
    PtrArray<DPSubMesh>* roots; // owned list, NULL until built or loaded
    float extents[6];           // min x, max x, min y, max y, min z, max z over all sub-meshes
    int drawExtents;
    Frame* frame;  // not owned
    int header[4]; // copied from the model file header
};
