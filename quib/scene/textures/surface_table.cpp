#include "quib/scene/textures/surface_table.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "quib/platform/bitmap.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/platform/surface_convert.h"
#include "quib/quib.h"
#include "quib/scene/textures/mip_chain.h"
#include "quib/scene/textures/texture_cache.h"

SurfaceTable* g_pSurfaceTable = nullptr;

namespace {

void CopyName(char (&to)[kSurfaceNameSize], const char* from) {
    std::snprintf(to, sizeof to, "%s", from ? from : "");
}

bool HasSourceKey(IDirectDrawSurface* surface) {
    DDCOLORKEY key = {};
    return surface && SUCCEEDED(surface->GetColorKey(DDCKEY_SRCBLT, &key));
}

// Swaps what held points at for next, taking a reference on next and giving up the old one.
template <class T> void Replace(T*& held, T* next) {
    if (next) next->AddRef();
    if (held) held->Release();
    held = next;
}

} // namespace

void SurfaceTableEntry::Clear() {
    name[0] = '\0';
    m_surface = nullptr;
    m_surfaceVM = nullptr;
    m_surfaceSM = nullptr;
    m_cacheEntry = nullptr;
    m_spare = 0;
    m_texture = nullptr;
    m_mipMapped = 0;
    m_mipChain = nullptr;
    m_usage = 0;
}

SurfaceTableEntry::SurfaceTableEntry() {
    Clear();
}

SurfaceTableEntry::SurfaceTableEntry(const char* file) {
    Clear();
    CopyName(name, file);
    DebugPrintf("LoadBitmapFromFile(%s)\n", name);
    m_surface = file ? LoadBitmap(g_lpDD, file) : nullptr;
    if (!m_surface) {
        // The text's own line end, then the one the register adds, as every site that formats its own.
        RegErrorf("SurfaceTableEntry::LoadBitmapFromFile failed for <%s>\n", name);
        return;
    }
    FinishLoad();
}

SurfaceTableEntry::SurfaceTableEntry(IDirectDrawSurface* surface) {
    Clear();
    DebugPrintf("SurfaceTableEntry::SurfaceTableEntry : begin\n");
    m_surface = surface;
    if (!surface) return;
    surface->AddRef();
    FinishLoad();
    DebugPrintf("SurfaceTableEntry::SurfaceTableEntry : done\n");
}

SurfaceTableEntry::SurfaceTableEntry(int width, int height) {
    Clear();
    HRESULT hr = CreateSystemTexture(width, height, nullptr, &m_surfaceSM);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return;
    }
    LogCreate(m_surfaceSM, "SurfaceTableEntry::SurfaceTableEntry(w,h) : m_surfaceSM");
    DDCOLORKEY key = {0, 0};
    m_surfaceSM->SetColorKey(DDCKEY_SRCBLT, &key);
}

SurfaceTableEntry::SurfaceTableEntry(const char* entryName, IDirectDrawSurface* surface,
                                     IDirect3DRMTexture* texture) {
    Clear();
    CopyName(name, entryName);
    m_surface = surface;
    m_texture = texture;
    if (m_surface) m_surface->AddRef();
    if (m_texture) m_texture->AddRef();
    SetDecalTransparency(HasSourceKey(m_surface) ? 1 : 0);
    GetTextureUsage();
}

void SurfaceTableEntry::FinishLoad() {
    CreateVideoMemorySurface();
    m_texture = nullptr;
    m_mipChain = nullptr;
    m_mipMapped = 0;
    SetDecalTransparency(HasSourceKey(m_surface) ? 1 : 0);
    GetTextureUsage();
}

SurfaceTableEntry::~SurfaceTableEntry() {
    texcache_forget_owner(this);
    char label[kSurfaceNameSize + 48];
    std::snprintf(label, sizeof(label), "~SurfaceTableEntry(%s): m_texture", name);
    ReleaseInterface(m_texture, label);
    std::snprintf(label, sizeof(label), "~SurfaceTableEntry(%s): m_surface", name);
    ReleaseInterface(m_surface, label);
    ReleaseInterface(m_surfaceSM, "m_surfaceSM");
    ReleaseInterface(m_surfaceVM, "m_surfaceVM");
    delete m_mipChain;
    m_mipChain = nullptr;
}

int SurfaceTableEntry::CreateVideoMemorySurface() {
    DebugPrintf("SurfaceTableEntry::CreateVideoMemorySurface\n");
    if (!m_surface) return 1;
    const bool indexed = IsPalettizedSurface(m_surface) != 0;
    if (Quib8BitTextures() && !indexed) {
        DebugPrintf("SurfaceTableEntry::CreateVideoMemorySurface : Convert\n");
        ConvertSurface(m_surface, &m_surfaceSM);
        DebugPrintf("SurfaceTableEntry::CreateVideoMemorySurface : Convert done\n");
    } else if (!Quib8BitTextures() && indexed) {
        ConvertSurfaceToRGBA(m_surface, &m_surfaceSM);
    } else {
        m_surfaceSM = m_surface;
        m_surfaceSM->AddRef();
    }
    // Without a copy or a device there is nothing to load yet; a lookup makes the record later.
    if (m_surfaceSM && g_lpD3DDevice2) m_cacheEntry = texcache_create(this);
    return 1;
}

int SurfaceTableEntry::SetDecalTransparency(int on) {
    if (m_texture) {
        HRESULT hr = m_texture->SetDecalTransparency(on);
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
    }
    if (m_mipChain) return m_mipChain->SetDecalTransparency(on);
    return 1;
}

int SurfaceTableEntry::GetTextureUsage() {
    m_usage = 0;
    if (!m_surface) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = m_surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    m_usage = int(desc.dwWidth * desc.dwHeight * desc.ddpfPixelFormat.dwRGBBitCount / 8);
    if (m_mipChain)
        for (int i = 0; i < m_mipChain->LevelCount(); ++i)
            m_usage += m_mipChain->Level(i)->usage;
    return m_usage;
}

int SurfaceTableEntry::MakeMipMaps() {
    if (!m_surface) return 0;
    delete m_mipChain;
    m_mipChain = new (std::nothrow) MipMapChain();
    if (!m_mipChain) return 0;
    m_mipMapped = 1;
    if (g_dwTextureFilterCaps < 8) DebugPrintf("MakeMipMaps : make SW mipmapsurface\n");
    // The box filter reads 16-bit pixels: an 8-bit file's levels come from its 16-bit device copy.
    IDirectDrawSurface* filterSource = IsPalettizedSurface(m_surface) ? m_surfaceSM : m_surface;
    return m_mipChain->Init(m_surface, filterSource);
}

int SurfaceTableEntry::SetMipMapLevel(int level) {
    if (!m_mipChain || m_mipChain->LevelCount() == 0) return 1;
    if (level < 0) level = 0;
    if (level >= m_mipChain->LevelCount()) level = m_mipChain->LevelCount() - 1;
    const MipMapChain* chosen = m_mipChain->Level(level);
    Replace(m_surface, chosen->surface);
    Replace(m_texture, chosen->texture);
    return 1;
}

int SurfaceTableEntry::Reduce(int shift) {
    if (!m_surface || shift < 0 || shift > 30) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = m_surface->GetSurfaceDesc(&desc);
    IDirectDrawSurface* reduced = nullptr;
    if (SUCCEEDED(hr))
        hr = CreateSystemTexture(int(desc.dwWidth >> shift), int(desc.dwHeight >> shift),
                                 &desc.ddpfPixelFormat, &reduced);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    IDirectDrawPalette* palette = nullptr;
    if (IsPalettizedSurface(m_surface) && SUCCEEDED(m_surface->GetPalette(&palette)) && palette) {
        reduced->SetPalette(palette);
        palette->Release();
    }
    // The handle record was made from the old copy.
    texcache_forget_owner(this);
    ReleaseInterface(m_surface, "Reduce : m_surface");
    ReleaseInterface(m_surfaceSM, "Reduce : m_surfaceSM");
    m_surface = reduced;
    m_surfaceSM = reduced;
    reduced->AddRef();
    GetTextureUsage();
    return 1;
}

int SurfaceTableEntry::Restore() {
    if (m_surface && m_surface->IsLost() == DDERR_SURFACELOST) {
        DebugPrintf("Surface Lost, Restoring\n");
        HRESULT hr = m_surface->Restore();
        if (FAILED(hr)) {
            REPORT_DD_ERROR(hr);
            return 0;
        }
    }
    return m_mipChain ? m_mipChain->Restore() : 1;
}

SurfaceTable::SurfaceTable() : m_entries(1) {}

SurfaceTable::SurfaceTable(int capacity) : m_entries(capacity) {}

SurfaceTable::~SurfaceTable() {
    m_entries.DeleteAll();
}

int SurfaceTable::Add(SurfaceTableEntry* entry) {
    if (!m_entries.Add(entry)) return 0;
    DebugPrintf("SurfaceTable::Add : after add, elements=%d\n", m_entries.GetCount());
    GetTextureUsage();
    DebugPrintf("SurfaceTable::Add : after GetTextureUsage()\n");
    return 1;
}

int SurfaceTable::Add(const char* entryName, IDirectDrawSurface* surface, IDirect3DRMTexture* texture) {
    SurfaceTableEntry* entry = new (std::nothrow) SurfaceTableEntry();
    if (!entry) return 0;
    CopyName(entry->name, entryName);
    entry->m_surface = surface;
    entry->m_texture = texture;
    if (!m_entries.Add(entry)) {
        // The caller keeps its references when the entry cannot be listed.
        entry->m_surface = nullptr;
        entry->m_texture = nullptr;
        delete entry;
        return 0;
    }
    GetTextureUsage();
    return 1;
}

SurfaceTableEntry* SurfaceTable::FindByName(const char* entryName) const {
    if (!entryName) return nullptr;
    for (int i = 0; i < m_entries.GetCount(); ++i)
        if (std::strcmp(m_entries.GetAt(i)->name, entryName) == 0) return m_entries.GetAt(i);
    return nullptr;
}

SurfaceTableEntry* SurfaceTable::FindBySurface(IDirectDrawSurface* surface) const {
    for (int i = 0; i < m_entries.GetCount(); ++i)
        if (m_entries.GetAt(i)->m_surface == surface) return m_entries.GetAt(i);
    return nullptr;
}

SurfaceTableEntry* SurfaceTable::FindByTexture(IDirect3DRMTexture* texture) const {
    for (int i = 0; i < m_entries.GetCount(); ++i)
        if (m_entries.GetAt(i)->m_texture == texture) return m_entries.GetAt(i);
    return nullptr;
}

int SurfaceTable::RestoreAll() {
    for (int i = 0; i < m_entries.GetCount(); ++i)
        if (!m_entries.GetAt(i)->Restore()) return 0;
    return 1;
}

void SurfaceTable::SetTransparency(int on) {
    for (int i = 0; i < m_entries.GetCount(); ++i)
        m_entries.GetAt(i)->SetDecalTransparency(on);
}

int SurfaceTable::GetTextureUsage() {
    return 1;
}

void SurfaceTable::FreeTextureHandles() {
    texcache_free_all();
}

SurfaceTableEntry* FindOrLoadTexture(const char* name) {
    if (!name || !name[0] || !g_pSurfaceTable) return nullptr;
    if (SurfaceTableEntry* known = g_pSurfaceTable->FindByName(name))
        return known->m_surface ? known : nullptr;
    auto* entry = new (std::nothrow) SurfaceTableEntry(name);
    if (!entry) return nullptr;
    if (!entry->m_surface || !g_pSurfaceTable->Add(entry)) {
        delete entry;
        return nullptr;
    }
    return entry;
}

void DeleteSurfaceTable() {
    if (!g_pSurfaceTable) return;
    g_pSurfaceTable->FreeTextureHandles();
    delete g_pSurfaceTable;
    g_pSurfaceTable = nullptr;
}

void QuibInitSurfaceTable() {
    if (!g_pSurfaceTable) g_pSurfaceTable = new SurfaceTable();
}

void QuibFreeSurfaceTable() {
    DebugPrintf("QuibFreeSurfaceTable(%p)\n", static_cast<void*>(g_pSurfaceTable));
    if (!g_pSurfaceTable) return;
    g_pSurfaceTable->FreeTextureHandles();
    g_pSurfaceTable->m_entries.DeleteAll();
}

IDirectDrawSurface* QuibGetSurface(const char* entryName) {
    SurfaceTableEntry* entry = g_pSurfaceTable ? g_pSurfaceTable->FindByName(entryName) : nullptr;
    return entry ? entry->m_surface : nullptr;
}

int QuibUpdateSurface(const char* entryName) {
    SurfaceTableEntry* entry = g_pSurfaceTable ? g_pSurfaceTable->FindByName(entryName) : nullptr;
    if (!entry) {
        RegError("QuibUpdateSurface: can't find surface");
        return 0;
    }
    if (entry->m_texture) {
        HRESULT hr = entry->m_texture->Changed(TRUE, FALSE);
        if (FAILED(hr)) REPORT_D3DRM_ERROR(hr);
        return 1;
    }
    // No Retained Mode texture: bring the new pixels to the device copy instead. A converted copy is
    // made again from the changed surface first.
    if (entry->m_surfaceSM && entry->m_surfaceSM != entry->m_surface) {
        IDirectDrawSurface* fresh = nullptr;
        const int made = Quib8BitTextures() ? ConvertSurface(entry->m_surface, &fresh)
                                            : ConvertSurfaceToRGBA(entry->m_surface, &fresh);
        if (made) {
            entry->m_surfaceSM->Release();
            entry->m_surfaceSM = fresh;
        }
    }
    if (entry->m_cacheEntry) texcache_load(entry->m_cacheEntry);
    return 1;
}

void QuibSetTextureTransparency(int on) {
    if (g_pSurfaceTable) g_pSurfaceTable->SetTransparency(on);
}

int Quib8BitTextures() {
    return g_b8BitTextures;
}
