// Files made by tests: 24-bit BMP pictures in the plain layout every reader of the package takes (54-byte
// header, bottom-up rows padded to 4 bytes, 2835 pixels per metre) and text files. Header only,
// standard library only: any test program may include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The bytes of a 24-bit BMP of width x height whose pixel (x, y), counted from the top, is colour(x, y)
// as 0xRRGGBB.
inline std::vector<uint8_t> Bmp24Bytes(int width, int height,
                                       const std::function<uint32_t(int, int)>& colour) {
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = uint32_t(rowBytes * size_t(height));
    std::vector<uint8_t> out;
    auto put16 = [&out](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&put16](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0x4D42);
    put32(54 + pixelBytes);
    put32(0);
    put32(54);
    put32(40);
    put32(uint32_t(width));
    put32(uint32_t(height));
    put16(1);
    put16(24);
    put32(0);
    put32(pixelBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int row = height - 1; row >= 0; row--) {
        size_t start = out.size();
        for (int x = 0; x < width; x++) {
            uint32_t rgb = colour(x, row);
            out.push_back(uint8_t(rgb));
            out.push_back(uint8_t(rgb >> 8));
            out.push_back(uint8_t(rgb >> 16));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

// Writes those bytes as the file name, replacing it.
inline void WriteBmp24(const std::string& name, int width, int height,
                       const std::function<uint32_t(int, int)>& colour) {
    const std::vector<uint8_t> bytes = Bmp24Bytes(width, height, colour);
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Writes text as the file name, replacing it.
inline void WriteTextFile(const std::string& name, const std::string& text) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file << text;
}

} // namespace testsupport
