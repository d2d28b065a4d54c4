// The texture-handle cache: for each surface-table entry that textured drawing uses, a device copy of its
// texture surface (m_surfaceSM) and that copy's handle, kept in a fixed pool of records linked from the
// most to the least recently used. When video memory runs out, old copies are evicted, preferring one
// whose entry uses as many texture bytes as the new one. Records are made on the immediate-mode device
// current at that moment (g_lpD3DDevice2), so a restart of the display gets handles of the new device.
#pragma once

#include "host/d3d/d3d.h"
#include "host/ddraw/ddraw.h"

class SurfaceTableEntry;

struct TextureHandleEntry {
    D3DTEXTUREHANDLE handle;     // 0 when the device gave none
    IDirectDrawSurface* surface; // the device copy; owned
    SurfaceTableEntry* owner;    // NULL marks a free record
    TextureHandleEntry* older;   // towards the least recently used end
    TextureHandleEntry* newer;   // towards the most recently used end
};

constexpr int kTextureHandlePoolSize = 1024;
// Eviction looks this far from the least recently used end for a record of the same byte count.
constexpr int kEvictionSearchDepth = 16;

// The entry whose handle the device's TEXTUREHANDLE state holds now (NULL for none). Drawing sets it; the
// cache clears it (and the device state) when that entry's record goes.
extern SurfaceTableEntry* g_CurrentTexture;

// The handle of entry's device copy, made on first use and moved to the most recently used end; a lost
// copy is restored and loaded again. 0 when no copy or handle can be had (drawn untextured).
D3DTEXTUREHANDLE texcache_lookup(SurfaceTableEntry* entry);
// Makes entry's record: a device copy of entry->m_surfaceSM (video memory on a hardware device, evicting
// old copies when it is short), its handle, loaded with the texels, palette and key; links it both ways
// and at the most recently used end. NULL when there is no device, source, free record or memory.
TextureHandleEntry* texcache_create(SurfaceTableEntry* entry);
// The first free record of the pool, zeroed, or NULL when all are in use. It is not linked yet.
TextureHandleEntry* texcache_alloc();
// Restores the device copy and loads it from the owner's m_surfaceSM. 0, or -1 when it cannot be restored
// or loaded.
int texcache_load(TextureHandleEntry* entry);
// Fetches the device copy's handle on device (0 when it gives none).
void texcache_get_handle(TextureHandleEntry* entry, IDirect3DDevice2* device);
// Links a record at the most recently used end (it must not be linked).
void texcache_link(TextureHandleEntry* entry);
// Takes a linked record out of the list.
void texcache_unlink(TextureHandleEntry* entry);
// Clears the owner's link to the record and the owner, releases the device surface and clears the handle;
// the record is then free. It is not unlinked here: callers unlink it.
void texcache_release(TextureHandleEntry* entry);
// Releases every linked record, empties the list and starts over as before first use; the current
// texture is unbound. Afterwards every record of the pool is free.
void texcache_free_all();
// Readies the empty list before first use (the per-frame view set-up calls it); idempotent.
void texcache_ensure_list();
// An entry that is going away gives up its record (unlinked and released) and stops being the current
// texture.
void texcache_forget_owner(SurfaceTableEntry* entry);
// Records in the list (tests and statistics).
int texcache_linked_count();
