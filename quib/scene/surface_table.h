// The surface table: every texture bitmap of the 3D layer once, by name. The video start-up creates the
// table, shutdown frees the texture handles, the entries and the table. This file holds the table and the
// entry record with their lifetimes; loading, converting and looking up textures join them with the 3D
// layer.
#pragma once

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

struct MipMapChain;
struct TextureHandleEntry;

constexpr int kSurfaceNameSize = 256;

class SurfaceTableEntry {
  public:
    // An empty entry: no name, every pointer NULL, every number 0.
    SurfaceTableEntry();
    // Gives up its texture-handle record, releases m_texture, m_surface, m_surfaceSM and m_surfaceVM in
    // that order (each logged), then deletes the mip chain.
    ~SurfaceTableEntry();

    SurfaceTableEntry(const SurfaceTableEntry&) = delete;
    SurfaceTableEntry& operator=(const SurfaceTableEntry&) = delete;

    char name[kSurfaceNameSize];      // the key: the texture's file name, or empty
    IDirectDrawSurface* m_surface;    // as loaded or wrapped; also the selected mip level
    IDirectDrawSurface* m_surfaceVM;  // video-memory copy; unused, released when set
    IDirectDrawSurface* m_surfaceSM;  // the copy in the device's texture format
    TextureHandleEntry* m_cacheEntry; // this entry's texture-handle record, or NULL
    DWORD m_spare;                    // 0
    IUnknown* m_texture;              // Retained Mode texture, or NULL
    int m_mipMapped;                  // 1 once the mip chain was built
    MipMapChain* m_mipChain;          // owned, or NULL
    int m_usage;                      // texture bytes of the entry
};

class SurfaceTable {
  public:
    // An empty list of capacity 1.
    SurfaceTable();
    // Deletes every entry, then the list.
    ~SurfaceTable();

    SurfaceTable(const SurfaceTable&) = delete;
    SurfaceTable& operator=(const SurfaceTable&) = delete;

    // Appends entry (the table owns it from now on; no duplicate check) and logs the new count. 1, or 0
    // when memory ran out (the entry is then not the table's).
    int Add(SurfaceTableEntry* entry);
    // Returns 1; the table's usage is not summed.
    int GetTextureUsage();
    // Releases every record of the texture-handle cache; nothing when no texture was made.
    void FreeTextureHandles();

    PtrArray<SurfaceTableEntry> m_entries;
    int m_unused = 0;
};

// The one table, NULL until QuibInitSurfaceTable.
extern SurfaceTable* g_pSurfaceTable;

// Shutdown's end of the table: frees the texture handles, deletes the table with its entries and clears
// g_pSurfaceTable. Nothing when there is no table.
void DeleteSurfaceTable();
