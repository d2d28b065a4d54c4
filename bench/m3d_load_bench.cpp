// The model file loader on a generated 100,000-triangle .m3d: textured grids split into a number of
// objects (the argument), each a welded 16-bit sub-mesh, with key frames, under one dummy root. Counts
// the whole load: reading, welding, sub-mesh extents and normals, hierarchy extents.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "quib/scene/mesh/dp_mesh.h"
#include "tests/quib/m3d_writer.h"

namespace {

constexpr int kTriangles = 100000;

// One grid object of about `triangles` triangles (two per cell), texture vertex i at vertex i.
m3dtest::Object Grid(const std::string& name, int triangles, float offset) {
    m3dtest::Object o;
    o.name = name;
    o.parent = "root";
    const int columns = 100;
    const int rows = triangles / (2 * columns);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            o.vertices.push_back({float(c) + offset, float(r), float((r * c) % 7) * 0.1f});
            o.uvs.push_back({float(c) / columns, float(r) / float(rows)});
        }
    const int row = columns + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int here = r * row + c, below = here + row;
            o.faces.push_back(m3dtest::MakeFace({here, here + 1, below}, {here, here + 1, below}));
            o.faces.push_back(m3dtest::MakeFace({here + 1, below + 1, below}, {here + 1, below + 1, below}));
        }
    o.positionKeys = {{0, 0, 0, 0}, {30, 0, 1, 0}};
    return o;
}

std::string WriteModel(int objects) {
    m3dtest::Model m;
    m3dtest::Material paint{"paint", ""};
    paint.rgb[0] = 200;
    m.materials = {paint};
    m3dtest::Object root;
    root.name = "root";
    root.dummy = 1;
    m.objects.push_back(root);
    for (int i = 0; i < objects; ++i)
        m.objects.push_back(Grid("part" + std::to_string(i), kTriangles / objects, float(i) * 101.0f));
    const std::vector<uint8_t> bytes = m3dtest::Bytes(m);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("quib-m3d-bench-" + std::to_string(objects) + ".m3d"))
            .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
}

void LoadModel(benchmark::State& state) {
    const std::string path = WriteModel(int(state.range(0)));
    int triangles = 0;
    for (auto _ : state) {
        DPMesh mesh(0, 0);
        if (!mesh.LoadMax(path.c_str())) {
            state.SkipWithError("the model did not load");
            break;
        }
        triangles = 0;
        for (uint32_t j = 0; j < mesh.geometry->count; ++j)
            triangles += mesh.geometry->subMeshes[j].triangleCount;
        delete mesh.geometry;
        delete mesh.skin;
    }
    state.counters["triangles"] = triangles;
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(LoadModel)->Arg(2)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
