// The records of the engine's own meshes: vertices, 16-bit triangles, per-triangle plane data for
// picking, key-frame keys and vertex delta frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "quib/export.h"
#include "quib/quaternion_record.h"

// Index width limits a sub-mesh to this many vertices and triangles.
constexpr int kMaxSubMeshElements = 0xFFFF;

struct QUIB_API DPVertex {
    float x, y, z;    // position in the sub-mesh's local space
    float tu, tv;     // texture coordinates
    float nx, ny, nz; // normal
};

struct DPTriangle {
    uint16_t v[3]; // vertex indices
};

// The plane of one triangle: n . p + d = 0 on it; n is (p1 - p0) x (p2 - p0), not normalised.
struct DPTriInfo {
    float cx, cy, cz; // centroid
    float nx, ny, nz; // normal
    float d;
};

struct DPPositionKey {
    int frame;
    float x, y, z;
};

struct DPRotationKey {
    int frame;
    Quaternion q;
};

struct DPDeltaRecord {
    int index; // vertex index
    float x, y, z;
};

// The vertices whose positions a frame changes, with their new positions.
struct QUIB_API DPSubMeshDeltaFrame {
    // Room for n records; none (count 0) when memory runs out.
    explicit DPSubMeshDeltaFrame(int n)
        : count(n > 0 ? n : 0), records(new (std::nothrow) DPDeltaRecord[size_t(count)]()) {
        if (!records) count = 0;
    }
    ~DPSubMeshDeltaFrame() { delete[] records; }
    DPSubMeshDeltaFrame(const DPSubMeshDeltaFrame&) = delete;
    DPSubMeshDeltaFrame& operator=(const DPSubMeshDeltaFrame&) = delete;

    int reserved = 0;
    int count;
    DPDeltaRecord* records; // count entries, owned
};
