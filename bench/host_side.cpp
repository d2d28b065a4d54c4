#include "bench/host_side.h"

#include <cstring>

namespace bench {
namespace {

DDPIXELFORMAT Format565() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 16;
    format.dwRBitMask = 0xF800;
    format.dwGBitMask = 0x07E0;
    format.dwBBitMask = 0x001F;
    return format;
}

IDirectDrawSurface* MakeSurface(IDirectDraw* directDraw, int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat = Format565();
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
    return surface;
}

// Copies picture into surface row by row, by the pitch Lock reports.
bool WritePicture(IDirectDrawSurface* surface, const Picture& picture) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return false;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch,
                    picture.pixels.data() + size_t(y) * picture.width, picture.RowBytes());
    surface->Unlock(nullptr);
    return true;
}

// A surface holding picture, with the source key set when keyed.
IDirectDrawSurface* SurfaceWith(IDirectDraw* directDraw, const Picture& picture, bool keyed) {
    IDirectDrawSurface* surface = MakeSurface(directDraw, picture.width, picture.height);
    if (!surface) return nullptr;
    DDCOLORKEY key = {kColorKey, kColorKey};
    if (!WritePicture(surface, picture) || (keyed && FAILED(surface->SetColorKey(DDCKEY_SRCBLT, &key)))) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

} // namespace

bool CreateHostSide(const Picture& image, const Picture& keyed, const Picture& sprite, HostSide& host,
                    std::string& error) {
    if (FAILED(DirectDrawCreate(nullptr, &host.directDraw, nullptr))) {
        error = "DirectDrawCreate failed";
        return false;
    }
    if (FAILED(host.directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        error = "SetCooperativeLevel(DDSCL_NORMAL) failed";
        return false;
    }
    host.screen = MakeSurface(host.directDraw, kScreenWidth, kScreenHeight);
    host.image = SurfaceWith(host.directDraw, image, false);
    host.keyed = SurfaceWith(host.directDraw, keyed, true);
    host.sprite = SurfaceWith(host.directDraw, sprite, true);
    if (!host.screen || !host.image || !host.keyed || !host.sprite) {
        error = "creating or filling the 5-6-5 off-screen surfaces failed";
        return false;
    }
    return true;
}

void ReleaseHostSide(HostSide& host) {
    for (IDirectDrawSurface** surface : {&host.screen, &host.image, &host.keyed, &host.sprite})
        if (*surface) {
            (*surface)->Release();
            *surface = nullptr;
        }
    if (host.directDraw) host.directDraw->Release();
    host.directDraw = nullptr;
}

std::vector<uint16_t> ReadHostPixels(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return {};
    std::vector<uint16_t> pixels(size_t(desc.dwWidth) * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        std::memcpy(pixels.data() + size_t(y) * desc.dwWidth,
                    static_cast<const BYTE*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch,
                    size_t(desc.dwWidth) * sizeof(uint16_t));
    surface->Unlock(nullptr);
    return pixels;
}

} // namespace bench
