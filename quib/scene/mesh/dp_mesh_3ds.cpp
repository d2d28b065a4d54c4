// DPMesh::Load3DS: a .3ds scene turned into one sub-mesh and one skin entry per material, the faces of
// every object grouped by their material, z-up turned into y-up.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "quib/platform/debug.h"
#include "quib/platform/errors.h"
#include "quib/scene/mesh/corner_weld.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/load_3ds.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr const char* kFailedMeshName = "PARENT OBJECT";

// The welded vertices and triangles of one material.
struct MaterialGeometry {
    std::vector<DPVertex> vertices;
    std::vector<DPTriangle> triangles;
};

// A corner in the engine's space: the vertex less the pivot rotated by the object's axes, with y and z
// exchanged (the file's z-up becomes y-up); tu = u, tv = -v of the same vertex (0 when it has none).
DPVertex Corner(const Object3DS& object, uint16_t index) {
    const Point3DS& p = object.vertices[index];
    float q[3];
    for (int axis = 0; axis < 3; ++axis)
        q[axis] = object.pivot[0] * object.axes[0][axis] + object.pivot[1] * object.axes[1][axis] +
                  object.pivot[2] * object.axes[2][axis];
    DPVertex corner{};
    corner.x = p.x - q[0];
    corner.y = p.z - q[2];
    corner.z = p.y - q[1];
    if (index < object.texVertices.size()) {
        corner.tu = object.texVertices[index].u;
        corner.tv = -object.texVertices[index].v;
    }
    return corner;
}

// Welds the faces material refers to into out; a face that no longer exists or has a corner outside
// its object's vertices is dropped. False when the vertices or triangles outgrow 16-bit indices.
bool BuildMaterial(const Scene3DS& scene, const Material3DS& material, MaterialGeometry& out) {
    CornerWelder welder;
    for (const FaceRef3DS& ref : material.faces) {
        const Object3DS& object = scene.objects[size_t(ref.object)];
        if (size_t(ref.face) >= object.faces.size()) continue;
        const uint16_t* corners = object.faces[size_t(ref.face)].corners;
        if (corners[0] >= object.vertices.size() || corners[1] >= object.vertices.size() ||
            corners[2] >= object.vertices.size())
            continue;
        size_t welded[3];
        for (int k = 0; k < 3; ++k)
            welded[k] = welder.Add(Corner(object, corners[k]));
        if (welder.Vertices().size() > size_t(kMaxSubMeshElements) ||
            out.triangles.size() >= size_t(kMaxSubMeshElements))
            return false;
        // Reversed, which keeps the winding after the exchange of y and z.
        out.triangles.push_back(DPTriangle{{uint16_t(welded[2]), uint16_t(welded[1]), uint16_t(welded[0])}});
    }
    out.vertices = welder.Vertices();
    return true;
}

// A skin entry: white under a texture that loads, red for one that does not, else the diffuse colour.
DPMaterial SkinEntry(const Material3DS& material) {
    if (material.mapName.empty()) {
        const uint8_t* rgb = material.diffuse;
        return DPMaterial{uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2], nullptr};
    }
    if (SurfaceTableEntry* texture = FindOrLoadTexture(material.mapName.c_str()))
        return DPMaterial{kDPMaterialTextured, texture};
    return DPMaterial{kDPMaterialMissingTexture, nullptr};
}

void LogMaterial(const Material3DS& material) {
    DebugPrintf("MATERIAL <%s>, Bitmap<%s>, RGB<%d,%d,%d>, totalf=%d\n", material.name.c_str(),
                material.mapName.c_str(), material.diffuse[0], material.diffuse[1], material.diffuse[2],
                int(material.faces.size()));
}

} // namespace

int DPMesh::Load3DS(const char* file) {
    Scene3DS scene;
    if (!scene.Load(file)) {
        std::snprintf(name, sizeof name, "%s", kFailedMeshName);
        return 0;
    }
    const size_t count = scene.materials.size();
    if (count == 0 || count > size_t(kMaxSubMeshElements)) return 0;

    // Geometry first: a file refused here leaves the surface table as it was.
    std::vector<MaterialGeometry> built(count);
    for (size_t i = 0; i < count; ++i) {
        if (scene.materials[i].faces.empty()) continue;
        LogMaterial(scene.materials[i]);
        if (!BuildMaterial(scene, scene.materials[i], built[i])) return 0;
    }

    auto newGeometry = std::make_unique<DPMeshGeo>(int(count));
    auto newSkin = std::make_unique<DPMeshSkin>(int(count));
    if (newGeometry->count != count || newSkin->count != count) {
        RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        DPSubMesh& sub = newGeometry->subMeshes[i];
        const MaterialGeometry& g = built[i];
        if (!sub.Init(int(g.vertices.size()), int(g.triangles.size()), g.vertices.data(),
                      g.triangles.data())) {
            RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
            return 0;
        }
        sub.materialIndex = int(i);
        sub.material = &newSkin->materials[i];
        sub.compute_extents();
        sub.ComputeTriangleInfo();
    }
    // Textures last, once nothing can fail: every entry, used or not, is set.
    for (size_t i = 0; i < count; ++i)
        newSkin->materials[i] = SkinEntry(scene.materials[i]);

    delete geometry;
    delete skin;
    geometry = newGeometry.release();
    skin = newSkin.release();
    return 1;
}
