// Fuzz target for the .3ds loader: the input is a .3ds file loaded into a mesh, in a folder that also
// holds one loadable texture ("tex.bmp", which a map name such as "TEX.TGA" finds). A file the loader
// accepts must give one sub-mesh and one initialised skin entry per material, triangles within their
// vertices and textures shared through the surface table; a file it refuses must leave the mesh and the
// table as they were. Any crash, hang, leak, sanitizer report or broken promise (abort) is a finding.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/ddraw/ddraw.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = ".3ds loader";

namespace {

using fuzz::Require;

constexpr size_t kMaxInput = size_t(1) << 20;

// A 2 x 2 24-bit BMP.
const uint8_t kTexture[] = {
    'B', 'M', 70, 0, 0,   0, 0, 0, 0, 0, 54,  0,   0,   0, // file header
    40,  0,   0,  0, 2,   0, 0, 0, 2, 0, 0,   0,   1,   0,   24, 0, 0, 0, 0, 0,
    16,  0,   0,  0, 0,   0, 0, 0, 0, 0, 0,   0,   0,   0,   0,  0, 0, 0, 0, 0, // info header
    255, 0,   0,  0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0,  0,             // two rows, padded to 8 bytes
};

// The process's folder as the current folder, with the texture and a display to load it onto.
const std::string& Setup() {
    static const std::string folder = [] {
        const std::string& made = fuzz::OwnFolder("3ds");
        std::filesystem::current_path(made);
        Require(fuzz::WriteInput("tex.bmp", kTexture, sizeof kTexture), "texture written");
        Require(DirectDrawCreate(nullptr, &g_lpDD, nullptr) == DD_OK, "display");
        QuibInitSurfaceTable();
        return made;
    }();
    return folder;
}

bool Listed(const SurfaceTableEntry* entry) {
    for (int i = 0; i < g_pSurfaceTable->m_entries.GetCount(); ++i)
        if (g_pSurfaceTable->m_entries.Lookup(i) == entry) return true;
    return false;
}

// Failed textures are deleted and loaded ones shared: every entry holds a surface under a name of its
// own (names are exact, so "TEX.bmp" and "tex.bmp" are two entries of the one file).
void CheckTable() {
    const PtrArray<SurfaceTableEntry>& entries = g_pSurfaceTable->m_entries;
    for (int i = 0; i < entries.GetCount(); ++i) {
        Require(entries.Lookup(i)->m_surface != nullptr, "no failed entry kept");
        for (int j = 0; j < i; ++j)
            Require(std::strcmp(entries.Lookup(i)->name, entries.Lookup(j)->name) != 0, "no duplicate entry");
    }
}

void CheckMesh(const DPMesh& mesh) {
    Require(mesh.geometry && mesh.skin, "geometry and skin");
    Require(mesh.geometry->count >= 1 && mesh.geometry->count == mesh.skin->count, "one entry per material");
    for (uint32_t i = 0; i < mesh.geometry->count; ++i) {
        const DPSubMesh& sub = mesh.geometry->subMeshes[i];
        const DPMaterial& material = mesh.skin->materials[i];
        Require(sub.materialIndex == int(i) && sub.material == &material, "sub-mesh points at its entry");
        Require(sub.triangleCount == 0 || (sub.triangles && sub.vertexCount), "triangles have vertices");
        for (int t = 0; t < sub.triangleCount; ++t)
            for (uint16_t corner : sub.triangles[t].v)
                Require(corner < sub.vertexCount, "corner within the vertices");
        if (material.texture) {
            Require(Listed(material.texture) && material.texture->m_surface, "texture listed and loaded");
            Require(material.colour == 0xFFFFFF, "white under a texture");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    Setup();
    if (!fuzz::WriteInput("fuzz.3ds", data, size)) return 0;

    const int entriesBefore = g_pSurfaceTable->m_entries.GetCount();
    DPMesh* mesh = new DPMesh(0, 0);
    // The programs name their files in another case and with backslashes.
    const int loaded = mesh->Load3DS(".\\FUZZ.3DS");
    if (loaded) {
        CheckMesh(*mesh);
    } else {
        Require(!mesh->geometry && !mesh->skin, "a refused file leaves the mesh as it was");
        Require(g_pSurfaceTable->m_entries.GetCount() == entriesBefore, "a refused file adds no texture");
    }
    CheckTable();
    delete mesh->geometry;
    delete mesh->skin;
    delete mesh;
    return 0;
}
