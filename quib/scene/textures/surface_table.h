// quib/scene/textures: the surface table of texture bitmaps, software mip chains, the texture-handle cache.
// May include quib/scene/frames, quib/scene/math and what they may include.
//
// The surface table: every texture bitmap of the 3D layer once, by name. An entry holds the surface as
// loaded (system memory), its copy in the device's texture format, that copy's record in the
// texture-handle cache, an optional Retained Mode texture and an optional software mip chain. The video
// start-up creates the table, shutdown frees the texture handles, the entries and the table; the 3D
// loaders look textures up by name and add entries.
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/ptrarray.h"

struct MipMapChain;
struct TextureHandleEntry;

constexpr int kSurfaceNameSize = 256;

class SurfaceTableEntry {
  public:
    // An empty entry: no name, every pointer NULL, every number 0.
    SurfaceTableEntry();
    // Loads the texture file (logged "LoadBitmapFromFile(%s)"): 8-bit palettised for 8-bit files, else
    // the display's format, with the loader's default key; then the device copy, the decal transparency
    // and the usage. A file that cannot be loaded registers "SurfaceTableEntry::LoadBitmapFromFile failed
    // for <name>" and leaves the entry without surfaces.
    explicit SurfaceTableEntry(const char* file);
    // Wraps surface (taking a reference) without a name; then as the file constructor. NULL: an empty
    // entry.
    explicit SurfaceTableEntry(IDirectDrawSurface* surface);
    // An unnamed width x height system-memory texture in the display's format as m_surfaceSM, key 0; no
    // handle record.
    SurfaceTableEntry(int width, int height);
    // Takes a reference on surface and texture (either may be NULL) under name; no handle record.
    SurfaceTableEntry(const char* name, IDirectDrawSurface* surface, IDirect3DRMTexture* texture);
    // Gives up its texture-handle record (unbinding it when it is the device's current texture),
    // releases m_texture, m_surface, m_surfaceSM and m_surfaceVM in that order (each logged), then
    // deletes the mip chain.
    ~SurfaceTableEntry();

    SurfaceTableEntry(const SurfaceTableEntry&) = delete;
    SurfaceTableEntry& operator=(const SurfaceTableEntry&) = delete;

    // Makes m_surfaceSM, the copy in the device's texture format (8-bit palettised on devices with 8-bit
    // textures, else 16-bit; m_surface itself with one more reference when it already has that form),
    // and its texture-handle record once an immediate-mode device exists. Always 1.
    int CreateVideoMemorySurface();
    // Sets the decal transparency of m_texture and the mip chain's textures. 1, or 0 with the failure
    // reported.
    int SetDecalTransparency(int on);
    // Texture bytes: m_surface's width x height x bytes per pixel plus every mip level's (level 0, the
    // full size, counted again). Kept in m_usage; 0 without a surface.
    int GetTextureUsage();
    // Builds the software mip chain from m_surface (the smaller levels from a 16-bit form of it: m_surface
    // or m_surfaceSM, else none). 1, or 0 with the failure reported.
    int MakeMipMaps();
    // Shows mip level (clamped to the chain) through m_surface and m_texture; the entry holds a
    // reference on what it shows. Without a chain nothing changes. Always 1.
    int SetMipMapLevel(int level);
    // Replaces m_surface and m_surfaceSM by one new system-memory texture of m_surface's format (and
    // palette) at width >> shift, height >> shift; its pixels are not filled. 1, or 0 with the failure
    // reported (the entry unchanged).
    int Reduce(int shift);
    // Restores lost surfaces (m_surface, then the mip chain's); the pixels are not reloaded. 1, or 0 with
    // the failure reported.
    int Restore();

    char name[kSurfaceNameSize];      // the key: the texture's file name, or empty
    IDirectDrawSurface* m_surface;    // as loaded or wrapped; also the selected mip level
    IDirectDrawSurface* m_surfaceVM;  // video-memory copy; unused, released when set
    IDirectDrawSurface* m_surfaceSM;  // the copy in the device's texture format
    TextureHandleEntry* m_cacheEntry; // this entry's texture-handle record, or NULL
    DWORD m_spare;                    // 0
    IDirect3DRMTexture* m_texture;    // Retained Mode texture, or NULL
    int m_mipMapped;                  // 1 once the mip chain was built
    MipMapChain* m_mipChain;          // owned, or NULL
    int m_usage;                      // texture bytes of the entry

  private:
    void Clear();
    // The rest of the file and surface constructors once m_surface is set.
    void FinishLoad();
};

class SurfaceTable {
  public:
    // An empty list of capacity 1 (or capacity).
    SurfaceTable();
    explicit SurfaceTable(int capacity);
    // Deletes every entry, then the list.
    ~SurfaceTable();

    SurfaceTable(const SurfaceTable&) = delete;
    SurfaceTable& operator=(const SurfaceTable&) = delete;

    // Appends entry (the table owns it from now on; no duplicate check) and logs the new count. 1, or 0
    // when memory ran out (the entry is then not the table's).
    int Add(SurfaceTableEntry* entry);
    // Appends a new entry that takes over the caller's references on surface and texture (none added).
    // 1, or 0 when memory ran out.
    int Add(const char* name, IDirectDrawSurface* surface, IDirect3DRMTexture* texture);
    // The first entry whose name equals name exactly (case counts), or NULL.
    SurfaceTableEntry* FindByName(const char* name) const;
    // The first entry whose m_surface is surface, or NULL.
    SurfaceTableEntry* FindBySurface(IDirectDrawSurface* surface) const;
    // The first entry whose m_texture is texture, or NULL.
    SurfaceTableEntry* FindByTexture(IDirect3DRMTexture* texture) const;
    // Restores every entry in order; 0 at the first failure, else 1.
    int RestoreAll();
    // SurfaceTableEntry::SetDecalTransparency on every entry.
    void SetTransparency(int on);
    // Returns 1; the table's usage is not summed.
    int GetTextureUsage();
    // Releases every record of the texture-handle cache; nothing when no texture was made.
    void FreeTextureHandles();

    PtrArray<SurfaceTableEntry> m_entries;
    int m_unused = 0;
};

// The one table, NULL until QuibInitSurfaceTable.
extern SurfaceTable* g_pSurfaceTable;

// The table's entry for the texture file name, shared: the one already listed under that name, else a
// newly loaded entry added to the table (which frees it at shutdown). NULL for a NULL or empty name,
// without a table (nothing would own the entry), or when the file cannot be loaded (the failed entry is
// deleted; a listed entry without a surface counts as failed).
SurfaceTableEntry* FindOrLoadTexture(const char* name);

// Shutdown's end of the table: frees the texture handles, deletes the table with its entries and clears
// g_pSurfaceTable. Nothing when there is no table.
void DeleteSurfaceTable();
