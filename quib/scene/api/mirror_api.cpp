// The mirror surfaces: a system-memory copy of a back-buffer rectangle and its left-right mirror image,
// blitted back where a mirror shows.
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/platform/surface_convert.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"

namespace {

IDirectDrawSurface* MakeMirrorSurface(int width, int height, HRESULT& hr) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    IDirectDrawSurface* surface = nullptr;
    hr = g_lpDD ? g_lpDD->CreateSurface(&desc, &surface, nullptr) : DDERR_NOTINITIALIZED;
    return SUCCEEDED(hr) ? surface : nullptr;
}

// Makes both surfaces at width x height; the first stays when the second fails.
int MakeMirrorSurfaces(int width, int height) {
    HRESULT hr = DD_OK;
    g_lpMirrorSurface = MakeMirrorSurface(width, height, hr);
    if (!g_lpMirrorSurface) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    g_lpMirrorSurfaceFlipped = MakeMirrorSurface(width, height, hr);
    if (!g_lpMirrorSurfaceFlipped) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

// Whether the mirror surfaces hold a width x height rectangle.
bool MirrorSurfacesHold(int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    for (IDirectDrawSurface* surface : {g_lpMirrorSurface, g_lpMirrorSurfaceFlipped}) {
        if (!surface || FAILED(surface->GetSurfaceDesc(&desc))) return false;
        if (int(desc.dwWidth) < width || int(desc.dwHeight) < height) return false;
    }
    return true;
}

} // namespace

int QuibMirrorInit(int, int, int width, int height) {
    if (g_lpMirrorSurface) return QuibMirrorFree();
    return MakeMirrorSurfaces(width, height);
}

int QuibMirrorFree() {
    ReleaseInterface(g_lpMirrorSurface, "g_lpMirrorSurface");
    ReleaseInterface(g_lpMirrorSurfaceFlipped, "g_lpMirrorSurfaceFlipped");
    return 1;
}

int QuibMirrorViewport(IDirectDrawSurface*, int x, int y, int w, int h) {
    // A later, larger mirror gets new surfaces rather than a copy cut short.
    if (g_lpMirrorSurface && !MirrorSurfacesHold(w, h)) QuibMirrorFree();
    if (!g_lpMirrorSurface && !MakeMirrorSurfaces(w, h)) return 0;
    if (!g_lpBackBuffer || !g_lpMirrorSurfaceFlipped) return 0;
    const RECT source = {x, y, x + w, y + h};
    const RECT copy = {0, 0, w, h};
    MirrorSurfaceCopy(g_lpBackBuffer, g_lpMirrorSurface, &source, &copy, 0);
    MirrorSurfaceCopy(g_lpMirrorSurface, g_lpMirrorSurfaceFlipped, &copy, &copy, 1);
    return 1;
}

int QuibBlitMirror(int sx, int sy, int w, int h, int dx, int dy) {
    if (!g_lpBackBuffer || !g_lpMirrorSurfaceFlipped) return 0;
    RECT source = {sx, sy, sx + w, sy + h};
    RECT destination = {dx, dy, dx + w, dy + h};
    HRESULT hr = g_lpBackBuffer->Blt(&destination, g_lpMirrorSurfaceFlipped, &source, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}
