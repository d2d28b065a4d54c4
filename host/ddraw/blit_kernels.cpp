#include "host/ddraw/blit_kernels.h"

#include <cstring>
#include <vector>

namespace host_ddraw {
namespace {

// Raw 24-bit pixels are read and written byte by byte.
inline DWORD Load24(const uint8_t* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16;
}
inline void Store24(uint8_t* p, DWORD v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
}

// One row of a keyed copy, 16 bytes at a time: a lane keeps the destination where the source equals
// the key and takes the source elsewhere, so the loop has no branch per pixel.
template <class T> void KeyedRow(const T* src, T* dst, int count, T key) {
    typedef T Vector __attribute__((vector_size(16)));
    constexpr int kLanes = 16 / sizeof(T);
    const Vector keys = Vector{} + key;
    int x = 0;
    for (; x + kLanes <= count; x += kLanes) {
        Vector s, d;
        std::memcpy(&s, src + x, sizeof s);
        std::memcpy(&d, dst + x, sizeof d);
        Vector keep = (Vector)(s == keys);
        Vector out = (s & ~keep) | (d & keep);
        std::memcpy(dst + x, &out, sizeof out);
    }
    for (; x < count; ++x)
        if (src[x] != key) dst[x] = src[x];
}

template <class T> void KeyedRows(const ConstPixelView& src, const PixelView& dst, DWORD key) {
    for (int y = 0; y < dst.height; ++y)
        KeyedRow(reinterpret_cast<const T*>(src.pixels + ptrdiff_t(y) * src.pitch),
                 reinterpret_cast<T*>(dst.pixels + ptrdiff_t(y) * dst.pitch), dst.width, T(key));
}

void KeyedRows24(const ConstPixelView& src, const PixelView& dst, DWORD key) {
    key &= 0xFFFFFF;
    for (int y = 0; y < dst.height; ++y) {
        const uint8_t* s = src.pixels + ptrdiff_t(y) * src.pitch;
        uint8_t* d = dst.pixels + ptrdiff_t(y) * dst.pitch;
        for (int x = 0; x < dst.width; ++x, s += 3, d += 3)
            if (Load24(s) != key) std::memcpy(d, s, 3);
    }
}

template <class T> void FillRow(T* row, int count, T value) {
    for (int x = 0; x < count; ++x)
        row[x] = value;
}

// The source index under the centre of destination index i when length pixels cover full.
inline int NearestSource(int i, int length, int full) {
    return int(((2 * int64_t(i) + 1) * length) / (2 * int64_t(full)));
}

template <class T>
void StretchRows(const ConstPixelView& src, const StretchTarget& target, const std::vector<int>& columns,
                 bool keyed, T key) {
    const PixelView& dst = target.part;
    for (int y = 0; y < dst.height; ++y) {
        int sy = NearestSource(target.offsetY + y, src.height, target.fullHeight);
        const T* s = reinterpret_cast<const T*>(src.pixels + ptrdiff_t(sy) * src.pitch);
        T* d = reinterpret_cast<T*>(dst.pixels + ptrdiff_t(y) * dst.pitch);
        if (keyed) {
            for (int x = 0; x < dst.width; ++x) {
                T p = s[columns[x]];
                if (p != key) d[x] = p;
            }
        } else {
            for (int x = 0; x < dst.width; ++x)
                d[x] = s[columns[x]];
        }
    }
}

void StretchRows24(const ConstPixelView& src, const StretchTarget& target, const std::vector<int>& columns,
                   bool keyed, DWORD key) {
    const PixelView& dst = target.part;
    key &= 0xFFFFFF;
    for (int y = 0; y < dst.height; ++y) {
        int sy = NearestSource(target.offsetY + y, src.height, target.fullHeight);
        const uint8_t* s = src.pixels + ptrdiff_t(sy) * src.pitch;
        uint8_t* d = dst.pixels + ptrdiff_t(y) * dst.pitch;
        for (int x = 0; x < dst.width; ++x) {
            const uint8_t* p = s + 3 * columns[x];
            if (!keyed || Load24(p) != key) std::memcpy(d + 3 * x, p, 3);
        }
    }
}

} // namespace

void CopyPixels(const ConstPixelView& src, const PixelView& dst, int bytesPerPixel) {
    size_t rowBytes = size_t(dst.width) * bytesPerPixel;
    // Within one store a destination below the source must be written from the bottom row up, or
    // rows would be overwritten before they are read; memmove handles overlap inside a row.
    bool upwards = reinterpret_cast<uintptr_t>(dst.pixels) > reinterpret_cast<uintptr_t>(src.pixels);
    for (int i = 0; i < dst.height; ++i) {
        int y = upwards ? dst.height - 1 - i : i;
        std::memmove(dst.pixels + ptrdiff_t(y) * dst.pitch, src.pixels + ptrdiff_t(y) * src.pitch, rowBytes);
    }
}

void CopyPixelsKeyed(const ConstPixelView& src, const PixelView& dst, int bytesPerPixel, DWORD key) {
    switch (bytesPerPixel) {
    case 1: KeyedRows<uint8_t>(src, dst, key); break;
    case 2: KeyedRows<uint16_t>(src, dst, key); break;
    case 3: KeyedRows24(src, dst, key); break;
    default: KeyedRows<uint32_t>(src, dst, key); break;
    }
}

void FillPixels(const PixelView& dst, int bytesPerPixel, DWORD value) {
    if (dst.width <= 0 || dst.height <= 0) return;
    // Build the first row, then copy it to the others.
    switch (bytesPerPixel) {
    case 1: std::memset(dst.pixels, int(value & 0xFF), size_t(dst.width)); break;
    case 2: FillRow(reinterpret_cast<uint16_t*>(dst.pixels), dst.width, uint16_t(value)); break;
    case 3:
        for (int x = 0; x < dst.width; ++x)
            Store24(dst.pixels + 3 * x, value);
        break;
    default: FillRow(reinterpret_cast<uint32_t*>(dst.pixels), dst.width, uint32_t(value)); break;
    }
    size_t rowBytes = size_t(dst.width) * bytesPerPixel;
    for (int y = 1; y < dst.height; ++y)
        std::memcpy(dst.pixels + ptrdiff_t(y) * dst.pitch, dst.pixels, rowBytes);
}

void StretchPixels(const ConstPixelView& src, const StretchTarget& target, int bytesPerPixel, bool keyed,
                   DWORD key) {
    // The column table is kept between calls: stretching runs once per frame in some programs.
    thread_local std::vector<int> columns;
    columns.resize(size_t(target.part.width));
    for (int x = 0; x < target.part.width; ++x)
        columns[x] = NearestSource(target.offsetX + x, src.width, target.fullWidth);
    switch (bytesPerPixel) {
    case 1: StretchRows<uint8_t>(src, target, columns, keyed, uint8_t(key)); break;
    case 2: StretchRows<uint16_t>(src, target, columns, keyed, uint16_t(key)); break;
    case 3: StretchRows24(src, target, columns, keyed, key); break;
    default: StretchRows<uint32_t>(src, target, columns, keyed, uint32_t(key)); break;
    }
}

} // namespace host_ddraw
