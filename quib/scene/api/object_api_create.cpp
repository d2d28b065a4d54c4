// The exported object family, making and freeing objects: loading from model files, building from the
// caller's vertex and triangle arrays, instances sharing a master's mesh, and deletion.
#include <cctype>
#include <cstring>
#include <new>
#include <string>

#include "quib/platform/debug.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/textures/surface_table.h"

namespace {

enum class ModelKind { kX, k3DS, kM3D, kOTM, kUnknown };

// The model kind named by the text from the first '.' of file, which is lower-cased in place first (the
// caller's name comes back with a lower-case extension; the host opens names case-insensitively, so the
// file is still found).
ModelKind KindOf(char* file) {
    char* dot = std::strchr(file, '.');
    if (!dot) return ModelKind::kUnknown;
    for (char* c = dot; *c; ++c)
        *c = char(std::tolower(static_cast<unsigned char>(*c)));
    if (std::strcmp(dot, ".otm") == 0) return ModelKind::kOTM;
    if (std::strcmp(dot, ".x") == 0) return ModelKind::kX;
    if (std::strcmp(dot, ".3ds") == 0) return ModelKind::k3DS;
    if (std::strcmp(dot, ".m3d") == 0) return ModelKind::kM3D;
    return ModelKind::kUnknown;
}

// Runs the loader of kind on object. The ".3ds" and ".m3d" loaders answer 1 whatever happened, so a
// load that left no geometry counts as failed here: a missing file is not an empty model.
bool LoadModel(MeshObject& object, ModelKind kind, char* file) {
    switch (kind) {
    case ModelKind::kX: return object.LoadX(file) == 1;
    case ModelKind::k3DS: return object.Load3DS(file) == 1 && object.m_geo;
    case ModelKind::kM3D: return object.LoadMax(file) == 1 && object.m_geo;
    default: return false;
    }
}

// 1 when every triangle names vertices below nverts.
bool TrianglesInRange(const DPTRIANGLE* tris, int ntris, int nverts) {
    for (int i = 0; i < ntris; ++i)
        for (uint16_t v : tris[i].v)
            if (v >= nverts) return false;
    return true;
}

bool CountFits(int n) {
    return n >= 1 && n <= kMaxSubMeshElements;
}

} // namespace

int QuibLoadObject(char* file, void** out) {
    if (!out) return 0;
    if (!file) {
        auto* empty = new (std::nothrow) MeshObject(nullptr, nullptr);
        *out = empty;
        return empty ? 1 : 0;
    }
    const ModelKind kind = KindOf(file);
    if (kind == ModelKind::kOTM) return 0;
    if (kind == ModelKind::kUnknown) {
        RegError("QuibLoadObject: Invalid filename extension");
        return 0;
    }
    auto* object = new (std::nothrow) MeshObject(nullptr, nullptr);
    if (object && LoadModel(*object, kind, file)) {
        *out = object;
        return 1;
    }
    delete object;
    *out = nullptr;
    return 0;
}

int QuibInitObject(const char* texture, int nverts, int ntris, DPVERTEX* verts, DPTRIANGLE* tris,
                   void** out) {
    if (!out) return 0;
    *out = nullptr;
    if (!CountFits(nverts) || !CountFits(ntris) || !verts || !tris || !TrianglesInRange(tris, ntris, nverts))
        return 0;
    auto* object = new (std::nothrow) MeshObject(nullptr, nullptr);
    if (!object) return 0;
    // One skin entry: colour 0 and the texture, shared through the surface table (which owns it).
    object->m_skin = new (std::nothrow) DPMeshSkin(1);
    object->m_ownsSkin = true;
    object->m_geo = new (std::nothrow) DPMeshGeo(1);
    object->m_ownsGeo = true;
    if (!object->m_skin || !object->m_geo || object->m_skin->count != 1 || object->m_geo->count != 1) {
        delete object;
        return 0;
    }
    object->m_skin->materials[0] = DPMaterial{0, FindOrLoadTexture(texture)};
    DPSubMesh& sub = object->m_geo->subMeshes[0];
    if (!sub.Init(nverts, ntris, verts, tris)) {
        delete object;
        return 0;
    }
    sub.material = object->m_skin->materials;
    sub.compute_extents();
    *out = object;
    return 1;
}

void* QuibMakeInstance(void* object) {
    auto* source = static_cast<MeshObject*>(object);
    if (!source) return nullptr;
    auto* instance = new (std::nothrow) MeshObject(source);
    DebugPrintf("QuibMakeInstance(%s,%p)\n", source->m_name, static_cast<void*>(instance));
    return instance;
}

void QuibFreeObject(void* object) {
    auto* mesh = static_cast<MeshObject*>(object);
    if (!mesh) return;
    DebugPrintf("QuibFreeObject <%p>,<%s>\n", object, mesh->m_name);
    delete mesh;
}
