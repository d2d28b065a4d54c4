// Portable pixmaps (".ppm"): the binary (P6) and text (P3) forms, read from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Largest side of a picture a texture file may hold, and largest picture in pixels.
constexpr int kHostRMImageMaxSide = 4096;
constexpr size_t kHostRMImageMaxPixels = size_t(4096) * 4096;

// A picture as 8-bit red, green, blue per pixel, rows top to bottom.
struct HostRMImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width x height x 3 bytes

    const uint8_t* Pixel(int x, int y) const { return rgb.data() + (size_t(y) * width + x) * 3; }
};

// Decodes a P6 or P3 file: header fields separated by white space and "#" comments, sides of 1 to
// kHostRMImageMaxSide pixels, a maximum sample value of 1 to 65535 (binary samples of two bytes, high byte
// first, above 255), samples scaled to 0..255. Nothing when the file is malformed, too large, short, or
// a sample exceeds the maximum.
std::optional<HostRMImage> HostDecodePpm(const uint8_t* data, size_t size);
