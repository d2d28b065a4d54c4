#include "bench/surface_pixels.h"

#include <cstddef>

namespace bench {

std::vector<uint16_t> SurfacePixels(IDirectDrawSurface* surface) {
    std::vector<uint16_t> out;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return out;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(desc.lpSurface) +
                                                      ptrdiff_t(y) * desc.lPitch);
        out.insert(out.end(), row, row + desc.dwWidth);
    }
    surface->Unlock(nullptr);
    return out;
}

} // namespace bench
