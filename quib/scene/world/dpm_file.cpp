#include "quib/scene/world/dpm_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "quib/scene/math/float_bits.h"

namespace {

// Vertices and triangles move through a buffer of this many records at a time.
constexpr size_t kRecordsPerChunk = 1024;

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

float GetF32(const uint8_t* p) {
    return FloatFromBits(GetU32(p));
}

void PutF32(uint8_t* p, float value) {
    PutU32(p, FloatBits(value));
}

uint16_t GetU16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void PutU16(uint8_t* p, uint16_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

bool ReadBytes(FILE* file, uint8_t* bytes, size_t n) {
    return std::fread(bytes, 1, n, file) == n;
}

bool WriteBytes(FILE* file, const uint8_t* bytes, size_t n) {
    return std::fwrite(bytes, 1, n, file) == n;
}

// The header's float fields in file order.
float* HeaderFloats(DpmFile& h, int i) {
    float* fields[] = {&h.originX, &h.originY, &h.originZ, &h.sizeX, &h.sizeZ, &h.centreX, &h.centreZ};
    return fields[i];
}

constexpr int kHeaderFloats = 7;
constexpr size_t kColsOffset = 28;
constexpr size_t kRowsOffset = 32;
constexpr size_t kNameOffset = 36;
constexpr size_t kVertexCountOffset = 292;
constexpr size_t kTriangleCountOffset = 296;

} // namespace

bool DpmGridFits(int cols, int rows) {
    if (cols < 1 || rows < 1 || cols > kMaxSubMeshElements || rows > kMaxSubMeshElements) return false;
    const long long vertices = (long long)(cols + 1) * (rows + 1);
    const long long triangles = 2LL * cols * rows;
    return vertices <= kMaxSubMeshElements && triangles <= kMaxSubMeshElements;
}

const char* DpmHeaderProblem(const DpmFile& h) {
    if (!DpmGridFits(h.cols, h.rows)) return "the grid has no cells or too many for 16-bit counts";
    if (h.vertexCount != uint32_t((h.cols + 1) * (h.rows + 1))) return "the vertex count is not the grid's";
    if (h.triangleCount != uint32_t(2 * h.cols * h.rows)) return "the triangle count is not the grid's";
    if (!std::isfinite(h.sizeX) || !std::isfinite(h.sizeZ) || !(h.sizeX > 0) || !(h.sizeZ > 0))
        return "the tile has no positive size";
    if (!std::isfinite(h.originX) || !std::isfinite(h.originZ)) return "the tile has no place";
    if (!std::memchr(h.textureName, 0, sizeof h.textureName)) return "the texture name is not terminated";
    return nullptr;
}

size_t DpmFileBytes(const DpmFile& h) {
    return kDpmHeaderBytes + kDpmVertexBytes * h.vertexCount + kDpmTriangleBytes * h.triangleCount;
}

bool ReadDpmHeader(FILE* file, DpmFile& h) {
    uint8_t bytes[kDpmHeaderBytes];
    if (!ReadBytes(file, bytes, sizeof bytes)) return false;
    for (int i = 0; i < kHeaderFloats; ++i)
        *HeaderFloats(h, i) = GetF32(bytes + 4 * i);
    h.cols = int32_t(GetU32(bytes + kColsOffset));
    h.rows = int32_t(GetU32(bytes + kRowsOffset));
    std::memcpy(h.textureName, bytes + kNameOffset, sizeof h.textureName);
    h.vertexCount = GetU32(bytes + kVertexCountOffset);
    h.triangleCount = GetU32(bytes + kTriangleCountOffset);
    return true;
}

bool WriteDpmHeader(FILE* file, const DpmFile& header) {
    DpmFile h = header;
    uint8_t bytes[kDpmHeaderBytes] = {};
    for (int i = 0; i < kHeaderFloats; ++i)
        PutF32(bytes + 4 * i, *HeaderFloats(h, i));
    PutU32(bytes + kColsOffset, uint32_t(h.cols));
    PutU32(bytes + kRowsOffset, uint32_t(h.rows));
    // Only the name and its terminator: the rest of the field stays zero, so equal tiles give equal files.
    const size_t length = strnlen(h.textureName, sizeof h.textureName - 1);
    std::memcpy(bytes + kNameOffset, h.textureName, length);
    PutU32(bytes + kVertexCountOffset, h.vertexCount);
    PutU32(bytes + kTriangleCountOffset, h.triangleCount);
    return WriteBytes(file, bytes, sizeof bytes);
}

bool ReadDpmVertices(FILE* file, DPVertex* vertices, size_t n) {
    std::vector<uint8_t> bytes(kDpmVertexBytes * std::min(n, kRecordsPerChunk));
    for (size_t done = 0; done < n;) {
        const size_t batch = std::min(n - done, kRecordsPerChunk);
        if (!ReadBytes(file, bytes.data(), batch * kDpmVertexBytes)) return false;
        for (size_t i = 0; i < batch; ++i) {
            const uint8_t* p = bytes.data() + i * kDpmVertexBytes;
            float f[8];
            for (int k = 0; k < 8; ++k)
                f[k] = GetF32(p + 4 * k);
            vertices[done + i] = DPVertex{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
        }
        done += batch;
    }
    return true;
}

bool WriteDpmVertices(FILE* file, const DPVertex* vertices, size_t n) {
    std::vector<uint8_t> bytes(kDpmVertexBytes * std::min(n, kRecordsPerChunk));
    for (size_t done = 0; done < n;) {
        const size_t batch = std::min(n - done, kRecordsPerChunk);
        for (size_t i = 0; i < batch; ++i) {
            const DPVertex& v = vertices[done + i];
            const float f[8] = {v.x, v.y, v.z, v.tu, v.tv, v.nx, v.ny, v.nz};
            for (int k = 0; k < 8; ++k)
                PutF32(bytes.data() + i * kDpmVertexBytes + 4 * k, f[k]);
        }
        if (!WriteBytes(file, bytes.data(), batch * kDpmVertexBytes)) return false;
        done += batch;
    }
    return true;
}

bool ReadDpmTriangles(FILE* file, DPTriangle* triangles, size_t n) {
    std::vector<uint8_t> bytes(kDpmTriangleBytes * std::min(n, kRecordsPerChunk));
    for (size_t done = 0; done < n;) {
        const size_t batch = std::min(n - done, kRecordsPerChunk);
        if (!ReadBytes(file, bytes.data(), batch * kDpmTriangleBytes)) return false;
        for (size_t i = 0; i < batch; ++i)
            for (int k = 0; k < 3; ++k)
                triangles[done + i].v[k] = GetU16(bytes.data() + i * kDpmTriangleBytes + 2 * k);
        done += batch;
    }
    return true;
}

bool WriteDpmTriangles(FILE* file, const DPTriangle* triangles, size_t n) {
    std::vector<uint8_t> bytes(kDpmTriangleBytes * std::min(n, kRecordsPerChunk));
    for (size_t done = 0; done < n;) {
        const size_t batch = std::min(n - done, kRecordsPerChunk);
        for (size_t i = 0; i < batch; ++i)
            for (int k = 0; k < 3; ++k)
                PutU16(bytes.data() + i * kDpmTriangleBytes + 2 * k, triangles[done + i].v[k]);
        if (!WriteBytes(file, bytes.data(), batch * kDpmTriangleBytes)) return false;
        done += batch;
    }
    return true;
}
