#include "framework/surface_helpers.h"

#include <algorithm>
#include <cstring>

#include "quib/quib.h"

namespace {

DDSURFACEDESC EmptyDesc() {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    return desc;
}

// Bytes per pixel of a locked or described surface (1 for 8-bit palettised).
int BytesPerPixel(const DDSURFACEDESC& desc) {
    int bits = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    if (desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) bits = 8;
    int bytes = bits / 8;
    return std::clamp(bytes, 1, 4);
}

// Address of pixel (x, y) in locked memory; the caller checked the bounds.
unsigned char* PixelAddress(const DDSURFACEDESC& desc, int x, int y) {
    return static_cast<unsigned char*>(desc.lpSurface) + static_cast<long>(y) * desc.lPitch +
           static_cast<long>(x) * BytesPerPixel(desc);
}

int ReadPixel(const unsigned char* p, int bytes) {
    unsigned int value = 0;
    for (int i = 0; i < bytes; i++)
        value |= static_cast<unsigned int>(p[i]) << (8 * i);
    return static_cast<int>(value);
}

void WritePixel(unsigned char* p, int bytes, int value) {
    unsigned int v = static_cast<unsigned int>(value);
    for (int i = 0; i < bytes; i++)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool InsideLocked(const DDSURFACEDESC& desc, int x, int y) {
    return x >= 0 && y >= 0 && x < static_cast<int>(desc.dwWidth) && y < static_cast<int>(desc.dwHeight);
}

// The pixel formula over given channel bit counts (0..8 each).
int PackRGB(int r, int g, int b, int rb, int gb, int bb) {
    rb = std::clamp(rb, 0, 8);
    gb = std::clamp(gb, 0, 8);
    bb = std::clamp(bb, 0, 8);
    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    int pixel = ((r >> (8 - rb)) << (gb + bb)) + ((g >> (8 - gb)) << bb) + (b >> (8 - bb));
    return pixel & 0xFFFF;
}

void ChannelBits(IDirectDrawSurface* surface, int* rb, int* gb, int* bb) {
    *rb = *gb = *bb = 0;
    DDSURFACEDESC desc = EmptyDesc();
    if (!surface || FAILED(surface->GetSurfaceDesc(&desc))) return;
    QuibGetRGBABits(&desc.ddpfPixelFormat, rb, gb, bb, nullptr);
}

// Clips one axis of BltClipped: returns the destination and source spans.
void ClipAxis(int s, int d, int len, int targetLen, LONG* destLo, LONG* destHi, LONG* srcLo, LONG* srcHi) {
    *destLo = std::max(d, 0);
    *srcLo = d < 0 ? s - d : s;
    if (d + len > targetLen) {
        len = targetLen - d;
        *destHi = targetLen;
    } else {
        *destHi = d + len;
    }
    *srcHi = s + len;
}

} // namespace

int RGBToPixel(IDirectDrawSurface* surface, int r, int g, int b) {
    int rb, gb, bb;
    ChannelBits(surface, &rb, &gb, &bb);
    return PackRGB(r, g, b, rb, gb, bb);
}

HRESULT SetColorKey(IDirectDrawSurface* surface, int r, int g, int b) {
    if (!surface) return DDERR_INVALIDPARAMS;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = static_cast<DWORD>(RGBToPixel(surface, r, g, b));
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

int GetPixel(IDirectDrawSurface* surface, int x, int y) {
    DDSURFACEDESC desc = EmptyDesc();
    if (!LockSurface(surface, &desc)) return 0;
    int value = 0;
    if (InsideLocked(desc, x, y)) value = ReadPixel(PixelAddress(desc, x, y), BytesPerPixel(desc));
    UnlockSurface(surface);
    return value;
}

int PutPixel(IDirectDrawSurface* surface, int x, int y, int value) {
    DDSURFACEDESC desc = EmptyDesc();
    if (!LockSurface(surface, &desc)) return 0;
    int previous = 0;
    if (InsideLocked(desc, x, y)) {
        unsigned char* p = PixelAddress(desc, x, y);
        previous = ReadPixel(p, BytesPerPixel(desc));
        WritePixel(p, BytesPerPixel(desc), value);
    }
    UnlockSurface(surface);
    return previous;
}

IDirectDrawSurface* CreateSurface(int w, int h) {
    IDirectDraw* dd = QuibGetLPDD();
    if (!dd || w <= 0 || h <= 0) return nullptr;
    DDSURFACEDESC desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(w);
    desc.dwHeight = static_cast<DWORD>(h);
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &surface, nullptr))) return nullptr;
    DDCOLORKEY key = {0, 0};
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
    return surface;
}

HRESULT FillSurface(IDirectDrawSurface* surface, int pixel) {
    if (!surface) return DDERR_INVALIDPARAMS;
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = static_cast<DWORD>(pixel);
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

HRESULT FillSurfaceRGB(IDirectDrawSurface* surface, int r, int g, int b) {
    return FillSurface(surface, RGBToPixel(surface, r, g, b));
}

IDirectDrawSurface* DuplicateSurface(IDirectDrawSurface* surface) {
    int w, h;
    GetSurfaceSize(surface, &w, &h);
    IDirectDrawSurface* copy = CreateSurface(w, h);
    if (!copy) return nullptr;
    if (FAILED(copy->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr))) {
        copy->Release();
        return nullptr;
    }
    return copy;
}

void GetSurfaceSize(IDirectDrawSurface* surface, int* w, int* h) {
    int width = 0, height = 0;
    DDSURFACEDESC desc = EmptyDesc();
    if (surface && !FAILED(surface->GetSurfaceDesc(&desc))) {
        width = static_cast<int>(desc.dwWidth);
        height = static_cast<int>(desc.dwHeight);
    }
    if (w) *w = width;
    if (h) *h = height;
}

void* LockSurface(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
    if (!surface) return nullptr;
    DDSURFACEDESC locked = EmptyDesc();
    if (FAILED(surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) return nullptr;
    if (desc) *desc = locked;
    return locked.lpSurface;
}

void UnlockSurface(IDirectDrawSurface* surface) {
    if (surface) surface->Unlock(nullptr);
}

RECT* CenterRect(IDirectDrawSurface* surface, int x, int y, int w, int h, RECT* rect) {
    int width, height;
    GetSurfaceSize(surface, &width, &height);
    rect->left = x + w / 2 - width / 2;
    rect->top = y + h / 2 - height / 2;
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return rect;
}

int CutFrames(IDirectDrawSurface* surface, PtrArray<IDirectDrawSurface>* list, int cw, int ch, int* cols) {
    if (!surface || !list || cw <= 0 || ch <= 0) return 0;
    int width, height;
    GetSurfaceSize(surface, &width, &height);
    int across = width / cw;
    int rows = height / ch;
    if (cols) *cols = across;
    for (int i = 0; i < across * rows; i++) {
        IDirectDrawSurface* cell = CreateSurface(cw, ch);
        if (!cell) return 0;
        SetColorKey(cell, 0, 0, 255);
        list->Add(cell);
        RECT source;
        source.left = cw * (i % across);
        source.top = ch * (i / across);
        source.right = source.left + cw;
        source.bottom = source.top + ch;
        cell->Blt(nullptr, surface, &source, DDBLT_WAIT, nullptr);
    }
    return 1;
}

int LoadFrames(const char* file, PtrArray<IDirectDrawSurface>* list, int cw, int ch, int* cols) {
    if (!file) return 0;
    IDirectDrawSurface* strip = QuibLoadBitmap(file, 16);
    if (!strip) return 0;
    int result = CutFrames(strip, list, cw, ch, cols);
    strip->Release();
    return result;
}

HRESULT BltClipped(IDirectDrawSurface* source, int sx, int sy, int w, int h, IDirectDrawSurface* target,
                   int dx, int dy, int flags) {
    if (!source || !target) return DDERR_INVALIDPARAMS;
    int tw, th;
    GetSurfaceSize(target, &tw, &th);
    RECT dest, src;
    ClipAxis(sx, dx, w, tw, &dest.left, &dest.right, &src.left, &src.right);
    ClipAxis(sy, dy, h, th, &dest.top, &dest.bottom, &src.top, &src.bottom);
    DWORD bltFlags = flags == kBltWaitKeySrc ? (DDBLT_WAIT | DDBLT_KEYSRC) : static_cast<DWORD>(flags);
    return target->Blt(&dest, source, &src, bltFlags, nullptr);
}

HRESULT DrawSurfaceAt(IDirectDrawSurface* source, IDirectDrawSurface* target, int x, int y, int flags) {
    int w, h;
    GetSurfaceSize(source, &w, &h);
    return BltClipped(source, 0, 0, w, h, target, x, y, flags);
}

void ShowOnBothBuffers(IDirectDrawSurface* backBuffer, IDirectDrawSurface* source) {
    if (!backBuffer || !source) return;
    int w, h;
    GetSurfaceSize(source, &w, &h);
    RECT dest = {0, 0, w, h};
    backBuffer->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr);
    QuibFlip();
    backBuffer->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr);
}

namespace {

// Converts every pixel of the locked 8-bit picture into the locked display-format one.
void Convert8To16(const DDSURFACEDESC& from, const DDSURFACEDESC& to, const PALETTEENTRY* palette, int rb,
                  int gb, int bb) {
    int width = static_cast<int>(std::min(from.dwWidth, to.dwWidth));
    int height = static_cast<int>(std::min(from.dwHeight, to.dwHeight));
    int toBytes = BytesPerPixel(to);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            int index = *PixelAddress(from, x, y);
            int pixel = 0;
            if (index != 0) {
                const PALETTEENTRY& c = palette[index];
                pixel = PackRGB(c.peRed, c.peGreen, c.peBlue, rb, gb, bb);
                if (pixel == 0) pixel = 1; // only index 0 may match the key 0
            }
            WritePixel(PixelAddress(to, x, y), toBytes, pixel);
        }
    }
}

bool ReadPalette(IDirectDrawSurface* surface, PALETTEENTRY* entries) {
    IDirectDrawPalette* palette = nullptr;
    if (FAILED(surface->GetPalette(&palette)) || !palette) return false;
    bool ok = !FAILED(palette->GetEntries(0, 0, 256, entries));
    palette->Release();
    return ok;
}

IDirectDrawSurface* ConvertedCopy(IDirectDrawSurface* indexed) {
    PALETTEENTRY palette[256];
    if (!ReadPalette(indexed, palette)) return nullptr;
    int w, h;
    GetSurfaceSize(indexed, &w, &h);
    IDirectDrawSurface* result = CreateSurface(w, h);
    if (!result) return nullptr;
    int rb, gb, bb;
    ChannelBits(result, &rb, &gb, &bb);
    DDSURFACEDESC from = EmptyDesc(), to = EmptyDesc();
    if (!LockSurface(indexed, &from) || BytesPerPixel(from) != 1) {
        if (from.lpSurface) UnlockSurface(indexed);
        result->Release();
        return nullptr;
    }
    if (!LockSurface(result, &to)) {
        UnlockSurface(indexed);
        result->Release();
        return nullptr;
    }
    Convert8To16(from, to, palette, rb, gb, bb);
    UnlockSurface(result);
    UnlockSurface(indexed);
    DDCOLORKEY key = {0, 0}; // index 0 became pixel 0 whatever its palette colour
    result->SetColorKey(DDCKEY_SRCBLT, &key);
    return result;
}

} // namespace

IDirectDrawSurface* LoadBitmap8To16(const char* file) {
    if (!file) return nullptr;
    IDirectDrawSurface* indexed = QuibLoadBitmap(file, 8);
    if (!indexed) return nullptr;
    IDirectDrawSurface* result = ConvertedCopy(indexed);
    indexed->Release();
    return result;
}
