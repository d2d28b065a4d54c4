// The pixels of a DIB section or loaded bitmap: BMP row layout, colour table and channel masks.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "host/gdi/bitmap.h"

// Largest DIB accepted, in bytes of pixel rows and in pixels per side.
constexpr size_t kHostDibMaxBytes = 64u * 1024 * 1024;
constexpr int kHostDibMaxSide = 32767;

struct HostDib {
    int width = 0;
    int height = 0;              // always positive
    bool topDown = false;        // rows stored top row first
    int bitsPerPixel = 0;        // 1, 4, 8, 16, 24 or 32
    DWORD masks[3] = {};         // red, green, blue channel masks (16, 24 and 32 bits)
    std::vector<RGBQUAD> colors; // indexed depths: 2^bitsPerPixel entries; empty otherwise
    size_t stride = 0;           // bytes per row, a multiple of 4
    std::unique_ptr<BYTE[]> bits;

    // The row y counted from the top of the picture.
    BYTE* Row(int y) const { return bits.get() + stride * static_cast<size_t>(topDown ? y : height - 1 - y); }
};

// Bytes per row of a DIB: width × bits rounded up to whole 4-byte words. 0 when that overflows.
size_t HostDibStride(int width, int bitsPerPixel);

// Checks width, height, depth and masks (NULL masks: the depth's default; 16 bits 5-5-5, 24/32 bits
// 8-8-8) and makes a zero-filled DIB with a black colour table. NULL when refused: a side outside
// 1..kHostDibMaxSide, a depth other than 1/4/8/16/24/32, rows over kHostDibMaxBytes, or masks that are
// not contiguous, overlap, exceed the depth or are all zero.
std::unique_ptr<HostDib> HostCreateDib(int width, int height, bool topDown, int bitsPerPixel,
                                       const DWORD* masks);

// Decodes a whole BMP file held in memory. NULL when anything in it is malformed or unsupported.
std::unique_ptr<HostDib> HostDecodeBmp(const BYTE* data, size_t size);
