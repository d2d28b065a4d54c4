// The texture-handle cache: for each surface-table entry that textured drawing uses, a device copy of its
// texture surface and that copy's handle, kept in a fixed pool of records linked from the most to the
// least recently used. This file holds the pool, the list and the release of records; making, loading
// and looking up handles join it with the immediate-mode drawing.
#pragma once

#include "host/d3d/d3dtypes.h"
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

// The first free record of the pool, zeroed, or NULL when all are in use. It is not linked yet.
TextureHandleEntry* texcache_alloc();
// Links a record at the most recently used end (it must not be linked).
void texcache_link(TextureHandleEntry* entry);
// Takes a linked record out of the list.
void texcache_unlink(TextureHandleEntry* entry);
// Clears the owner's link to the record and the owner, releases the device surface and clears the handle;
// the record is then free. It is not unlinked here: callers unlink it.
void texcache_release(TextureHandleEntry* entry);
// Releases every linked record and empties the list; afterwards every record of the pool is free.
void texcache_free_all();
// Records in the list (tests and statistics).
int texcache_linked_count();
