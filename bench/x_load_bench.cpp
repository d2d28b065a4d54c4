// The model-loading benchmark: a generated text ".x" file of 100,000 triangles (a 250 x 200 grid of
// quads, each cut in two, with normals, texture coordinates and one textured material) loaded into a
// mesh builder (file read, import, frames flattened), and the mesh made from it. The goal is a load
// well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"

namespace {

constexpr int kColumns = 250;
constexpr int kRows = 200;
constexpr int kTriangles = 2 * kColumns * kRows;

// Writes the grid as a text ".x" file at path.
void WriteGrid(const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return;
    std::fprintf(out, "xof 0303txt 0032\nMaterial Ground {\n 0.8;0.8;0.8;1.0;;\n 4.0;\n 0.0;0.0;0.0;;\n"
                      " 0.0;0.0;0.0;;\n TextureFilename { \"ground.bmp\"; }\n}\n");
    std::fprintf(out,
                 "Frame Land {\n FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, "
                 "0.0,-5.0,0.0,1.0;; }\n Mesh Grid {\n");
    int vertices = (kColumns + 1) * (kRows + 1);
    std::fprintf(out, "  %d;\n", vertices);
    for (int z = 0; z <= kRows; ++z)
        for (int x = 0; x <= kColumns; ++x)
            std::fprintf(out, "  %d.0;%.3f;%d.0;%s\n", x, 0.001 * ((x * 7 + z * 13) % 100), z,
                         z == kRows && x == kColumns ? ";" : ",");
    std::fprintf(out, "  %d;\n", kTriangles);
    for (int z = 0; z < kRows; ++z)
        for (int x = 0; x < kColumns; ++x) {
            int a = z * (kColumns + 1) + x, b = a + 1, c = a + kColumns + 1, d = c + 1;
            bool last = z == kRows - 1 && x == kColumns - 1;
            std::fprintf(out, "  3;%d,%d,%d;,\n  3;%d,%d,%d;%s\n", a, c, b, b, c, d, last ? ";" : ",");
        }
    std::fprintf(out, "  MeshNormals {\n   1;\n   0.0;1.0;0.0;;\n   %d;\n", kTriangles);
    for (int t = 0; t < kTriangles; ++t)
        std::fprintf(out, "   3;0,0,0;%s\n", t == kTriangles - 1 ? ";" : ",");
    std::fprintf(out, "  }\n  MeshTextureCoords {\n   %d;\n", vertices);
    for (int z = 0; z <= kRows; ++z)
        for (int x = 0; x <= kColumns; ++x)
            std::fprintf(out, "   %.4f;%.4f;%s\n", double(x) / kColumns, double(z) / kRows,
                         z == kRows && x == kColumns ? ";" : ",");
    std::fprintf(out, "  }\n  MeshMaterialList { 1; 1; 0;; { Ground } }\n }\n}\n");
    std::fclose(out);
}

// The grid file, written once into the temporary folder and removed at exit.
const std::string& GridFile() {
    static struct Grid {
        std::string path = (std::filesystem::temp_directory_path() / "quib-bench-grid.x").string();
        Grid() { WriteGrid(path); }
        ~Grid() { std::remove(path.c_str()); }
    } grid;
    return grid.path;
}

void LoadGrid(benchmark::State& state) {
    const std::string& path = GridFile();
    for (auto _ : state) {
        auto* builder = new HostRMMeshBuilder();
        HRESULT hr =
            builder->Load(const_cast<char*>(path.c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
        if (hr != D3DRM_OK || builder->GetFaceCount() != kTriangles)
            state.SkipWithError("the grid did not load");
        benchmark::DoNotOptimize(builder->GetVertexCount());
        builder->Release();
    }
    state.counters["triangles"] = kTriangles;
}
BENCHMARK(LoadGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadGridAndMakeMesh(benchmark::State& state) {
    const std::string& path = GridFile();
    for (auto _ : state) {
        auto* builder = new HostRMMeshBuilder();
        builder->Load(const_cast<char*>(path.c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
        IDirect3DRMMesh* mesh = nullptr;
        if (builder->CreateMesh(&mesh) != D3DRM_OK || mesh->GetGroupCount() != 1)
            state.SkipWithError("no mesh of one group");
        if (mesh) mesh->Release();
        builder->Release();
    }
}
BENCHMARK(LoadGridAndMakeMesh)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
