// Terrain tile: reading and writing .dpm files.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "host/win/paths.h"
#include "quib/scene/world/dpm_file.h"
#include "quib/scene/world/terrain.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool TrianglesInRange(const DPTriangle* triangles, size_t n, uint32_t vertexCount) {
    for (size_t i = 0; i < n; ++i)
        for (uint16_t index : triangles[i].v)
            if (index >= vertexCount) return false;
    return true;
}

// The tile's file contents, read whole and checked before the tile takes them.
struct DpmContents {
    DpmFile header;
    std::unique_ptr<DPVertex[]> vertices;
    std::unique_ptr<DPTriangle[]> triangles;
};

bool ReadDpm(const char* path, DpmContents& dpm) {
    FilePtr file(HostOpenFile(path, "rb"));
    if (!file || !ReadDpmHeader(file.get(), dpm.header) || DpmHeaderProblem(dpm.header)) return false;
    const DpmFile& h = dpm.header;
    dpm.vertices.reset(new (std::nothrow) DPVertex[h.vertexCount]);
    dpm.triangles.reset(new (std::nothrow) DPTriangle[h.triangleCount]);
    if (!dpm.vertices || !dpm.triangles) return false;
    if (!ReadDpmVertices(file.get(), dpm.vertices.get(), h.vertexCount) ||
        !ReadDpmTriangles(file.get(), dpm.triangles.get(), h.triangleCount))
        return false;
    // Whatever may follow the triangles is not the tile's: it is never read.
    return TrianglesInRange(dpm.triangles.get(), h.triangleCount, h.vertexCount);
}

} // namespace

int Terrain::Load(const char* file) {
    DpmContents dpm;
    if (!file || !ReadDpm(file, dpm)) return 0;
    const DpmFile& h = dpm.header;
    if (!NewGeometry(int(h.vertexCount), int(h.triangleCount))) return 0;
    DPSubMesh& sub = m_geo->subMeshes[0];
    std::memcpy(sub.vertices, dpm.vertices.get(), sizeof(DPVertex) * h.vertexCount);
    std::memcpy(sub.triangles, dpm.triangles.get(), sizeof(DPTriangle) * h.triangleCount);
    m_originX = h.originX;
    m_originY = h.originY;
    m_originZ = h.originZ;
    m_sizeX = h.sizeX;
    m_sizeZ = h.sizeZ;
    m_centreX = h.centreX;
    m_centreZ = h.centreZ;
    m_cols = h.cols;
    m_rows = h.rows;
    // The tile keeps its texture's name, so saving it again writes the same name.
    std::memcpy(m_textureName, h.textureName, sizeof m_textureName);
    bool owned = false;
    SurfaceTableEntry* texture = FindOrLoadTexture(m_textureName, owned);
    UseTexture(texture, owned);
    UpdateExtents();
    SetPosition(0.0f, 0.0f, 0.0f);
    return 1;
}

int Terrain::Save(const char* file) {
    const DPSubMesh* sub = Grid();
    if (!file || !sub) return 0;
    DpmFile h;
    h.originX = m_originX;
    h.originY = m_originY;
    h.originZ = m_originZ;
    h.sizeX = m_sizeX;
    h.sizeZ = m_sizeZ;
    h.centreX = m_centreX;
    h.centreZ = m_centreZ;
    h.cols = m_cols;
    h.rows = m_rows;
    std::memcpy(h.textureName, m_textureName, sizeof h.textureName);
    h.textureName[sizeof h.textureName - 1] = '\0';
    h.vertexCount = sub->vertexCount;
    h.triangleCount = sub->triangleCount;
    // What cannot be loaded again is not written.
    if (DpmHeaderProblem(h)) return 0;
    FilePtr out(HostOpenFile(file, "wb+"));
    if (!out) return 0;
    bool written = WriteDpmHeader(out.get(), h) &&
                   WriteDpmVertices(out.get(), sub->vertices, h.vertexCount) &&
                   WriteDpmTriangles(out.get(), sub->triangles, h.triangleCount);
    if (std::fclose(out.release()) != 0) written = false;
    return written ? 1 : 0;
}
