// Terrain tile: the chain of coarser versions and the border heights that stitch a tile to a coarser
// neighbour.
//
// Edge table: for every odd vertex of a border, {own height, stitched height}, the stitched height
// being the mean of its two even neighbours along the border. Entries run edge 0 (cols / 2 of them),
// edge 1 (cols / 2), edge 2 (rows / 2), edge 3 (rows / 2).
#include <cstring>
#include <new>

#include "quib/scene/world/terrain.h"

namespace {

// Table entries: own and stitched height.
constexpr int kEdgeOwn = 0;
constexpr int kEdgeStitched = 1;
constexpr int kEdgeValues = 2;
constexpr int kEdges = 4;

} // namespace

int Terrain::EdgeEntries(int edge) const {
    return edge < 2 ? m_cols / 2 : m_rows / 2;
}

int Terrain::EdgeStart(int edge) const {
    int start = 0;
    for (int e = 0; e < edge; ++e)
        start += EdgeEntries(e);
    return start;
}

bool Terrain::EdgeVertex(int edge, int k, int& odd, int& before, int& after) const {
    if (edge < 0 || edge >= kEdges || k < 0 || k >= EdgeEntries(edge)) return false;
    const int stride = m_cols + 1;
    // Along a row the next vertex is one on; along a column one row on.
    const int step = edge < 2 ? 1 : stride;
    int first = 0; // the border's vertex 0
    if (edge == 1) first = m_rows * stride;
    if (edge == 3) first = m_cols;
    before = first + 2 * k * step;
    odd = before + step;
    after = odd + step;
    return true;
}

int Terrain::InitLODVertices() {
    DPSubMesh* sub = Grid();
    if (!sub) return 1;
    float* table = new (std::nothrow) float[size_t(kEdgeValues) * size_t(m_cols + m_rows)]();
    if (!table) return 1;
    delete[] m_edgeTable;
    m_edgeTable = table;
    for (int edge = 0; edge < kEdges; ++edge)
        for (int k = 0; k < EdgeEntries(edge); ++k) {
            int odd, before, after;
            EdgeVertex(edge, k, odd, before, after);
            float* entry = m_edgeTable + kEdgeValues * (EdgeStart(edge) + k);
            entry[kEdgeOwn] = sub->vertices[odd].y;
            entry[kEdgeStitched] = (sub->vertices[before].y + sub->vertices[after].y) / 2;
        }
    return 1;
}

int Terrain::LoadEdge(int edge, int which) {
    if (which != kEdgeOwn && which != kEdgeStitched) return 0;
    if (edge < 0 || edge >= kEdges) return 1;
    DPSubMesh* sub = Grid();
    if (!m_edgeTable || !sub) return 0;
    for (int k = 0; k < EdgeEntries(edge); ++k) {
        int odd, before, after;
        EdgeVertex(edge, k, odd, before, after);
        sub->vertices[odd].y = m_edgeTable[kEdgeValues * (EdgeStart(edge) + k) + which];
    }
    return 1;
}

int Terrain::InitLowDetailVersion(Terrain* source) {
    const DPSubMesh* fine = source ? source->Grid() : nullptr;
    if (!fine) return 0;
    const int cols = source->m_cols / 2, rows = source->m_rows / 2;
    if (cols < 1 || rows < 1 || !NewGeometry((cols + 1) * (rows + 1), 2 * cols * rows)) return 0;
    DPSubMesh& sub = m_geo->subMeshes[0];
    if (!sub.MakeGrid(source->m_sizeX, source->m_sizeZ, cols, rows)) return 0;
    const int fineStride = source->m_cols + 1;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= cols; ++i)
            sub.vertices[j * (cols + 1) + i] = fine->vertices[2 * j * fineStride + 2 * i];
    m_originX = source->m_originX;
    m_originY = source->m_originY;
    m_originZ = source->m_originZ;
    m_sizeX = source->m_sizeX;
    m_sizeZ = source->m_sizeZ;
    m_centreX = m_originX + m_sizeX / 2;
    m_centreZ = m_originZ + m_sizeZ / 2;
    m_cols = cols;
    m_rows = rows;
    UpdateExtents();
    // The texture stays the source's: shared, never owned here.
    UseTexture(source->m_skin->materials[0].texture, false);
    std::memcpy(m_textureName, source->m_textureName, sizeof m_textureName);
    SetPosition(0.0f, 0.0f, 0.0f);
    return 1;
}

void Terrain::MakeLowDetailVersions(int minCells) {
    if (minCells < 1) minCells = 1;
    // Only an even grid halves onto its own vertices and borders; a level below 2 x 2 would be empty.
    if (!Grid() || m_cols < 2 || m_rows < 2 || m_cols % 2 || m_rows % 2 || m_cols * m_rows < minCells) return;
    Terrain* coarse = new (std::nothrow) Terrain(m_rm, nullptr);
    if (!coarse) return;
    if (!coarse->InitLowDetailVersion(this)) {
        delete coarse;
        return;
    }
    delete m_lowDetail;
    m_lowDetail = coarse;
    coarse->MakeLowDetailVersions(minCells);
    coarse->InitLODVertices();
}

void Terrain::GetLOD(int level, Terrain** out, int* reached) {
    Terrain* tile = this;
    int steps = 0;
    while (steps < level && tile->m_lowDetail) {
        tile = tile->m_lowDetail;
        ++steps;
    }
    if (out) *out = tile;
    if (reached) *reached = steps;
}
