#include "quib/scene/mesh/material.h"

#include <algorithm>
#include <cstring>

#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/textures/mip_chain.h"
#include "quib/scene/textures/surface_table.h"

namespace {
constexpr const char* kReleaseLabel = "~MATERIAL(): m_d3dmaterial";
constexpr const char* kCreateLabel = "m_d3dmaterial : CreateRMMaterial";
} // namespace

MATERIAL::MATERIAL() {
    std::memset(name, 0, sizeof(name));
    std::memset(bitmap, 0, sizeof(bitmap));
    std::fill(std::begin(diffuse), std::end(diffuse), 0.0);
    power = 0.0;
    std::fill(std::begin(specular), std::end(specular), 0.0);
    std::fill(std::begin(emissive), std::end(emissive), 0.0);
    m_rm = nullptr;
    m_diffuseColour = 0;
    m_white = 0;
    m_d3dmaterial = nullptr;
    m_shared = 0;
    ClearSelection();
}

MATERIAL::MATERIAL(MATERIAL* from) : MATERIAL() {
    if (!from) return;
    m_surface = from->m_surface;
    m_texture = from->m_texture;
    m_d3dmaterial = from->m_d3dmaterial;
    m_surfaceEntry = from->m_surfaceEntry;
    m_mipMaps = from->m_mipMaps;
    AddRef();
}

MATERIAL::MATERIAL(const MATERIAL& other) {
    std::memcpy(name, other.name, sizeof(name));
    std::memcpy(bitmap, other.bitmap, sizeof(bitmap));
    std::copy(std::begin(other.diffuse), std::end(other.diffuse), diffuse);
    power = other.power;
    std::copy(std::begin(other.specular), std::end(other.specular), specular);
    std::copy(std::begin(other.emissive), std::end(other.emissive), emissive);
    m_rm = other.m_rm;
    m_diffuseColour = other.m_diffuseColour;
    m_white = other.m_white;
    m_surface = other.m_surface;
    m_texture = other.m_texture;
    m_d3dmaterial = other.m_d3dmaterial;
    m_surfaceEntry = other.m_surfaceEntry;
    m_mipMaps = other.m_mipMaps;
    m_shared = 0;
    AddRef();
}

MATERIAL::~MATERIAL() {
    if (m_shared) return;
    ReleaseInterface(m_d3dmaterial, kReleaseLabel);
}

void MATERIAL::ClearSelection() {
    m_surface = nullptr;
    m_texture = nullptr;
    m_surfaceEntry = nullptr;
    m_mipMaps = 0;
}

void MATERIAL::AddRef() {
    if (m_d3dmaterial) m_d3dmaterial->AddRef();
}

int MATERIAL::Create(IDirect3DRM2* rm) {
    m_rm = rm;
    m_diffuseColour =
        D3DRMCreateColorRGBA(static_cast<D3DVALUE>(diffuse[0]), static_cast<D3DVALUE>(diffuse[1]),
                             static_cast<D3DVALUE>(diffuse[2]), static_cast<D3DVALUE>(diffuse[3]));
    m_white = D3DRMCreateColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    if (!rm) {
        REPORT_D3DRM_ERROR(D3DRMERR_BADVALUE);
        return 0;
    }
    // A second Create replaces the material rather than leaking the first one's reference.
    if (m_d3dmaterial && !m_shared) ReleaseInterface(m_d3dmaterial, kReleaseLabel);
    m_d3dmaterial = nullptr;
    m_shared = 0;
    HRESULT hr = rm->CreateMaterial(static_cast<D3DVALUE>(power), &m_d3dmaterial);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    LogCreate(m_d3dmaterial, kCreateLabel);
    hr = m_d3dmaterial->SetEmissive(static_cast<D3DVALUE>(emissive[0]), static_cast<D3DVALUE>(emissive[1]),
                                    static_cast<D3DVALUE>(emissive[2]));
    if (SUCCEEDED(hr))
        hr =
            m_d3dmaterial->SetSpecular(static_cast<D3DVALUE>(specular[0]), static_cast<D3DVALUE>(specular[1]),
                                       static_cast<D3DVALUE>(specular[2]));
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    ClearSelection();
    if (bitmap[0]) AttachTexture();
    UseMipMaps(0);
    return 1;
}

void MATERIAL::AttachTexture() {
    // Without a table there is nowhere to keep a loaded texture: the material stays untextured.
    if (!g_pSurfaceTable) return;
    SurfaceTableEntry* entry = g_pSurfaceTable->FindByName(bitmap);
    if (!entry) {
        entry = new SurfaceTableEntry(bitmap);
        if (!entry->m_surface || !g_pSurfaceTable->Add(entry)) {
            delete entry;
            return;
        }
    }
    m_surfaceEntry = entry;
    m_surface = entry->m_surface;
    m_texture = entry->m_texture;
    entry->SetDecalTransparency(0);
}

MipMapChain* MATERIAL::ChainLevel(int level) const {
    MipMapChain* chain = m_surfaceEntry ? m_surfaceEntry->m_mipChain : nullptr;
    if (!chain || chain->LevelCount() == 0) return nullptr;
    return chain->Level(std::clamp(level, 0, chain->LevelCount() - 1));
}

int MATERIAL::UseMipMaps(int on) {
    m_mipMaps = on;
    if (!m_surfaceEntry) return 1;
    if (on && !m_surfaceEntry->m_mipChain) m_surfaceEntry->MakeMipMaps();
    MipMapChain* first = on ? ChainLevel(0) : nullptr;
    m_surface = first ? first->surface : m_surfaceEntry->m_surface;
    m_texture = first ? first->texture : m_surfaceEntry->m_texture;
    return 1;
}

int MATERIAL::SetMipMapLevel(int level) {
    if (!m_surfaceEntry || !m_mipMaps) return 1;
    if (MipMapChain* chosen = ChainLevel(level)) {
        m_surface = chosen->surface;
        m_texture = chosen->texture;
    }
    return 1;
}

IDirect3DRMTexture* MATERIAL::GetTexture(int level) const {
    if (!m_surfaceEntry) return nullptr;
    if (!m_mipMaps || !m_surfaceEntry->m_mipChain) return m_surfaceEntry->m_texture;
    MipMapChain* chosen = ChainLevel(level);
    return chosen ? chosen->texture : nullptr;
}
