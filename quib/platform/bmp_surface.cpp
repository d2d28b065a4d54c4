// Saving a surface as a BMP file: 8-bit surfaces keep their palette and indices, 16-bit (and 24- and
// 32-bit) surfaces become 24-bit files.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"

namespace {

constexpr int kPaletteEntries = 256;

// One channel of a pixel format: where its bits start and how many there are.
struct Channel {
    DWORD mask;
    int shift;
    int width;
};

Channel ChannelOf(DWORD mask) {
    Channel channel = {mask, 0, 0};
    if (!mask) return channel;
    while (!((mask >> channel.shift) & 1))
        ++channel.shift;
    while (channel.shift + channel.width < 32 && ((mask >> (channel.shift + channel.width)) & 1))
        ++channel.width;
    return channel;
}

// The channel's value widened (or narrowed) to 8 bits; the low bits of a widened value stay 0.
BYTE Expand(DWORD pixel, const Channel& channel) {
    if (!channel.mask) return 0;
    const DWORD value = (pixel & channel.mask) >> channel.shift;
    return channel.width <= 8 ? BYTE(value << (8 - channel.width)) : BYTE(value >> (channel.width - 8));
}

// A zero-filled packed image (so row padding is written as zeros) with its header filled in.
BITMAPINFOHEADER* NewImage(int width, int height, WORD bitCount, DWORD colours) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biClrUsed = colours;
    header.biClrImportant = colours;
    const uint64_t rowBytes = (uint64_t(width) * bitCount + 31) / 32 * 4;
    const uint64_t imageBytes = rowBytes * uint64_t(height);
    if (imageBytes > 0xFFFFFFFFu - sizeof(BITMAPINFOHEADER) - kPaletteEntries * sizeof(RGBQUAD))
        return nullptr;
    header.biSizeImage = DWORD(imageBytes);
    const size_t total = sizeof header + DIBPaletteSize(&header) + size_t(imageBytes);
    auto* image = static_cast<BITMAPINFOHEADER*>(std::calloc(1, total));
    if (image) *image = header;
    return image;
}

// The palette of an 8-bit surface as a colour table; a surface without one gets a grey ramp so that
// its indices still read as a picture.
void FillColourTable(IDirectDrawSurface* surface, RGBQUAD* table) {
    PALETTEENTRY entries[kPaletteEntries];
    IDirectDrawPalette* palette = nullptr;
    bool haveEntries = false;
    if (SUCCEEDED(surface->GetPalette(&palette)) && palette) {
        haveEntries = SUCCEEDED(palette->GetEntries(0, 0, kPaletteEntries, entries));
        palette->Release();
    }
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (haveEntries)
            table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        else
            table[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
}

// Surface rows top to bottom become file rows last to first.
void CopyIndexedRows(const DDSURFACEDESC& locked, BITMAPINFOHEADER* image) {
    const int width = int(locked.dwWidth), height = int(locked.dwHeight);
    const DWORD rowBytes = DIBRowBytes(image);
    BYTE* rows = DIBBits(image);
    const auto* pixels = static_cast<const BYTE*>(locked.lpSurface);
    for (int y = 0; y < height; ++y)
        std::memcpy(rows + size_t(height - 1 - y) * rowBytes, pixels + ptrdiff_t(y) * locked.lPitch,
                    size_t(width));
}

DWORD ReadPixel(const BYTE* at, int bytes) {
    DWORD pixel = 0;
    for (int i = 0; i < bytes; ++i)
        pixel |= DWORD(at[i]) << (8 * i);
    return pixel;
}

// Each RGB pixel, channel by channel through the masks, becomes blue, green, red; the file's first row
// is the surface's bottom row.
void CopyRgbRows(const DDSURFACEDESC& locked, BITMAPINFOHEADER* image) {
    const DDPIXELFORMAT& format = locked.ddpfPixelFormat;
    const Channel red = ChannelOf(format.dwRBitMask), green = ChannelOf(format.dwGBitMask),
                  blue = ChannelOf(format.dwBBitMask);
    const int bytesPerPixel = int(format.dwRGBBitCount / 8);
    const int width = int(locked.dwWidth), height = int(locked.dwHeight);
    const DWORD rowBytes = DIBRowBytes(image);
    const auto* pixels = static_cast<const BYTE*>(locked.lpSurface);
    for (int row = 0; row < height; ++row) {
        const BYTE* source = pixels + ptrdiff_t(height - 1 - row) * locked.lPitch;
        BYTE* target = DIBBits(image) + size_t(row) * rowBytes;
        for (int x = 0; x < width; ++x, source += bytesPerPixel, target += 3) {
            const DWORD pixel = ReadPixel(source, bytesPerPixel);
            target[0] = Expand(pixel, blue);
            target[1] = Expand(pixel, green);
            target[2] = Expand(pixel, red);
        }
    }
}

// Locks the whole surface, copies its pixels into image, unlocks. false with the error reported.
bool CopySurface(IDirectDrawSurface* surface, BITMAPINFOHEADER* image, bool indexed) {
    DDSURFACEDESC locked = {};
    locked.dwSize = sizeof locked;
    HRESULT hr = surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return false;
    }
    if (indexed)
        CopyIndexedRows(locked, image);
    else
        CopyRgbRows(locked, image);
    hr = surface->Unlock(nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return false;
    }
    return true;
}

} // namespace

int QuibWriteSurfaceToBMPFile(const char* name, IDirectDrawSurface* surface) {
    if (!surface) {
        REPORT_DD_ERROR(DDERR_INVALIDPARAMS);
        return 0;
    }
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
    const bool indexed = bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32) {
        RegErrorf("QuibWriteSurfaceToBMPFile : can't write a %d-bit surface <%s>", int(bits),
                  name ? name : "");
        return 0;
    }
    BITMAPINFOHEADER* image =
        NewImage(int(desc.dwWidth), int(desc.dwHeight), indexed ? 8 : 24, indexed ? kPaletteEntries : 0);
    if (!image) {
        RegErrorf("QuibWriteSurfaceToBMPFile : surface too large <%s>", name ? name : "");
        return 0;
    }
    if (indexed) FillColourTable(surface, reinterpret_cast<RGBQUAD*>(image + 1));
    int written = 0;
    if (CopySurface(surface, image, indexed)) written = WriteDIBFile(name, image);
    std::free(image);
    return written;
}
