// The engine's own geometry of a mesh object, made from its Retained Mode mesh: one sub-mesh and one
// skin entry per mesh group.
#include <new>

#include "quib/platform/errors.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/mesh_group_convert.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr const char* kUntexturedGroupBitmap = "smoke1.bmp";
constexpr D3DCOLOR kRGBMask = 0xFFFFFF;

// The table's entry of the texture given to untextured groups, loaded and added once.
SurfaceTableEntry* UntexturedGroupTexture() {
    if (!g_pSurfaceTable) return nullptr;
    if (SurfaceTableEntry* entry = g_pSurfaceTable->FindByName(kUntexturedGroupBitmap)) return entry;
    auto* entry = new (std::nothrow) SurfaceTableEntry(kUntexturedGroupBitmap);
    if (!entry || !entry->m_surface || !g_pSurfaceTable->Add(entry)) {
        delete entry;
        return nullptr;
    }
    return entry;
}

// The skin entry of a group drawn with the mesh's own colour and texture.
DPMaterial GroupOwnMaterial(IDirect3DRMMesh* mesh, unsigned g) {
    DPMaterial m;
    m.colour = rm_mesh_group_colour(mesh, g) & kRGBMask;
    IDirect3DRMTexture* texture = nullptr;
    rm_mesh_group_texture(mesh, g, &texture);
    if (texture) {
        m.texture = g_pSurfaceTable ? g_pSurfaceTable->FindByTexture(texture) : nullptr;
        texture->Release();
    } else {
        m.texture = UntexturedGroupTexture();
    }
    return m;
}

} // namespace

int MeshObject::CreateDPMesh() {
    if (m_geo) return 1;
    const unsigned groups = m_mesh ? rm_mesh_group_count(m_mesh) : 0;
    DropSkin();
    auto* geo = new (std::nothrow) DPMeshGeo(int(groups));
    auto* skin = new (std::nothrow) DPMeshSkin(int(groups));
    if (!geo || !skin) {
        delete geo;
        delete skin;
        return 0;
    }
    m_geo = geo;
    m_skin = skin;
    m_ownsGeo = m_ownsSkin = true;
    for (unsigned g = 0; g < m_geo->count && g < m_skin->count; ++g) {
        MeshGroupData group;
        HRESULT hr = rm_mesh_read_group(m_mesh, g, group);
        if (hr == E_OUTOFMEMORY) {
            RegError("MeshObject::CreateDPMesh : can't alloc rmvertices");
            return 0;
        }
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
        DPSubMesh& sub = m_geo->subMeshes[g];
        if (convert_mesh_group(group, int(g), sub) == GroupConversion::kNoMemory) return 0;
        IDirect3DRMMaterial* material = nullptr;
        hr = rm_mesh_group_material(m_mesh, g, &material);
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
        DPMaterial& entry = m_skin->materials[g];
        if (!m_materials) {
            entry = GroupOwnMaterial(m_mesh, g);
        } else if (MATERIAL* m = m_materials->Lookup(FindMaterial(material))) {
            entry.colour = m->m_diffuseColour & kRGBMask;
            entry.texture = m->m_surfaceEntry;
        }
        // else: the entry stays black and untextured.
        if (material) material->Release();
        sub.material = &entry;
    }
    return 1;
}
