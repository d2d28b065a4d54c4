#include "bench/bench_pictures.h"

namespace bench {
namespace {

// A small fixed generator: the same pictures on every run and every machine.
class Xorshift {
  public:
    explicit Xorshift(uint32_t seed) : state_(seed ? seed : 1) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform enough in 0..limit-1 for picture making.
    int Below(int limit) { return int(Next() % uint32_t(limit)); }

  private:
    uint32_t state_;
};

// A smooth colour ramp with some noise, never the key.
uint16_t OpaquePixel(int x, int y, Xorshift& noise) {
    unsigned red = unsigned(x * 31 / kScreenWidth);
    unsigned green = unsigned((y * 63 / kScreenHeight) ^ (noise.Next() & 7));
    unsigned blue = unsigned((x + y) & 31);
    uint16_t pixel = uint16_t((red << 11) | ((green & 63) << 5) | blue);
    return pixel == kColorKey ? uint16_t(kColorKey + 1) : pixel;
}

} // namespace

Picture OpaquePicture(uint32_t seed) {
    Picture picture{kScreenWidth, kScreenHeight, {}};
    picture.pixels.resize(size_t(kScreenWidth) * kScreenHeight);
    Xorshift noise(seed);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            picture.pixels[size_t(y) * kScreenWidth + x] = OpaquePixel(x, y, noise);
    return picture;
}

Picture HalfKeyedPicture() {
    Picture picture = OpaquePicture(7);
    Xorshift runs(12345);
    // Alternate runs of key and picture with the same length distribution, so half of each row is key.
    bool keyRun = false;
    int left = runs.Below(64) + 1;
    for (uint16_t& pixel : picture.pixels) {
        if (left == 0) {
            keyRun = !keyRun;
            left = runs.Below(64) + 1;
        }
        if (keyRun) pixel = kColorKey;
        --left;
    }
    return picture;
}

Picture SpritePicture() {
    Picture picture{kSpriteSide, kSpriteSide, {}};
    picture.pixels.resize(size_t(kSpriteSide) * kSpriteSide);
    const double centre = (kSpriteSide - 1) / 2.0;
    const double radius = kSpriteSide / 2.0 - 0.5;
    for (int y = 0; y < kSpriteSide; ++y)
        for (int x = 0; x < kSpriteSide; ++x) {
            double dx = x - centre, dy = y - centre;
            bool inside = dx * dx + dy * dy <= radius * radius;
            picture.pixels[size_t(y) * kSpriteSide + x] =
                inside ? uint16_t(0xF800 | (x << 5) | y) : kColorKey;
        }
    return picture;
}

std::vector<Position> SpritePositions() {
    Xorshift place(99);
    std::vector<Position> positions(kSpritesPerFrame);
    for (Position& p : positions)
        p = {place.Below(kScreenWidth - kSpriteSide + 1), place.Below(kScreenHeight - kSpriteSide + 1)};
    return positions;
}

double KeyedShare(const Picture& picture) {
    size_t keyed = 0;
    for (uint16_t pixel : picture.pixels)
        keyed += pixel == kColorKey;
    return picture.pixels.empty() ? 0.0 : double(keyed) / double(picture.pixels.size());
}

} // namespace bench
