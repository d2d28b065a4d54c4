// Pictures as tests make and read them: 24-bit BMP files in the plain layout every reader of the package
// takes (54-byte header, bottom-up rows padded to 4 bytes, 2835 pixels per metre), pictures in memory
// to draw test art into, and the reader of the 24-bit captures the headless backend writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
    // As 0xRRGGBB.
    uint32_t Packed() const { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// Whether two colours show as the same 16-bit (5-6-5) pixel.
bool Same565(Rgb a, Rgb b);

// A picture of width x height colours, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Picture() = default;
    Picture(int w, int h, Rgb fill);
    // Whether it holds any pixel (a capture that could not be read holds none).
    bool ok() const { return width > 0 && height > 0; }
    // The colour at (x, y); {-1, -1, -1}, which no pixel has, outside the picture.
    Rgb At(int x, int y) const;
    // Paints the w x h rectangle at (x0, y0), clipped to the picture.
    void Fill(int x0, int y0, int w, int h, Rgb colour);
};

// frames side by side, frame i of frameWidth x frameHeight filled with colours[i].
Picture Strip(int frameWidth, int frameHeight, const std::vector<Rgb>& colours);

// The bytes of a 24-bit BMP of width x height whose pixel (x, y), counted from the top, is colour(x, y)
// as 0xRRGGBB.
std::vector<uint8_t> Bmp24Bytes(int width, int height, const std::function<uint32_t(int, int)>& colour);
std::vector<uint8_t> BmpBytes(const Picture& picture);
// The bytes of an 8-bit BMP with the colour table (0xRRGGBB entries) whose pixel (x, y), counted from
// the top, is table index index(x, y).
std::vector<uint8_t> Bmp8Bytes(int width, int height, const std::vector<uint32_t>& table,
                               const std::function<uint8_t(int, int)>& index);

// Writes those bytes as the file path, replacing it and making the folders above it.
void WriteBmp24(const std::string& path, int width, int height,
                const std::function<uint32_t(int, int)>& colour);
void WriteBmp(const std::string& path, const Picture& picture);

// Reads a 24-bit BMP, bottom-up or top-down, as a capture is written; an empty picture when the file is
// missing, of another depth, larger than 4096 x 4096 or shorter than its header says.
Picture ReadCapture(const std::string& path);

} // namespace testsupport
