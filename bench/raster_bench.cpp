// The rasterizer benchmark. On an 800x600 5-6-5 target with a 16-bit Z-buffer it times, in one run,
// the same Gouraud-shaded, Z-buffered triangles (depth less-or-equal, random depth order) drawn by the
// host's immediate-mode device and by Mesa's software renderer through OSMesa: many small triangles
// (16x16-pixel quads) and a few large ones (full-screen quads), each textured (256x256 5-6-5 texture,
// nearest, wrapped, modulated, perspective-correct) and untextured, every scene covering the target
// several times. Fill rate is the triangles' total area per frame over the frame time, the same
// figure for both renderers; the table at the end gives both rates and their ratio.
//
// Mesa reads its thread count when its screen is made, once per process: this program runs it
// single-threaded (LP_NUM_THREADS=0) unless started with --mesa_threads=default, which keeps Mesa's
// own choice. tools/bench.sh raster runs both. Google Benchmark's flags pass through.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "host/d3d/d3d.h"
#include "host/d3d/ddraw_link.h"
#include "host/ddraw/ddraw.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTextureSide = 256;

// One scene: vertices in device form and their triangles, with the area they cover.
struct Scene {
    std::vector<D3DTLVERTEX> vertices;
    std::vector<WORD> indices;
    double pixels = 0; // total triangle area per frame
};

double Area(const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) {
    return std::fabs((b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy)) * 0.5;
}

// Adds a quad (two clockwise triangles) with Gouraud colours, one depth, and a perspective tilt in rhw.
void AddQuad(Scene& scene, float left, float top, float size, float z, std::mt19937& random) {
    std::uniform_int_distribution<uint32_t> colour(0x404040, 0xFFFFFF);
    std::uniform_real_distribution<float> rhw(0.5f, 1.0f);
    const float corners[4][2] = {
        {left, top}, {left + size, top}, {left + size, top + size}, {left, top + size}};
    const float uv[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    size_t first = scene.vertices.size();
    for (int i = 0; i < 4; ++i) {
        float w = rhw(random);
        scene.vertices.push_back(D3DTLVERTEX{corners[i][0], corners[i][1], z, w, 0xFF000000u | colour(random),
                                             0xFF000000u, uv[i][0], uv[i][1]});
    }
    for (int i : {0, 1, 2, 0, 2, 3})
        scene.indices.push_back(WORD(first + i));
    const D3DTLVERTEX* v = &scene.vertices[first];
    scene.pixels += Area(v[0], v[1], v[2]) + Area(v[0], v[2], v[3]);
}

// 16x16-pixel quads at random places and depths, about four screens' worth, in batches of at most
// 65536 vertices (16-bit indices); returned as several scenes.
std::vector<Scene> SmallTriangles() {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> x(0.0f, kWidth - 16.0f), y(0.0f, kHeight - 16.0f), z(0.05f, 0.95f);
    std::vector<Scene> scenes(1);
    const int quads = 4 * kWidth * kHeight / 256;
    for (int i = 0; i < quads; ++i) {
        if (scenes.back().vertices.size() + 4 > 65536) scenes.emplace_back();
        AddQuad(scenes.back(), std::floor(x(random)) + 0.25f, std::floor(y(random)) + 0.25f, 16.0f, z(random),
                random);
    }
    return scenes;
}

// Eight screen-sized quads at random depths.
std::vector<Scene> LargeTriangles() {
    std::mt19937 random(2);
    std::uniform_real_distribution<float> z(0.05f, 0.95f);
    Scene scene;
    for (int i = 0; i < 8; ++i) {
        AddQuad(scene, 0.0f, 0.0f, float(kWidth), z(random), random);
        // Stretch the quad to the screen's height.
        for (size_t k = scene.vertices.size() - 4; k < scene.vertices.size(); ++k)
            if (scene.vertices[k].sy > 0) scene.vertices[k].sy = float(kHeight);
    }
    scene.pixels = 8.0 * kWidth * kHeight;
    return {scene};
}

std::vector<uint16_t> TextureTexels() {
    std::vector<uint16_t> texels(kTextureSide * kTextureSide);
    for (int y = 0; y < kTextureSide; ++y)
        for (int x = 0; x < kTextureSide; ++x)
            texels[y * kTextureSide + x] = uint16_t(((x ^ y) & 31) << 11 | ((x * 2) & 63) << 5 | (y & 31));
    return texels;
}

// The host's device on an off-screen 3D surface with a Z-buffer.
struct HostRenderer {
    IDirectDraw* dd = nullptr;
    IDirectDrawSurface* target = nullptr;
    IDirectDrawSurface* zbuffer = nullptr;
    IDirectDrawSurface* texture = nullptr;
    IDirect3D2* d3d = nullptr;
    IDirect3DDevice2* device = nullptr;
    IDirect3DViewport2* viewport = nullptr;
    D3DTEXTUREHANDLE handle = 0;

    bool Start(std::string& error) {
        HostDirect3DInstallHooks();
        if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr)) ||
            FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
            return Fail(error, "DirectDrawCreate");
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = kWidth;
        desc.dwHeight = kHeight;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY;
        if (FAILED(dd->CreateSurface(&desc, &target, nullptr))) return Fail(error, "target");
        desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc.dwZBufferBitDepth = 16;
        desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
        if (FAILED(dd->CreateSurface(&desc, &zbuffer, nullptr)) ||
            FAILED(target->AddAttachedSurface(zbuffer)))
            return Fail(error, "Z-buffer");
        if (FAILED(dd->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d))) ||
            FAILED(d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &device)) ||
            FAILED(d3d->CreateViewport(&viewport, nullptr)) || FAILED(device->AddViewport(viewport)))
            return Fail(error, "device");
        D3DVIEWPORT2 view{sizeof(view), 0, 0, kWidth, kHeight, -1.0f, 1.0f, 2.0f, 2.0f, 0.0f, 1.0f};
        if (FAILED(viewport->SetViewport2(&view)) || FAILED(device->SetCurrentViewport(viewport)))
            return Fail(error, "viewport");
        return MakeTexture(error);
    }

    bool MakeTexture(std::string& error) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = desc.dwHeight = kTextureSide;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
        if (FAILED(dd->CreateSurface(&desc, &texture, nullptr)) ||
            FAILED(texture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
            return Fail(error, "texture");
        std::vector<uint16_t> texels = TextureTexels();
        for (int y = 0; y < kTextureSide; ++y)
            std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &texels[y * kTextureSide],
                        kTextureSide * 2);
        texture->Unlock(nullptr);
        IDirect3DTexture2* face = nullptr;
        if (FAILED(texture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&face))) ||
            FAILED(face->GetHandle(device, &handle)))
            return Fail(error, "texture handle");
        face->Release();
        device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        return true;
    }

    static bool Fail(std::string& error, const char* what) {
        error = std::string("host: ") + what;
        return false;
    }

    // Clears depth and draws the scenes; false when a call fails.
    bool Frame(const std::vector<Scene>& scenes, bool textured) {
        device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, textured ? handle : 0);
        D3DRECT all{0, 0, kWidth, kHeight};
        if (FAILED(viewport->Clear(1, &all, D3DCLEAR_ZBUFFER))) return false;
        for (const Scene& scene : scenes)
            if (FAILED(device->DrawIndexedPrimitive(
                    D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, const_cast<D3DTLVERTEX*>(scene.vertices.data()),
                    DWORD(scene.vertices.size()), const_cast<WORD*>(scene.indices.data()),
                    DWORD(scene.indices.size()), D3DDP_WAIT)))
                return false;
        return true;
    }
};

// Mesa's software renderer on a 5-6-5 buffer with a 16-bit depth buffer. Vertices are given in clip
// space with w = 1/rhw, so that Mesa's perspective division gives back the screen position and depth
// and its interpolation is perspective-correct as the device's is.
struct MesaRenderer {
    OSMesaContext context = nullptr;
    std::vector<uint16_t> buffer;
    GLuint texture = 0;
    struct GlVertex {
        float x, y, z, w;
        uint8_t r, g, b, a;
        float s, t;
    };
    std::vector<std::vector<GlVertex>> converted;

    bool Start(const char* threads, std::string& error) {
        if (threads) setenv("LP_NUM_THREADS", threads, 1);
        context = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
        buffer.assign(size_t(kWidth) * kHeight, 0);
        if (!context ||
            !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_SHORT_5_6_5, kWidth, kHeight)) {
            error = "OSMesa: no 5-6-5 context";
            return false;
        }
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
        glDisable(GL_DITHER);
        std::vector<uint16_t> texels = TextureTexels();
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSide, kTextureSide, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        return true;
    }

    void Convert(const std::vector<Scene>& scenes) {
        converted.clear();
        for (const Scene& scene : scenes) {
            std::vector<GlVertex> out;
            for (WORD i : scene.indices) {
                const D3DTLVERTEX& v = scene.vertices[i];
                float w = 1.0f / v.rhw;
                out.push_back(GlVertex{(2.0f * v.sx / kWidth - 1.0f) * w, (1.0f - 2.0f * v.sy / kHeight) * w,
                                       (2.0f * v.sz - 1.0f) * w, w, uint8_t(v.color >> 16),
                                       uint8_t(v.color >> 8), uint8_t(v.color), 255, v.tu, v.tv});
            }
            converted.push_back(std::move(out));
        }
    }

    void Frame(bool textured) {
        if (textured)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        glClear(GL_DEPTH_BUFFER_BIT);
        for (const std::vector<GlVertex>& vertices : converted) {
            glVertexPointer(4, GL_FLOAT, sizeof(GlVertex), &vertices[0].x);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(GlVertex), &vertices[0].r);
            glTexCoordPointer(2, GL_FLOAT, sizeof(GlVertex), &vertices[0].s);
            glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size()));
        }
        glFinish();
    }
};

struct World {
    std::vector<Scene> small, large;
    HostRenderer host;
    MesaRenderer mesa;
    bool mesaReady = false;
    std::string mesaThreads = "1 thread";
};
World g;

double Pixels(const std::vector<Scene>& scenes) {
    double total = 0;
    for (const Scene& scene : scenes)
        total += scene.pixels;
    return total;
}

void Count(benchmark::State& state, const std::vector<Scene>& scenes) {
    state.counters["Mpix/s"] =
        benchmark::Counter(Pixels(scenes) * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void HostScene(benchmark::State& state, const std::vector<Scene>& scenes, bool textured) {
    for (auto _ : state)
        if (!g.host.Frame(scenes, textured)) {
            state.SkipWithError("host draw failed");
            break;
        }
    Count(state, scenes);
}

void MesaScene(benchmark::State& state, const std::vector<Scene>& scenes, bool textured) {
    if (!g.mesaReady) {
        state.SkipWithError("OSMesa unavailable");
        return;
    }
    g.mesa.Convert(scenes);
    for (auto _ : state)
        g.mesa.Frame(textured);
    Count(state, scenes);
}

void HostSmallTextured(benchmark::State& s) {
    HostScene(s, g.small, true);
}
void HostSmallPlain(benchmark::State& s) {
    HostScene(s, g.small, false);
}
void HostLargeTextured(benchmark::State& s) {
    HostScene(s, g.large, true);
}
void HostLargePlain(benchmark::State& s) {
    HostScene(s, g.large, false);
}
void MesaSmallTextured(benchmark::State& s) {
    MesaScene(s, g.small, true);
}
void MesaSmallPlain(benchmark::State& s) {
    MesaScene(s, g.small, false);
}
void MesaLargeTextured(benchmark::State& s) {
    MesaScene(s, g.large, true);
}
void MesaLargePlain(benchmark::State& s) {
    MesaScene(s, g.large, false);
}

// The best of the repetitions, so that the table can use it when only aggregates are reported.
double Min(const std::vector<double>& values) {
    double best = values.empty() ? 0 : values[0];
    for (double v : values)
        best = std::min(best, v);
    return best;
}

void RegisterAll() {
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"HostSmallTextured", HostSmallTextured}, {"MesaSmallTextured", MesaSmallTextured},
        {"HostLargeTextured", HostLargeTextured}, {"MesaLargeTextured", MesaLargeTextured},
        {"HostSmallPlain", HostSmallPlain},       {"MesaSmallPlain", MesaSmallPlain},
        {"HostLargePlain", HostLargePlain},       {"MesaLargePlain", MesaLargePlain},
    };
    for (auto [name, function] : all)
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->ComputeStatistics("min", Min);
}

// Remembers the best real and CPU time of every benchmark over its repetitions (or its "min"
// statistic when only aggregates are reported), besides the usual console lines.
class FillRateReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min") continue;
            double scale = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            Keep(real_[run.run_name.function_name], run.GetAdjustedRealTime() * scale);
            Keep(cpu_[run.run_name.function_name], run.GetAdjustedCPUTime() * scale);
        }
    }
    // The best time in microseconds; false when the benchmark did not run.
    bool Best(const std::string& name, bool cpu, double& microseconds) const {
        const std::map<std::string, double>& times = cpu ? cpu_ : real_;
        auto found = times.find(name);
        if (found == times.end()) return false;
        microseconds = found->second;
        return true;
    }

  private:
    static void Keep(double& best, double value) { best = best > 0 ? std::min(best, value) : value; }
    std::map<std::string, double> real_, cpu_;
};

// Prints each scene's fill rate for both renderers and their ratio, by wall-clock time and by CPU
// time of this thread (the CPU figures hold on a busy machine; with Mesa's own threads only the
// wall-clock ones compare). Against single-threaded Mesa, true when the goals are met on wall-clock
// or on CPU time: host at least half of Mesa in every scene and above 300 Mpixel/s filling large
// textured triangles. Against Mesa's default threads the table is for information (true).
bool PrintTable(const FillRateReporter& reporter, bool singleThreadedMesa) {
    struct Line {
        const char* name;
        const char* host;
        const char* mesa;
        const std::vector<Scene>* scenes;
        bool textured;
    };
    const Line lines[] = {
        {"small textured", "HostSmallTextured", "MesaSmallTextured", &g.small, true},
        {"large textured", "HostLargeTextured", "MesaLargeTextured", &g.large, true},
        {"small untextured", "HostSmallPlain", "MesaSmallPlain", &g.small, false},
        {"large untextured", "HostLargePlain", "MesaLargePlain", &g.large, false},
    };
    bool metReal = true, metCpu = singleThreadedMesa;
    std::printf("\nFill rate (Mpixel/s, best run), Mesa with %s:\n", g.mesaThreads.c_str());
    std::printf("%-18s %10s %10s %9s   %10s %10s %9s\n", "scene", "host", "mesa", "host/mesa", "host cpu",
                "mesa cpu", "host/mesa");
    for (const Line& line : lines) {
        double pixels = Pixels(*line.scenes);
        double rates[2][2] = {}; // [real, cpu][host, mesa]
        bool have[2][2] = {};
        for (int cpu = 0; cpu < 2; ++cpu) {
            double us = 0;
            if ((have[cpu][0] = reporter.Best(line.host, cpu, us))) rates[cpu][0] = pixels / us;
            if ((have[cpu][1] = reporter.Best(line.mesa, cpu, us))) rates[cpu][1] = pixels / us;
        }
        std::printf("%-18s %10.1f %10.1f %9.2f   %10.1f", line.name, rates[0][0], rates[0][1],
                    rates[0][1] > 0 ? rates[0][0] / rates[0][1] : 0.0, rates[1][0]);
        // Mesa's own threads do not count in this thread's CPU time.
        if (singleThreadedMesa)
            std::printf(" %10.1f %9.2f\n", rates[1][1], rates[1][1] > 0 ? rates[1][0] / rates[1][1] : 0.0);
        else
            std::printf(" %10s %9s\n", "-", "-");
        for (int cpu = 0; cpu < 2; ++cpu) {
            bool& met = cpu ? metCpu : metReal;
            if (!have[cpu][0]) continue;
            // Fill rate proper is the large triangles'; the small ones also measure per-triangle work.
            if (line.textured && line.scenes == &g.large && rates[cpu][0] < 300.0) met = false;
            if (singleThreadedMesa && have[cpu][1] && rates[cpu][0] < 0.5 * rates[cpu][1]) met = false;
        }
    }
    if (!singleThreadedMesa) {
        std::printf("(The goals are judged on the run against single-threaded Mesa.)\n");
        return true;
    }
    bool met = metReal || metCpu;
    std::printf("Goals (host >= 0.5 x single-threaded Mesa; > 300 Mpixel/s large textured): %s\n",
                met ? (metReal ? "met" : "met on CPU time") : "NOT met");
    return met;
}

} // namespace

int main(int argc, char** argv) {
    setenv("HOST_BACKEND", "headless", 1); // the host draws in memory only
    const char* threads = "0";
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mesa_threads=default") == 0) {
            threads = nullptr;
            g.mesaThreads = "its default threads";
            continue;
        }
        args.push_back(argv[i]);
    }
    int count = int(args.size());
    RegisterAll();
    benchmark::Initialize(&count, args.data());
    std::string error;
    if (!g.host.Start(error)) {
        std::fprintf(stderr, "raster_bench: %s\n", error.c_str());
        return 1;
    }
    g.mesaReady = g.mesa.Start(threads, error);
    if (!g.mesaReady) std::fprintf(stderr, "raster_bench: %s\n", error.c_str());
    g.small = SmallTriangles();
    g.large = LargeTriangles();
    FillRateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool met = PrintTable(reporter, threads != nullptr);
    benchmark::Shutdown();
    return met ? 0 : 1;
}
