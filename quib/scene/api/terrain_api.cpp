// The flat interface's terrain functions over Terrain and TerrainManager handles.
#include <new>

#include "quib/quib.h"
#include "quib/scene/world/terrain.h"
#include "quib/scene/world/terrain_manager.h"

int QuibInitTerrain(float x0, float z0, float sizeX, float sizeZ, int cols, int rows,
                    IDirectDrawSurface* texture, void** out) {
    if (!out) return 0;
    *out = nullptr;
    Terrain* tile = new (std::nothrow) Terrain(nullptr, nullptr);
    if (!tile) return 0;
    // An empty tile is no tile: the caller hears of it rather than drawing nothing.
    if (!tile->Init(x0, z0, sizeX, sizeZ, cols, rows)) {
        delete tile;
        return 0;
    }
    if (texture) tile->SetTextureMap(texture);
    *out = tile;
    return 1;
}

int QuibLoadTerrain(const char* file, void** out) {
    if (!out) return 0;
    *out = nullptr;
    Terrain* tile = new (std::nothrow) Terrain(nullptr, nullptr);
    if (!tile) return 0;
    if (!tile->Load(file)) {
        delete tile;
        return 0;
    }
    *out = tile;
    return 1;
}

int QuibSaveTerrain(const char* file, void* terrain) {
    return terrain ? static_cast<Terrain*>(terrain)->Save(file) : 0;
}

// A source of odd cols or rows is taken as it is (cols / 2 x rows / 2 cells from its even vertices), but
// its far border then comes from the source's last even column or row, one cell short of the source's
// own: such a copy no longer meets its neighbours. That is why Terrain::MakeLowDetailVersions stops the
// detail chain at the first level with an odd size, where this function does not.
int QuibInitTerrainLowDetail(void* source, void** out) {
    if (!out) return 0;
    *out = nullptr;
    Terrain* tile = new (std::nothrow) Terrain(nullptr, nullptr);
    if (!tile) return 0;
    if (!tile->InitLowDetailVersion(static_cast<Terrain*>(source))) {
        delete tile;
        return 0;
    }
    *out = tile;
    return 1;
}

int QuibApplyElevationMap(void* terrain, IDirectDrawSurface* map, float low, float high, int upward) {
    if (terrain) static_cast<Terrain*>(terrain)->ApplyElevationMap(map, low, high, upward);
    return 1;
}

int QuibFindTerrainIntersection(void* terrain, float x, float z, D3DVECTOR& out) {
    return terrain ? static_cast<Terrain*>(terrain)->FindIntersection(x, z, out) : 0;
}

int QuibInitTerrainManager(void** out) {
    if (!out) return 0;
    *out = new (std::nothrow) TerrainManager;
    return *out ? 1 : 0;
}

int QuibAddTerrainManager(void* manager, void* terrain, int ix, int iz) {
    return manager ? static_cast<TerrainManager*>(manager)->Add(static_cast<Terrain*>(terrain), ix, iz) : 0;
}

int QuibFindTerrainManagerIntersection(void* manager, float x, float z, D3DVECTOR& out) {
    return manager ? static_cast<TerrainManager*>(manager)->FindIntersection(x, z, out) : 0;
}
