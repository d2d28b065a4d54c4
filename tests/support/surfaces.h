// Surfaces as the host and engine tests make and read them: system-memory textures made in one call, and
// pixels read and written under Lock, always by the pitch Lock reports (16-bit access to single pixels,
// or whole surfaces as raw values of any depth). Header-only, for the test programs that link the host
// layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/ddraw/ddraw.h"

namespace testsupport {

// A width x height texture surface of the display's format, in memory (DDSCAPS_SYSTEMMEMORY or
// DDSCAPS_VIDEOMEMORY); NULL when dd refuses it. The caller releases it.
inline IDirectDrawSurface* NewTexture(IDirectDraw* dd, DWORD width, DWORD height,
                                      DWORD memory = DDSCAPS_SYSTEMMEMORY) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | memory;
    IDirectDrawSurface* surface = nullptr;
    if (dd->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
    return surface;
}

// A 16-bit surface locked whole for the object's life.
class LockedPixels {
  public:
    explicit LockedPixels(IDirectDrawSurface* surface) : surface_(surface) {
        desc_.dwSize = sizeof(desc_);
        locked_ = surface && SUCCEEDED(surface->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr));
    }
    ~LockedPixels() {
        if (locked_) surface_->Unlock(nullptr);
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;

    bool ok() const { return locked_; }
    int width() const { return int(desc_.dwWidth); }
    int height() const { return int(desc_.dwHeight); }
    int pitch() const { return int(desc_.lPitch); }
    WORD& At(int x, int y) {
        return reinterpret_cast<WORD*>(static_cast<BYTE*>(desc_.lpSurface) + ptrdiff_t(y) * desc_.lPitch)[x];
    }
    void Fill(WORD value) {
        for (int y = 0; y < height(); y++)
            for (int x = 0; x < width(); x++)
                At(x, y) = value;
    }

  private:
    IDirectDrawSurface* surface_;
    DDSURFACEDESC desc_ = {};
    bool locked_ = false;
};

// Every pixel of a surface as its raw value (1 to 4 bytes each, as the pixel format says), row-major
// from the top; empty when the surface cannot be locked.
inline std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    std::vector<uint32_t> out;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return out;
    const size_t bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, row + x * bytes, bytes);
            out.push_back(value);
        }
    }
    surface->Unlock(nullptr);
    return out;
}

// Writes raw values (row-major from the top, as ReadPixels gives them) into a surface, as many as it
// holds; false when it cannot be locked.
inline bool WritePixels(IDirectDrawSurface* surface, const std::vector<uint32_t>& values) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    const size_t bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    size_t next = 0;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = static_cast<uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth && next < values.size(); ++x, ++next)
            std::memcpy(row + x * bytes, &values[next], bytes);
    }
    surface->Unlock(nullptr);
    return true;
}

} // namespace testsupport
