#include "quib/scene/texture_cache.h"

#include <cstring>

#include "quib/scene/surface_table.h"

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

} // namespace

TextureHandleEntry* texcache_alloc() {
    for (TextureHandleEntry& entry : s_pool) {
        if (entry.owner) continue;
        std::memset(&entry, 0, sizeof(entry));
        return &entry;
    }
    return nullptr;
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

void texcache_free_all() {
    EnsureList();
    while (s_newest.older != &s_oldest) {
        TextureHandleEntry* entry = s_newest.older;
        texcache_unlink(entry);
        texcache_release(entry);
    }
}

int texcache_linked_count() {
    EnsureList();
    int count = 0;
    for (TextureHandleEntry* entry = s_newest.older; entry != &s_oldest; entry = entry->older)
        ++count;
    return count;
}
