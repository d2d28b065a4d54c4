#include "host/ddraw/display.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "host/backend/machine.h"
#include "host/backend/present.h"
#include "host/ddraw/surface.h"
#include "host/ddraw/testing.h"

namespace host_ddraw {
namespace {

struct DisplayState {
    std::mutex mutex;
    std::shared_ptr<PixelStore> desktop;
    DisplayMode desktopMode = {}; // the mode the desktop picture was made for
    DriverState* exclusiveOwner = nullptr;
    DriverState* modeOwner = nullptr; // the owner that changed the mode, if any
    DisplayMode mode = {};            // valid while modeOwner is set
    unsigned generation = 1;
    std::vector<Surface*> surfaces;
    size_t videoInUse = 0;
};

// Never destroyed: surfaces released during static destruction still unregister themselves.
DisplayState& State() {
    static DisplayState* state = new DisplayState;
    return *state;
}

std::atomic<int> g_liveObjects[4];
std::atomic<HRESULT> g_restoreFailure{DD_OK};

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.bits == b.bits && a.is555 == b.is555;
}

bool IsModeDepth(int bits) {
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// A 15-bit machine depth is a 16-bit 5-5-5 mode; 16 bits are 5-5-5 too on a machine that says so.
DisplayMode ModeOf(int width, int height, int bits, bool machine555) {
    DisplayMode mode = {width, height, bits == 15 ? 16 : bits, bits == 15 || (bits == 16 && machine555)};
    return mode;
}

// Caller holds the mutex.
void LoseModeSurfaces(DisplayState& state) {
    ++state.generation;
    for (Surface* surface : state.surfaces)
        if (surface->LosesMemoryOnModeChange()) surface->MarkLost();
}

void FillPicture(HostPicture& picture, const PixelStore& store, const DDPIXELFORMAT& format,
                 const PALETTEENTRY* palette) {
    picture.width = store.Width();
    picture.height = store.Height();
    if (store.BytesPerPixel() == 2) {
        picture.pixels = reinterpret_cast<const WORD*>(store.Row(0));
        picture.pitchBytes = store.Pitch();
        picture.is555 = Is555(format);
        return;
    }
    // Other depths are shown through a 5-6-5 copy.
    thread_local std::vector<WORD> converted;
    converted.resize(size_t(store.Width()) * store.Height());
    for (int y = 0; y < store.Height(); ++y) {
        const uint8_t* row = store.Row(y);
        WORD* out = converted.data() + size_t(y) * store.Width();
        for (int x = 0; x < store.Width(); ++x) {
            unsigned r, g, b;
            if (store.BytesPerPixel() == 1) {
                uint8_t index = row[x];
                r = palette ? palette[index].peRed : index;
                g = palette ? palette[index].peGreen : index;
                b = palette ? palette[index].peBlue : index;
            } else {
                const uint8_t* p = row + x * store.BytesPerPixel();
                b = p[0];
                g = p[1];
                r = p[2];
            }
            out[x] = WORD((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
        }
    }
    picture.pixels = converted.data();
    picture.pitchBytes = store.Width() * 2;
    picture.is555 = false;
}

} // namespace

std::vector<DisplayMode> MachineModes() {
    const HostMachine& machine = HostGetMachine();
    std::vector<DisplayMode> modes;
    for (const HostDisplayMode& m : machine.displayModes)
        if (m.width > 0 && m.height > 0 && IsModeDepth(m.bitsPerPixel))
            modes.push_back(ModeOf(m.width, m.height, m.bitsPerPixel, machine.pixels555));
    return modes;
}

bool FindMachineMode(int width, int height, int bits, DisplayMode& mode) {
    std::vector<DisplayMode> modes = MachineModes();
    int wanted = bits == 15 ? 16 : bits;
    // A 16-bit request prefers 5-6-5 and a 15-bit one 5-5-5, but either takes what the machine has.
    for (int pass = 0; pass < 2; ++pass)
        for (const DisplayMode& m : modes)
            if (m.width == width && m.height == height && m.bits == wanted &&
                (pass == 1 || wanted != 16 || m.is555 == (bits == 15))) {
                mode = m;
                return true;
            }
    return false;
}

DisplayMode DesktopMode() {
    const HostMachine& machine = HostGetMachine();
    int bits = IsModeDepth(machine.desktopBitsPerPixel) ? machine.desktopBitsPerPixel : 16;
    int width = std::clamp(machine.desktopWidth, 1, kMaxSurfaceSide);
    int height = std::clamp(machine.desktopHeight, 1, kMaxSurfaceSide);
    return ModeOf(width, height, bits, machine.pixels555);
}

DisplayMode CurrentMode() {
    DisplayState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        if (state.modeOwner) return state.mode;
    }
    return DesktopMode();
}

unsigned ModeGeneration() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.generation;
}

std::shared_ptr<PixelStore> DesktopStore() {
    DisplayMode desktop = DesktopMode();
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (!state.desktop || !SameMode(desktop, state.desktopMode)) {
        if (state.desktop) LoseModeSurfaces(state);
        state.desktop = PixelStore::Create(desktop.width, desktop.height, BytesForBits(desktop.bits));
        state.desktopMode = desktop;
    }
    return state.desktop;
}

bool ClaimExclusive(DriverState* owner) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (state.exclusiveOwner && state.exclusiveOwner != owner) return false;
    state.exclusiveOwner = owner;
    return true;
}

void ReleaseExclusive(DriverState* owner) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (state.modeOwner == owner) {
        state.modeOwner = nullptr;
        LoseModeSurfaces(state);
    }
    if (state.exclusiveOwner == owner) state.exclusiveOwner = nullptr;
}

void ChangeMode(DriverState* owner, const DisplayMode& mode) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.modeOwner = owner;
    state.mode = mode;
    LoseModeSurfaces(state);
}

bool RestoreMode(DriverState* owner) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (state.modeOwner != owner) return false;
    state.modeOwner = nullptr;
    LoseModeSurfaces(state);
    return true;
}

void RegisterSurface(Surface* surface) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.surfaces.push_back(surface);
}

void UnregisterSurface(Surface* surface) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    auto found = std::find(state.surfaces.begin(), state.surfaces.end(), surface);
    if (found != state.surfaces.end()) state.surfaces.erase(found);
}

void MarkAllSurfacesLost() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    for (Surface* surface : state.surfaces)
        surface->MarkLost();
}

bool ReserveVideoMemory(size_t bytes) {
    DWORD free = FreeVideoMemory();
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (bytes > free) return false;
    state.videoInUse += bytes;
    return true;
}

void ReturnVideoMemory(size_t bytes) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.videoInUse -= std::min(bytes, state.videoInUse);
}

DWORD TotalVideoMemory() {
    return HostGetMachine().videoMemoryTotal;
}

DWORD FreeVideoMemory() {
    size_t machineFree = HostGetMachine().videoMemoryFree;
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return DWORD(machineFree > state.videoInUse ? machineFree - state.videoInUse : 0);
}

void PresentStore(const PixelStore& store, const DDPIXELFORMAT& format, const PALETTEENTRY* palette,
                  bool fullscreen) {
    HostPicture picture = {};
    FillPicture(picture, store, format, palette);
    HostPresentPrimary(picture, fullscreen);
}

HRESULT RestoreFailure() {
    return g_restoreFailure.load();
}

void CountLive(ObjectKind kind, int delta) {
    g_liveObjects[kind] += delta;
}

} // namespace host_ddraw

HostDDrawObjectCounts HostDDrawLiveObjects() {
    using namespace host_ddraw;
    return {g_liveObjects[kDirectDrawKind].load(), g_liveObjects[kSurfaceKind].load(),
            g_liveObjects[kPaletteKind].load(), g_liveObjects[kClipperKind].load()};
}

void HostDDrawMarkAllSurfacesLost() {
    host_ddraw::MarkAllSurfacesLost();
}

void HostDDrawSetRestoreFailure(HRESULT failure) {
    host_ddraw::g_restoreFailure = SUCCEEDED(failure) ? DD_OK : failure;
}

void HostDDrawMarkSurfaceLost(IDirectDrawSurface* surface) {
    if (host_ddraw::Surface* s = host_ddraw::SurfaceFrom(surface)) s->MarkLost();
}
