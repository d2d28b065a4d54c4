// Sizes and addresses inside packed images, the 1-bit pixel setter and DIB sections from packed images.
#include "quib/platform/dib.h"

#include <cstdint>
#include <cstring>

#include "host/gdi/dc.h"

namespace {

uint64_t Magnitude(LONG value) {
    return value < 0 ? uint64_t(-int64_t(value)) : uint64_t(value);
}

} // namespace

WORD DIBNumColors(const BITMAPINFOHEADER* header) {
    if (header->biClrUsed != 0) return WORD(header->biClrUsed & 0xFFFF);
    switch (header->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

WORD DIBPaletteSize(const BITMAPINFOHEADER* header) {
    return WORD(DIBNumColors(header) * sizeof(RGBQUAD));
}

DWORD DIBRowBytes(const BITMAPINFOHEADER* header) {
    const uint64_t bits = Magnitude(header->biWidth) * header->biPlanes * header->biBitCount;
    return DWORD((bits + 31) / 32 * 4);
}

DWORD DIBImageBytes(const BITMAPINFOHEADER* header) {
    return DWORD(Magnitude(header->biHeight) * DIBRowBytes(header));
}

BYTE* DIBBits(BITMAPINFOHEADER* header) {
    return reinterpret_cast<BYTE*>(header) + header->biSize + DIBPaletteSize(header);
}

const BYTE* DIBBits(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const BYTE*>(header) + header->biSize + DIBPaletteSize(header);
}

void SetDIBPixel1(BYTE* bits, int width, int height, int x, int y, int on) {
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) return;
    const size_t rowBytes = (size_t(width) + 31) / 32 * 4;
    BYTE& byte = bits[size_t(height - y - 1) * rowBytes + size_t(x) / 8];
    const BYTE bit = BYTE(0x80 >> (x % 8));
    byte = on ? BYTE(byte | bit) : BYTE(byte & ~bit);
}

BITMAPINFOHEADER* BMPFileToDIB(BYTE* fileImage) {
    return reinterpret_cast<BITMAPINFOHEADER*>(fileImage + sizeof(BITMAPFILEHEADER));
}

HBITMAP CreateDIBSectionFromDIB(const BITMAPINFOHEADER* image) {
    if (!image) return nullptr;
    HDC screen = GetDC(nullptr);
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(image), DIB_RGB_COLORS,
                                       &pixels, nullptr, 0);
    if (section && pixels) {
        // The section lays its rows out as the packed image does; copy no more than either holds.
        BITMAP description = {};
        size_t bytes = DIBImageBytes(image);
        if (GetObjectA(section, sizeof description, &description)) {
            const size_t sectionBytes = size_t(description.bmWidthBytes) * size_t(description.bmHeight);
            if (sectionBytes < bytes) bytes = sectionBytes;
        }
        std::memcpy(pixels, DIBBits(image), bytes);
    }
    if (screen) ReleaseDC(nullptr, screen);
    return section;
}
