// The calls named in mesh_object_links.h, made on the modules that answer them.
#include "quib/scene/objects/mesh_object_links.h"

#include "quib/platform/interfacelog.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/objects/scene_settings.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/pipeline/draw_submesh.h"

HRESULT rm_builder_create(IDirect3DRM2* rm, IDirect3DRMMeshBuilder2** out) {
    return rm->CreateMeshBuilder(out);
}
void rm_builder_add_ref(IDirect3DRMMeshBuilder2* builder) {
    builder->AddRef();
}
unsigned long rm_builder_release(IDirect3DRMMeshBuilder2*& builder, const char* label) {
    return ReleaseInterface(builder, label);
}
HRESULT rm_builder_load(IDirect3DRMMeshBuilder2* builder, const char* file, void* arg) {
    if (!builder) return D3DRMERR_BADOBJECT;
    return builder->Load(const_cast<char*>(file), nullptr, D3DRMLOAD_FROMFILE, TextureLoadCallback, arg);
}
HRESULT rm_builder_create_mesh(IDirect3DRMMeshBuilder2* builder, IDirect3DRMMesh** out) {
    if (!builder) return D3DRMERR_BADOBJECT;
    return builder->CreateMesh(out);
}
HRESULT rm_builder_set_perspective(IDirect3DRMMeshBuilder2* builder, int on) {
    return builder->SetPerspective(on ? TRUE : FALSE);
}
HRESULT rm_builder_get_box(IDirect3DRMMeshBuilder2* builder, MeshBox* box) {
    if (!builder) return D3DRMERR_BADOBJECT;
    D3DRMBOX b{};
    const HRESULT hr = builder->GetBox(&b);
    if (SUCCEEDED(hr)) *box = MeshBox{b.min, b.max};
    return hr;
}
HRESULT rm_builder_positions(IDirect3DRMMeshBuilder2* builder, std::vector<D3DVECTOR>& out) {
    out.clear();
    if (!builder) return D3DRMERR_BADOBJECT;
    DWORD vertices = 0, normals = 0, faceData = 0;
    HRESULT hr = builder->GetVertices(&vertices, nullptr, &normals, nullptr, &faceData, nullptr);
    if (FAILED(hr) || vertices == 0) return hr;
    out.resize(vertices);
    normals = faceData = 0;
    hr = builder->GetVertices(&vertices, out.data(), &normals, nullptr, &faceData, nullptr);
    if (FAILED(hr)) out.clear();
    return hr;
}
HRESULT rm_builder_add_mesh(IDirect3DRMMeshBuilder2* builder, IDirect3DRMMesh* mesh) {
    return builder->AddMesh(mesh);
}
int rm_builder_face_count(IDirect3DRMMeshBuilder2* builder) {
    return builder->GetFaceCount();
}

void rm_mesh_add_ref(IDirect3DRMMesh* mesh) {
    mesh->AddRef();
}
unsigned long rm_mesh_release(IDirect3DRMMesh*& mesh, const char* label) {
    return ReleaseInterface(mesh, label);
}
unsigned rm_mesh_group_count(IDirect3DRMMesh* mesh) {
    return mesh ? mesh->GetGroupCount() : 0;
}
HRESULT rm_mesh_set_perspective(IDirect3DRMMesh* mesh, int on) {
    if (!mesh) return D3DRMERR_BADOBJECT;
    for (unsigned g = 0; g < mesh->GetGroupCount(); ++g) {
        const D3DRMGROUPINDEX id = D3DRMGROUPINDEX(g);
        D3DRMMAPPING mapping = mesh->GetGroupMapping(id) & ~D3DRMMAPPING(D3DRMMAP_PERSPCORRECT);
        if (on) mapping |= D3DRMMAP_PERSPCORRECT;
        const HRESULT hr = mesh->SetGroupMapping(id, mapping);
        if (FAILED(hr)) return hr;
    }
    return D3DRM_OK;
}
HRESULT rm_mesh_read_group(IDirect3DRMMesh* mesh, unsigned group, MeshGroupData& out) {
    out = MeshGroupData();
    const D3DRMGROUPINDEX id = D3DRMGROUPINDEX(group);
    DWORD size = 0;
    HRESULT hr = mesh->GetGroup(id, &out.vertexCount, &out.faceCount, &out.verticesPerFace, &size, nullptr);
    if (FAILED(hr)) return hr;
    out.faceData.resize(size);
    if (size) hr = mesh->GetGroup(id, nullptr, nullptr, nullptr, &size, out.faceData.data());
    if (FAILED(hr)) return hr;
    std::vector<D3DRMVERTEX> read(out.vertexCount);
    if (!read.empty()) hr = mesh->GetVertices(id, 0, out.vertexCount, read.data());
    if (FAILED(hr)) return hr;
    out.vertices.reserve(read.size());
    for (const D3DRMVERTEX& v : read)
        out.vertices.push_back(MeshGroupVertex{v.position, v.normal, v.tu, v.tv, v.color});
    return hr;
}
HRESULT rm_mesh_group_material(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMMaterial** out) {
    return mesh->GetGroupMaterial(D3DRMGROUPINDEX(group), out);
}
HRESULT rm_mesh_group_texture(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMTexture** out) {
    return mesh->GetGroupTexture(D3DRMGROUPINDEX(group), out);
}
D3DCOLOR rm_mesh_group_colour(IDirect3DRMMesh* mesh, unsigned group) {
    return mesh->GetGroupColor(D3DRMGROUPINDEX(group));
}
HRESULT rm_mesh_set_group_material(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMMaterial* material) {
    if (!mesh) return D3DRMERR_BADOBJECT;
    return mesh->SetGroupMaterial(D3DRMGROUPINDEX(group), material);
}
HRESULT rm_mesh_set_group_colour(IDirect3DRMMesh* mesh, unsigned group, D3DCOLOR colour) {
    if (!mesh) return D3DRMERR_BADOBJECT;
    return mesh->SetGroupColor(D3DRMGROUPINDEX(group), colour);
}
HRESULT rm_mesh_set_group_texture(IDirect3DRMMesh* mesh, unsigned group, IDirect3DRMTexture* texture) {
    if (!mesh) return D3DRMERR_BADOBJECT;
    return mesh->SetGroupTexture(D3DRMGROUPINDEX(group), texture);
}
HRESULT rm_mesh_set_group_unlit_flat(IDirect3DRMMesh* mesh, unsigned group) {
    return mesh->SetGroupQuality(D3DRMGROUPINDEX(group), D3DRMRENDER_UNLITFLAT);
}

HRESULT rm_frame_add_mesh(IDirect3DRMFrame2* frame, IDirect3DRMMesh* mesh) {
    if (!frame) return D3DRMERR_BADOBJECT;
    return frame->AddVisual(mesh);
}
HRESULT rm_frame_delete_mesh(IDirect3DRMFrame2* frame, IDirect3DRMMesh* mesh) {
    return frame->DeleteVisual(mesh);
}
HRESULT rm_frame_add_frame(IDirect3DRMFrame2* frame, IDirect3DRMFrame2* visual) {
    return frame->AddVisual(visual);
}
HRESULT rm_frame_delete_frame(IDirect3DRMFrame2* frame, IDirect3DRMFrame2* visual) {
    return frame->DeleteVisual(visual);
}
HRESULT rm_frame_sort_back_to_front(IDirect3DRMFrame2* frame) {
    return frame->SetSortMode(D3DRMSORT_BACKTOFRONT);
}
HRESULT rm_frame_set_zbuffer(IDirect3DRMFrame2* frame, int on) {
    return frame->SetZbufferMode(on ? D3DRMZBUFFER_ENABLE : D3DRMZBUFFER_DISABLE);
}
HRESULT rm_viewport_render(IDirect3DRMViewport* viewport, IDirect3DRMFrame2* frame) {
    if (!viewport) return D3DRMERR_BADOBJECT;
    return viewport->Render(frame);
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
