// The calls mesh objects make into the modules beside them: Retained Mode meshes, mesh builders, frame
// visuals and viewport drawing, the model-file loaders, the render-type table, mirror drawing and the
// immediate-mode geometry draw. Each is one small function, so the objects read the same whichever way
// those modules spell their calls, and a module that is not in the build yet answers with a failure
// (E_NOTIMPL, 0 or an empty result) that the objects handle as any failure of that call.
#pragma once

#include <vector>

#include "host/d3d/d3dtypes.h"
#include "host/rm/d3drm.h"

class IDirect3DRMMesh;
class IDirect3DRMMeshBuilder2;
class DPMesh;
class DPMeshGeo;

// An axis-aligned box: the Retained Mode box layout (min x, y, z, max x, y, z).
struct MeshBox {
    D3DVECTOR min;
    D3DVECTOR max;
};

// One vertex of a Retained Mode mesh group (the 36-byte layout).
struct MeshGroupVertex {
    D3DVECTOR position;
    D3DVECTOR normal;
    float tu;
    float tv;
    D3DCOLOR colour;
};

// One group of a Retained Mode mesh as read back: its counts, face data (with a fixed corner count k
// each face is k indices; with 0 each face is its corner count followed by that many indices) and
// vertices.
struct MeshGroupData {
    unsigned vertexCount = 0;
    unsigned faceCount = 0;
    unsigned verticesPerFace = 0;
    std::vector<unsigned> faceData;
    std::vector<MeshGroupVertex> vertices;
};

// ---- Mesh builders ----
HRESULT rm_builder_create(IDirect3DRM2* rm, IDirect3DRMMeshBuilder2** out);
void rm_builder_add_ref(IDirect3DRMMeshBuilder2* builder);
// Releases *builder (logged under label as interfaces are), clears it and returns the count left.
unsigned long rm_builder_release(IDirect3DRMMeshBuilder2*& builder, const char* label);
// Loads a ".x" file with the scene's texture-load callback, which gets arg.
HRESULT rm_builder_load(IDirect3DRMMeshBuilder2* builder, const char* file, void* arg);
HRESULT rm_builder_create_mesh(IDirect3DRMMeshBuilder2* builder, IDirect3DRMMesh** out);
HRESULT rm_builder_set_perspective(IDirect3DRMMeshBuilder2* builder, int on);
HRESULT rm_builder_get_box(IDirect3DRMMeshBuilder2* builder, MeshBox* box);
// Every vertex position of the builder (the counts asked first, then the data).
HRESULT rm_builder_positions(IDirect3DRMMeshBuilder2* builder, std::vector<D3DVECTOR>& out);
HRESULT rm_builder_add_mesh(IDirect3DRMMeshBuilder2* builder, IDirect3DRMMesh* mesh);
int rm_builder_face_count(IDirect3DRMMeshBuilder2* builder);

// ---- Meshes ----
void rm_mesh_add_ref(IDirect3DRMMesh* mesh);
unsigned long rm_mesh_release(IDirect3DRMMesh*& mesh, const char* label);
unsigned rm_mesh_group_count(IDirect3DRMMesh* mesh);
// The group's counts, face data and vertices.
HRESULT rm_mesh_read_group(IDirect3DRMMesh* mesh, unsigned group, MeshGroupData& out);
// The group's material / texture with a reference added (the caller releases it), or NULL.
HRESULT rm_mesh_group_material(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMMaterial** out);
HRESULT rm_mesh_group_texture(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMTexture** out);
D3DCOLOR rm_mesh_group_colour(IDirect3DRMMesh* mesh, unsigned group);
HRESULT rm_mesh_set_group_material(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMMaterial* material);
HRESULT rm_mesh_set_group_colour(IDirect3DRMMesh* mesh, unsigned group, D3DCOLOR colour);
HRESULT rm_mesh_set_group_texture(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMTexture* texture);
// Perspective-correct texturing on or off for every group (the other mapping flags stay).
HRESULT rm_mesh_set_perspective(IDirect3DRMMesh* mesh, int on);
// Flat shading, no lighting, solid fill.
HRESULT rm_mesh_set_group_unlit_flat(IDirect3DRMMesh* mesh, unsigned group);

// ---- Frames and viewports ----
HRESULT rm_frame_add_mesh(IDirect3DRMFrame2* frame, IDirect3DRMMesh* mesh);
HRESULT rm_frame_delete_mesh(IDirect3DRMFrame2* frame, IDirect3DRMMesh* mesh);
// A frame as a visual: its subtree drawn under the host frame's transform.
HRESULT rm_frame_add_frame(IDirect3DRMFrame2* frame, IDirect3DRMFrame2* visual);
HRESULT rm_frame_delete_frame(IDirect3DRMFrame2* frame, IDirect3DRMFrame2* visual);
HRESULT rm_frame_sort_back_to_front(IDirect3DRMFrame2* frame);
HRESULT rm_frame_set_zbuffer(IDirect3DRMFrame2* frame, int on);
// Draws frame's subtree into the viewport's target now.
HRESULT rm_viewport_render(IDirect3DRMViewport* viewport, IDirect3DRMFrame2* frame);

// ---- Scene settings ----
// 1 when objects of type are drawn now.
int render_type_enabled(char type);
// The draw parameters of type (far and near already scaled by the detail factor).
struct RenderTypeParams {
    int flag = 0;
    float farDistance = 30000.0f;
    float nearDistance = 500.0f;
    int zbuffer = 1;
};
RenderTypeParams render_type_params(char type);
// 1 while mirrors are being drawn.
int drawing_mirrors();

// ---- Model files and drawing ----
// Fills mesh from a ".3ds" / ".m3d" file; the loader's result.
int load_3ds_file(DPMesh& mesh, const char* file);
int load_m3d_file(DPMesh& mesh, const char* file);
// Draws geo through transform (4x4 row-major, translation in row 3) with the immediate-mode pipeline.
int draw_geometry(DPMeshGeo* geo, const float transform[16]);
