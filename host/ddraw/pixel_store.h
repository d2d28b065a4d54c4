// One block of pixels behind a surface. Rows are pitch bytes apart, and the pitch is always wider
// than width x bytes per pixel, so code that assumes tightly packed rows shows up at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace host_ddraw {

// Largest width or height of a surface.
constexpr int kMaxSurfaceSide = 16384;

class PixelStore {
  public:
    // A zero-filled store; nullptr when a side is outside 1..kMaxSurfaceSide, bytesPerPixel is not
    // 1..4, or memory is short.
    static std::shared_ptr<PixelStore> Create(int width, int height, int bytesPerPixel);

    // The pitch a store of that width and depth gets.
    static int PitchFor(int width, int bytesPerPixel);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    int BytesPerPixel() const { return bytesPerPixel_; }
    // Bytes of picture (width x height x bytes per pixel), as video memory is counted.
    size_t PictureBytes() const { return size_t(width_) * height_ * bytesPerPixel_; }

    uint8_t* Row(int y) { return memory_.get() + size_t(y) * pitch_; }
    const uint8_t* Row(int y) const { return memory_.get() + size_t(y) * pitch_; }
    uint8_t* At(int x, int y) { return Row(y) + size_t(x) * bytesPerPixel_; }
    const uint8_t* At(int x, int y) const { return Row(y) + size_t(x) * bytesPerPixel_; }

    // Sets every byte to 0.
    void Clear();

  private:
    PixelStore(int width, int height, int bytesPerPixel, int pitch, std::unique_ptr<uint8_t[]> memory);

    int width_;
    int height_;
    int bytesPerPixel_;
    int pitch_;
    std::unique_ptr<uint8_t[]> memory_;
};

} // namespace host_ddraw
