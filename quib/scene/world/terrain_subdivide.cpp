// Terrain tile: splitting a tile into a grid of smaller tiles, each saved to its own .dpm file. The
// tiles' texture names follow the numbering of the bitmap subdivision (column + row x columns), so each
// tile maps one bitmap tile whole.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "quib/platform/debug.h"
#include "quib/scene/world/terrain.h"

namespace {

// The file name of a path without drive, folder or extension: "c:\maps\ground.bmp" gives "ground".
// Both separators are accepted.
std::string FileNamePart(const char* path) {
    std::string name = path ? path : "";
    if (name.size() >= 2 && name[1] == ':') name.erase(0, 2);
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

} // namespace

int Terrain::SubdivideMesh(const char* base, int nx, int nz, Terrain** out) {
    const DPSubMesh* source = Grid();
    if (!source || !out || nx < 1 || nz < 1 || m_cols % nx || m_rows % nz) return 0;
    const int tileCols = m_cols / nx, tileRows = m_rows / nz;
    const float tileW = m_sizeX / float(nx), tileD = m_sizeZ / float(nz);
    const std::string baseName = FileNamePart(base);
    const std::string textureName = FileNamePart(m_textureName);
    for (int tz = 0; tz < nz; ++tz)
        for (int tx = 0; tx < nx; ++tx) {
            const int k = tx + tz * nx;
            Terrain* tile = new (std::nothrow) Terrain(nullptr, nullptr);
            if (!tile) return 0;
            if (m_textureName[0])
                std::snprintf(tile->m_textureName, sizeof tile->m_textureName, "%s%03d.bmp",
                              textureName.c_str(), k);
            std::snprintf(m_fileName, sizeof m_fileName, "%s%03d.dpm", baseName.c_str(), k);
            const float x0 = m_originX + float(tx) * tileW, z0 = m_originZ + float(tz) * tileD;
            DebugPrintf("New Tile <%s> @ XZ<%10.2f,%10.2f>,WH<%10.2f,%10.2f>\n", m_fileName, double(x0),
                        double(z0), double(tileW), double(tileD));
            if (!tile->Init(x0, z0, tileW, tileD, tileCols, tileRows)) {
                delete tile;
                return 0;
            }
            DPSubMesh& sub = tile->m_geo->subMeshes[0];
            for (int j = 0; j <= tileRows; ++j)
                for (int i = 0; i <= tileCols; ++i) {
                    DPVertex& v = sub.vertices[j * (tileCols + 1) + i];
                    const DPVertex& from =
                        source->vertices[(j + tz * tileRows) * (m_cols + 1) + i + tx * tileCols];
                    v.x = from.x;
                    v.y = from.y;
                    v.z = from.z;
                    DebugPrintf("POS <%3d,%3d>, COORD <%10.2f,%10.2f>, UV<%10.2f,%10.2f>\n", i, j,
                                double(v.x), double(v.z), double(v.tu), double(v.tv));
                }
            tile->UpdateExtents();
            out[k] = tile;
            tile->Save(m_fileName);
        }
    return 1;
}
