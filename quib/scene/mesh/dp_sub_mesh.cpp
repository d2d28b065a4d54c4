#include "quib/scene/mesh/dp_sub_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "quib/platform/directx.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/math/quaternion.h"

namespace {

constexpr float kNoVertexY = 1000000.0f;
constexpr float kThird = 0.33333334f;

bool CountFits(int n) {
    return n >= 0 && n <= kMaxSubMeshElements;
}

// Interval search of the key-frame keys: the first key i with key[i].frame <= n < key[i+1].frame, or the
// last key when n is its frame or it is the only key. -1 when none applies; t is the fraction of the
// interval.
template <class Key> int FindKey(const Key* keys, int count, int n, float& t) {
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        if (!last && keys[i].frame <= n && n < keys[i + 1].frame) {
            // In 64 bits: frame numbers read from a model file may lie further apart than an int holds.
            t = float(int64_t(n) - keys[i].frame) / float(int64_t(keys[i + 1].frame) - keys[i].frame);
            return i;
        }
        if (last && (n == keys[i].frame || count == 1)) {
            t = 0.0f;
            return i;
        }
    }
    return -1;
}

} // namespace

DPSubMesh::DPSubMesh()
    : hidden(0), materialIndex(0), material(nullptr), vertexCount(0), triangleCount(0), vertices(nullptr),
      triangles(nullptr), triInfo(nullptr), radius(0.0f), drawExtents(0), frame(nullptr), parent(nullptr),
      children(new PtrArray<DPSubMesh>(1)), positionKeyCount(0), rotationKeyCount(0), positionKeys(nullptr),
      rotationKeys(nullptr), ownsFrame_(true) {
    std::memset(name, 0, sizeof(name));
    std::fill(std::begin(centre), std::end(centre), 0.0f);
    std::fill(std::begin(extents), std::end(extents), 0.0f);
    matrix_identity(&world);
    matrix_identity(&local);
    matrix_identity(&base);
    frame = new (std::nothrow) Frame(g_lpD3DRM2, g_lpScene);
}

DPSubMesh::~DPSubMesh() {
    FreeGeometry();
    delete[] positionKeys;
    delete[] rotationKeys;
    delete children;
    if (ownsFrame_) delete frame;
}

void DPSubMesh::FreeGeometry() {
    delete[] vertices;
    delete[] triangles;
    delete[] triInfo;
    vertices = nullptr;
    triangles = nullptr;
    triInfo = nullptr;
    vertexCount = 0;
    triangleCount = 0;
}

int DPSubMesh::Init(int nv, int nt) {
    FreeGeometry();
    materialIndex = 0;
    if (!CountFits(nv) || !CountFits(nt)) return 0;
    vertices = new (std::nothrow) DPVertex[size_t(nv)]();
    triangles = new (std::nothrow) DPTriangle[size_t(nt)]();
    if (!vertices || !triangles) {
        FreeGeometry();
        return 0;
    }
    vertexCount = uint16_t(nv);
    triangleCount = uint16_t(nt);
    return 1;
}

int DPSubMesh::Init(int nv, int nt, const DPVertex* v, const DPTriangle* t) {
    if (!Init(nv, nt)) return 0;
    if (v && nv) std::memcpy(vertices, v, sizeof(DPVertex) * size_t(nv));
    if (t && nt) std::memcpy(triangles, t, sizeof(DPTriangle) * size_t(nt));
    return 1;
}

int DPSubMesh::MakeBox(float x0, float y0, float z0, float x1, float y1, float z1) {
    static const DPTriangle kBoxTriangles[12] = {{{0, 1, 2}}, {{2, 3, 0}}, {{6, 5, 4}}, {{4, 7, 6}},
                                                 {{0, 4, 5}}, {{0, 5, 1}}, {{1, 5, 6}}, {{1, 6, 2}},
                                                 {{2, 6, 7}}, {{2, 7, 3}}, {{3, 7, 4}}, {{3, 4, 0}}};
    if (!Init(8, 12)) return 0;
    const float xs[4] = {x0, x1, x1, x0};
    const float zs[4] = {z0, z0, z1, z1};
    for (int i = 0; i < 8; ++i) {
        vertices[i].x = xs[i % 4];
        vertices[i].y = i < 4 ? y0 : y1;
        vertices[i].z = zs[i % 4];
    }
    std::memcpy(triangles, kBoxTriangles, sizeof(kBoxTriangles));
    return 1;
}

int DPSubMesh::MakeGrid(float w, float d, int nx, int nz) {
    if (nx <= 0 || nz <= 0 || nx > kMaxSubMeshElements || nz > kMaxSubMeshElements) {
        FreeGeometry();
        return 0;
    }
    const long long nv = (long long)(nx + 1) * (nz + 1);
    const long long nt = 2LL * nx * nz;
    if (nv > kMaxSubMeshElements || nt > kMaxSubMeshElements || !Init(int(nv), int(nt))) {
        FreeGeometry();
        return 0;
    }
    const float dx = w / float(nx), dz = d / float(nz);
    const float du = 1.0f / float(nx), dv = 1.0f / float(nz);
    const int row = nx + 1;
    float z = 0.0f, tv = 0.0f;
    for (int r = 0; r <= nz; ++r, z += dz, tv += dv) {
        float x = 0.0f, tu = 0.0f;
        for (int c = 0; c <= nx; ++c, x += dx, tu += du) {
            DPVertex& v = vertices[r * row + c];
            v.x = x;
            v.z = z;
            v.tu = tu;
            v.tv = tv;
        }
    }
    DPTriangle* t = triangles;
    for (int r = 0; r < nz; ++r)
        for (int c = 0; c < nx; ++c) {
            const int here = r * row + c, below = (r + 1) * row + c;
            *t++ = DPTriangle{{uint16_t(here + 1), uint16_t(below), uint16_t(below + 1)}};
            *t++ = DPTriangle{{uint16_t(here), uint16_t(below), uint16_t(here + 1)}};
        }
    return 1;
}

int DPSubMesh::MakeCheckerboard(float sx, float sz, int n) {
    const long long squares = n > 0 ? (long long)(n / 2) * n : -1;
    if (squares < 0 || 4 * squares > kMaxSubMeshElements || !Init(int(4 * squares), int(2 * squares))) {
        FreeGeometry();
        return 0;
    }
    const float stepX = 2.0f * sx / float(n), stepZ = 2.0f * sz / float(n);
    int k = 0;
    for (int r = 0; r < n; ++r) {
        const float z = -sz + float(r) * stepZ;
        float x = -sx + (r % 2 ? stepX : 0.0f);
        for (int j = 0; j < n / 2; ++j, ++k, x += 2.0f * stepX) {
            DPVertex* v = vertices + 4 * k;
            v[0].x = x, v[0].z = z;
            v[1].x = x + stepX, v[1].z = z;
            v[2].x = x + stepX, v[2].z = z + stepZ;
            v[3].x = x, v[3].z = z + stepZ;
            const uint16_t b = uint16_t(4 * k);
            triangles[2 * k] = DPTriangle{{b, uint16_t(b + 3), uint16_t(b + 2)}};
            triangles[2 * k + 1] = DPTriangle{{b, uint16_t(b + 2), uint16_t(b + 1)}};
        }
    }
    return 1;
}

int DPSubMesh::TranslateVertices(float dx, float dy, float dz) {
    for (int i = 0; i < vertexCount; ++i) {
        vertices[i].x += dx;
        vertices[i].y += dy;
        vertices[i].z += dz;
    }
    return 1;
}

void DPSubMesh::ScaleExtents(float sx, float sy, float sz) {
    const float s[3] = {sx, sy, sz};
    float sum = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float half = (extents[2 * axis + 1] - extents[2 * axis]) * s[axis] * 0.5f;
        sum += half * half;
    }
    radius = std::sqrt(sum);
}

float DPSubMesh::GetMinimumY() const {
    float lowest = kNoVertexY;
    for (int i = 0; i < vertexCount; ++i)
        lowest = std::min(lowest, vertices[i].y);
    return lowest;
}

int DPSubMesh::ComputeTriangleInfo(int i, DPTriInfo* out) const {
    if (!out || i < 0 || i >= triangleCount) return 0;
    const DPTriangle& t = triangles[i];
    // Indices past the vertex array (corrupt input) give no plane rather than a read out of bounds.
    for (uint16_t index : t.v)
        if (index >= vertexCount) {
            *out = DPTriInfo{};
            return 0;
        }
    const DPVertex &p0 = vertices[t.v[0]], &p1 = vertices[t.v[1]], &p2 = vertices[t.v[2]];
    out->cx = (p0.x + p1.x + p2.x) * kThird;
    out->cy = (p0.y + p1.y + p2.y) * kThird;
    out->cz = (p0.z + p1.z + p2.z) * kThird;
    const float ax = p1.x - p0.x, ay = p1.y - p0.y, az = p1.z - p0.z;
    const float bx = p2.x - p0.x, by = p2.y - p0.y, bz = p2.z - p0.z;
    out->nx = ay * bz - az * by;
    out->ny = az * bx - ax * bz;
    out->nz = ax * by - ay * bx;
    out->d = -(out->nx * p0.x + out->ny * p0.y + out->nz * p0.z);
    return 1;
}

int DPSubMesh::ComputeTriangleInfo() {
    if (!triInfo && triangleCount) {
        triInfo = new (std::nothrow) DPTriInfo[triangleCount]();
        if (!triInfo) return 0;
    }
    for (int i = 0; i < triangleCount; ++i)
        ComputeTriangleInfo(i, &triInfo[i]);
    return 1;
}

int DPSubMesh::FindClosestTriangle(float x, float y, float z, int& index, float& dist2) {
    dist2 = kPickingRange2;
    if (!triInfo && !ComputeTriangleInfo()) return 1;
    for (int i = 0; i < triangleCount; ++i) {
        const float dx = triInfo[i].cx - x, dy = triInfo[i].cy - y, dz = triInfo[i].cz - z;
        const float d2 = dx * dx + dy * dy + dz * dz;
        if (d2 < dist2) {
            dist2 = d2;
            index = i;
        }
    }
    return 1;
}

int FindPlaneIntersection(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& n, float d,
                          D3DVECTOR& out) {
    const float den = (a.x - b.x) * n.x + (a.y - b.y) * n.y + (a.z - b.z) * n.z;
    if (den == 0.0f) return 0;
    const float t = (a.x * n.x + a.y * n.y + a.z * n.z + d) / den;
    out.x = a.x * (1.0f - t) + b.x * t;
    out.y = a.y * (1.0f - t) + b.y * t;
    out.z = a.z * (1.0f - t) + b.z * t;
    return 1;
}

void DPSubMesh::ApplyRotationKeys(int n) {
    float t = 0.0f;
    const int i = FindKey(rotationKeys, rotationKeyCount, n, t);
    if (i < 0) return;
    Quaternion firstInverse = rotationKeys[0].q;
    quat_inverse(&firstInverse);
    Quaternion q = rotationKeys[i].q;
    // The last key applies as it is (a single key at any frame): there is no next key to blend with.
    if (n != rotationKeys[i].frame && i + 1 < rotationKeyCount)
        quat_slerp(&rotationKeys[i].q, &rotationKeys[i + 1].q, t, &q);
    Quaternion relative;
    quat_multiply(&q, &firstInverse, &relative);
    quat_to_matrix(&relative, &local);
}

void DPSubMesh::ApplyPositionKeys(int n) {
    float t = 0.0f;
    const int i = FindKey(positionKeys, positionKeyCount, n, t);
    if (i < 0) return;
    const DPPositionKey& from = positionKeys[i];
    const DPPositionKey& to = i + 1 < positionKeyCount ? positionKeys[i + 1] : from;
    const DPPositionKey& first = positionKeys[0];
    local._41 = from.x + (to.x - from.x) * t - first.x;
    local._42 = from.y + (to.y - from.y) * t - first.y;
    local._43 = from.z + (to.z - from.z) * t - first.z;
}

void DPSubMesh::SetFrameNumber(int n) {
    matrix_identity(&local);
    if (rotationKeyCount && rotationKeys) ApplyRotationKeys(n);
    if (positionKeyCount && positionKeys) ApplyPositionKeys(n);
}

void DPSubMesh::ComputeWorld(const D3DMATRIX& m) {
    // The key-frame offset acts in the base's space, unrotated: it is taken out of a copy of the local
    // matrix (the stored one keeps it for the next draw) and added after the base.
    D3DMATRIX rotation = local;
    rotation._41 = rotation._42 = rotation._43 = 0.0f;
    matrix_multiply(&world, &base, &rotation);
    world._41 += local._41;
    world._42 += local._42;
    world._43 += local._43;
    matrix_multiply(&world, &m, &world);
}

void DPSubMesh::Transform(const D3DMATRIX& m) {
    ComputeWorld(m);
    for (int i = 0; i < children->GetCount(); ++i)
        if (DPSubMesh* child = children->Lookup(i)) child->Transform(world);
}

void DPSubMesh::TransformExtents(const D3DMATRIX& m) {
    ComputeWorld(m);
    // All eight corners: a rotated or mirrored box has its extremes at other corners than min and max.
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        const D3DVECTOR in{extents[corner & 1], extents[2 + ((corner >> 1) & 1)],
                           extents[4 + ((corner >> 2) & 1)]};
        D3DVECTOR out = in;
        transform_point(&world, &in, &out);
        const float p[3] = {out.x, out.y, out.z};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    }
    float sum = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        extents[2 * axis] = low[axis];
        extents[2 * axis + 1] = high[axis];
        centre[axis] = (low[axis] + high[axis]) * 0.5f;
        const float half = (high[axis] - low[axis]) * 0.5f;
        sum += half * half;
    }
    radius = std::sqrt(sum);
    for (int i = 0; i < children->GetCount(); ++i)
        if (DPSubMesh* child = children->Lookup(i)) child->TransformExtents(world);
}

void DPSubMesh::SetFrame(Frame* f) {
    if (ownsFrame_ && frame != f) delete frame;
    ownsFrame_ = false;
    frame = f;
    for (int i = 0; i < children->GetCount(); ++i)
        if (DPSubMesh* child = children->Lookup(i)) child->SetFrame(f);
}

DPSubMeshDeltaFrame* DPSubMesh::CreateDeltaFrame(const DPSubMesh& other) const {
    const int shared = std::min<int>(vertexCount, other.vertexCount);
    auto differs = [&](int i) {
        const DPVertex &mine = vertices[i], &theirs = other.vertices[i];
        return mine.x != theirs.x || mine.y != theirs.y || mine.z != theirs.z;
    };
    int changed = 0;
    for (int i = 0; i < shared; ++i)
        changed += differs(i) ? 1 : 0;
    auto* frameDelta = new (std::nothrow) DPSubMeshDeltaFrame(changed);
    if (!frameDelta || frameDelta->count != changed) {
        delete frameDelta;
        return nullptr;
    }
    int k = 0;
    for (int i = 0; i < shared; ++i)
        if (differs(i))
            frameDelta->records[k++] =
                DPDeltaRecord{i, other.vertices[i].x, other.vertices[i].y, other.vertices[i].z};
    return frameDelta;
}

void DPSubMesh::ApplyDeltaFrame(const DPSubMeshDeltaFrame& f) {
    for (int k = 0; k < f.count; ++k) {
        const DPDeltaRecord& r = f.records[k];
        if (r.index < 0 || r.index >= vertexCount) continue;
        vertices[r.index].x = r.x;
        vertices[r.index].y = r.y;
        vertices[r.index].z = r.z;
    }
}

namespace {

constexpr float kSharedPositionDistance2 = 1.0f / 1024.0f;
constexpr float kBoxStart = 10000000.0f;

// Distinct positions are kept in a grid of cells as wide as the sharing distance, so a position can
// only share with those in its own and the 26 neighbouring cells. A cell is floor(coordinate * 32),
// exact (scaling by a power of two) and clamped far beyond any real model, which keeps neighbours
// neighbours.
constexpr double kCellsPerUnit = 32.0;
constexpr double kCellLimit = 4.0e18;

struct Cell {
    int64_t x, y, z;
    bool operator==(const Cell&) const = default;
};

struct CellHash {
    size_t operator()(const Cell& c) const {
        uint64_t h = uint64_t(c.x) * 0x9E3779B97F4A7C15ull;
        h = (h ^ (h >> 29) ^ uint64_t(c.y)) * 0xBF58476D1CE4E5B9ull;
        h = (h ^ (h >> 32) ^ uint64_t(c.z)) * 0x94D049BB133111EBull;
        return size_t(h ^ (h >> 31));
    }
};

int64_t CellCoordinate(float value) {
    return int64_t(std::clamp(std::floor(double(value) * kCellsPerUnit), -kCellLimit, kCellLimit));
}

// For each vertex, the index of the distinct position it shares (first seen order): the earliest
// distinct position within the sharing distance, else a new one. Positions that are not finite share
// with nothing (their distances are never below the limit). Linear in the vertex count.
std::vector<int> SharedPositions(const DPVertex* vertices, int count, std::vector<D3DVECTOR>& distinct) {
    std::vector<int> shareOf(size_t(count), 0);
    std::unordered_map<Cell, int, CellHash> newest; // per cell, the last distinct position put there
    std::vector<int> older;                         // per distinct position, the one put in its cell before
    newest.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const DPVertex& v = vertices[i];
        const bool finite = std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
        const Cell home =
            finite ? Cell{CellCoordinate(v.x), CellCoordinate(v.y), CellCoordinate(v.z)} : Cell{0, 0, 0};
        int found = -1;
        for (int n = 0; finite && n < 27; ++n) {
            const auto cell =
                newest.find(Cell{home.x + n % 3 - 1, home.y + n / 3 % 3 - 1, home.z + n / 9 - 1});
            if (cell == newest.end()) continue;
            for (int j = cell->second; j >= 0; j = older[size_t(j)]) {
                const float dx = v.x - distinct[size_t(j)].x, dy = v.y - distinct[size_t(j)].y,
                            dz = v.z - distinct[size_t(j)].z;
                if ((found < 0 || j < found) && dx * dx + dy * dy + dz * dz < kSharedPositionDistance2)
                    found = j;
            }
        }
        if (found < 0) {
            found = int(distinct.size());
            distinct.push_back(D3DVECTOR{v.x, v.y, v.z});
            older.push_back(-1);
            if (finite) {
                int& last = newest.try_emplace(home, -1).first->second;
                older.back() = last;
                last = found;
            }
        }
        shareOf[size_t(i)] = found;
    }
    return shareOf;
}

} // namespace

void DPSubMesh::compute_extents() {
    std::fill(std::begin(extents), std::end(extents), 0.0f);
    std::fill(std::begin(centre), std::end(centre), 0.0f);
    radius = 0.0f;
    if (!vertexCount || !vertices) return; // no box: zero rather than the start values' NaN-prone centre
    for (int axis = 0; axis < 3; ++axis) {
        extents[2 * axis] = kBoxStart;
        extents[2 * axis + 1] = -kBoxStart;
    }
    for (int i = 0; i < vertexCount; ++i) {
        const float p[3] = {vertices[i].x, vertices[i].y, vertices[i].z};
        for (int axis = 0; axis < 3; ++axis) {
            extents[2 * axis] = std::min(extents[2 * axis], p[axis]);
            extents[2 * axis + 1] = std::max(extents[2 * axis + 1], p[axis]);
        }
    }
    float sum = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        centre[axis] = (extents[2 * axis] + extents[2 * axis + 1]) * 0.5f;
        const float half = (extents[2 * axis + 1] - extents[2 * axis]) * 0.5f;
        sum += half * half;
    }
    radius = std::sqrt(sum);

    std::vector<D3DVECTOR> distinct;
    const std::vector<int> shareOf = SharedPositions(vertices, vertexCount, distinct);
    std::vector<D3DVECTOR> normals(distinct.size(), D3DVECTOR{0, 0, 0});
    for (int i = 0; i < triangleCount; ++i) {
        DPTriInfo plane;
        if (!ComputeTriangleInfo(i, &plane)) continue; // a corner outside the vertex array
        for (uint16_t index : triangles[i].v) {
            D3DVECTOR& n = normals[size_t(shareOf[index])];
            n.x += plane.nx;
            n.y += plane.ny;
            n.z += plane.nz;
        }
    }
    for (D3DVECTOR& n : normals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (length > 0.0f) n = D3DVECTOR{n.x / length, n.y / length, n.z / length};
    }
    for (int i = 0; i < vertexCount; ++i) {
        const D3DVECTOR& n = normals[size_t(shareOf[size_t(i)])];
        vertices[i].nx = n.x;
        vertices[i].ny = n.y;
        vertices[i].nz = n.z;
    }
}

void DPSubMesh::Reset() {
    for (int i = 0; i < vertexCount; ++i)
        vertices[i].x = vertices[i].y = vertices[i].z = 0.0f;
    compute_extents();
}

void DPSubMesh::Scale(float sx, float sy, float sz) {
    for (int i = 0; i < vertexCount; ++i) {
        vertices[i].x *= sx;
        vertices[i].y *= sy;
        vertices[i].z *= sz;
    }
    compute_extents();
}
