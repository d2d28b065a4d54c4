// Bitmap files into surfaces: the platform loader's route, the engine reader's route, and the exported
// QuibLoadBitmap overloads.
#include "quib/platform/bitmap.h"

#include <cstdlib>

#include "host/gdi/gdi.h"
#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"

namespace {

constexpr int kPaletteEntries = 256;
constexpr DWORD kDefaultIndexedKey = 0;
constexpr DWORD kDefaultRgbKey = 255; // a raw pixel value, not a colour

enum class KeyPolicy { kDefault, kNone };

// What makes a loaded surface 8-bit palettised: the file's own depth, or the depth the caller asks for.
enum class DepthRule { kFollowFile, kFollowRequest };

struct BitmapSize {
    int width;
    int height;
    int bitsPerPixel;
};

BitmapSize SizeOf(HBITMAP bitmap) {
    BITMAP description = {};
    GetObjectA(bitmap, sizeof description, &description);
    return {int(description.bmWidth), int(description.bmHeight), int(description.bmBitsPixel)};
}

// Releases what a failing loader made and reports hr; always NULL.
IDirectDrawSurface* Fail(HRESULT hr, const char* file, int line, IDirectDrawSurface* surface,
                         HBITMAP bitmap) {
    ReportDDError(hr, file, line);
    if (surface) surface->Release();
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
}
#define LOADER_FAIL(hr, surface, bitmap) Fail((hr), __FILE__, __LINE__, (surface), (bitmap))

HRESULT CreateTextureSurface(IDirectDraw* dd, const BitmapSize& size, bool indexed,
                             IDirectDrawSurface** surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = DWORD(size.width);
    desc.dwHeight = DWORD(size.height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE;
    if (indexed) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = 8;
    }
    return dd->CreateSurface(&desc, surface, nullptr);
}

// The bitmap's colour table as palette entries: the table's entries, black after them; a bitmap
// without a table gets the engine's halftone palette.
void PaletteOfBitmap(HBITMAP bitmap, PALETTEENTRY entries[kPaletteEntries]) {
    RGBQUAD table[kPaletteEntries] = {};
    UINT count = 0;
    if (HDC memory = CreateCompatibleDC(nullptr)) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        count = GetDIBColorTable(memory, 0, kPaletteEntries, table);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    if (count == 0) HalftonePalette(table);
    for (int i = 0; i < kPaletteEntries; ++i)
        entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
}

HRESULT SetSourceKey(IDirectDrawSurface* surface, DWORD value) {
    DDCOLORKEY key = {value, value};
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

// Gives an 8-bit surface the bitmap's palette (the surface keeps the only reference) and key index 0.
HRESULT AttachPalette(IDirectDraw* dd, IDirectDrawSurface* surface, HBITMAP bitmap, KeyPolicy keys) {
    PALETTEENTRY entries[kPaletteEntries];
    PaletteOfBitmap(bitmap, entries);
    IDirectDraw* owner = g_lpDD ? g_lpDD : dd;
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr = owner->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
    if (FAILED(hr)) return hr;
    hr = surface->SetPalette(palette);
    palette->Release();
    if (FAILED(hr) || keys == KeyPolicy::kNone) return hr;
    return SetSourceKey(surface, kDefaultIndexedKey);
}

// The common body of the platform-loader route.
IDirectDrawSurface* LoadFile(IDirectDraw* dd, const char* name, DepthRule rule, int requestedDepth,
                             KeyPolicy keys) {
    if (!dd) {
        RegErrorf("LoadBitmap : no DirectDraw object for <%s>", name ? name : "");
        return nullptr;
    }
    auto bitmap = static_cast<HBITMAP>(
        name ? LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)
             : nullptr);
    if (!bitmap) {
        RegErrorf("LoadBitmap : can't load bitmap <%s>", name ? name : "");
        return nullptr;
    }
    const BitmapSize size = SizeOf(bitmap);
    const bool indexed = (rule == DepthRule::kFollowFile ? size.bitsPerPixel : requestedDepth) == 8;
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = CreateTextureSurface(dd, size, indexed, &surface);
    if (FAILED(hr)) return LOADER_FAIL(hr, nullptr, bitmap);
    if (indexed)
        hr = AttachPalette(dd, surface, bitmap, keys);
    else if (keys == KeyPolicy::kDefault)
        hr = SetSourceKey(surface, kDefaultRgbKey);
    if (FAILED(hr)) return LOADER_FAIL(hr, surface, bitmap);
    CopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface;
}

} // namespace

HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int x, int y, int dx, int dy) {
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) return E_FAIL;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (!previous) {
        DeleteDC(memory);
        return E_FAIL;
    }
    const BitmapSize size = SizeOf(bitmap);
    if (dx == 0) dx = size.width;
    if (dy == 0) dy = size.height;

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    HDC target = nullptr;
    if (SUCCEEDED(hr)) hr = surface->GetDC(&target);
    if (SUCCEEDED(hr)) {
        StretchBlt(target, 0, 0, int(desc.dwWidth), int(desc.dwHeight), memory, x, y, dx, dy, SRCCOPY);
        surface->ReleaseDC(target);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return hr;
}

IDirectDrawSurface* LoadBitmap(IDirectDraw* dd, const char* name) {
    return LoadFile(dd, name, DepthRule::kFollowFile, 0, KeyPolicy::kDefault);
}

IDirectDrawSurface* LoadBitmapDepth(IDirectDraw* dd, const char* name, int depth) {
    return LoadFile(dd, name, DepthRule::kFollowRequest, depth, KeyPolicy::kDefault);
}

IDirectDrawSurface* LoadBitmapSimple(IDirectDraw* dd, const char* name) {
    return LoadFile(dd, name, DepthRule::kFollowRequest, 0, KeyPolicy::kNone);
}

IDirectDrawSurface* LoadBitmapFromMemory(IDirectDraw* dd, const char* name) {
    if (!dd) {
        RegErrorf("LoadBitmap : no DirectDraw object for <%s>", name ? name : "");
        return nullptr;
    }
    BITMAPINFOHEADER* image = ReadBMPFile(name);
    if (!image) {
        RegError("LoadBitmapFromMemory : invalid memory bitmap");
        return nullptr;
    }
    HBITMAP section = CreateDIBSectionFromDIB(image);
    if (!section) {
        std::free(image);
        RegError("LoadBitmapFromMemory : can't read memory bitmap");
        return nullptr;
    }
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = CreateTextureSurface(dd, SizeOf(section), false, &surface);
    if (FAILED(hr)) {
        std::free(image);
        return LOADER_FAIL(hr, nullptr, section);
    }
    CopyBitmapToSurface(surface, section, 0, 0, 0, 0);
    DeleteObject(section);
    std::free(image);
    return surface;
}

IDirectDrawSurface* QuibLoadBitmap(const char* name) {
    return LoadBitmap(g_lpDD, name);
}

IDirectDrawSurface* QuibLoadBitmap(const char* name, int depth) {
    return LoadBitmapDepth(g_lpDD, name, depth);
}

IDirectDrawSurface* QuibLoadBitmap(IDirectDraw* dd, const char* name, int kind) {
    switch (kind) {
    case 0: return LoadBitmap(dd, name);
    case 1: return LoadBitmapFromMemory(dd, name);
    default: return nullptr;
    }
}
