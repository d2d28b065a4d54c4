#include "quib/scene/textures/texture_cache.h"

#include <cstring>

#include "quib/platform/directx.h"
#include "quib/scene/textures/surface_table.h"

SurfaceTableEntry* g_CurrentTexture = nullptr;

namespace {

TextureHandleEntry s_pool[kTextureHandlePoolSize];
// The list runs from s_newest.older (most recently used) to s_oldest.newer (least recently used).
TextureHandleEntry s_newest;
TextureHandleEntry s_oldest;
bool s_listReady = false;

void EnsureList() {
    if (s_listReady) return;
    s_newest.older = &s_oldest;
    s_newest.newer = nullptr;
    s_oldest.newer = &s_newest;
    s_oldest.older = nullptr;
    s_listReady = true;
}

bool ListEmpty() {
    return s_newest.older == &s_oldest;
}

// Clears the current texture and the device's texture state.
void UnbindCurrent() {
    g_CurrentTexture = nullptr;
    if (g_lpD3DDevice2) g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, 0);
}

// Takes a record out of the list and frees it, unbinding it first when its entry is the current texture.
void Evict(TextureHandleEntry* entry) {
    texcache_unlink(entry);
    if (entry->owner && entry->owner == g_CurrentTexture) UnbindCurrent();
    texcache_release(entry);
}

// Frees one record to make room for a copy of bytes texture bytes: the first of the oldest records whose
// entry uses as many bytes, else the oldest. false when the list is empty.
bool EvictFor(int bytes) {
    if (ListEmpty()) return false;
    TextureHandleEntry* victim = s_oldest.newer;
    TextureHandleEntry* candidate = s_oldest.newer;
    for (int looked = 0; looked < kEvictionSearchDepth && candidate != &s_newest; ++looked) {
        if (candidate->owner && candidate->owner->m_usage == bytes) {
            victim = candidate;
            break;
        }
        candidate = candidate->newer;
    }
    Evict(victim);
    return true;
}

// The device copy of source's description: same size and format, texture memory of the device's kind.
HRESULT CreateDeviceCopy(IDirectDrawSurface* source, int bytes, IDirectDrawSurface** out) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = source->GetSurfaceDesc(&desc);
    if (FAILED(hr)) return hr;
    desc.ddsCaps.dwCaps =
        DDSCAPS_TEXTURE | DDSCAPS_ALLOCONLOAD | (g_bHardware3D ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    for (;;) {
        hr = g_lpDD->CreateSurface(&desc, out, nullptr);
        if (hr != DDERR_OUTOFVIDEOMEMORY || !EvictFor(bytes)) return hr;
    }
}

// Gives copy the palette of source when source is palettised.
void SharePalette(IDirectDrawSurface* source, IDirectDrawSurface* copy) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(source->GetSurfaceDesc(&desc)) || !(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8))
        return;
    IDirectDrawPalette* palette = nullptr;
    if (FAILED(source->GetPalette(&palette)) || !palette) return;
    copy->SetPalette(palette);
    palette->Release();
}

IDirect3DTexture2* TextureOf(IDirectDrawSurface* surface) {
    IDirect3DTexture2* texture = nullptr;
    if (FAILED(surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture))))
        return nullptr;
    return texture;
}

void MoveToNewest(TextureHandleEntry* entry) {
    texcache_unlink(entry);
    texcache_link(entry);
}

} // namespace

D3DTEXTUREHANDLE texcache_lookup(SurfaceTableEntry* entry) {
    if (!entry) return 0;
    TextureHandleEntry* record = entry->m_cacheEntry;
    if (!record) {
        if (!entry->m_surfaceSM) return 0;
        record = texcache_create(entry);
        entry->m_cacheEntry = record;
        if (!record) return 0;
    }
    if (record->surface->IsLost() == DDERR_SURFACELOST && texcache_load(record) != 0) return 0;
    MoveToNewest(record);
    return record->handle;
}

TextureHandleEntry* texcache_create(SurfaceTableEntry* entry) {
    EnsureList();
    IDirect3DDevice2* device = g_lpD3DDevice2;
    if (!entry || !entry->m_surfaceSM || !device || !g_lpDD) return nullptr;
    if (entry->m_cacheEntry) return entry->m_cacheEntry; // one record per entry
    TextureHandleEntry* record = texcache_alloc();
    if (!record) return nullptr;
    // Eviction compares the byte counts that the surface table keeps.
    const int bytes = entry->GetTextureUsage();
    IDirectDrawSurface* copy = nullptr;
    if (FAILED(CreateDeviceCopy(entry->m_surfaceSM, bytes, &copy))) return nullptr;
    record->surface = copy;
    texcache_link(record);
    SharePalette(entry->m_surfaceSM, copy);
    texcache_get_handle(record, device);
    record->owner = entry;
    entry->m_cacheEntry = record;
    texcache_load(record);
    return record;
}

TextureHandleEntry* texcache_alloc() {
    for (TextureHandleEntry& entry : s_pool) {
        if (entry.owner || entry.surface) continue;
        std::memset(&entry, 0, sizeof(entry));
        return &entry;
    }
    return nullptr;
}

int texcache_load(TextureHandleEntry* entry) {
    if (!entry || !entry->surface || !entry->owner || !entry->owner->m_surfaceSM) return -1;
    if (FAILED(entry->surface->Restore())) return -1;
    IDirect3DTexture2* destination = TextureOf(entry->surface);
    IDirect3DTexture2* source = TextureOf(entry->owner->m_surfaceSM);
    HRESULT hr = (destination && source) ? destination->Load(source) : E_NOINTERFACE;
    if (source) source->Release();
    if (destination) destination->Release();
    return SUCCEEDED(hr) ? 0 : -1;
}

void texcache_get_handle(TextureHandleEntry* entry, IDirect3DDevice2* device) {
    entry->handle = 0;
    IDirect3DTexture2* texture = TextureOf(entry->surface);
    if (!texture) return;
    if (FAILED(texture->GetHandle(device, &entry->handle))) entry->handle = 0;
    texture->Release();
}

void texcache_link(TextureHandleEntry* entry) {
    EnsureList();
    entry->newer = &s_newest;
    entry->older = s_newest.older;
    s_newest.older->newer = entry;
    s_newest.older = entry;
}

void texcache_unlink(TextureHandleEntry* entry) {
    if (!entry->older || !entry->newer) return; // not linked
    entry->older->newer = entry->newer;
    entry->newer->older = entry->older;
    entry->older = nullptr;
    entry->newer = nullptr;
}

void texcache_release(TextureHandleEntry* entry) {
    if (entry->owner) entry->owner->m_cacheEntry = nullptr;
    entry->owner = nullptr;
    if (entry->surface) entry->surface->Release();
    entry->surface = nullptr;
    entry->handle = 0;
}

void texcache_ensure_list() {
    EnsureList();
}

void texcache_free_all() {
    EnsureList();
    if (g_CurrentTexture) UnbindCurrent();
    while (!ListEmpty()) {
        TextureHandleEntry* entry = s_newest.older;
        texcache_unlink(entry);
        texcache_release(entry);
    }
    s_listReady = false;
}

void texcache_forget_owner(SurfaceTableEntry* entry) {
    if (!entry) return;
    if (entry == g_CurrentTexture) UnbindCurrent();
    if (TextureHandleEntry* record = entry->m_cacheEntry) {
        texcache_unlink(record);
        texcache_release(record);
    }
}

int texcache_linked_count() {
    EnsureList();
    int count = 0;
    for (TextureHandleEntry* entry = s_newest.older; entry != &s_oldest; entry = entry->older)
        ++count;
    return count;
}
