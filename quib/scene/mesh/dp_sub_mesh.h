// One indexed triangle list of the engine's own meshes: vertices, 16-bit triangles, plane data for
// picking built on demand, a bounding box, local (key-frame), base (model placement) and world matrices,
// key-frame keys and an optional parent/child hierarchy. The sub-mesh owns its arrays and keys, and the
// frame its constructor made.
#pragma once

#include "host/d3d/d3dtypes.h"
#include "quib/dp_mesh_records.h"
#include "quib/export.h"
#include "quib/ptrarray.h"
#include "quib/scene/mesh/dp_material.h"

class Frame;

constexpr int kSubMeshNameSize = 32;
// Distance (squared) beyond which picking finds nothing.
constexpr float kPickingRange2 = 1000000.0f;

class QUIB_API DPSubMesh {
  public:
    // Empty, identity local and base matrices, a frame of its own under the scene root.
    DPSubMesh();
    // Frees the arrays, keys, children list and the frame when it is the sub-mesh's own.
    ~DPSubMesh();

    DPSubMesh(const DPSubMesh&) = delete;
    DPSubMesh& operator=(const DPSubMesh&) = delete;

    // Replaces the vertex and triangle arrays by nv zeroed vertices and nt zeroed triangles and drops the
    // triangle information; material index 0. 1, or 0 (the sub-mesh left empty) for counts outside
    // 0..65535 or when memory ran out.
    int Init(int nv, int nt);
    // As Init(nv, nt), then copies nv vertices from v and nt triangles from t.
    int Init(int nv, int nt, const DPVertex* v, const DPTriangle* t);

    // The box (x0, y0, z0)-(x1, y1, z1): 8 corners, 12 triangles. 1, or 0 when memory ran out.
    int MakeBox(float x0, float y0, float z0, float x1, float y1, float z1);
    // A w x d grid of nx x nz cells on y = 0 with texture coordinates 0..1. 0 (left empty) when nx or nz
    // is not positive or the grid needs more than 65535 vertices or triangles.
    int MakeGrid(float w, float d, int nx, int nz);
    // The dark squares of an n x n board over -sx..sx, -sz..sz on y = 0 (odd rows offset by a square).
    // 0 (left empty) when n is not positive or too large for 16-bit counts.
    int MakeCheckerboard(float sx, float sz, int n);

    // Box, centre, radius (half the diagonal) and smoothed vertex normals: vertices within 1/32 of an
    // earlier distinct position share its normal, the sum of the unnormalised normals of the triangles
    // touching them, normalised (zero when nothing touches them). Without vertices all are zero.
    void compute_extents();
    // Zeroes every position, then compute_extents.
    void Reset();
    // Multiplies every position component-wise, then compute_extents.
    void Scale(float sx, float sy, float sz);
    // Adds (dx, dy, dz) to every position; the extents stay. Always 1.
    int TranslateVertices(float dx, float dy, float dz);
    // radius = half the diagonal of the extents scaled per axis; nothing else changes.
    void ScaleExtents(float sx, float sy, float sz);
    // Smallest vertex y; 1000000 without vertices.
    float GetMinimumY() const;

    // Builds the plane data of every triangle (allocated when missing). 1, or 0 when memory ran out.
    int ComputeTriangleInfo();
    // The plane data of triangle i into out. 1, or 0 for an index out of range.
    int ComputeTriangleInfo(int i, DPTriInfo* out) const;
    // The triangle whose centroid is nearest (x, y, z): dist2 starts at 1000000 and only strictly nearer
    // centroids replace (the first wins ties). index is left unchanged when none is in range, so callers
    // initialise it. Builds the plane data when missing. Always 1.
    int FindClosestTriangle(float x, float y, float z, int& index, float& dist2);

    // The vertices (of the indices both sub-meshes have) whose positions differ in other, with other's
    // positions: applying it to this sub-mesh gives it other's shape. Caller deletes it; NULL when memory
    // runs out.
    DPSubMeshDeltaFrame* CreateDeltaFrame(const DPSubMesh& other) const;
    // Writes each record's position into the vertex it names; records naming no vertex are skipped.
    void ApplyDeltaFrame(const DPSubMeshDeltaFrame& f);

    // Local matrix from the key frames at frame n: rotation relative to the first rotation key, position
    // offset from the first position key in the translation row.
    void SetFrameNumber(int n);
    // world = local (without its translation) x base, plus the local translation in base space, then
    // x m; children follow with this world matrix. The local matrix is left unchanged.
    void Transform(const D3DMATRIX& m);
    // As Transform, and the extents become the box of all eight corners transformed to world space, with
    // centre and radius recomputed; children follow.
    void TransformExtents(const D3DMATRIX& m);
    // ---- Drawing through the immediate-mode pipeline (the view of the current frame) ----
    // Unless hidden, draws the sub-mesh unlit with its material and world matrix (far distance 30000);
    // then renders each child followed by the child's box, and finally draws its own box. Children of a
    // hidden sub-mesh are drawn. The result is the AND of bit 0 of the pipeline's sub-mesh results (1 for a
    // sub-mesh rejected whole or clipped away, 0 for one drawn); a hidden sub-mesh counts 1.
    int Render();
    // When drawExtents is set: the 12 edges of the box, corners through the world matrix, as white 3D
    // lines. 1, or 0 when a line failed.
    int DrawExtents();
    // Triangle i's three edges as software 3D lines in colour, from the positions as stored. 1, or 0 for
    // an index out of range or a failed line.
    int HighlightTriangle(int i, unsigned long colour);

    // Sets the frame here and on every child. A frame set here is not the sub-mesh's (never deleted by
    // it); the sub-mesh's own frame is deleted.
    void SetFrame(Frame* f);

    char name[kSubMeshNameSize];
    int hidden;
    int materialIndex;
    DPMaterial* material;
    uint16_t vertexCount;
    uint16_t triangleCount;
    DPVertex* vertices;    // owned
    DPTriangle* triangles; // owned
    DPTriInfo* triInfo;    // owned, NULL until built
    float centre[3];
    float radius;
    float extents[6]; // min x, max x, min y, max y, min z, max z
    int drawExtents;
    D3DMATRIX world;
    D3DMATRIX local;
    D3DMATRIX base;
    Frame* frame;
    DPSubMesh* parent;
    PtrArray<DPSubMesh>* children; // owned list; the children belong to the geometry
    int positionKeyCount;
    int rotationKeyCount;
    DPPositionKey* positionKeys; // owned
    DPRotationKey* rotationKeys; // owned

  private:
    void FreeGeometry();
    // world = local x base with the local translation applied in base space, then x m.
    void ComputeWorld(const D3DMATRIX& m);
    void ApplyRotationKeys(int n);
    void ApplyPositionKeys(int n);

    bool ownsFrame_;
};

// Where segment a-b meets the plane n . p + d = 0: 1 with out set, 0 (out unchanged) when the segment is
// parallel to the plane.
QUIB_API int FindPlaneIntersection(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& n, float d,
                                   D3DVECTOR& out);
