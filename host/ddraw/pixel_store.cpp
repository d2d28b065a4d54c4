#include "host/ddraw/pixel_store.h"

#include <cstring>
#include <new>

namespace host_ddraw {

int PixelStore::PitchFor(int width, int bytesPerPixel) {
    // At least 16 bytes of slack, rounded to 16 so that rows stay aligned for vector copies.
    return (width * bytesPerPixel + 16 + 15) & ~15;
}

std::shared_ptr<PixelStore> PixelStore::Create(int width, int height, int bytesPerPixel) {
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
    if (bytesPerPixel < 1 || bytesPerPixel > 4) return nullptr;
    int pitch = PitchFor(width, bytesPerPixel);
    std::unique_ptr<uint8_t[]> memory(new (std::nothrow) uint8_t[size_t(pitch) * height]());
    if (!memory) return nullptr;
    return std::shared_ptr<PixelStore>(
        new PixelStore(width, height, bytesPerPixel, pitch, std::move(memory)));
}

PixelStore::PixelStore(int width, int height, int bytesPerPixel, int pitch, std::unique_ptr<uint8_t[]> memory)
    : width_(width), height_(height), bytesPerPixel_(bytesPerPixel), pitch_(pitch),
      memory_(std::move(memory)) {}

void PixelStore::Clear() {
    std::memset(memory_.get(), 0, size_t(pitch_) * height_);
}

} // namespace host_ddraw
