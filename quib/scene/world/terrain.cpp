// Terrain tile: construction, the flat grid, textures, elevation maps and the ground query.
#include "quib/scene/world/terrain.h"

#include <cmath>
#include <cstring>
#include <new>

#include "quib/platform/debug.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/world/dpm_file.h"

namespace {

// The vertical segment the ground query intersects: ground beyond it is not found.
constexpr float kGroundSearchHeight = 2000.0f;

bool ValidSize(float sizeX, float sizeZ) {
    return std::isfinite(sizeX) && std::isfinite(sizeZ) && sizeX > 0 && sizeZ > 0;
}

} // namespace

Terrain::Terrain(IDirect3DRM2* rm, IDirect3DRMFrame2* parent)
    : MeshObject(rm, parent), m_originX(0), m_originY(0), m_originZ(0), m_sizeX(0), m_sizeZ(0), m_centreX(0),
      m_centreZ(0), m_cols(0), m_rows(0), m_lowDetail(nullptr), m_edgeTable(nullptr), m_ownTexture(nullptr) {
    std::memset(m_fileName, 0, sizeof m_fileName);
    std::memset(m_textureName, 0, sizeof m_textureName);
}

Terrain::~Terrain() {
    // The coarser versions share this tile's texture: they go first. The skin only points at textures,
    // so ~MeshObject may free it after the texture is gone.
    delete m_lowDetail;
    delete[] m_edgeTable;
    delete m_ownTexture;
}

DPSubMesh* Terrain::Grid() const {
    if (!m_geo || m_geo->count != 1 || !m_geo->subMeshes || !DpmGridFits(m_cols, m_rows)) return nullptr;
    DPSubMesh* sub = &m_geo->subMeshes[0];
    if (sub->vertexCount != (m_cols + 1) * (m_rows + 1) || sub->triangleCount != 2 * m_cols * m_rows)
        return nullptr;
    return sub;
}

bool Terrain::NewGeometry(int v, int t) {
    DPMeshGeo* geo = new (std::nothrow) DPMeshGeo(1);
    DPMeshSkin* skin = new (std::nothrow) DPMeshSkin(1);
    if (!geo || !skin || geo->count != 1 || skin->count != 1 || !geo->subMeshes[0].Init(v, t)) {
        delete geo;
        delete skin;
        return false;
    }
    geo->SetFrame(this);
    geo->subMeshes[0].material = &skin->materials[0];
    DropGeometry();
    DropSkin();
    m_geo = geo;
    m_skin = skin;
    m_ownsGeo = m_ownsSkin = true;
    // Border heights and coarser versions belong to the old grid.
    delete[] m_edgeTable;
    m_edgeTable = nullptr;
    delete m_lowDetail;
    m_lowDetail = nullptr;
    return true;
}

void Terrain::UseTexture(SurfaceTableEntry* entry, bool owned) {
    if (!m_skin || !m_skin->count) return;
    if (m_ownTexture && m_ownTexture != entry) {
        // The coarser versions share the texture this tile owns: they take the new one with it.
        for (Terrain* coarse = m_lowDetail; coarse; coarse = coarse->m_lowDetail)
            if (coarse->m_skin && coarse->m_skin->count &&
                coarse->m_skin->materials[0].texture == m_ownTexture)
                coarse->m_skin->materials[0].texture = entry;
        delete m_ownTexture;
    }
    m_ownTexture = owned ? entry : nullptr;
    m_skin->materials[0].colour = kDPMaterialTextured;
    m_skin->materials[0].texture = entry;
}

void Terrain::UpdateExtents() {
    if (!m_geo || !m_geo->count) return;
    DPSubMesh& sub = m_geo->subMeshes[0];
    sub.compute_extents();
    std::memcpy(m_geo->extents, sub.extents, sizeof m_geo->extents);
    // The object's box and centre, so distances, screen extents and outlines see the grid.
    const float* e = sub.extents;
    m_box = MeshBox{{e[0], e[2], e[4]}, {e[1], e[3], e[5]}};
    MakeCorners();
    D3DVECTOR sum{0.0f, 0.0f, 0.0f};
    for (int i = 0; i < sub.vertexCount; ++i) {
        sum.x += sub.vertices[i].x;
        sum.y += sub.vertices[i].y;
        sum.z += sub.vertices[i].z;
    }
    if (sub.vertexCount) {
        const float n = float(sub.vertexCount);
        m_center = {sum.x / n, sum.y / n, sum.z / n};
    }
    m_vertexCount = sub.vertexCount;
    m_polyCount = sub.triangleCount;
}

SurfaceTableEntry* Terrain::FindOrLoadTexture(const char* file, bool& owned) {
    owned = false;
    if (g_pSurfaceTable && file[0])
        if (SurfaceTableEntry* known = g_pSurfaceTable->FindByName(file)) return known;
    // A name that does not load registers the failure and leaves the tile untextured.
    SurfaceTableEntry* entry = new (std::nothrow) SurfaceTableEntry(file);
    if (!entry || !entry->m_surface) {
        delete entry;
        return nullptr;
    }
    owned = !g_pSurfaceTable || !g_pSurfaceTable->Add(entry);
    return entry;
}

int Terrain::Init(float x0, float z0, float sizeX, float sizeZ, int cols, int rows) {
    if (!DpmGridFits(cols, rows) || !ValidSize(sizeX, sizeZ) || !std::isfinite(x0) || !std::isfinite(z0))
        return 0;
    if (!NewGeometry((cols + 1) * (rows + 1), 2 * cols * rows)) return 0;
    DPSubMesh& sub = m_geo->subMeshes[0];
    if (!sub.MakeGrid(sizeX, sizeZ, cols, rows)) return 0;
    // The grid is built at 0..size; the tile lies at its origin.
    sub.TranslateVertices(x0, 0.0f, z0);
    m_skin->materials[0] = DPMaterial{kDPMaterialMissingTexture, nullptr};
    delete m_ownTexture;
    m_ownTexture = nullptr;
    m_originX = x0;
    m_originY = 0.0f;
    m_originZ = z0;
    m_sizeX = sizeX;
    m_sizeZ = sizeZ;
    m_centreX = sizeX / 2 + x0;
    m_centreZ = sizeZ / 2 + z0;
    m_cols = cols;
    m_rows = rows;
    UpdateExtents();
    SetPosition(0.0f, 0.0f, 0.0f);
    return 1;
}

int Terrain::Init(const char* file) {
    return Load(file);
}

void Terrain::SetTextureMap(const char* file) {
    if (!file) return;
    bool owned = false;
    SurfaceTableEntry* entry = FindOrLoadTexture(file, owned);
    UseTexture(entry, owned);
    std::snprintf(m_textureName, sizeof m_textureName, "%s", file);
}

void Terrain::SetTextureMap(IDirectDrawSurface* surface) {
    if (!surface) return;
    SurfaceTableEntry* entry = g_pSurfaceTable ? g_pSurfaceTable->FindBySurface(surface) : nullptr;
    bool owned = false;
    if (!entry) {
        entry = new (std::nothrow) SurfaceTableEntry(surface);
        if (!entry) return;
        owned = !g_pSurfaceTable || !g_pSurfaceTable->Add(entry);
    }
    UseTexture(entry, owned);
}

void Terrain::ApplyElevationMap(IDirectDrawSurface* map, float low, float high, int upward) {
    DPSubMesh* sub = Grid();
    if (!sub || !map) return;
    const float scale = (high - low) / 256.0f;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (map->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return;
    const auto* pixels = static_cast<const uint8_t*>(desc.lpSurface);
    const float width = float(desc.dwWidth), height = float(desc.dwHeight);
    const float cellW = width / float(m_cols), cellH = height / float(m_rows);
    for (int j = 0; j <= m_rows; ++j) {
        for (int i = 0; i <= m_cols; ++i) {
            // The window of pixels around the vertex's place on the map, clipped to the map.
            int sum = 0, count = 0;
            const float y0 = float(j) * cellH - cellH / 2, x0 = float(i) * cellW - cellW / 2;
            for (int n = 0; float(n) < cellH; ++n) {
                const float sy = y0 + float(n);
                if (!(sy > -1.0f && sy < height)) continue;
                const uint8_t* row = pixels + ptrdiff_t(int(sy)) * desc.lPitch;
                for (int m = 0; float(m) < cellW; ++m) {
                    const float sx = x0 + float(m);
                    if (!(sx > -1.0f && sx < width)) continue;
                    sum += row[int(sx)];
                    ++count;
                }
            }
            const int mean = count ? sum / count : 0;
            DebugPrintf("%3d", mean);
            if (!count) continue;
            const float h = float(mean) * scale;
            sub->vertices[j * (m_cols + 1) + i].y += upward ? low + h : low - h;
        }
        DebugPrintf("\n");
    }
    map->Unlock(nullptr);
    UpdateExtents();
}

void Terrain::ResetVertices() {
    if (m_geo && m_geo->count) m_geo->subMeshes[0].Reset();
}

int Terrain::FindIntersection(float x, float z, D3DVECTOR& out) {
    DPSubMesh* sub = Grid();
    if (!sub || !ValidSize(m_sizeX, m_sizeZ)) return 0;
    if (!(m_originX <= x && x <= m_originX + m_sizeX && m_originZ <= z && z <= m_originZ + m_sizeZ)) return 0;
    const float fx = (x - m_originX) / m_sizeX * float(m_cols);
    const float fz = (z - m_originZ) / m_sizeZ * float(m_rows);
    if (!std::isfinite(fx) || !std::isfinite(fz)) return 0;
    // The far borders belong to the last column and row.
    const int i = std::min(int(fx), m_cols - 1), j = std::min(int(fz), m_rows - 1);
    const int cell = j * m_cols + i;
    // Triangle 2c holds the half of the cell beyond its diagonal from (i+1, j) to (i, j+1).
    const bool upper = (fx - float(i)) + (fz - float(j)) >= 1.0f;
    DPTriInfo plane;
    if (!sub->ComputeTriangleInfo(upper ? 2 * cell : 2 * cell + 1, &plane)) return 0;
    const D3DVECTOR below{x, -kGroundSearchHeight, z}, above{x, kGroundSearchHeight, z};
    D3DVECTOR hit;
    if (!FindPlaneIntersection(below, above, D3DVECTOR{plane.nx, plane.ny, plane.nz}, plane.d, hit)) return 0;
    if (!(hit.y >= -kGroundSearchHeight && hit.y <= kGroundSearchHeight)) return 0;
    out = hit;
    return 1;
}
