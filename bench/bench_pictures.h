// The pictures every blit benchmark works on, made the same way on every run: 16-bit 5-6-5 pixels in
// packed rows, so that the host, SDL and memcpy versions of an operation move the same data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kSpriteSide = 24;
constexpr int kSpritesPerFrame = 500;
constexpr uint16_t kColorKey = 0x001F; // pure blue, the programs' transparent colour
constexpr uint16_t kFillColor = 0x7BEF;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels; // packed rows of width pixels

    size_t Bytes() const { return pixels.size() * sizeof(uint16_t); }
    size_t RowBytes() const { return size_t(width) * sizeof(uint16_t); }
};

struct Position {
    int x;
    int y;
};

// A full-screen picture with no key pixel; pictures of different seeds differ in every row.
Picture OpaquePicture(uint32_t seed);
// A full-screen picture whose pixels are half the key, in runs of 1 to 64 pixels, half opaque.
Picture HalfKeyedPicture();
// A sprite: a filled disc with the key around it.
Picture SpritePicture();
// Where the sprites of one frame go: spread over the screen, each wholly inside it.
std::vector<Position> SpritePositions();
// The share of pixels equal to the key (0..1).
double KeyedShare(const Picture& picture);

} // namespace bench
