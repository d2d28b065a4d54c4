// TerrainManager: a rectangular grid of terrain tiles. It finds the tile under an (x, z) position,
// builds every tile's chain of coarser versions, and on each SetDetailLevel picks for every tile the
// version that suits its distance from the viewer, swaps it into a display list and stitches the
// borders between tiles of different detail so no crack opens. The manager does not own the tiles.
#pragma once

#include "host/d3d/d3dtypes.h"
#include "quib/export.h"
#include "quib/ptrarray.h"

class Terrain;

// One grid place: cell number ix + iz x nx.
struct TerrainCell {
    Terrain* base;    // the full-detail tile, or NULL
    Terrain* current; // the version of base now in the display list; trusted only while base's chain holds it
    int ix, iz;       // grid column and row
    int level;        // detail level of current (0 = base)
    int neighbour[4]; // cell numbers at lower z, higher z, lower x, higher x (the tile edges 0-3), or -1
};

class QUIB_API TerrainManager {
  public:
    // No grid, an empty tile list.
    TerrainManager();
    // Frees the grid and the list; the tiles stay the caller's.
    ~TerrainManager();

    TerrainManager(const TerrainManager&) = delete;
    TerrainManager& operator=(const TerrainManager&) = delete;

    // Stores the four values (kept for callers; the manager does not read them) and makes an empty grid
    // of nx x nz cells, replacing the old one. A size below 1 or too large leaves no grid.
    void SetGridParams(float a, float b, float c, float d, int nx, int nz);
    // Lists tile and places it in cell (ix, iz) with its neighbours: 1, or 0 (nothing done) for a NULL
    // tile or a cell outside the grid.
    int Add(Terrain* tile, int ix, int iz);
    // The current tile of the first cell holding origin <= (x, z) < origin + size (far borders excluded),
    // or NULL.
    Terrain* FindTerrain(float x, float z);
    // The ground point under (x, z) on the tile FindTerrain gives: 1 with out set, 0 without a tile.
    int FindIntersection(float x, float z, D3DVECTOR& out);
    // Builds every listed tile's chain of coarser versions and border heights (the old versions leave
    // every display list as they are freed). 0 without a list, else 1.
    int MakeLowDetailVersions(int minCells);
    // For every cell with a tile: level = horizontal distance from viewer to the tile's centre / step
    // (0 for step <= 0, at most kMaxTerrainLevel), its current version taken out of the display list
    // (a QuibCreateDisplayList handle; NULL: none) and the version at that level (or the chain's end)
    // put in. Then
    // each border next to a coarser neighbour takes stitched heights, every other border its own. 0
    // without a list, else 1.
    int SetDetailLevel(void* displayList, D3DVECTOR viewer, float step);

    PtrArray<Terrain>* m_terrains;
    float m_gridParams[4];
    int m_nx, m_nz;
    TerrainCell* m_cells; // m_nx x m_nz, owned; or NULL

  private:
    int CellCount() const { return m_cells ? m_nx * m_nz : 0; }
    // The cell's current version and its level, while its base tile's chain still holds it; else (the
    // chain rebuilt, the tile made anew: the old versions are freed) the base tile at level 0.
    Terrain* Current(TerrainCell& cell);
    // Loads own or stitched heights on every border of cell c after the levels were chosen.
    void StitchBorders(int c);
};

// The deepest detail level SetDetailLevel asks a chain for.
constexpr int kMaxTerrainLevel = 30;
