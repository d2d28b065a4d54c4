#include "host/d3d/texel_lookup.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace host_d3d {
namespace {

// One channel of raw through mask, scaled to 0..255 (0 for an empty mask): a channel narrower than 8
// bits has its bits repeated (5 bits abcde give abcdeabc), as the span kernels widen stored channels.
uint32_t Scale(uint32_t raw, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    uint32_t max = mask >> shift;
    uint32_t value = (raw & mask) >> shift;
    int bits = 0;
    while ((max >> bits) & 1)
        ++bits;
    if (bits >= 8 || ((max + 1) & max)) return (value * 255 + max / 2) / max; // wide or gapped masks
    uint32_t out = 0;
    int filled = 0;
    for (; filled < 8; filled += bits)
        out = (out << bits) | value;
    return out >> (filled - 8);
}

} // namespace

const uint32_t* TexelLookup16(const DDPIXELFORMAT& format) {
    using Key = std::tuple<DWORD, DWORD, DWORD, DWORD>;
    static std::mutex lock;
    static std::map<Key, std::unique_ptr<uint32_t[]>> tables;
    DWORD alphaMask = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    Key key{format.dwRBitMask & 0xFFFF, format.dwGBitMask & 0xFFFF, format.dwBBitMask & 0xFFFF,
            alphaMask & 0xFFFF};
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<uint32_t[]>& table = tables[key];
    if (!table) {
        auto [red, green, blue, alpha] = key;
        table = std::make_unique<uint32_t[]>(65536);
        for (uint32_t raw = 0; raw < 65536; ++raw) {
            uint32_t a = alpha ? Scale(raw, alpha) : 255;
            table[raw] = (a << 24) | (Scale(raw, red) << 16) | (Scale(raw, green) << 8) | Scale(raw, blue);
        }
    }
    return table.get();
}

void PaletteLookup(const PALETTEENTRY* entries, uint32_t* table) {
    for (int i = 0; i < 256; ++i)
        table[i] = 0xFF000000u | (uint32_t(entries[i].peRed) << 16) | (uint32_t(entries[i].peGreen) << 8) |
                   entries[i].peBlue;
}

} // namespace host_d3d
