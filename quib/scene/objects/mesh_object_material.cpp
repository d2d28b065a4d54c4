// Materials and textures of a mesh object: the MATERIAL records applied to the mesh groups, texture
// display on and off, mip-map selection, texture usage and fog.
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr float kByteToUnit = 1.0f / 255.0f;

// The group's material with the reference the mesh added given up at once: the group keeps its own,
// and the pointer serves only to find the MATERIAL.
HRESULT GroupMaterial(IDirect3DRMMesh* mesh, unsigned g, IDirect3DRMMaterial*& out) {
    out = nullptr;
    const HRESULT hr = rm_mesh_group_material(mesh, g, &out);
    if (SUCCEEDED(hr) && out) out->Release();
    return hr;
}

float Red(D3DCOLOR c) {
    return float((c >> 16) & 0xFF) * kByteToUnit;
}
float Green(D3DCOLOR c) {
    return float((c >> 8) & 0xFF) * kByteToUnit;
}
float Blue(D3DCOLOR c) {
    return float(c & 0xFF) * kByteToUnit;
}

} // namespace

int MeshObject::FindMaterial(IDirect3DRMMaterial* material) const {
    if (!m_materials) return -1;
    for (int i = 0; i < m_materials->GetCount(); ++i)
        if (m_materials->GetAt(i)->m_d3dmaterial == material) return i;
    return -1;
}

PtrArray<MATERIAL>* MeshObject::CopyMaterialList(const PtrArray<MATERIAL>* src) {
    if (!src) return nullptr;
    auto* copy = new PtrArray<MATERIAL>(src->GetCount() > 0 ? src->GetCount() : 1);
    for (int i = 0; i < src->GetCount(); ++i)
        copy->Add(new MATERIAL(*src->GetAt(i)));
    return copy;
}

IDirect3DRMTexture* MeshObject::GroupTexture(MATERIAL* m) const {
    return m_useMipMaps ? m->GetTexture(m_mipLevel) : m->m_texture;
}

int MeshObject::ResetMaterials() {
    if (!m_mesh) return 1;
    const unsigned groups = rm_mesh_group_count(m_mesh);
    for (unsigned g = 0; g < groups; ++g) {
        IDirect3DRMMaterial* material = nullptr;
        HRESULT hr = GroupMaterial(m_mesh, g, material);
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
        const int index = FindMaterial(material);
        if (index < 0) return 0;
        MATERIAL* m = m_materials->Lookup(index);
        if (!m) {
            RegErrorf("MeshObject::ResetMaterials : invalid index <%d>", index);
            return 0;
        }
        hr = rm_mesh_set_group_material(m_mesh, g, m->m_d3dmaterial);
        if (SUCCEEDED(hr)) hr = rm_mesh_set_group_colour(m_mesh, g, m->m_diffuseColour);
        if (SUCCEEDED(hr)) hr = rm_mesh_set_group_texture(m_mesh, g, GroupTexture(m));
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
    }
    return 1;
}

int MeshObject::ShowTextures(int on) {
    if (on == m_showTextures) return 1;
    m_showTextures = on;
    if (!m_mesh) return 1;
    const unsigned groups = rm_mesh_group_count(m_mesh);
    for (unsigned g = 0; g < groups; ++g)
        if (!ShowGroupTexture(g, on)) return 0;
    return 1;
}

int MeshObject::ShowGroupTexture(unsigned g, int on) {
    IDirect3DRMMaterial* material = nullptr;
    HRESULT hr = GroupMaterial(m_mesh, g, material);
    if (SUCCEEDED(hr) && !g_bHardware3D) hr = rm_mesh_set_group_unlit_flat(m_mesh, g);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    MATERIAL* m = m_materials ? m_materials->Lookup(FindMaterial(material)) : nullptr;
    if (!m) return 1;
    const bool textured = on && m->m_texture;
    const D3DCOLOR colour = textured ? m->m_white : m->m_diffuseColour;
    if (m->m_d3dmaterial) {
        const float r = textured ? 1.0f : Red(colour), gr = textured ? 1.0f : Green(colour),
                    b = textured ? 1.0f : Blue(colour);
        hr = m->m_d3dmaterial->SetSpecular(r, gr, b);
        if (SUCCEEDED(hr)) hr = m->m_d3dmaterial->SetEmissive(r, gr, b);
    }
    if (SUCCEEDED(hr)) hr = rm_mesh_set_group_colour(m_mesh, g, colour);
    if (SUCCEEDED(hr)) hr = rm_mesh_set_group_texture(m_mesh, g, textured ? m->m_texture : nullptr);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

int MeshObject::UseMipMaps(int on) {
    m_useMipMaps = on;
    if (m_materials)
        for (int i = 0; i < m_materials->GetCount(); ++i)
            m_materials->GetAt(i)->UseMipMaps(on);
    return ResetMaterials();
}

int MeshObject::SetMipMapLevel(int level) {
    if (!m_useMipMaps) return 1;
    m_mipLevel = level;
    if (m_materials)
        for (int i = 0; i < m_materials->GetCount(); ++i)
            m_materials->GetAt(i)->SetMipMapLevel(level);
    if (m_visuals)
        for (int i = 0; i < m_visuals->GetCount(); ++i)
            m_visuals->GetAt(i)->SetMipMapLevel(level);
    ResetMaterials();
    return 1;
}

int MeshObject::GetTextureUsage() {
    m_textureBytes = 0;
    if (m_materials)
        for (int i = 0; i < m_materials->GetCount(); ++i)
            if (SurfaceTableEntry* entry = m_materials->GetAt(i)->m_surfaceEntry)
                m_textureBytes += entry->GetTextureUsage();
    return m_textureBytes;
}

void MeshObject::SetFogEnable(int on) {
    Frame::SetFogEnable(on);
    if (m_detailFrame) m_detailFrame->SetSceneFogEnable(on);
}
