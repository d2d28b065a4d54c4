// The blit benchmark. On the same 800x600 5-6-5 pictures it times, in one run: a full-screen copy, a
// colour-keyed copy of a half-transparent full-screen picture, a frame of 24x24 keyed sprites, a colour
// fill and the present of a full frame; each through the host's display driver (off-screen surfaces at
// the normal cooperative level), through SDL2's own software blitter, and as memcpy/memset of the same
// bytes. At the end it prints a table of the best times and the ratios against the goals.
//
// The host runs on its headless backend. The sdl backend's present (dirty-row upload to a streaming
// texture, then drawing it) is timed by calling that backend directly with SDL's dummy video driver
// (software renderer), unless SDL_VIDEODRIVER names another. Pass Google Benchmark's flags through,
// e.g. --benchmark_repetitions=5 --benchmark_filter=sprites.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_pictures.h"
#include "bench/host_side.h"
#include "bench/ratio_reporter.h"
#include "bench/sdl_side.h"
#include "host/backend/backend.h"
#include "host/backend/present.h"

namespace {

using bench::kScreenHeight;
using bench::kScreenWidth;
using bench::kSpriteSide;

// Everything the benchmarks work on, made once before they run.
struct World {
    bench::Picture image, other, keyed, sprite;
    std::vector<bench::Position> positions;
    bench::HostSide host;
    bench::SdlSide sdl;
    std::vector<uint8_t> memorySource, memoryTarget; // packed full-screen bytes
    HostShownPicture shown[2];                       // two frames different in every row
    bool sdlBackendReady = false;
};
World g;

const size_t kScreenBytes = size_t(kScreenWidth) * kScreenHeight * 2;

bool Succeeded(benchmark::State& state, HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return true;
    state.SkipWithError(what);
    return false;
}

void CountFrames(benchmark::State& state, size_t bytesPerFrame) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytesPerFrame));
}

void MemcpyFrame(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.memorySource.data());
        std::memcpy(g.memoryTarget.data(), g.memorySource.data(), kScreenBytes);
        benchmark::ClobberMemory();
    }
    CountFrames(state, kScreenBytes);
}

// Full-screen copy.
void HostFullCopyBlt(benchmark::State& state) {
    for (auto _ : state)
        if (!Succeeded(state, g.host.screen->Blt(nullptr, g.host.image, nullptr, DDBLT_WAIT, nullptr), "Blt"))
            break;
    CountFrames(state, kScreenBytes);
}
void HostFullCopyBltFast(benchmark::State& state) {
    for (auto _ : state)
        if (!Succeeded(state, g.host.screen->BltFast(0, 0, g.host.image, nullptr, DDBLTFAST_WAIT), "BltFast"))
            break;
    CountFrames(state, kScreenBytes);
}
void SdlFullCopy(benchmark::State& state) {
    for (auto _ : state)
        SDL_BlitSurface(g.sdl.image, nullptr, g.sdl.screen, nullptr);
    CountFrames(state, kScreenBytes);
}

// Keyed copy of the half-transparent picture.
void HostKeyedCopyBlt(benchmark::State& state) {
    for (auto _ : state)
        if (!Succeeded(state,
                       g.host.screen->Blt(nullptr, g.host.keyed, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr),
                       "Blt"))
            break;
    CountFrames(state, kScreenBytes);
}
void HostKeyedCopyBltFast(benchmark::State& state) {
    for (auto _ : state)
        if (!Succeeded(
                state,
                g.host.screen->BltFast(0, 0, g.host.keyed, nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY),
                "BltFast"))
            break;
    CountFrames(state, kScreenBytes);
}
void SdlKeyedCopy(benchmark::State& state) {
    for (auto _ : state)
        SDL_BlitSurface(g.sdl.keyed, nullptr, g.sdl.screen, nullptr);
    CountFrames(state, kScreenBytes);
}
void SdlKeyedCopyRle(benchmark::State& state) {
    for (auto _ : state)
        SDL_BlitSurface(g.sdl.keyedRle, nullptr, g.sdl.screen, nullptr);
    CountFrames(state, kScreenBytes);
}

// A frame of keyed sprites: one operation is all of them.

void HostSpritesBlt(benchmark::State& state) {
    for (auto _ : state)
        for (const bench::Position& p : g.positions) {
            RECT dest = {p.x, p.y, p.x + kSpriteSide, p.y + kSpriteSide};
            if (!Succeeded(
                    state,
                    g.host.screen->Blt(&dest, g.host.sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr),
                    "Blt"))
                return;
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(g.positions.size()));
}
void HostSpritesBltFast(benchmark::State& state) {
    for (auto _ : state)
        for (const bench::Position& p : g.positions)
            if (!Succeeded(state,
                           g.host.screen->BltFast(DWORD(p.x), DWORD(p.y), g.host.sprite, nullptr,
                                                  DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY),
                           "BltFast"))
                return;
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(g.positions.size()));
}
void BlitSdlSprites(benchmark::State& state, SDL_Surface* sprite) {
    for (auto _ : state)
        for (const bench::Position& p : g.positions) {
            SDL_Rect dest = {p.x, p.y, kSpriteSide, kSpriteSide}; // SDL_BlitSurface may change it
            SDL_BlitSurface(sprite, nullptr, g.sdl.screen, &dest);
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(g.positions.size()));
}
void SdlSprites(benchmark::State& state) {
    BlitSdlSprites(state, g.sdl.sprite);
}
void SdlSpritesRle(benchmark::State& state) {
    BlitSdlSprites(state, g.sdl.spriteRle);
}
void MemcpySprites(benchmark::State& state) {
    const size_t rowBytes = size_t(kSpriteSide) * 2, pitch = size_t(kScreenWidth) * 2;
    for (auto _ : state) {
        for (const bench::Position& p : g.positions) {
            uint8_t* target = g.memoryTarget.data() + size_t(p.y) * pitch + size_t(p.x) * 2;
            const uint8_t* source = g.memorySource.data() + size_t(p.y) * pitch; // any 24 rows
            benchmark::DoNotOptimize(source);
            for (int y = 0; y < kSpriteSide; ++y)
                std::memcpy(target + y * pitch, source + y * pitch, rowBytes);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(g.positions.size()));
}

// Colour fill of the whole screen.
void HostFill(benchmark::State& state) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = bench::kFillColor;
    for (auto _ : state)
        if (!Succeeded(state,
                       g.host.screen->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT | DDBLT_COLORFILL, &fx),
                       "Blt"))
            break;
    CountFrames(state, kScreenBytes);
}
void SdlFill(benchmark::State& state) {
    for (auto _ : state)
        SDL_FillRect(g.sdl.screen, nullptr, bench::kFillColor);
    CountFrames(state, kScreenBytes);
}
void MemsetFrame(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.memoryTarget.data());
        std::memset(g.memoryTarget.data(), 0x5A, kScreenBytes);
        benchmark::ClobberMemory();
    }
    CountFrames(state, kScreenBytes);
}

// Present: the display driver hands a full-screen frame to the headless backend (cut out, converted
// to packed 5-6-5 and kept for capture); SDL's counterpart copies the frame into a packed surface.
void HostPresentHeadless(benchmark::State& state) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    for (auto _ : state) {
        if (!Succeeded(state, g.host.image->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), "Lock")) break;
        HostPicture frame = {static_cast<const WORD*>(desc.lpSurface), int(desc.dwWidth), int(desc.dwHeight),
                             int(desc.lPitch), false};
        HostPresentPrimary(frame, true);
        g.host.image->Unlock(nullptr);
    }
    CountFrames(state, kScreenBytes);
}
void SdlPresentCopy(benchmark::State& state) {
    for (auto _ : state)
        SDL_BlitSurface(g.sdl.image, nullptr, g.sdl.packed, nullptr);
    CountFrames(state, kScreenBytes);
}

// Present through the sdl backend: frames that differ in every row, so each present uploads the whole
// texture and draws it; SDL's counterpart updates a streaming texture straight from the surface and draws it.
void HostPresentSdlBackend(benchmark::State& state) {
    size_t frame = 0;
    for (auto _ : state)
        g_HostSdlBackend.present(g.shown[frame++ & 1]);
    CountFrames(state, kScreenBytes);
}
void SdlPresentTexture(benchmark::State& state) {
    SDL_Surface* frames[2] = {g.sdl.image, g.sdl.other};
    SDL_Rect area = {0, 0, kScreenWidth, kScreenHeight};
    size_t frame = 0;
    for (auto _ : state) {
        SDL_Surface* surface = frames[frame++ & 1];
        SDL_UpdateTexture(g.sdl.texture, nullptr, surface->pixels, surface->pitch);
        SDL_SetRenderDrawColor(g.sdl.renderer, 0, 0, 0, 255);
        SDL_RenderClear(g.sdl.renderer);
        SDL_RenderCopy(g.sdl.renderer, g.sdl.texture, nullptr, &area);
        SDL_RenderPresent(g.sdl.renderer);
    }
    CountFrames(state, kScreenBytes);
}

double Min(const std::vector<double>& values) {
    double best = values.empty() ? 0 : values[0];
    for (double v : values)
        best = std::min(best, v);
    return best;
}

void Register(const char* name, void (*function)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, function)
        ->Unit(benchmark::kMicrosecond)
        ->ComputeStatistics("min", Min);
}

void RegisterAll() {
    // The memory copies every host operation is set beside.
    Register("memory/memcpy_frame", MemcpyFrame);
    Register("memory/memset_frame", MemsetFrame);
    Register("memory/memcpy_sprites", MemcpySprites);
    Register("full_copy/host_Blt", HostFullCopyBlt);
    Register("full_copy/host_BltFast", HostFullCopyBltFast);
    Register("full_copy/sdl", SdlFullCopy);
    Register("keyed_copy/host_Blt", HostKeyedCopyBlt);
    Register("keyed_copy/host_BltFast", HostKeyedCopyBltFast);
    Register("keyed_copy/sdl", SdlKeyedCopy);
    Register("keyed_copy/sdl_rle", SdlKeyedCopyRle);
    Register("sprites_500x24x24/host_Blt", HostSpritesBlt);
    Register("sprites_500x24x24/host_BltFast", HostSpritesBltFast);
    Register("sprites_500x24x24/sdl", SdlSprites);
    Register("sprites_500x24x24/sdl_rle", SdlSpritesRle);
    Register("fill/host_Blt", HostFill);
    Register("fill/sdl", SdlFill);
    Register("present/host_headless", HostPresentHeadless);
    Register("present/sdl", SdlPresentCopy);
    if (g.sdlBackendReady) {
        Register("present_sdl_backend/host", HostPresentSdlBackend);
        Register("present_sdl_backend/sdl", SdlPresentTexture);
    }
}

std::vector<bench::Comparison> Comparisons() {
    // Blits must not be slower than SDL's plain keyed blits; the plain copy within twice memcpy. SDL's
    // run-length encoded blits and the presents are shown without a goal.
    return {
        {"full_copy/host_Blt", "full_copy/sdl", "memory/memcpy_frame", 1.0, 2.0},
        {"full_copy/host_BltFast", "full_copy/sdl", "memory/memcpy_frame", 1.0, 2.0},
        {"keyed_copy/host_Blt", "keyed_copy/sdl", "memory/memcpy_frame", 1.0, 0},
        {"keyed_copy/host_BltFast", "keyed_copy/sdl", "memory/memcpy_frame", 1.0, 0},
        {"sprites_500x24x24/host_Blt", "sprites_500x24x24/sdl", "memory/memcpy_sprites", 1.0, 0},
        {"sprites_500x24x24/host_BltFast", "sprites_500x24x24/sdl", "memory/memcpy_sprites", 1.0, 0},
        {"keyed_copy/host_Blt", "keyed_copy/sdl_rle", "memory/memcpy_frame", 0, 0},
        {"sprites_500x24x24/host_Blt", "sprites_500x24x24/sdl_rle", "memory/memcpy_sprites", 0, 0},
        {"fill/host_Blt", "fill/sdl", "memory/memset_frame", 1.0, 0},
        {"present/host_headless", "present/sdl", "memory/memcpy_frame", 0, 0},
        {"present_sdl_backend/host", "present_sdl_backend/sdl", "memory/memcpy_frame", 0, 0},
    };
}

HostShownPicture Shown(const bench::Picture& picture) {
    HostShownPicture shown;
    shown.width = picture.width;
    shown.height = picture.height;
    shown.pixels = picture.pixels;
    return shown;
}

// The host and SDL must draw the same pixels, or the times compare different work.
bool SameResults() {
    struct Step {
        const char* name;
        void (*host)();
        void (*sdl)();
    };
    static const Step steps[] = {
        {"fill",
         [] {
             DDBLTFX fx = {sizeof(DDBLTFX), bench::kFillColor};
             g.host.screen->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT | DDBLT_COLORFILL, &fx);
         },
         [] { SDL_FillRect(g.sdl.screen, nullptr, bench::kFillColor); }},
        {"keyed copy",
         [] { g.host.screen->Blt(nullptr, g.host.keyed, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); },
         [] { SDL_BlitSurface(g.sdl.keyed, nullptr, g.sdl.screen, nullptr); }},
        {"sprites",
         [] {
             for (const bench::Position& p : g.positions)
                 g.host.screen->BltFast(DWORD(p.x), DWORD(p.y), g.host.sprite, nullptr,
                                        DDBLTFAST_SRCCOLORKEY);
         },
         [] {
             for (const bench::Position& p : g.positions) {
                 SDL_Rect dest = {p.x, p.y, kSpriteSide, kSpriteSide};
                 SDL_BlitSurface(g.sdl.sprite, nullptr, g.sdl.screen, &dest);
             }
         }},
        {"keyed copy, run-length encoded",
         [] { g.host.screen->Blt(nullptr, g.host.keyed, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); },
         [] { SDL_BlitSurface(g.sdl.keyedRle, nullptr, g.sdl.screen, nullptr); }},
        {"sprites, run-length encoded",
         [] {
             for (const bench::Position& p : g.positions)
                 g.host.screen->BltFast(DWORD(p.x), DWORD(p.y), g.host.sprite, nullptr,
                                        DDBLTFAST_SRCCOLORKEY);
         },
         [] {
             for (const bench::Position& p : g.positions) {
                 SDL_Rect dest = {p.x, p.y, kSpriteSide, kSpriteSide};
                 SDL_BlitSurface(g.sdl.spriteRle, nullptr, g.sdl.screen, &dest);
             }
         }},
        {"full copy", [] { g.host.screen->Blt(nullptr, g.host.image, nullptr, DDBLT_WAIT, nullptr); },
         [] { SDL_BlitSurface(g.sdl.image, nullptr, g.sdl.screen, nullptr); }},
    };
    for (const Step& step : steps) {
        step.host();
        step.sdl();
        if (bench::ReadHostPixels(g.host.screen) != bench::ReadSdlPixels(g.sdl.screen)) {
            std::fprintf(stderr, "blit_bench: host and SDL differ after the %s\n", step.name);
            return false;
        }
    }
    return true;
}

// The process runs on the headless backend whatever the caller's environment says.
void PrepareEnvironment() {
    setenv("HOST_BACKEND", "headless", 1);
    for (const char* name : {"HOST_MAX_FRAMES", "HOST_SCRIPT", "HOST_RECORD", "HOST_MACHINE"})
        unsetenv(name);
    setenv("SDL_VIDEODRIVER", "dummy", 0); // the sdl backend without a display
}

bool MakeWorld(std::string& error) {
    g.image = bench::OpaquePicture(1);
    g.other = bench::OpaquePicture(2);
    g.keyed = bench::HalfKeyedPicture();
    g.sprite = bench::SpritePicture();
    g.positions = bench::SpritePositions();
    g.memorySource.assign(reinterpret_cast<const uint8_t*>(g.image.pixels.data()),
                          reinterpret_cast<const uint8_t*>(g.image.pixels.data()) + kScreenBytes);
    g.memoryTarget.assign(kScreenBytes, 0);
    g.shown[0] = Shown(g.image);
    g.shown[1] = Shown(g.other);
    if (!bench::CreateHostSide(g.image, g.keyed, g.sprite, g.host, error)) return false;
    if (!bench::CreateSdlSurfaces(g.image, g.other, g.keyed, g.sprite, g.sdl, error)) return false;
    std::string why;
    if (g_HostSdlBackend.init(why)) {
        g_HostSdlBackend.mainWindowShown(kScreenWidth, kScreenHeight, "blit bench");
        g.sdlBackendReady = bench::CreateSdlRenderer(g.sdl, why);
    }
    if (!g.sdlBackendReady)
        std::fprintf(stderr, "blit_bench: the sdl backend's present is not measured: %s\n", why.c_str());
    return true;
}

void DropWorld() {
    bench::ReleaseHostSide(g.host);
    bench::ReleaseSdlSide(g.sdl);
    if (g.sdlBackendReady) g_HostSdlBackend.shutdown();
    SDL_Quit();
}

} // namespace

int main(int argc, char** argv) {
    PrepareEnvironment();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    std::string error;
    if (!MakeWorld(error)) {
        std::fprintf(stderr, "blit_bench: %s\n", error.c_str());
        DropWorld();
        return 1;
    }
    if (!SameResults()) {
        DropWorld();
        return 1;
    }
    std::printf(
        "Pictures: %dx%d 5-6-5; keyed picture %.0f%% key; %zu sprites of %dx%d per frame (%.0f%% key); "
        "SDL renderer: %s\n",
        kScreenWidth, kScreenHeight, 100 * bench::KeyedShare(g.keyed), g.positions.size(), kSpriteSide,
        kSpriteSide, 100 * bench::KeyedShare(g.sprite),
        g.sdl.rendererName.empty() ? "none" : g.sdl.rendererName.c_str());
    RegisterAll();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::fflush(stdout);
    bench::PrintComparisons(reporter, Comparisons(), stdout);
    benchmark::Shutdown();
    DropWorld();
    return 0;
}
