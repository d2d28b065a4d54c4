// Until the Retained Mode meshes, builders and frame visuals are in the build, each such call answers as
// a failing call would: E_NOTIMPL, 0, or nothing. Hooking them up replaces one body each.
#include "quib/scene/mesh_object_links.h"

#include "quib/scene/dp_mesh.h"
#include "quib/scene/draw_submesh.h"
#include "quib/scene/render_types.h"
#include "quib/scene/scene_settings.h"

HRESULT rm_builder_create(IDirect3DRM2*, IDirect3DRMMeshBuilder2** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
void rm_builder_add_ref(IDirect3DRMMeshBuilder2*) {}
unsigned long rm_builder_release(IDirect3DRMMeshBuilder2*& builder, const char*) {
    builder = nullptr;
    return 0;
}
HRESULT rm_builder_load(IDirect3DRMMeshBuilder2*, const char*, void*) {
    return E_NOTIMPL;
}
HRESULT rm_builder_create_mesh(IDirect3DRMMeshBuilder2*, IDirect3DRMMesh** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
HRESULT rm_builder_set_perspective(IDirect3DRMMeshBuilder2*, int) {
    return E_NOTIMPL;
}
HRESULT rm_builder_get_box(IDirect3DRMMeshBuilder2*, MeshBox*) {
    return E_NOTIMPL;
}
HRESULT rm_builder_positions(IDirect3DRMMeshBuilder2*, std::vector<D3DVECTOR>& out) {
    out.clear();
    return E_NOTIMPL;
}
HRESULT rm_builder_add_mesh(IDirect3DRMMeshBuilder2*, IDirect3DRMMesh*) {
    return E_NOTIMPL;
}
int rm_builder_face_count(IDirect3DRMMeshBuilder2*) {
    return 0;
}

void rm_mesh_add_ref(IDirect3DRMMesh*) {}
unsigned long rm_mesh_release(IDirect3DRMMesh*& mesh, const char*) {
    mesh = nullptr;
    return 0;
}
unsigned rm_mesh_group_count(IDirect3DRMMesh*) {
    return 0;
}
HRESULT rm_mesh_read_group(IDirect3DRMMesh*, unsigned, MeshGroupData& out) {
    out = MeshGroupData();
    return E_NOTIMPL;
}
HRESULT rm_mesh_group_material(IDirect3DRMMesh*, unsigned, IDirect3DRMMaterial** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
HRESULT rm_mesh_group_texture(IDirect3DRMMesh*, unsigned, IDirect3DRMTexture** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
D3DCOLOR rm_mesh_group_colour(IDirect3DRMMesh*, unsigned) {
    return 0;
}
HRESULT rm_mesh_set_group_material(IDirect3DRMMesh*, unsigned, IDirect3DRMMaterial*) {
    return E_NOTIMPL;
}
HRESULT rm_mesh_set_group_colour(IDirect3DRMMesh*, unsigned, D3DCOLOR) {
    return E_NOTIMPL;
}
HRESULT rm_mesh_set_group_texture(IDirect3DRMMesh*, unsigned, IDirect3DRMTexture*) {
    return E_NOTIMPL;
}
HRESULT rm_mesh_set_group_unlit_flat(IDirect3DRMMesh*, unsigned) {
    return E_NOTIMPL;
}

HRESULT rm_frame_add_mesh(IDirect3DRMFrame2*, IDirect3DRMMesh*) {
    return E_NOTIMPL;
}
HRESULT rm_frame_delete_mesh(IDirect3DRMFrame2*, IDirect3DRMMesh*) {
    return E_NOTIMPL;
}
HRESULT rm_frame_add_frame(IDirect3DRMFrame2*, IDirect3DRMFrame2*) {
    return E_NOTIMPL;
}
HRESULT rm_frame_delete_frame(IDirect3DRMFrame2*, IDirect3DRMFrame2*) {
    return E_NOTIMPL;
}
HRESULT rm_frame_sort_back_to_front(IDirect3DRMFrame2*) {
    return E_NOTIMPL;
}
HRESULT rm_frame_set_zbuffer(IDirect3DRMFrame2*, int) {
    return E_NOTIMPL;
}
HRESULT rm_viewport_render(IDirect3DRMViewport*, IDirect3DRMFrame2*) {
    return E_NOTIMPL;
}

int render_type_enabled(char type) {
    return QuibIsRenderType(type);
}
RenderTypeParams render_type_params(char type) {
    RenderTypeParams p;
    int extra = 0;
    GetRenderTypeParams(type, &p.flag, &p.farDistance, &p.nearDistance, &extra, &p.zbuffer);
    return p;
}
int drawing_mirrors() {
    return g_DrawingMirrors;
}

int load_3ds_file(DPMesh& mesh, const char* file) {
    return mesh.Load3DS(file);
}
int load_m3d_file(DPMesh& mesh, const char* file) {
    return mesh.LoadMax(file);
}
int draw_geometry(DPMeshGeo* geo, const float transform[16]) {
    return render_geo_transformed(geo, transform);
}
