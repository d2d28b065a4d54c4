// Fuzz target for the model file (.m3d) loader: the input (at most 1 MiB) becomes a model file that a
// mesh loads, with a DirectDraw object, a surface table and one loadable texture "t.bmp" in the
// folder. A loaded mesh must be consistent (triangle corners within the vertices, materials within the
// skin, textures kept by the table, every sub-mesh at most once in a tree of bounded depth) and survive
// key-frame animation and transforms; a refused file must leave the mesh (but for its name) and the
// table as they were. A crash, sanitizer report or broken promise (abort) is a finding.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <strings.h>
#include <vector>

#include "host/backend/machine.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/m3d_file.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/bmp.h"

const char* const fuzz::kPromisesOf = "model file loader";

namespace {

using fuzz::Require;

constexpr size_t kMaxInput = 1 << 20;

void SetUpOnce() {
    static const bool ready = [] {
        std::filesystem::current_path(fuzz::OwnFolder("m3d"));
        HostSetMachine(HostDefaultMachine());
        Require(DirectDrawCreate(nullptr, &g_lpDD, nullptr) == DD_OK, "DirectDraw object");
        QuibInitSurfaceTable();
        testsupport::WriteBmp("t.bmp", testsupport::Picture(4, 4, testsupport::Rgb{1, 2, 3}));
        return true;
    }();
    (void)ready;
}

// Walks the tree from the roots without recursion: every sub-mesh of the array, at most once, with
// its parent pointer matching the list it is in, no deeper than the loader allows.
void CheckTree(DPMeshGeo& geo) {
    std::vector<int> seen(geo.count, 0);
    std::vector<std::pair<DPSubMesh*, int>> open; // sub-mesh, depth
    PtrArray<DPSubMesh>& roots = geo.Roots();
    for (int i = 0; i < roots.GetCount(); ++i) {
        Require(roots.Lookup(i)->parent == nullptr, "roots have no parent");
        open.emplace_back(roots.Lookup(i), 1);
    }
    while (!open.empty()) {
        auto [sub, depth] = open.back();
        open.pop_back();
        const ptrdiff_t index = sub - geo.subMeshes;
        Require(index >= 0 && index < ptrdiff_t(geo.count), "tree holds sub-meshes of the array");
        Require(seen[size_t(index)]++ == 0, "each sub-mesh once in the tree");
        Require(depth <= kM3dMaxDepth, "tree depth bounded");
        for (int i = 0; i < sub->children->GetCount(); ++i) {
            DPSubMesh* child = sub->children->Lookup(i);
            Require(child && child->parent == sub, "child knows its parent");
            open.emplace_back(child, depth + 1);
        }
    }
}

void CheckMesh(DPMesh& mesh) {
    Require(mesh.geometry && mesh.skin, "a loaded mesh has geometry and skin");
    DPMeshGeo& geo = *mesh.geometry;
    DPMeshSkin& skin = *mesh.skin;
    for (uint32_t m = 0; m < skin.count; ++m) {
        SurfaceTableEntry* texture = skin.materials[m].texture;
        Require(!texture || g_pSurfaceTable->FindByName(texture->name) == texture,
                "texture kept by the table");
    }
    for (uint32_t j = 0; j < geo.count; ++j) {
        const DPSubMesh& sub = geo.subMeshes[j];
        Require(std::memchr(sub.name, 0, sizeof sub.name) != nullptr, "sub-mesh name terminated");
        for (int t = 0; t < sub.triangleCount; ++t)
            for (uint16_t corner : sub.triangles[t].v)
                Require(corner < sub.vertexCount, "corners within the vertices");
        Require(!sub.material ||
                    (sub.material >= skin.materials && sub.material < skin.materials + skin.count),
                "material within the skin");
    }
    CheckTree(geo);
    D3DMATRIX identity;
    matrix_identity(&identity);
    for (int frame : {0, 7}) {
        geo.SetFrameNumber(frame);
        for (int i = 0; i < geo.Roots().GetCount(); ++i)
            geo.Roots().Lookup(i)->Transform(identity);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    SetUpOnce();
    if (!fuzz::WriteInput("fuzz.m3d", data, size)) return 0;
    static DPMesh mesh(0, 0);
    const int tableBefore = g_pSurfaceTable->m_entries.GetCount();
    std::strcpy(mesh.name, "mesh");
    if (mesh.LoadMax("FUZZ.M3D")) {
        CheckMesh(mesh);
        // Only the one loadable file enters the table, once for each spelling of its name.
        const PtrArray<SurfaceTableEntry>& entries = g_pSurfaceTable->m_entries;
        for (int i = 0; i < entries.GetCount(); ++i)
            Require(strcasecmp(entries.Lookup(i)->name, "t.bmp") == 0, "only loadable textures in the table");
    } else {
        Require(std::strcmp(mesh.name, "PARENT OBJECT") == 0, "a refused file names the mesh");
        Require(!mesh.geometry && !mesh.skin, "a refused file leaves geometry and skin");
        Require(g_pSurfaceTable->m_entries.GetCount() == tableBefore, "a refused file leaves the table");
    }
    delete mesh.geometry;
    delete mesh.skin;
    mesh.geometry = nullptr;
    mesh.skin = nullptr;
    return 0;
}
