// Sub-meshes drawn through the immediate-mode device: transformed to screen space, rejected whole when
// outside the view volume, back faces culled, triangles crossing the volume's edges clipped in camera
// space, and the rest drawn with one indexed triangle list. Works on the view of the current frame.
#pragma once

#include <cstdint>

#include "host/d3d/d3d.h"

class DPSubMesh;
class DPMeshGeo;
struct DPMaterial;

// Sizes of the shared buffers: one sub-mesh (plus the vertices clipping makes) at a time.
constexpr int kMaxDrawVertices = 20480;
constexpr int kMaxDrawTriangles = 40960;

// Clip-code bits of a vertex (screen position and camera depth) and of a box corner.
enum : uint8_t {
    kClipLeft = 1,
    kClipRight = 2,
    kClipNear = 4,
    kClipTop = 8,
    kClipBottom = 16,
    kClipFar = 32,
};

// Screen-space vertices of the sub-mesh being drawn, then the vertices clipping made.
extern D3DTLVERTEX g_VertexBuffer[kMaxDrawVertices];
// Three vertex indices per kept triangle.
extern WORD g_IndexBuffer[kMaxDrawTriangles * 3];
// One clip-code byte per vertex of g_VertexBuffer.
extern uint8_t g_ClipCodes[kMaxDrawVertices];
// Camera-space far distance: set by every sub-mesh draw (and the ground plane); billboards read it.
extern float g_FarClip;

// Draws sub with material through transform (4x4 row-major, rows 0-2 rotation, row 3 translation),
// followed by parent when use_parent is non-zero. far_distance limits the view (fog end while fog is on or
// far_distance is below 9000). extra and flag are not used (flag is passed on to the lit path). The lit
// path draws when lighting_mask AND the scene's lights mask is non-zero.
// Returns 1 when the sub-mesh was rejected whole (outside the view volume, or larger than the buffers)
// or clipping left no triangle; 0 otherwise (drawn, no front-facing triangle, or sub/material null).
int render_submesh(DPSubMesh* sub, DPMaterial* material, const float transform[16], const float parent[16],
                   int use_parent, float far_distance, float extra, int flag, int lighting_mask);

// Gives every sub-mesh of geo the transform, renders each (DPSubMesh::Render), draws geo's extents and
// returns the AND of the sub-mesh results.
int render_geo_transformed(DPMeshGeo* geo, const float transform[16]);
