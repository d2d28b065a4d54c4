#include "host/gdi/dib.h"

#include <cstdint>
#include <new>

size_t HostDibStride(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    uint64_t bitsPerRow = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel);
    uint64_t stride = (bitsPerRow + 31) / 32 * 4;
    if (stride > kHostDibMaxBytes) return 0;
    return static_cast<size_t>(stride);
}

static bool IsSupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// A mask is usable when its set bits form one run inside the pixel's bits (an empty mask reads as 0).
static bool IsContiguousMask(DWORD mask, int bitsPerPixel) {
    if (bitsPerPixel < 32 && (static_cast<uint64_t>(mask) >> bitsPerPixel) != 0) return false;
    if (mask == 0) return true;
    DWORD low = mask & (~mask + 1);
    DWORD run = mask + low; // carries out of the run; zero or a single higher bit when contiguous
    return (run & mask) == 0;
}

static bool AreUsableMasks(const DWORD* masks, int bitsPerPixel) {
    for (int i = 0; i < 3; ++i)
        if (!IsContiguousMask(masks[i], bitsPerPixel)) return false;
    if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2])) return false;
    return (masks[0] | masks[1] | masks[2]) != 0;
}

static void SetDefaultMasks(HostDib& dib) {
    if (dib.bitsPerPixel == 16) {
        dib.masks[0] = 0x7C00;
        dib.masks[1] = 0x03E0;
        dib.masks[2] = 0x001F;
    } else if (dib.bitsPerPixel >= 24) {
        dib.masks[0] = 0xFF0000;
        dib.masks[1] = 0x00FF00;
        dib.masks[2] = 0x0000FF;
    }
}

std::unique_ptr<HostDib> HostCreateDib(int width, int height, bool topDown, int bitsPerPixel,
                                       const DWORD* masks) {
    if (width < 1 || height < 1 || width > kHostDibMaxSide || height > kHostDibMaxSide) return nullptr;
    if (!IsSupportedDepth(bitsPerPixel)) return nullptr;
    size_t stride = HostDibStride(width, bitsPerPixel);
    if (stride == 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > kHostDibMaxBytes)
        return nullptr;

    auto dib = std::make_unique<HostDib>();
    dib->width = width;
    dib->height = height;
    dib->topDown = topDown;
    dib->bitsPerPixel = bitsPerPixel;
    dib->stride = stride;
    if (bitsPerPixel <= 8) {
        dib->colors.assign(size_t{1} << bitsPerPixel, RGBQUAD{0, 0, 0, 0});
    } else if (masks && bitsPerPixel != 24) {
        if (!AreUsableMasks(masks, bitsPerPixel)) return nullptr;
        for (int i = 0; i < 3; ++i)
            dib->masks[i] = masks[i];
    } else {
        SetDefaultMasks(*dib);
    }
    dib->bits.reset(new (std::nothrow) BYTE[stride * static_cast<size_t>(height)]());
    if (!dib->bits) return nullptr;
    return dib;
}
