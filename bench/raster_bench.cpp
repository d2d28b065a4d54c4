// The rasterizer benchmark. On an 800x600 5-6-5 target with a 16-bit Z-buffer it times, in one run,
// the same Gouraud-shaded, Z-buffered triangles (depth less-or-equal, random depth order) drawn by the
// host's immediate-mode device and by Mesa's software renderer through OSMesa: many small triangles
// (16x16-pixel quads, tilted) and a few large ones (level full-screen quads), each untextured and textured
// (256x256 5-6-5 texture, wrapped, modulated, perspective-correct), textured under linear table fog, blended
// SRCALPHA/INVSRCALPHA by the vertices' alpha, and filtered bilinearly; and a mixed scene like the small
// 3D game's frame (fogged ground, cars, alpha-blended marks, additive smoke, a multiplied shadow with
// the Z-buffer off).
//
// Before timing, each scene is drawn once on both sides from the same cleared target and the pictures
// compared: the share of pixels differing by more than one step in any channel, and the largest step.
// Fill rate counts the pixels that pass the depth test (counted by Mesa's occlusion query in that
// frame; the triangles' area when the query is missing), the same figure for both renderers.
//
// Mesa reads its thread count when its screen is made, once per process: this program runs it
// single-threaded (LP_NUM_THREADS=0) unless started with --mesa_threads=default, which keeps Mesa's
// own choice. tools/bench.sh raster runs both. Google Benchmark's flags pass through.
#include <benchmark/benchmark.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
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

#include "bench/surface_pixels.h"
#include "host/d3d/d3d.h"
#include "host/d3d/ddraw_link.h"
#include "host/ddraw/ddraw.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTextureSide = 256;
constexpr float kFogStart = 1.2f, kFogEnd = 2.2f; // eye depths (1 / rhw) run from 1 to 2.5
constexpr uint32_t kFogColour = 0x8090A0;

enum Blend { kOpaque, kAlphaBlend, kAdditive, kMultiply };

// The states of one batch of triangles.
struct State {
    bool textured = true;
    bool bilinear = false;
    bool fog = false;
    Blend blend = kOpaque;
    bool depthTest = true;
    bool depthWrite = true;
};

// One batch: vertices in device form and their triangles.
struct Batch {
    State state;
    std::vector<D3DTLVERTEX> vertices;
    std::vector<WORD> indices;
};

// One scene: its batches, the triangles' area and the pixels that pass the depth test in a frame.
struct Scene {
    std::vector<Batch> batches;
    double area = 0;
    double passing = 0; // 0 until counted
};

double Area(const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) {
    return std::fabs((b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy)) * 0.5;
}

// The batch of scene that takes 4 more vertices with state (a new one when the last is full or differs).
Batch& BatchFor(Scene& scene, const State& state) {
    if (scene.batches.empty() || scene.batches.back().vertices.size() + 4 > 65536 ||
        std::memcmp(&scene.batches.back().state, &state, sizeof(State)) != 0)
        scene.batches.push_back(Batch{state, {}, {}});
    return scene.batches.back();
}

// Adds a quad (two clockwise triangles) of w x h pixels with Gouraud colours of the given alpha, one
// depth, and rhw between 0.4 and 1: a perspective tilt (rhw drawn for each corner), or one rhw for the
// whole quad when level. The device shades Gouraud colours linearly on the screen, GL perspective-
// correctly, so only level quads can be compared colour for colour.
void AddQuad(Scene& scene, const State& state, float left, float top, float w, float h, float z,
             uint32_t alpha, std::mt19937& random, bool level = false) {
    std::uniform_int_distribution<uint32_t> colour(0x404040, 0xFFFFFF);
    std::uniform_real_distribution<float> tilt(0.4f, 1.0f);
    const float flat = tilt(random);
    auto rhw = [&](std::mt19937& r) { return level ? flat : tilt(r); };
    const float corners[4][2] = {{left, top}, {left + w, top}, {left + w, top + h}, {left, top + h}};
    const float uv[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    Batch& batch = BatchFor(scene, state);
    size_t first = batch.vertices.size();
    for (int i = 0; i < 4; ++i)
        batch.vertices.push_back(D3DTLVERTEX{corners[i][0], corners[i][1], z, rhw(random),
                                             (alpha << 24) | colour(random), 0xFF000000u, uv[i][0],
                                             uv[i][1]});
    for (int i : {0, 1, 2, 0, 2, 3})
        batch.indices.push_back(WORD(first + i));
    const D3DTLVERTEX* v = &batch.vertices[first];
    scene.area += Area(v[0], v[1], v[2]) + Area(v[0], v[2], v[3]);
}

// 16x16-pixel quads at random places and depths, about four screens' worth.
Scene SmallTriangles(const State& state, uint32_t alpha) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> x(0.0f, kWidth - 16.0f), y(0.0f, kHeight - 16.0f), z(0.05f, 0.95f);
    Scene scene;
    const int quads = 4 * kWidth * kHeight / 256;
    for (int i = 0; i < quads; ++i)
        AddQuad(scene, state, std::floor(x(random)) + 0.25f, std::floor(y(random)) + 0.25f, 16.0f, 16.0f,
                z(random), alpha, random);
    return scene;
}

// Eight level screen-sized quads at random depths, a quarter pixel up and left so that no pixel centre
// lies on an edge (where GL's rule and the device's may differ).
Scene LargeTriangles(const State& state, uint32_t alpha) {
    std::mt19937 random(2);
    std::uniform_real_distribution<float> z(0.05f, 0.95f);
    Scene scene;
    for (int i = 0; i < 8; ++i)
        AddQuad(scene, state, -0.25f, -0.25f, float(kWidth), float(kHeight), z(random), alpha, random, true);
    return scene;
}

// A frame like the small 3D game's: fogged, textured ground tiles receding to the horizon (nearer
// rows larger and in front), fogged untextured cars, alpha-blended textured skid marks and sprites,
// additive smoke, and a multiplied shadow quad drawn with the Z-buffer off.
Scene MixedScene() {
    std::mt19937 random(3);
    Scene scene;
    State ground;
    ground.fog = true;
    // Ground: 10 rows of 16 tiles, row k at eye depth growing to the horizon at y 200.
    for (int row = 0; row < 10; ++row) {
        float top = 200.0f + 40.0f * row, z = 0.95f - 0.09f * row;
        for (int col = 0; col < 16; ++col)
            AddQuad(scene, ground, 50.0f * col + 0.25f, top + 0.25f, 50.0f, 40.0f, z, 255, random);
    }
    std::uniform_real_distribution<float> x(0.0f, kWidth - 80.0f), y(150.0f, kHeight - 60.0f);
    std::uniform_real_distribution<float> z(0.05f, 0.5f);
    State cars;
    cars.textured = false;
    cars.fog = true;
    for (int i = 0; i < 40; ++i)
        AddQuad(scene, cars, x(random), y(random), 48.0f, 24.0f, z(random), 255, random);
    State marks = ground;
    marks.blend = kAlphaBlend;
    marks.depthWrite = false;
    for (int i = 0; i < 60; ++i)
        AddQuad(scene, marks, x(random), y(random), 12.0f, 60.0f, z(random), 128, random);
    State smoke = marks;
    smoke.blend = kAdditive;
    smoke.bilinear = true;
    for (int i = 0; i < 30; ++i)
        AddQuad(scene, smoke, x(random), y(random), 64.0f, 64.0f, z(random), 255, random);
    State shadow;
    shadow.blend = kMultiply;
    shadow.depthTest = false;
    shadow.depthWrite = false;
    for (int i = 0; i < 12; ++i)
        AddQuad(scene, shadow, x(random), y(random), 80.0f, 40.0f, 0.999f, 255, random);
    State sprites = ground;
    sprites.fog = false;
    sprites.blend = kAlphaBlend;
    for (int i = 0; i < 20; ++i)
        AddQuad(scene, sprites, x(random), y(random), 32.0f, 32.0f, z(random), 192, random);
    return scene;
}

// Smooth gradients (neighbouring texels differ by at most one step), so that where the two renderers'
// texel addressing rounds differently the pictures still agree within a step.
std::vector<uint16_t> TextureTexels() {
    std::vector<uint16_t> texels(kTextureSide * kTextureSide);
    for (int y = 0; y < kTextureSide; ++y)
        for (int x = 0; x < kTextureSide; ++x)
            texels[y * kTextureSide + x] = uint16_t((x / 8) << 11 | (y / 4) << 5 | ((x + y) / 16));
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
        device->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
        device->SetRenderState(D3DRENDERSTATE_FOGCOLOR, kFogColour);
        float start = kFogStart, end = kFogEnd;
        DWORD bits;
        std::memcpy(&bits, &start, 4);
        device->SetRenderState(D3DRENDERSTATE_FOGTABLESTART, bits);
        std::memcpy(&bits, &end, 4);
        device->SetRenderState(D3DRENDERSTATE_FOGTABLEEND, bits);
        return true;
    }

    static bool Fail(std::string& error, const char* what) {
        error = std::string("host: ") + what;
        return false;
    }

    void Apply(const State& s) {
        static const DWORD factors[4][2] = {{D3DBLEND_ONE, D3DBLEND_ZERO},
                                            {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                            {D3DBLEND_ONE, D3DBLEND_ONE},
                                            {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR}};
        device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, s.textured ? handle : 0);
        DWORD filter = s.bilinear ? D3DFILTER_LINEAR : D3DFILTER_NEAREST;
        device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, filter);
        device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, filter);
        device->SetRenderState(D3DRENDERSTATE_FOGENABLE, s.fog);
        device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, s.blend != kOpaque);
        device->SetRenderState(D3DRENDERSTATE_SRCBLEND, factors[s.blend][0]);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, factors[s.blend][1]);
        device->SetRenderState(D3DRENDERSTATE_ZENABLE, s.depthTest);
        device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, s.depthWrite);
    }

    // Clears depth (and the colour to black when asked) and draws the scene; false when a call fails.
    bool Frame(const Scene& scene, bool clearColour = false) {
        D3DRECT all{0, 0, kWidth, kHeight};
        if (FAILED(viewport->Clear(1, &all, D3DCLEAR_ZBUFFER | (clearColour ? D3DCLEAR_TARGET : 0))))
            return false;
        for (const Batch& batch : scene.batches) {
            Apply(batch.state);
            if (FAILED(device->DrawIndexedPrimitive(
                    D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, const_cast<D3DTLVERTEX*>(batch.vertices.data()),
                    DWORD(batch.vertices.size()), const_cast<WORD*>(batch.indices.data()),
                    DWORD(batch.indices.size()), D3DDP_WAIT)))
                return false;
        }
        return true;
    }
};

// Mesa's software renderer on a 5-6-5 buffer with a 16-bit depth buffer. Vertices are given in clip
// space with w = 1/rhw, so that Mesa's perspective division gives back the screen position and depth
// and its interpolation is perspective-correct as the device's is; positions move by half a pixel,
// as GL's pixel centres lie at +0.5 where the device's lie on whole coordinates. The fog coordinate is
// the eye depth 1/rhw, as the device's table fog reads it.
struct MesaRenderer {
    OSMesaContext context = nullptr;
    std::vector<uint16_t> buffer;
    GLuint texture = 0;
    GLuint query = 0;
    struct GlVertex {
        float x, y, z, w;
        uint8_t r, g, b, a;
        float s, t;
        float fog;
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
        OSMesaPixelStore(OSMESA_Y_UP, 0); // row 0 at the top, as the device's
        glViewport(0, 0, kWidth, kHeight);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
        glDisable(GL_DITHER);
        std::vector<uint16_t> texels = TextureTexels();
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSide, kTextureSide, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, kFogStart);
        glFogf(GL_FOG_END, kFogEnd);
        const float fogColour[4] = {float((kFogColour >> 16) & 255) / 255,
                                    float((kFogColour >> 8) & 255) / 255, float(kFogColour & 255) / 255,
                                    1.0f};
        glFogfv(GL_FOG_COLOR, fogColour);
        glFogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_FOG_COORD_ARRAY);
        glGenQueries(1, &query);
        return true;
    }

    void Convert(const Scene& scene) {
        converted.clear();
        for (const Batch& batch : scene.batches) {
            std::vector<GlVertex> out;
            for (WORD i : batch.indices) {
                const D3DTLVERTEX& v = batch.vertices[i];
                float w = 1.0f / v.rhw;
                out.push_back(GlVertex{(2.0f * (v.sx + 0.5f) / kWidth - 1.0f) * w,
                                       (1.0f - 2.0f * (v.sy + 0.5f) / kHeight) * w, (2.0f * v.sz - 1.0f) * w,
                                       w, uint8_t(v.color >> 16), uint8_t(v.color >> 8), uint8_t(v.color),
                                       uint8_t(v.color >> 24), v.tu, v.tv, w});
            }
            converted.push_back(std::move(out));
        }
    }

    static void Enable(GLenum what, bool on) {
        if (on)
            glEnable(what);
        else
            glDisable(what);
    }

    void Apply(const State& s) {
        Enable(GL_TEXTURE_2D, s.textured);
        GLint filter = s.bilinear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        Enable(GL_FOG, s.fog);
        Enable(GL_BLEND, s.blend != kOpaque);
        static const GLenum factors[4][2] = {{GL_ONE, GL_ZERO},
                                             {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
                                             {GL_ONE, GL_ONE},
                                             {GL_ZERO, GL_SRC_COLOR}};
        glBlendFunc(factors[s.blend][0], factors[s.blend][1]);
        Enable(GL_DEPTH_TEST, s.depthTest);
        glDepthMask(s.depthWrite ? GL_TRUE : GL_FALSE);
    }

    // Draws the converted scene (clearing the colour to black too when asked); with count, returns
    // the pixels that passed the depth test (0 when the query is missing).
    double Frame(const Scene& scene, bool clearColour = false, bool count = false) {
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 0);
        glClear(GL_DEPTH_BUFFER_BIT | (clearColour ? GL_COLOR_BUFFER_BIT : 0));
        if (count && query) glBeginQuery(GL_SAMPLES_PASSED, query);
        for (size_t i = 0; i < converted.size(); ++i) {
            Apply(scene.batches[i].state);
            const std::vector<GlVertex>& vertices = converted[i];
            glVertexPointer(4, GL_FLOAT, sizeof(GlVertex), &vertices[0].x);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(GlVertex), &vertices[0].r);
            glTexCoordPointer(2, GL_FLOAT, sizeof(GlVertex), &vertices[0].s);
            glFogCoordPointer(GL_FLOAT, sizeof(GlVertex), &vertices[0].fog);
            glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size()));
        }
        GLuint passed = 0;
        if (count && query) {
            glEndQuery(GL_SAMPLES_PASSED);
            glGetQueryObjectuiv(query, GL_QUERY_RESULT, &passed);
        }
        glFinish();
        return double(passed);
    }
};

// How far two 5-6-5 pictures differ: the share of pixels off by more than one step in a channel, and
// the largest step.
struct PictureCheck {
    double offShare = 1.0;
    int largest = 0;
    bool done = false;
};

PictureCheck Compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    PictureCheck check;
    if (a.size() != b.size() || a.empty()) return check;
    size_t off = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int dr = std::abs((a[i] >> 11) - (b[i] >> 11)),
            dg = std::abs(((a[i] >> 5) & 63) - ((b[i] >> 5) & 63));
        int db = std::abs((a[i] & 31) - (b[i] & 31));
        int step = std::max({dr, dg, db});
        check.largest = std::max(check.largest, step);
        off += step > 1;
    }
    check.offShare = double(off) / double(a.size());
    check.done = true;
    return check;
}

// One scene of the table: its name, how it is made, and whether its triangles are large.
struct SceneEntry {
    std::string name;
    Scene scene;
    bool large;
    PictureCheck check;
};

struct World {
    std::vector<SceneEntry> scenes;
    HostRenderer host;
    MesaRenderer mesa;
    bool mesaReady = false;
    std::string mesaThreads = "1 thread";
};
World g;

// The pixels one frame fills: those passing the depth test when counted, else the triangles' area.
double Pixels(const Scene& scene) {
    return scene.passing > 0 ? scene.passing : scene.area;
}

void Count(benchmark::State& state, const Scene& scene) {
    state.counters["Mpix/s"] =
        benchmark::Counter(Pixels(scene) * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void HostScene(benchmark::State& state, const Scene* scene) {
    for (auto _ : state)
        if (!g.host.Frame(*scene)) {
            state.SkipWithError("host draw failed");
            break;
        }
    Count(state, *scene);
}

void MesaScene(benchmark::State& state, const Scene* scene) {
    if (!g.mesaReady) {
        state.SkipWithError("OSMesa unavailable");
        return;
    }
    g.mesa.Convert(*scene);
    for (auto _ : state)
        g.mesa.Frame(*scene);
    Count(state, *scene);
}

// The best of the repetitions, so that the table can use it when only aggregates are reported.
double Min(const std::vector<double>& values) {
    double best = values.empty() ? 0 : values[0];
    for (double v : values)
        best = std::min(best, v);
    return best;
}

void MakeScenes() {
    struct Kind {
        const char* name;
        State state;
        uint32_t alpha;
    };
    State plain, textured, fog, blend, bilinear;
    plain.textured = false;
    fog.fog = true;
    blend.blend = kAlphaBlend;
    bilinear.bilinear = true;
    const Kind kinds[] = {{"Textured", textured, 255},
                          {"Plain", plain, 255},
                          {"Fog", fog, 255},
                          {"Blend", blend, 160},
                          {"Bilinear", bilinear, 255}};
    for (const Kind& kind : kinds) {
        g.scenes.push_back(
            SceneEntry{std::string("Small") + kind.name, SmallTriangles(kind.state, kind.alpha), false, {}});
        g.scenes.push_back(
            SceneEntry{std::string("Large") + kind.name, LargeTriangles(kind.state, kind.alpha), true, {}});
    }
    g.scenes.push_back(SceneEntry{"Mixed", MixedScene(), false, {}});
}

// Draws every scene once on both sides from a black target, compares the pictures and counts the
// pixels passing the depth test.
void CheckPictures() {
    for (SceneEntry& entry : g.scenes) {
        if (!g.host.Frame(entry.scene, true) || !g.mesaReady) continue;
        std::vector<uint16_t> host = bench::SurfacePixels(g.host.target);
        g.mesa.Convert(entry.scene);
        entry.scene.passing = g.mesa.Frame(entry.scene, true, true);
        entry.check = Compare(host, g.mesa.buffer);
    }
}

void RegisterAll() {
    for (const SceneEntry& entry : g.scenes) {
        const Scene* scene = &entry.scene;
        benchmark::RegisterBenchmark(("Host" + entry.name).c_str(),
                                     [scene](benchmark::State& s) { HostScene(s, scene); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->ComputeStatistics("min", Min);
        benchmark::RegisterBenchmark(("Mesa" + entry.name).c_str(),
                                     [scene](benchmark::State& s) { MesaScene(s, scene); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->ComputeStatistics("min", Min);
    }
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

// Prints each scene's picture check, fill rate for both renderers and their ratio, by wall-clock time
// and by CPU time of this thread (the CPU figures hold on a busy machine; with Mesa's own threads only
// the wall-clock ones compare). Against single-threaded Mesa, true when the goals are met on
// wall-clock or on CPU time: host at least Mesa's rate in every scene, and the large scenes' pictures
// within one step per channel (at most 0.1% of pixels off, along edges). Against Mesa's default
// threads the table is for information (true).
bool PrintTable(const FillRateReporter& reporter, bool singleThreadedMesa) {
    bool metReal = true, metCpu = singleThreadedMesa, picturesMet = true;
    std::printf("\nFill rate (Mpixel/s of pixels passing the depth test, best run), Mesa with %s:\n",
                g.mesaThreads.c_str());
    std::printf("%-15s %9s %8s %10s %10s %9s   %10s %10s %9s\n", "scene", "off>1step", "largest", "host",
                "mesa", "host/mesa", "host cpu", "mesa cpu", "host/mesa");
    for (const SceneEntry& entry : g.scenes) {
        double pixels = Pixels(entry.scene);
        double rates[2][2] = {}; // [real, cpu][host, mesa]
        bool have[2][2] = {};
        for (int cpu = 0; cpu < 2; ++cpu) {
            double us = 0;
            if ((have[cpu][0] = reporter.Best("Host" + entry.name, cpu, us))) rates[cpu][0] = pixels / us;
            if ((have[cpu][1] = reporter.Best("Mesa" + entry.name, cpu, us))) rates[cpu][1] = pixels / us;
        }
        if (!entry.check.done)
            std::printf("%-15s %9s %8s", entry.name.c_str(), "-", "-");
        else
            std::printf("%-15s %8.3f%% %8d", entry.name.c_str(), 100.0 * entry.check.offShare,
                        entry.check.largest);
        std::printf(" %10.1f %10.1f %9.2f   %10.1f", rates[0][0], rates[0][1],
                    rates[0][1] > 0 ? rates[0][0] / rates[0][1] : 0.0, rates[1][0]);
        // Mesa's own threads do not count in this thread's CPU time.
        if (singleThreadedMesa)
            std::printf(" %10.1f %9.2f\n", rates[1][1], rates[1][1] > 0 ? rates[1][0] / rates[1][1] : 0.0);
        else
            std::printf(" %10s %9s\n", "-", "-");
        if (entry.large && (!entry.check.done || entry.check.offShare > 0.001)) picturesMet = false;
        for (int cpu = 0; cpu < 2; ++cpu) {
            bool& met = cpu ? metCpu : metReal;
            if (!have[cpu][0]) continue;
            if (singleThreadedMesa && have[cpu][1] && rates[cpu][0] < rates[cpu][1]) met = false;
        }
    }
    if (!singleThreadedMesa) {
        std::printf("(The goals are judged on the run against single-threaded Mesa.)\n");
        return true;
    }
    bool met = (metReal || metCpu) && picturesMet;
    std::printf("Goals (host >= single-threaded Mesa in every scene; large pictures within one step): %s\n",
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
    benchmark::Initialize(&count, args.data());
    std::string error;
    if (!g.host.Start(error)) {
        std::fprintf(stderr, "raster_bench: %s\n", error.c_str());
        return 1;
    }
    g.mesaReady = g.mesa.Start(threads, error);
    if (!g.mesaReady) std::fprintf(stderr, "raster_bench: %s\n", error.c_str());
    MakeScenes();
    CheckPictures();
    RegisterAll();
    FillRateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool met = PrintTable(reporter, threads != nullptr);
    benchmark::Shutdown();
    return met ? 0 : 1;
}
