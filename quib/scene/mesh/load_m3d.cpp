// DPMesh::LoadMax: a model file (.m3d) into one of the engine's meshes. One sub-mesh per object (its
// faces as a welded 16-bit triangle list, placement, keys, hidden flag), one material per file
// material, and the hierarchy of the object tree. The whole file is read and checked, and the geometry
// built, before anything outside the loader changes: a refused file leaves the mesh's geometry and skin
// and the surface table as they were.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "host/win/paths.h"
#include "quib/platform/errors.h"
#include "quib/scene/math/float_bits.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/m3d_file.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr char kUnreadableName[] = "PARENT OBJECT";

// Collects the distinct corners of a sub-mesh in first-occurrence order. Corners are equal when x, y,
// z, tu and tv all compare equal as floats: -0 equals +0 and a NaN equals nothing. An open-addressing
// table of vertex indices keeps it linear.
class VertexWelder {
  public:
    explicit VertexWelder(size_t corners) {
        const size_t most = std::min(corners, size_t(kMaxSubMeshElements) + 1);
        size_t capacity = 16;
        while (capacity < 2 * most)
            capacity *= 2;
        slots_.assign(capacity, -1);
        vertices.reserve(std::min(corners, size_t(kMaxSubMeshElements)));
    }

    // The index of the vertex equal to v, appending v when it is new. -1 when it is new and 65535
    // vertices are already taken.
    int Add(const DPVertex& v) {
        const bool comparable =
            !(std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z) || std::isnan(v.tu) || std::isnan(v.tv));
        size_t slot = 0;
        if (comparable) {
            const size_t mask = slots_.size() - 1;
            for (slot = Hash(v) & mask; slots_[slot] >= 0; slot = (slot + 1) & mask)
                if (Same(vertices[size_t(slots_[slot])], v)) return slots_[slot];
        }
        if (vertices.size() >= size_t(kMaxSubMeshElements)) return -1;
        const int index = int(vertices.size());
        vertices.push_back(v);
        if (comparable) slots_[slot] = index;
        return index;
    }

    std::vector<DPVertex> vertices;

  private:
    static bool Same(const DPVertex& a, const DPVertex& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.tu == b.tu && a.tv == b.tv;
    }

    static size_t Hash(const DPVertex& v) {
        uint64_t h = 0x243F6A8885A308D3ull;
        for (float value : {v.x, v.y, v.z, v.tu, v.tv}) {
            value += 0.0f; // -0 and +0 hash alike
            h = (h ^ FloatBits(value)) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return size_t(h);
    }

    std::vector<int32_t> slots_; // vertex index, -1 for a free slot
};

// The file name and extension of a bitmap path that may hold a drive and folders.
const char* TextureFileName(const char* path) {
    const char* name = path;
    for (const char* at = path; *at; ++at)
        if (*at == '\\' || *at == '/' || *at == ':') name = at + 1;
    return name;
}

// One material per file material: white under a loaded texture, red when the texture failed, else the
// flat colour.
std::unique_ptr<DPMeshSkin> BuildSkin(const M3dModel& model) {
    auto skin = std::make_unique<DPMeshSkin>(int(model.materials.size()));
    for (uint32_t i = 0; i < skin->count; ++i) {
        const M3dMaterial& from = model.materials[i];
        DPMaterial& to = skin->materials[i];
        to.texture = nullptr;
        if (from.bitmap[0]) {
            to.texture = FindOrLoadTexture(TextureFileName(from.bitmap));
            to.colour = to.texture ? kDPMaterialTextured : kDPMaterialMissingTexture;
        } else {
            to.colour = uint32_t(from.flat[0]) << 16 | uint32_t(from.flat[1]) << 8 | from.flat[2];
        }
    }
    return skin;
}

const M3dMaterial* MaterialOf(const M3dModel& model, const M3dObject& object) {
    if (object.material < 0 || size_t(object.material) >= model.materials.size()) return nullptr;
    return &model.materials[size_t(object.material)];
}

// Texture coordinates of texture vertex (u, v) through the object's material: offset and scale when it
// tiles; v turned upside down either way, and tv negated.
void MapTexture(const M3dMaterial* material, float u, float v, DPVertex& out) {
    if (material && material->tiling == 1) {
        u = u * material->uScale + material->uOffset;
        v = 1.0f - (1.0f - v) * material->vScale + (1.0f - material->vOffset);
    } else {
        v = 1.0f - v;
    }
    out.tu = u;
    out.tv = -v;
}

// Corner k of face f: its position and, when the face names an existing texture vertex for it, its
// texture coordinates (else 0).
DPVertex Corner(const M3dObject& object, const M3dMaterial* material, const M3dFace& f, int k) {
    DPVertex v{};
    const M3dPoint& p = object.vertices[size_t(f.corner[k])];
    v.x = p.x;
    v.y = p.y;
    v.z = p.z;
    const int32_t t = f.texture[k];
    if (t >= 0 && size_t(t) < object.texturePoints.size()) {
        const M3dTexturePoint& uv = object.texturePoints[size_t(t)];
        MapTexture(material, uv.u, uv.v, v);
    }
    return v;
}

D3DMATRIX BaseMatrix(const float placement[12]) {
    const float* p = placement;
    return D3DMATRIX{p[0], p[1], p[2], 0.0f, p[3], p[4],  p[5],  0.0f,
                     p[6], p[7], p[8], 0.0f, p[9], p[10], p[11], 1.0f};
}

void CopyKeys(const M3dObject& object, DPSubMesh& sub) {
    if (!object.positionKeys.empty()) {
        sub.positionKeys = new DPPositionKey[object.positionKeys.size()];
        std::copy(object.positionKeys.begin(), object.positionKeys.end(), sub.positionKeys);
        sub.positionKeyCount = int(object.positionKeys.size());
    }
    if (!object.rotationKeys.empty()) {
        sub.rotationKeys = new DPRotationKey[object.rotationKeys.size()];
        std::copy(object.rotationKeys.begin(), object.rotationKeys.end(), sub.rotationKeys);
        sub.rotationKeyCount = int(object.rotationKeys.size());
    }
}

void SetName(DPSubMesh& sub, const char* name) {
    // Cut to the field: file names are up to 255 characters, sub-mesh names 31.
    const size_t length = strnlen(name, sizeof sub.name - 1);
    std::memcpy(sub.name, name, length);
    sub.name[length] = '\0';
}

// The sub-mesh of an object with faces: faces whose corners name no vertex of the object are dropped,
// the rest welded into a 16-bit triangle list in file winding. 0 (registered) when more than 65535
// triangles or vertices would be needed or memory ran out.
int BuildFaces(const M3dModel& model, const M3dObject& object, DPSubMesh& sub) {
    const M3dMaterial* material = MaterialOf(model, object);
    const size_t kept = size_t(
        std::count_if(object.faces.begin(), object.faces.end(), [](const M3dFace& f) { return f.triangle; }));
    if (kept > size_t(kMaxSubMeshElements)) {
        RegErrorf("DPMesh::LoadMax : more than %d triangles in <%s>", kMaxSubMeshElements, object.name);
        return 0;
    }
    std::vector<DPTriangle> triangles;
    std::unique_ptr<VertexWelder> welder;
    try {
        triangles.reserve(kept);
        welder = std::make_unique<VertexWelder>(3 * kept);
    } catch (const std::bad_alloc&) {
        RegError("MeshObject::CreateDPMesh : can't alloc rmvertices");
        return 0;
    }
    for (const M3dFace& f : object.faces) {
        if (!f.triangle) continue;
        DPTriangle triangle;
        for (int k = 0; k < 3; ++k) {
            const int index = welder->Add(Corner(object, material, f, k));
            if (index < 0) {
                RegErrorf("DPMesh::LoadMax : more than %d vertices in <%s>", kMaxSubMeshElements,
                          object.name);
                return 0;
            }
            triangle.v[k] = uint16_t(index);
        }
        triangles.push_back(triangle);
    }
    if (!sub.Init(int(welder->vertices.size()), int(triangles.size()), welder->vertices.data(),
                  triangles.data())) {
        RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
        return 0;
    }
    sub.hidden = object.hidden;
    if (object.dummy == 1) sub.hidden = 1;
    sub.base = BaseMatrix(object.placement);
    sub.materialIndex = object.material;
    sub.compute_extents();
    sub.ScaleExtents(object.scale[0], object.scale[1], object.scale[2]);
    sub.ComputeTriangleInfo();
    sub.drawExtents = 0;
    return 1;
}

// Every object's sub-mesh; 0 when one cannot be built.
int BuildSubMeshes(const M3dModel& model, DPMeshGeo& geometry) {
    for (size_t j = 0; j < model.objects.size(); ++j) {
        const M3dObject& object = model.objects[j];
        DPSubMesh& sub = geometry.subMeshes[j];
        if (!object.faces.empty()) {
            SetName(sub, object.name);
            if (!BuildFaces(model, object, sub)) return 0;
        } else if (object.dummy) {
            SetName(sub, object.name);
            sub.hidden = 1;
            sub.base = BaseMatrix(object.placement);
        }
        CopyKeys(object, sub);
    }
    return 1;
}

// The roots and children lists of the object tree; objects in no tree stay out of every list.
void LinkHierarchy(const M3dModel& model, DPMeshGeo& geometry) {
    geometry.roots = new PtrArray<DPSubMesh>(std::max(1, int(model.roots.size())));
    for (int root : model.roots)
        geometry.roots->Add(&geometry.subMeshes[root]);
    for (size_t j = 0; j < model.objects.size(); ++j) {
        DPSubMesh& sub = geometry.subMeshes[j];
        const int parent = model.objects[j].parentIndex;
        sub.parent = parent >= 0 ? &geometry.subMeshes[parent] : nullptr;
        for (int child : model.objects[j].children)
            sub.children->Add(&geometry.subMeshes[child]);
    }
}

// Sub-meshes point at the material their object names; an index outside the skin gives none.
void LinkMaterials(DPMeshGeo& geometry, DPMeshSkin& skin) {
    for (uint32_t j = 0; j < geometry.count; ++j) {
        DPSubMesh& sub = geometry.subMeshes[j];
        const bool known = sub.materialIndex >= 0 && uint32_t(sub.materialIndex) < skin.count;
        sub.material = known ? &skin.materials[sub.materialIndex] : nullptr;
    }
}

// The geometry of a model, or NULL when the model cannot be represented or built.
std::unique_ptr<DPMeshGeo> BuildGeometry(const M3dModel& model) {
    if (model.objects.size() > size_t(kMaxSubMeshElements) ||
        model.materials.size() > size_t(kMaxSubMeshElements)) {
        RegErrorf("DPMesh::LoadMax : more than %d objects or materials", kMaxSubMeshElements);
        return nullptr;
    }
    auto geometry = std::make_unique<DPMeshGeo>(int(model.objects.size()));
    if (geometry->count != model.objects.size()) {
        RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
        return nullptr;
    }
    std::copy(std::begin(model.header), std::end(model.header), geometry->header);
    if (!BuildSubMeshes(model, *geometry)) return nullptr;
    LinkHierarchy(model, *geometry);
    return geometry;
}

} // namespace

int DPMesh::LoadMax(const char* file) {
    FILE* in = file ? HostOpenFile(file, "rb") : nullptr;
    std::unique_ptr<M3dModel> model;
    std::unique_ptr<DPMeshGeo> built;
    if (in) {
        // Counts are bounded by the file's size, so memory runs out only for files of that order.
        try {
            model = std::make_unique<M3dModel>();
            if (ReadM3dModel(in, *model))
                built = BuildGeometry(*model);
            else
                RegErrorf("DPMesh::LoadMax : broken model file <%s>", file);
        } catch (const std::bad_alloc&) {
            RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
            built.reset();
        }
        std::fclose(in);
    }
    if (!built) {
        std::strncpy(name, kUnreadableName, sizeof name);
        return 0;
    }
    // Only now, with the geometry complete, may textures enter the shared table.
    std::unique_ptr<DPMeshSkin> materials = BuildSkin(*model);
    LinkMaterials(*built, *materials);
    built->ComputeExtents();
    geometry = built.release();
    skin = materials.release();
    return 1;
}
