// The .dpm terrain file: a 300-byte header, the vertices and the triangles of one height-field tile,
// little-endian, no magic number and no version:
//   0 origin x, 4 origin y, 8 origin z, 12 size x, 16 size z, 20 centre x, 24 centre z (float32);
//   28 cols, 32 rows (int32); 36 texture name (256 bytes, NUL-terminated); 292 vertex count V,
//   296 triangle count T (uint32); 300 V vertices of eight float32 (x, y, z, tu, tv, nx, ny, nz);
//   then T triangles of three uint16 vertex indices. Nothing follows the triangles.
// Fields are read and written one by one, so the layout does not depend on the compiler's structures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "quib/dp_mesh_records.h"

constexpr size_t kDpmHeaderBytes = 300;
constexpr size_t kDpmVertexBytes = 32;
constexpr size_t kDpmTriangleBytes = 6;
constexpr int kDpmNameSize = 256;

// The header record of a .dpm file.
struct DpmFile {
    float originX = 0, originY = 0, originZ = 0;
    float sizeX = 0, sizeZ = 0;
    float centreX = 0, centreZ = 0;
    int32_t cols = 0, rows = 0;
    char textureName[kDpmNameSize] = {};
    uint32_t vertexCount = 0;
    uint32_t triangleCount = 0;
};

// True when a grid of cols x rows cells can be held: at least one cell each way, and its
// (cols + 1) x (rows + 1) vertices and 2 x cols x rows triangles fit 16-bit counts.
bool DpmGridFits(int cols, int rows);

// Why the header cannot describe a tile (a short English reason), or NULL when it can: the grid fits,
// the counts are the grid's, both sizes are finite and positive, the origin's x and z are finite, and the
// name is terminated.
const char* DpmHeaderProblem(const DpmFile& header);

// Bytes of a whole file with this header's counts.
size_t DpmFileBytes(const DpmFile& header);

// Read or write the header, n vertices or n triangles at the stream's position. False on a short read
// or write.
bool ReadDpmHeader(FILE* file, DpmFile& header);
bool WriteDpmHeader(FILE* file, const DpmFile& header);
bool ReadDpmVertices(FILE* file, DPVertex* vertices, size_t n);
bool WriteDpmVertices(FILE* file, const DPVertex* vertices, size_t n);
bool ReadDpmTriangles(FILE* file, DPTriangle* triangles, size_t n);
bool WriteDpmTriangles(FILE* file, const DPTriangle* triangles, size_t n);
