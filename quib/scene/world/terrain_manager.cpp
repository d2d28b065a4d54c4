#include "quib/scene/world/terrain_manager.h"

#include <cmath>
#include <new>

#include "quib/platform/debug.h"
#include "quib/quib.h"
#include "quib/scene/world/terrain.h"

namespace {

constexpr int kEdges = 4;
// Cells a grid may have: beyond it the cell array would not be allocated sensibly.
constexpr int kMaxCells = 1 << 20;

// A display list holds object handles: a tile goes in and out as the MeshObject it is.
void RemoveFromList(void* list, Terrain* tile) {
    if (list && tile) QuibDelDisplayList(list, static_cast<MeshObject*>(tile));
}

void AddToList(void* list, Terrain* tile) {
    if (list && tile) QuibAddDisplayList(list, static_cast<MeshObject*>(tile));
}

int LevelFor(float distance, float step) {
    if (!(step > 0)) return 0;
    const float level = distance / step;
    if (!(level < float(kMaxTerrainLevel))) return kMaxTerrainLevel; // also NaN: as far as it goes
    return int(level);
}

} // namespace

TerrainManager::TerrainManager()
    : m_terrains(new (std::nothrow) PtrArray<Terrain>(1)), m_gridParams{0, 0, 0, 0}, m_nx(0), m_nz(0),
      m_cells(nullptr) {}

TerrainManager::~TerrainManager() {
    delete m_terrains;
    delete[] m_cells;
}

void TerrainManager::SetGridParams(float a, float b, float c, float d, int nx, int nz) {
    m_gridParams[0] = a;
    m_gridParams[1] = b;
    m_gridParams[2] = c;
    m_gridParams[3] = d;
    delete[] m_cells;
    m_cells = nullptr;
    m_nx = m_nz = 0;
    if (nx < 1 || nz < 1 || nx > kMaxCells / nz) return;
    m_cells = new (std::nothrow) TerrainCell[size_t(nx) * size_t(nz)];
    if (!m_cells) return;
    m_nx = nx;
    m_nz = nz;
    for (int i = 0; i < nx * nz; ++i)
        m_cells[i] = TerrainCell{nullptr, nullptr, 0, 0, 0, {-1, -1, -1, -1}};
}

int TerrainManager::Add(Terrain* tile, int ix, int iz) {
    if (!tile || !m_terrains || !m_cells || ix < 0 || ix >= m_nx || iz < 0 || iz >= m_nz) return 0;
    m_terrains->Add(tile);
    const int c = ix + iz * m_nx;
    TerrainCell& cell = m_cells[c];
    cell.base = cell.current = tile;
    cell.ix = ix;
    cell.iz = iz;
    cell.neighbour[0] = iz >= 1 ? c - m_nx : -1;
    cell.neighbour[1] = iz < m_nz - 1 ? c + m_nx : -1;
    cell.neighbour[2] = ix >= 1 ? c - 1 : -1;
    cell.neighbour[3] = ix < m_nx - 1 ? c + 1 : -1;
    return 1;
}

Terrain* TerrainManager::Current(TerrainCell& cell) {
    // Only addresses are compared: a freed version is never read.
    int level = 0;
    for (Terrain* tile = cell.base; tile; tile = tile->m_lowDetail, ++level)
        if (tile == cell.current) {
            cell.level = level;
            return tile;
        }
    cell.current = cell.base;
    cell.level = 0;
    return cell.base;
}

Terrain* TerrainManager::FindTerrain(float x, float z) {
    for (int c = 0; c < CellCount(); ++c) {
        Terrain* tile = Current(m_cells[c]);
        if (tile && tile->m_originX <= x && x < tile->m_originX + tile->m_sizeX && tile->m_originZ <= z &&
            z < tile->m_originZ + tile->m_sizeZ)
            return tile;
    }
    return nullptr;
}

int TerrainManager::FindIntersection(float x, float z, D3DVECTOR& out) {
    Terrain* tile = FindTerrain(x, z);
    return tile ? tile->FindIntersection(x, z, out) : 0;
}

int TerrainManager::MakeLowDetailVersions(int minCells) {
    if (!m_terrains) return 0;
    for (int i = 0; i < m_terrains->GetCount(); ++i) {
        Terrain* tile = m_terrains->GetAt(i);
        tile->MakeLowDetailVersions(minCells);
        tile->InitLODVertices();
    }
    return 1;
}

int TerrainManager::SetDetailLevel(void* displayList, D3DVECTOR viewer, float step) {
    if (!m_terrains) return 0;
    for (int c = 0; c < CellCount(); ++c) {
        TerrainCell& cell = m_cells[c];
        if (!cell.base) continue;
        const float dx = viewer.x - cell.base->m_centreX, dz = viewer.z - cell.base->m_centreZ;
        const int level = LevelFor(std::sqrt(dx * dx + dz * dz), step);
        RemoveFromList(displayList, Current(cell));
        cell.base->GetLOD(level, &cell.current, &cell.level);
        AddToList(displayList, cell.current);
    }
    DebugPrintf("Start************\n");
    for (int c = 0; c < CellCount(); ++c)
        if (m_cells[c].base) StitchBorders(c);
    return 1;
}

void TerrainManager::StitchBorders(int c) {
    const TerrainCell& cell = m_cells[c];
    for (int edge = 0; edge < kEdges; ++edge) {
        const int n = cell.neighbour[edge];
        if (n < 0 || !m_cells[n].base) continue;
        const TerrainCell& other = m_cells[n];
        if (cell.level < other.level) {
            DebugPrintf("LO Base Tile <%3d,%3d>, val=%3d : Tile <%3d,%3d>, val=%3d\n", cell.ix, cell.iz,
                        cell.level, other.ix, other.iz, other.level);
            cell.current->LoadEdge(edge, 1);
        } else {
            if (cell.level == other.level)
                DebugPrintf("HI Base Tile <%3d,%3d>, val=%3d : Tile <%3d,%3d>, val=%3d\n", cell.ix, cell.iz,
                            cell.level, other.ix, other.iz, other.level);
            // Also on the coarser side: an edge stitched while this tile was the finer one is reset.
            cell.current->LoadEdge(edge, 0);
        }
    }
}
