// Smoke puffs: a fixed pool of camera-facing textured quads that grow, step through the smoke textures,
// fade and die. They are drawn far to near and additively, within a budget of screen area per frame, so
// that when smoke fills the screen the nearest puffs are the ones left out.
#include "quib/scene/world/smoke.h"

#include <cstdlib>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/mesh/dp_material.h"
#include "quib/scene/pipeline/draw_billboard.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/world/sprite3d_decal.h"

SmokeState g_Smoke;

namespace {

constexpr float kPuffStartSize = 0.5f;
constexpr float kPuffGrowthX = 0.75f; // world units a tick
constexpr float kPuffGrowthY = 0.5f;
constexpr int kFullIntensity = 255;

// Frees the puff pool and its sorting arrays; the pool is then empty.
void FreePoolArrays() {
    std::free(g_Smoke.pool);
    std::free(g_Smoke.candidates);
    std::free(g_Smoke.sorted);
    std::free(g_Smoke.distances);
    g_Smoke.pool = nullptr;
    g_Smoke.candidates = g_Smoke.sorted = nullptr;
    g_Smoke.distances = nullptr;
    g_Smoke.poolSize = 0;
}

int FrameCount() {
    return g_Smoke.frames ? g_Smoke.frames->GetCount() : 0;
}

void SetState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!g_ImDevice) return;
    HRESULT hr = g_ImDevice->SetRenderState(state, value);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

void SetBlend(DWORD enable, DWORD source, DWORD destination) {
    SetState(D3DRENDERSTATE_ALPHABLENDENABLE, enable);
    SetState(D3DRENDERSTATE_SRCBLEND, source);
    SetState(D3DRENDERSTATE_DESTBLEND, destination);
}

// Draws one puff with its frame's texture; the fraction of the viewport it covered (0: not drawn).
float DrawPuff(const PUFF& puff) {
    Sprite3D* sprite = g_Smoke.frames->Lookup(puff.frame);
    DPMaterial material;
    material.colour = 0;
    material.texture = sprite ? sprite->m_textureEntry : nullptr;
    const unsigned long grey = static_cast<unsigned long>(puff.intensity);
    return draw_billboard(puff.position, puff.width, puff.height, float(puff.anchorX), float(puff.anchorY),
                          &material, g_Smoke.areaBudget, grey << 16 | grey << 8 | grey, 0xFF000000ul);
}

// Index of the candidate to take next: the farthest, the earliest of equals. The first remaining one
// stands until a farther one is found, so a puff at the camera (distance 0) is taken too, last.
int FarthestCandidate() {
    int best = -1;
    for (int i = 0; i < g_Smoke.poolSize; ++i)
        if (g_Smoke.candidates[i] && (best < 0 || g_Smoke.distances[i] > g_Smoke.distances[best])) best = i;
    return best;
}

} // namespace

void QuibInitSmoke(int count, IDirectDrawSurface** surfaces) {
    // A second pool replaces the first instead of leaking it.
    QuibFreeSmoke();
    const int size = count > 0 ? count : 0;
    g_Smoke.frames = new PtrArray<Sprite3D>(size);
    for (int i = 0; surfaces && surfaces[i]; ++i) {
        auto* sprite = new Sprite3D(g_lpD3DRM2, nullptr);
        sprite->Init(surfaces[i]);
        g_Smoke.frames->Add(sprite);
    }
    if (size == 0) return;
    g_Smoke.pool = static_cast<PUFF*>(std::calloc(size_t(size), sizeof(PUFF)));
    g_Smoke.candidates = static_cast<PUFF**>(std::calloc(size_t(size), sizeof(PUFF*)));
    g_Smoke.sorted = static_cast<PUFF**>(std::calloc(size_t(size), sizeof(PUFF*)));
    g_Smoke.distances = static_cast<float*>(std::calloc(size_t(size), sizeof(float)));
    if (!g_Smoke.pool || !g_Smoke.candidates || !g_Smoke.sorted || !g_Smoke.distances) {
        RegError("QuibInitSmoke::can't alloc PUFFs\n");
        FreePoolArrays();
        return;
    }
    g_Smoke.poolSize = size;
    const int frames = FrameCount();
    for (int i = 0; i < size; ++i) {
        PUFF& puff = g_Smoke.pool[i];
        puff.frameCount = puff.framesLeft = frames;
        puff.intensity = kFullIntensity;
    }
}

void QuibFreeSmoke() {
    if (g_Smoke.frames) g_Smoke.frames->DeleteAll();
    delete g_Smoke.frames;
    g_Smoke.frames = nullptr;
    FreePoolArrays();
    g_Smoke.sortedCount = 0;
}

void QuibClearSmoke() {
    for (int i = 0; i < g_Smoke.poolSize; ++i)
        g_Smoke.pool[i].active = 0;
}

void QuibAddSmoke(float x, float y, float z, int ticksPerFrame) {
    const int frames = FrameCount();
    // Without textures a puff would have no frame to show nor a size to anchor.
    if (frames == 0) return;
    for (int i = 0; i < g_Smoke.poolSize; ++i) {
        PUFF& puff = g_Smoke.pool[i];
        if (puff.active) continue;
        const Sprite3D* first = g_Smoke.frames->GetAt(0);
        puff.active = 1;
        puff.ticksPerFrame = puff.ticksLeft = ticksPerFrame;
        puff.frame = std::rand() % frames;
        puff.frameCount = puff.framesLeft = frames;
        puff.position[0] = x;
        puff.position[1] = y;
        puff.position[2] = z;
        puff.startWidth = puff.startHeight = kPuffStartSize;
        puff.width = puff.startWidth;
        puff.height = puff.startHeight;
        puff.anchorX = first->m_width / 2;
        puff.anchorY = first->m_height - first->m_height / 3;
        puff.intensity = kFullIntensity;
        // A puff of t ticks a frame is drawn about (F + 1) t times; t of -1 would divide by zero.
        puff.fadeStep = (kFullIntensity / frames) / (ticksPerFrame + 1 > 0 ? ticksPerFrame + 1 : 1);
        puff.reserved = 0;
        return;
    }
}

void QuibTickSmoke() {
    const int frames = FrameCount();
    for (int i = 0; i < g_Smoke.poolSize; ++i) {
        PUFF& puff = g_Smoke.pool[i];
        if (!puff.active) continue;
        if (--puff.ticksLeft < 1) {
            puff.ticksLeft = puff.ticksPerFrame;
            if (++puff.frame >= frames) puff.frame = 0;
            if (--puff.framesLeft < 0) puff.active = 0;
        }
        puff.width += kPuffGrowthX;
        puff.height += kPuffGrowthY;
    }
}

void QuibSortSmoke() {
    g_Smoke.sortedCount = 0;
    int remaining = 0;
    for (int i = 0; i < g_Smoke.poolSize; ++i) {
        PUFF& puff = g_Smoke.pool[i];
        g_Smoke.candidates[i] = puff.active ? &puff : nullptr;
        g_Smoke.distances[i] =
            puff.active ? QuibGetDistanceFromCamera(puff.position[0], puff.position[1], puff.position[2])
                        : 0.0f;
        remaining += puff.active ? 1 : 0;
    }
    for (; remaining > 0; --remaining) {
        const int best = FarthestCandidate();
        g_Smoke.sorted[g_Smoke.sortedCount++] = g_Smoke.candidates[best];
        g_Smoke.candidates[best] = nullptr;
    }
}

void QuibRenderSmoke() {
    if (!g_Smoke.enabled) return;
    DebugPrintf("rs+");
    QuibSortSmoke();
    SetBlend(TRUE, D3DBLEND_ONE, D3DBLEND_ONE); // additive
    float total = 0.0f;
    const int frames = FrameCount();
    for (int i = 0; i < g_Smoke.sortedCount; ++i) {
        PUFF& puff = *g_Smoke.sorted[i];
        if (!puff.active || puff.frame >= frames) continue;
        total += DrawPuff(puff);
        puff.intensity = puff.intensity > puff.fadeStep ? puff.intensity - puff.fadeStep : 0;
        if (total > g_Smoke.areaBudget) break;
    }
    SetBlend(FALSE, D3DBLEND_ZERO, D3DBLEND_ZERO);
    DebugPrintf("rs-\n");
}

void QuibRenderSmoke(int on) {
    g_Smoke.enabled = on;
}

void QuibSetSmokeTA(float budget) {
    g_Smoke.areaBudget = budget;
}

int QuibCheckSmokePtr() {
    return 1;
}
