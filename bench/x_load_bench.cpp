// The model-loading benchmark: a generated text ".x" file of 100,000 triangles (a 250 x 200 grid of
// quads, each cut in two, with normals, texture coordinates and one textured material) loaded into a
// mesh builder: the file read, the helper program started, Assimp's import in it, the arrays sent back
// and made into the builder's contents. Beside it, in the same run, Assimp's own import of the same file
// in this process, the anchor; both are checked first to give the same faces, corners and vertices
// (Assimp's vertices counted once per distinct corner, as the builder welds them). At the end it prints
// the medians of the wall times, their ratio and whether the load stays under twice Assimp's import,
// and the same for the processor time (the helper's included), which a busy machine does not distort.
#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kColumns = 250;
constexpr int kRows = 200;
constexpr int kTriangles = 2 * kColumns * kRows;
constexpr int kVertices = (kColumns + 1) * (kRows + 1);
constexpr double kGoalRatio = 2.0; // the load against Assimp's import alone

// Writes the grid as a text ".x" file at path.
void WriteGrid(const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return;
    std::fprintf(out, "xof 0303txt 0032\nMaterial Ground {\n 0.8;0.8;0.8;1.0;;\n 4.0;\n 0.0;0.0;0.0;;\n"
                      " 0.0;0.0;0.0;;\n TextureFilename { \"ground.bmp\"; }\n}\n");
    std::fprintf(out,
                 "Frame Land {\n FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, "
                 "0.0,-5.0,0.0,1.0;; }\n Mesh Grid {\n");
    std::fprintf(out, "  %d;\n", kVertices);
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
    std::fprintf(out, "  }\n  MeshTextureCoords {\n   %d;\n", kVertices);
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

// Faces, face corners and vertices of a load.
struct Counts {
    size_t faces = 0, corners = 0, vertices = 0;
    bool operator==(const Counts& other) const {
        return faces == other.faces && corners == other.corners && vertices == other.vertices;
    }
};

// Our load of the grid into a new builder; NULL when it fails.
HostRMMeshBuilder* LoadOurs() {
    auto* builder = new HostRMMeshBuilder();
    if (builder->Load(const_cast<char*>(GridFile().c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr) ==
        D3DRM_OK)
        return builder;
    builder->Release();
    return nullptr;
}

Counts OurCounts() {
    Counts counts;
    if (HostRMMeshBuilder* builder = LoadOurs()) {
        counts = {builder->Data().faces.size(), builder->Data().corners.size(),
                  builder->Data().positions.size()};
        builder->Release();
    }
    return counts;
}

// Assimp's scene of the grid (no step that changes the geometry), held by importer.
const aiScene* ImportWithAssimp(Assimp::Importer& importer) {
    return importer.ReadFile(GridFile(), aiProcess_ValidateDataStructure);
}

// Assimp's faces and corners, and its vertices counted once per distinct position, normal and
// texture coordinates.
Counts AssimpCounts() {
    Assimp::Importer importer;
    const aiScene* scene = ImportWithAssimp(importer);
    Counts counts;
    if (!scene) return counts;
    std::set<std::vector<float>> distinct;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        counts.faces += mesh.mNumFaces;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f)
            counts.corners += mesh.mFaces[f].mNumIndices;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D& p = mesh.mVertices[v];
            aiVector3D n = mesh.mNormals ? mesh.mNormals[v] : aiVector3D();
            aiVector3D uv = mesh.mTextureCoords[0] ? mesh.mTextureCoords[0][v] : aiVector3D();
            distinct.insert({p.x, p.y, p.z, n.x, n.y, n.z, uv.x, uv.y});
        }
    }
    counts.vertices = distinct.size();
    return counts;
}

// Wall and processor milliseconds of every timed load and import.
struct Samples {
    std::vector<double> ours, assimp, oursCpu, assimpCpu;
} g_samples;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor milliseconds used so far by this thread and by the children reaped (the helpers).
double CpuMilliseconds() {
    auto milliseconds = [](int who) {
        rusage used = {};
        ::getrusage(who, &used);
        return (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
               (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
    };
    return milliseconds(RUSAGE_THREAD) + milliseconds(RUSAGE_CHILDREN);
}

void LoadGrid(benchmark::State& state) {
    for (auto _ : state) {
        double cpu = CpuMilliseconds();
        Clock::time_point start = Clock::now();
        HostRMMeshBuilder* builder = LoadOurs();
        double milliseconds = MillisecondsSince(start);
        g_samples.oursCpu.push_back(CpuMilliseconds() - cpu);
        if (!builder || builder->GetFaceCount() != kTriangles) state.SkipWithError("the grid did not load");
        if (builder) builder->Release();
        state.SetIterationTime(milliseconds / 1e3);
        g_samples.ours.push_back(milliseconds);
    }
    state.counters["triangles"] = kTriangles;
}

void AssimpImport(benchmark::State& state) {
    for (auto _ : state) {
        double cpu = CpuMilliseconds();
        Clock::time_point start = Clock::now();
        {
            Assimp::Importer importer;
            if (!ImportWithAssimp(importer)) state.SkipWithError("Assimp did not import the grid");
        }
        double milliseconds = MillisecondsSince(start);
        g_samples.assimpCpu.push_back(CpuMilliseconds() - cpu);
        state.SetIterationTime(milliseconds / 1e3);
        g_samples.assimp.push_back(milliseconds);
    }
}

void LoadGridAndMakeMesh(benchmark::State& state) {
    for (auto _ : state) {
        HostRMMeshBuilder* builder = LoadOurs();
        IDirect3DRMMesh* mesh = nullptr;
        if (!builder || builder->CreateMesh(&mesh) != D3DRM_OK || mesh->GetGroupCount() != 1)
            state.SkipWithError("no mesh of one group");
        if (mesh) mesh->Release();
        if (builder) builder->Release();
    }
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    size_t middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + long(middle), samples.end());
    return samples[middle];
}

// The medians over every timed load of the run, their ratio and the goal. True when met.
bool PrintSummary() {
    double ours = Median(g_samples.ours), assimp = Median(g_samples.assimp);
    std::printf("\n\".x\" grid of %d triangles; %zu loads and %zu imports timed\n", kTriangles,
                g_samples.ours.size(), g_samples.assimp.size());
    std::printf("  median load (helper included):   %9.2f ms\n", ours);
    std::printf("  median Assimp import in-process: %9.2f ms\n", assimp);
    if (ours <= 0.0 || assimp <= 0.0) {
        std::printf("  (a benchmark did not run; no ratio)\n");
        return false;
    }
    bool met = ours < kGoalRatio * assimp;
    std::printf("  load / import:                   %9.2f\n", ours / assimp);
    std::printf("  goal (under %.0fx the import):      %s\n", kGoalRatio, met ? "met" : "NOT met");
    double oursCpu = Median(g_samples.oursCpu), assimpCpu = Median(g_samples.assimpCpu);
    std::printf("  processor time, load (helper's included) %.2f ms, import %.2f ms: ratio %.2f\n", oursCpu,
                assimpCpu, assimpCpu > 0.0 ? oursCpu / assimpCpu : 0.0);
    return met;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Counts ours = OurCounts(), assimp = AssimpCounts();
    if (!(ours == assimp) || ours.faces != size_t(kTriangles) || ours.vertices != size_t(kVertices)) {
        std::fprintf(
            stderr,
            "x_load_bench: the loads differ: ours %zu faces, %zu corners, %zu vertices; Assimp's %zu, "
            "%zu, %zu; the file %d faces, %d vertices\n",
            ours.faces, ours.corners, ours.vertices, assimp.faces, assimp.corners, assimp.vertices,
            kTriangles, kVertices);
        return 1;
    }
    benchmark::RegisterBenchmark("x_load_grid", LoadGrid)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("assimp_import_grid", AssimpImport)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("x_load_grid_and_mesh", LoadGridAndMakeMesh)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    std::fflush(stdout);
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
