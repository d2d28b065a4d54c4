// Skid marks: tyre marks on the ground, strips of quads that darken what lies below them. One skid object
// at a time holds a ring of MAXSKIDS skids. A skid starts at a point, is stretched to the wheel's current
// point frame by frame, and once longer than kSkidChainLength it is continued by a new skid chained to it.
// The corners live in one Retained Mode mesh group (800 vertices, 200 faces of 4) and in the object's
// own copy, which is what the immediate-mode skid-piece drawer draws.
//
// Corner order of skid k (vertices 4k .. 4k+3): 0 = start + side, 1 = start - side, 2 = end - side,
// 3 = end + side.
#pragma once

#include "quib/scene/mesh/dp_material.h"
#include "quib/scene/objects/mesh_object.h"

constexpr int MAXSKIDS = 200;
constexpr int kSkidCorners = 4;
constexpr int kSkidVertices = MAXSKIDS * kSkidCorners;
// A skid longer than this (from its start) is continued by a new chained skid.
constexpr float kSkidChainLength = 2.0f;

// One skid of the ring.
struct SkidMark {
    D3DVECTOR start;
    D3DVECTOR normal; // ground normal at the start
    float width;
    D3DVECTOR side;    // half-width vector across the strip, fixed at the first extension
    D3DVECTOR segment; // start minus the point of the first extension (zero for a chained skid)
    int started;       // 0 until the first extension
    int predecessor;   // the skid this one continues, or -1
};

class SkidObject : public MeshObject {
  public:
    // The mesh object part under parent (a root frame for NULL), perspective off, Z buffer on, an empty
    // ring. BuildMesh must follow before the skids are used.
    SkidObject(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // The texture entry when the object made it; the material list goes with the mesh object part. When
    // this is the current skid object it is taken out of every sorted display list and forgotten.
    ~SkidObject() override;

    // Skids are never culled: 0.
    int TrivialReject(IDirect3DRMViewport* viewport, int flag) override;
    // Draws every skid with the immediate-mode drawer. The drawer uses the view of the last display-list
    // frame (the queued path sets none of its own). Always 1.
    int Render(IDirect3DRMViewport* viewport) override;
    // As Render, but nothing while skid marks are switched off. Always 1.
    int RenderDPMesh() override;

    // The white material, the mesh group of the ring and, with texture (NULL for none), the texture entry
    // of the draw material. 1, or 0 with the failure reported.
    int BuildMesh(IDirectDrawSurface* texture);
    // Forgets every skid and zeroes every vertex. 1, or 0 with the Retained Mode failure reported.
    int Clear();
    // Starts a new skid in the next ring slot (the oldest is reused after MAXSKIDS); its vertices keep
    // their old values until its first extension. Returns the slot.
    int AddSkid(float x, float y, float z, float nx, float ny, float nz, float width);
    // Stretches skid index to the point p: the first extension fixes the side; later ones move the end
    // and, past kSkidChainLength, start a chained skid whose index is returned. A first extension that
    // gives no side (p at the start, or along the normal) changes nothing. index (unchanged), the chained
    // index, or 0 before any AddSkid or when a Retained Mode call failed (reported).
    int ExtendSkid(int index, float x, float y, float z, float nx, float ny, float nz);

    int m_capacity;                        // MAXSKIDS
    int m_next;                            // newest skid, -1 when none since creation or clearing
    D3DRMVERTEX m_vertices[kSkidVertices]; // the drawn copy of the mesh group
    D3DRMGROUPINDEX m_group;               // the group of the 800 vertices
    SurfaceTableEntry* m_textureEntry;     // for the texture surface, or NULL
    DPMaterial m_drawMaterial;             // handed to the drawer
    IDirectDrawSurface* m_textureSurface;  // the caller's, not held; NULL for none
    SkidMark m_skids[MAXSKIDS];

  private:
    void DrawSkids();
    HRESULT ReadCorners(int skid, D3DRMVERTEX corners[kSkidCorners]);
    // Copies the corners into the own array and writes them to the group.
    HRESULT WriteCorners(int skid, const D3DRMVERTEX corners[kSkidCorners]);
    int StartChained(int predecessor, const D3DVECTOR& p, const D3DVECTOR& n);

    bool m_ownsTextureEntry; // not in the surface table: this object deletes it
};
