// Converting a packed image to another size or depth through GDI, and the fixed colour tables that
// such a conversion (and the 8-bit bitmap loader) falls back on.
#include <cstdlib>
#include <cstring>

#include "host/gdi/blit.h"
#include "host/gdi/dc.h"
#include "quib/platform/dib.h"

namespace {

constexpr int kTableEntries = 256;

RGBQUAD Colour(BYTE red, BYTE green, BYTE blue) {
    return RGBQUAD{blue, green, red, 0};
}

// Level of an n-level channel scaled to 0..255, rounded.
BYTE Level(int level, int levels) {
    return BYTE((level * 255 + (levels - 1) / 2) / (levels - 1));
}

const RGBQUAD* ColourTable(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
}

RGBQUAD* ColourTable(BITMAPINFOHEADER* header) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(header) + header->biSize);
}

// Fills dest with entries colours: the source's own table when the source has the same indexed depth,
// the fallback otherwise (and for entries the source's table does not carry).
void CopyTableOrFallback(RGBQUAD* dest, int entries, int depth, const BITMAPINFOHEADER* source,
                         const RGBQUAD* fallback) {
    std::memcpy(dest, fallback, size_t(entries) * sizeof(RGBQUAD));
    if (source->biBitCount != depth) return;
    int carried = DIBNumColors(source);
    if (carried > entries) carried = entries;
    std::memcpy(dest, ColourTable(source), size_t(carried) * sizeof(RGBQUAD));
}

// Draws the source section onto the target section: unscaled at the origin, or stretched when asked
// and the sizes differ.
void DrawSection(HBITMAP target, int width, int height, HBITMAP source, int sourceWidth, int sourceHeight,
                 bool stretch) {
    HDC targetDc = CreateCompatibleDC(nullptr);
    HDC sourceDc = CreateCompatibleDC(nullptr);
    if (targetDc && sourceDc) {
        HGDIOBJ oldTarget = SelectObject(targetDc, target);
        HGDIOBJ oldSource = SelectObject(sourceDc, source);
        if (stretch && (width != sourceWidth || height != sourceHeight))
            StretchBlt(targetDc, 0, 0, width, height, sourceDc, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        else
            BitBlt(targetDc, 0, 0, width, height, sourceDc, 0, 0, SRCCOPY);
        SelectObject(targetDc, oldTarget);
        SelectObject(sourceDc, oldSource);
    }
    if (targetDc) DeleteDC(targetDc);
    if (sourceDc) DeleteDC(sourceDc);
}

// One block: the header, its colour table and the section's pixel rows.
BITMAPINFOHEADER* PackImage(const BITMAPINFOHEADER* header, const void* pixels) {
    const size_t headerBytes = header->biSize + DIBPaletteSize(header);
    const size_t imageBytes = DIBImageBytes(header);
    auto* block = static_cast<BYTE*>(std::malloc(headerBytes + imageBytes));
    if (!block) return nullptr;
    std::memcpy(block, header, headerBytes);
    std::memcpy(block + headerBytes, pixels, imageBytes);
    return reinterpret_cast<BITMAPINFOHEADER*>(block);
}

} // namespace

void HalftonePalette(RGBQUAD colors[256]) {
    for (int index = 0; index < kTableEntries; ++index)
        colors[index] = Colour(Level(index >> 5, 8), Level((index >> 2) & 7, 8), Level(index & 3, 4));
}

void StandardPalette16(RGBQUAD colors[16]) {
    static const RGBQUAD kColours[16] = {
        Colour(0, 0, 0),       Colour(128, 0, 0),   Colour(0, 128, 0),   Colour(128, 128, 0),
        Colour(0, 0, 128),     Colour(128, 0, 128), Colour(0, 128, 128), Colour(192, 192, 192),
        Colour(128, 128, 128), Colour(255, 0, 0),   Colour(0, 255, 0),   Colour(255, 255, 0),
        Colour(0, 0, 255),     Colour(255, 0, 255), Colour(0, 255, 255), Colour(255, 255, 255)};
    std::memcpy(colors, kColours, sizeof kColours);
}

int InitDIBColorTable(BITMAPINFOHEADER* dest, const BITMAPINFOHEADER* source) {
    RGBQUAD* table = ColourTable(dest);
    switch (dest->biBitCount) {
    case 8: {
        RGBQUAD halftone[kTableEntries];
        HalftonePalette(halftone);
        CopyTableOrFallback(table, kTableEntries, 8, source, halftone);
        break;
    }
    case 4: {
        RGBQUAD standard[16];
        StandardPalette16(standard);
        CopyTableOrFallback(table, 16, 4, source, standard);
        break;
    }
    case 1:
        table[0] = Colour(0, 0, 0);
        table[1] = Colour(255, 255, 255);
        break;
    default: break;
    }
    return 1;
}

BITMAPINFOHEADER* ConvertDIB(const BITMAPINFOHEADER* image, int width, int height, int bitCount,
                             int stretch) {
    if (!image || width <= 0 || height <= 0) return nullptr;
    // The new header with room for the largest colour table.
    auto* header = static_cast<BITMAPINFOHEADER*>(
        std::calloc(1, sizeof(BITMAPINFOHEADER) + kTableEntries * sizeof(RGBQUAD)));
    if (!header) return nullptr;
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = WORD(bitCount);
    if (!InitDIBColorTable(header, image)) {
        std::free(header);
        return nullptr;
    }

    void* targetPixels = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS,
                                      &targetPixels, nullptr, 0);
    HBITMAP source = CreateDIBSectionFromDIB(image);
    BITMAPINFOHEADER* result = nullptr;
    if (target && source && targetPixels) {
        const int sourceHeight = image->biHeight < 0 ? -image->biHeight : image->biHeight;
        DrawSection(target, width, height, source, image->biWidth, sourceHeight, stretch != 0);
        result = PackImage(header, targetPixels);
    }
    if (target) DeleteObject(target);
    if (source) DeleteObject(source);
    std::free(header);
    return result;
}
