#include "quib/scene/surface_table.h"

#include <cstdio>

#include "quib/platform/debug.h"
#include "quib/platform/interfacelog.h"
#include "quib/quib.h"
#include "quib/scene/mip_chain.h"
#include "quib/scene/texture_cache.h"

SurfaceTable* g_pSurfaceTable = nullptr;

SurfaceTableEntry::SurfaceTableEntry()
    : name{}, m_surface(nullptr), m_surfaceVM(nullptr), m_surfaceSM(nullptr), m_cacheEntry(nullptr),
      m_spare(0), m_texture(nullptr), m_mipMapped(0), m_mipChain(nullptr), m_usage(0) {}

SurfaceTableEntry::~SurfaceTableEntry() {
    // A record left behind would point back at a deleted entry.
    if (m_cacheEntry) {
        TextureHandleEntry* record = m_cacheEntry;
        texcache_unlink(record);
        texcache_release(record);
    }
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

SurfaceTable::SurfaceTable() : m_entries(1) {}

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

int SurfaceTable::GetTextureUsage() {
    return 1;
}

void SurfaceTable::FreeTextureHandles() {
    texcache_free_all();
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
