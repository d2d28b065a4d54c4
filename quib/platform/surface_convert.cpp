// Texture conversions, the mip-level box filter, reduced copies and the mirror row copy.
#include "quib/platform/surface_convert.h"

#include <algorithm>
#include <cstdint>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"

namespace {

constexpr int kPaletteSize = 256;

struct Channels {
    PixelChannel red;
    PixelChannel green;
    PixelChannel blue;
};

Channels ChannelsOf(const DDPIXELFORMAT& format) {
    return {DecodeChannel(format.dwRBitMask), DecodeChannel(format.dwGBitMask),
            DecodeChannel(format.dwBBitMask)};
}

int Value(DWORD pixel, const PixelChannel& channel) {
    return int((pixel & channel.mask) >> channel.shift);
}

// A channel value widened to 8 bits with zero low bits (x 8 for 5 bits, x 4 for 6 bits).
BYTE Expand(DWORD pixel, const PixelChannel& channel) {
    const int value = Value(pixel, channel);
    return channel.width >= 8 ? BYTE(value >> (channel.width - 8)) : BYTE(value << (8 - channel.width));
}

bool Describe(IDirectDrawSurface* surface, DDSURFACEDESC& desc) {
    desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return false;
    }
    return true;
}

bool Is16BitRgb(const DDSURFACEDESC& desc) {
    return desc.ddpfPixelFormat.dwRGBBitCount == 16 && !(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
}

DDPIXELFORMAT Indexed8Format() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    format.dwRGBBitCount = 8;
    return format;
}

// The index of the first of count entries with the colour, or -1.
int FindEntry(const PALETTEENTRY* entries, int count, BYTE red, BYTE green, BYTE blue) {
    for (int i = 0; i < count; ++i)
        if (entries[i].peRed == red && entries[i].peGreen == green && entries[i].peBlue == blue) return i;
    return -1;
}

// Fills the 8-bit destination from the 16-bit source, building the palette in row order; returns the
// number of entries made.
int BuildIndexedPixels(const SurfaceLock& source, const SurfaceLock& destination, const Channels& channels,
                       PALETTEENTRY* entries) {
    int used = 0;
    for (int y = 0; y < source.Height(); ++y) {
        const WORD* in = source.Row16(y);
        BYTE* out = destination.Row8(y);
        for (int x = 0; x < source.Width(); ++x) {
            const BYTE red = Expand(in[x], channels.red);
            const BYTE green = Expand(in[x], channels.green);
            const BYTE blue = Expand(in[x], channels.blue);
            int index = FindEntry(entries, used, red, green, blue);
            if (index < 0 && used < kPaletteSize) {
                entries[used] = PALETTEENTRY{red, green, blue, 0};
                index = used++;
            }
            out[x] = BYTE(index < 0 ? kPaletteSize - 1 : index);
        }
    }
    return used;
}

// Fills the 8-bit destination from the 16-bit source (locked in that order) and builds the palette.
HRESULT FillIndexed(IDirectDrawSurface* source, IDirectDrawSurface* destination, const Channels& channels,
                    PALETTEENTRY* entries, int& used) {
    SurfaceLock destinationLock(destination);
    if (FAILED(destinationLock.Result())) return destinationLock.Result();
    SurfaceLock sourceLock(source);
    if (FAILED(sourceLock.Result())) return sourceLock.Result();
    used = BuildIndexedPixels(sourceLock, destinationLock, channels, entries);
    HRESULT hr = sourceLock.Unlock();
    if (FAILED(hr)) return hr;
    return destinationLock.Unlock();
}

struct RgbBits {
    int r, g, b;
};

// Writes each 8-bit pixel's palette colour in the 16-bit destination's format; only index 0 may be 0.
HRESULT FillFromPalette(IDirectDrawSurface* source, IDirectDrawSurface* destination,
                        const PALETTEENTRY* entries, RgbBits bits) {
    SurfaceLock sourceLock(source);
    if (FAILED(sourceLock.Result())) return sourceLock.Result();
    SurfaceLock destinationLock(destination);
    if (FAILED(destinationLock.Result())) return destinationLock.Result();
    for (int y = 0; y < sourceLock.Height(); ++y) {
        const BYTE* in = sourceLock.Row8(y);
        WORD* out = destinationLock.Row16(y);
        for (int x = 0; x < sourceLock.Width(); ++x) {
            const PALETTEENTRY& e = entries[in[x]];
            const DWORD value = (DWORD(e.peRed >> (8 - bits.r)) << (bits.g + bits.b)) +
                                (DWORD(e.peGreen >> (8 - bits.g)) << bits.b) +
                                DWORD(e.peBlue >> (8 - bits.b));
            out[x] = in[x] == 0 ? WORD(0) : value == 0 ? WORD(1) : WORD(value);
        }
    }
    HRESULT hr = destinationLock.Unlock();
    if (FAILED(hr)) return hr;
    return sourceLock.Unlock();
}

// A channel of the alpha format as its log line names it: an 8-bit value is shifted right by 8 - bits,
// then left by the mask's shift.
struct AlphaChannel {
    PixelChannel layout;
    int rightShift;
};

AlphaChannel AlphaChannelOf(DWORD mask, char name) {
    const PixelChannel layout = DecodeChannel(mask);
    const AlphaChannel channel = {layout, layout.width < 8 ? 8 - layout.width : 0};
    DebugPrintf("%cmask=%08x, %cbits=%d, %cshft=%d, %clshft=%d\n", name, unsigned(mask), name, layout.width,
                name, channel.rightShift, name, layout.shift);
    return channel;
}

DWORD Place(int value, const AlphaChannel& channel) {
    return channel.layout.mask
               ? (DWORD(value >> channel.rightShift) << channel.layout.shift) & channel.layout.mask
               : 0;
}

// Writes the constant colour with each pixel's index as alpha into the locked alpha texture.
HRESULT FillAlpha(IDirectDrawSurface* source, IDirectDrawSurface* destination, DWORD colour,
                  const AlphaChannel& alpha) {
    SurfaceLock sourceLock(source);
    if (FAILED(sourceLock.Result())) return sourceLock.Result();
    SurfaceLock destinationLock(destination);
    if (FAILED(destinationLock.Result())) return destinationLock.Result();
    const int bytes = int(destinationLock.Desc().ddpfPixelFormat.dwRGBBitCount / 8);
    if (bytes != 2 && bytes != 3 && bytes != 4) return DD_OK;
    for (int y = 0; y < sourceLock.Height(); ++y) {
        const BYTE* in = sourceLock.Row8(y);
        BYTE* out = destinationLock.Row8(y);
        for (int x = 0; x < sourceLock.Width(); ++x) {
            const DWORD value = colour | Place(in[x], alpha);
            for (int i = 0; i < bytes; ++i)
                out[x * bytes + i] = BYTE(value >> (8 * i));
        }
    }
    HRESULT hr = destinationLock.Unlock();
    if (FAILED(hr)) return hr;
    return sourceLock.Unlock();
}

// The source's key, as the palette index of its colour, becomes the destination's key.
void CarryKeyToIndexed(IDirectDrawSurface* source, IDirectDrawSurface* destination, const Channels& channels,
                       const PALETTEENTRY* entries, int used) {
    DDCOLORKEY key = {};
    if (FAILED(source->GetColorKey(DDCKEY_SRCBLT, &key))) return;
    const DWORD pixel = key.dwColorSpaceLowValue;
    const int index = FindEntry(entries, used, Expand(pixel, channels.red), Expand(pixel, channels.green),
                                Expand(pixel, channels.blue));
    if (index < 0) return;
    DDCOLORKEY indexKey = {DWORD(index), DWORD(index)};
    HRESULT hr = destination->SetColorKey(DDCKEY_SRCBLT, &indexKey);
    if (FAILED(hr)) REPORT_DD_ERROR(hr);
}

HRESULT AttachNewPalette(IDirectDrawSurface* surface, const PALETTEENTRY* entries) {
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr = g_lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
    if (FAILED(hr)) return hr;
    hr = surface->SetPalette(palette);
    palette->Release();
    return hr;
}

// Gives destination the palette of source when source has one.
HRESULT ShareSourcePalette(IDirectDrawSurface* source, IDirectDrawSurface* destination) {
    IDirectDrawPalette* palette = nullptr;
    if (FAILED(source->GetPalette(&palette)) || !palette) return DD_OK;
    HRESULT hr = destination->SetPalette(palette);
    palette->Release();
    return hr;
}

// Reports hr, releases what was made and returns 0.
int Fail(HRESULT hr, const char* file, int line, IDirectDrawSurface* made) {
    ReportDDError(hr, file, line);
    if (made) made->Release();
    return 0;
}
#define CONVERT_FAIL(hr, made) Fail((hr), __FILE__, __LINE__, (made))
// The same, for functions that return a surface: NULL.
#define CONVERT_FAIL_NULL(hr, made) (Fail((hr), __FILE__, __LINE__, (made)), nullptr)

// The power of two k with small << k == large, or -1 when there is none (or small < 1).
int HalvingsBetween(int large, int small) {
    if (small < 1 || large < small) return -1;
    int k = 0;
    while ((int64_t(small) << k) < large && k < 30)
        ++k;
    return (int64_t(small) << k) == large ? k : -1;
}

// One destination pixel of the box filter: the block's channel averages, black when any pixel is black.
WORD FilterBlock(const SurfaceLock& source, int left, int top, int blockX, int blockY,
                 const Channels& channels) {
    int red = 0, green = 0, blue = 0;
    for (int y = top; y < top + blockY; ++y) {
        const WORD* row = source.Row16(y);
        for (int x = left; x < left + blockX; ++x) {
            const int r = Value(row[x], channels.red), g = Value(row[x], channels.green),
                      b = Value(row[x], channels.blue);
            if (r == 0 && g == 0 && b == 0) return 0;
            red += r;
            green += g;
            blue += b;
        }
    }
    const int count = blockX * blockY;
    return WORD(((red / count) << channels.red.shift) | ((green / count) << channels.green.shift) |
                ((blue / count) << channels.blue.shift));
}

} // namespace

PixelChannel DecodeChannel(DWORD mask) {
    PixelChannel channel = {mask, 0, 0};
    if (!mask) return channel;
    while (!(mask & 1)) {
        mask >>= 1;
        ++channel.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++channel.width;
    }
    return channel;
}

SurfaceLock::SurfaceLock(IDirectDrawSurface* surface) : surface_(surface) {
    desc_.dwSize = sizeof desc_;
    result_ = surface->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr);
    locked_ = SUCCEEDED(result_);
}

HRESULT SurfaceLock::Unlock() {
    if (!locked_) return DD_OK;
    locked_ = false;
    return surface_->Unlock(nullptr);
}

HRESULT CreateSystemTexture(int width, int height, const DDPIXELFORMAT* format, IDirectDrawSurface** out) {
    *out = nullptr;
    if (!g_lpDD) return DDERR_NOTINITIALIZED;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE;
    if (format) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *format;
    }
    return g_lpDD->CreateSurface(&desc, out, nullptr);
}

int ConvertSurface(IDirectDrawSurface* source, IDirectDrawSurface** out) {
    if (!out) return 0;
    *out = nullptr;
    DDSURFACEDESC desc;
    if (!source || !Describe(source, desc) || !Is16BitRgb(desc)) return 0;
    const Channels channels = ChannelsOf(desc.ddpfPixelFormat);

    const DDPIXELFORMAT indexed = Indexed8Format();
    IDirectDrawSurface* destination = nullptr;
    HRESULT hr = CreateSystemTexture(int(desc.dwWidth), int(desc.dwHeight), &indexed, &destination);
    if (FAILED(hr)) return CONVERT_FAIL(hr, nullptr);

    PALETTEENTRY entries[kPaletteSize] = {};
    int used = 0;
    if (FAILED(hr = FillIndexed(source, destination, channels, entries, used)))
        return CONVERT_FAIL(hr, destination);
    if (FAILED(hr = AttachNewPalette(destination, entries))) return CONVERT_FAIL(hr, destination);
    CarryKeyToIndexed(source, destination, channels, entries, used);
    *out = destination;
    return 1;
}

int ConvertSurfaceToRGBA(IDirectDrawSurface* source, IDirectDrawSurface** out) {
    if (!out) return 0;
    *out = nullptr;
    DDSURFACEDESC desc;
    if (!source || !Describe(source, desc) || desc.ddpfPixelFormat.dwRGBBitCount != 8) return 0;
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr = source->GetPalette(&palette);
    if (FAILED(hr) || !palette) return 0;
    PALETTEENTRY entries[kPaletteSize] = {};
    hr = palette->GetEntries(0, 0, kPaletteSize, entries);
    palette->Release();
    if (FAILED(hr)) return CONVERT_FAIL(hr, nullptr);

    IDirectDrawSurface* destination = nullptr;
    if (!QuibGetLPDD()) return 0;
    hr = CreateSystemTexture(int(desc.dwWidth), int(desc.dwHeight), nullptr, &destination);
    if (FAILED(hr)) return CONVERT_FAIL(hr, nullptr);
    DDSURFACEDESC made;
    if (!Describe(destination, made) || !Is16BitRgb(made)) {
        destination->Release();
        return 0;
    }
    int r = 0, g = 0, b = 0;
    QuibGetRGBABits(&made.ddpfPixelFormat, &r, &g, &b, nullptr);
    if (FAILED(hr = FillFromPalette(source, destination, entries, RgbBits{r, g, b})))
        return CONVERT_FAIL(hr, destination);
    DDCOLORKEY key = {0, 0};
    if (FAILED(hr = destination->SetColorKey(DDCKEY_SRCBLT, &key))) return CONVERT_FAIL(hr, destination);
    *out = destination;
    return 1;
}

int ConvertSurfaceForAlpha(IDirectDrawSurface* source, IDirectDrawSurface** out) {
    if (!out) return 0;
    *out = nullptr;
    if (!g_dwAlphaBits) return 0;
    return ConvertSurface(source, out);
}

IDirectDrawSurface* Convert8BitPalettizedToAlpha(IDirectDrawSurface* source, int red, int green, int blue) {
    DebugPrintf("Convert8BitPalettizedToAlpha\n");
    const DDPIXELFORMAT& format = g_AlphaTextureFormat;
    const AlphaChannel r = AlphaChannelOf(format.dwRBitMask, 'r'), g = AlphaChannelOf(format.dwGBitMask, 'g'),
                       b = AlphaChannelOf(format.dwBBitMask, 'b'),
                       a = AlphaChannelOf(format.dwRGBAlphaBitMask, 'a');
    DDSURFACEDESC desc;
    if (!source || !g_dwAlphaBits || !Describe(source, desc) || desc.ddpfPixelFormat.dwRGBBitCount != 8)
        return nullptr;
    IDirectDrawSurface* destination = nullptr;
    HRESULT hr = CreateSystemTexture(int(desc.dwWidth), int(desc.dwHeight), &format, &destination);
    if (FAILED(hr)) {
        CONVERT_FAIL(hr, nullptr);
        return nullptr;
    }
    const DWORD colour = Place(red & 0xFF, r) | Place(green & 0xFF, g) | Place(blue & 0xFF, b);
    if (FAILED(hr = FillAlpha(source, destination, colour, a))) {
        CONVERT_FAIL(hr, destination);
        return nullptr;
    }
    return destination;
}

int IsPalettizedSurface(IDirectDrawSurface* surface) {
    if (!surface) return 0;
    DDSURFACEDESC desc;
    return Describe(surface, desc) && desc.ddpfPixelFormat.dwRGBBitCount == 8 ? 1 : 0;
}

int CopySurfaceScaled(IDirectDraw*, IDirectDrawSurface* source, IDirectDrawSurface* destination) {
    DDSURFACEDESC from, to;
    if (!source || !destination || !Describe(source, from) || !Describe(destination, to)) return 0;
    if (!Is16BitRgb(from) || !Is16BitRgb(to)) return 0;
    const int stepX = HalvingsBetween(int(from.dwWidth), int(to.dwWidth));
    const int stepY = HalvingsBetween(int(from.dwHeight), int(to.dwHeight));
    if (stepX < 0 || stepY < 0) return 0;
    const Channels channels = ChannelsOf(from.ddpfPixelFormat);
    SurfaceLock destinationLock(destination);
    if (FAILED(destinationLock.Result())) return CONVERT_FAIL(destinationLock.Result(), nullptr);
    SurfaceLock sourceLock(source);
    if (FAILED(sourceLock.Result())) return CONVERT_FAIL(sourceLock.Result(), nullptr);
    const int blockX = 1 << stepX, blockY = 1 << stepY;
    for (int y = 0; y < destinationLock.Height(); ++y) {
        WORD* out = destinationLock.Row16(y);
        for (int x = 0; x < destinationLock.Width(); ++x)
            out[x] = FilterBlock(sourceLock, x * blockX, y * blockY, blockX, blockY, channels);
    }
    HRESULT hr = sourceLock.Unlock();
    if (FAILED(hr)) return CONVERT_FAIL(hr, nullptr);
    if (FAILED(hr = destinationLock.Unlock())) return CONVERT_FAIL(hr, nullptr);
    return 1;
}

int CreateReducedSurface(IDirectDrawSurface* source, IDirectDrawSurface** out, int shift) {
    if (!out) return 0;
    *out = nullptr;
    if (!source) return 1;
    DDSURFACEDESC desc;
    if (!Describe(source, desc) || shift < 0 || shift > 30) return 0;
    IDirectDrawSurface* reduced = nullptr;
    HRESULT hr = CreateSystemTexture(int(desc.dwWidth >> shift), int(desc.dwHeight >> shift),
                                     &desc.ddpfPixelFormat, &reduced);
    if (FAILED(hr)) return CONVERT_FAIL(hr, nullptr);
    if (FAILED(hr = ShareSourcePalette(source, reduced))) return CONVERT_FAIL(hr, reduced);
    if (!CopySurfaceScaled(g_lpDD, source, reduced)) {
        reduced->Release();
        return 0;
    }
    *out = reduced;
    return 1;
}

IDirectDrawSurface* BuildMipChain(IDirectDraw* dd, IDirectDrawSurface* source,
                                  PtrArray<IDirectDrawSurface>* levels) {
    DDSURFACEDESC from;
    if (!dd || !source || !Describe(source, from)) return nullptr;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_MIPMAPCOUNT;
    desc.dwWidth = from.dwWidth;
    desc.dwHeight = from.dwHeight;
    desc.dwMipMapCount = DWORD(CountMipLevels(int(from.dwWidth)));
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* top = nullptr;
    HRESULT hr = dd->CreateSurface(&desc, &top, nullptr);
    if (FAILED(hr)) return CONVERT_FAIL_NULL(hr, nullptr);
    if (FAILED(hr = top->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr)))
        return CONVERT_FAIL_NULL(hr, top);
    IDirectDrawSurface* above = top;
    above->AddRef();
    DDSCAPS mipCaps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP};
    IDirectDrawSurface* level = nullptr;
    while (SUCCEEDED(above->GetAttachedSurface(&mipCaps, &level))) {
        hr = level->Blt(nullptr, above, nullptr, DDBLT_WAIT, nullptr);
        above->Release();
        above = level;
        if (FAILED(hr)) {
            above->Release();
            return CONVERT_FAIL_NULL(hr, top);
        }
        if (levels) {
            level->AddRef();
            levels->Add(level);
        }
    }
    above->Release();
    return top;
}

int CountMipLevels(int n) {
    int halvings = 0;
    while ((n >>= 1) >= 4)
        ++halvings;
    return std::max(1, halvings - 1);
}

int MirrorSurfaceCopy(IDirectDrawSurface* source, IDirectDrawSurface* destination, const RECT* sourceRect,
                      const RECT* destinationRect, int mirror) {
    DDSURFACEDESC from, to;
    if (!source || !destination || !sourceRect || !destinationRect) return 0;
    if (!Describe(source, from) || !Describe(destination, to) || !Is16BitRgb(from) || !Is16BitRgb(to))
        return 0;
    const long width = sourceRect->right - sourceRect->left, height = sourceRect->bottom - sourceRect->top;
    const long sl = sourceRect->left, st = sourceRect->top;
    const long dl = destinationRect->left, dt = destinationRect->top;
    // The x (0 .. width-1) whose source and destination pixels both lie inside their surfaces.
    long xFirst = std::max({0L, -sl, mirror ? dl + width - long(to.dwWidth) : -dl});
    long xEnd = std::min({width, long(from.dwWidth) - sl, mirror ? dl + width : long(to.dwWidth) - dl});
    long yFirst = std::max({0L, -st, -dt});
    long yEnd = std::min({height, long(from.dwHeight) - st, long(to.dwHeight) - dt});

    SurfaceLock sourceLock(source);
    if (FAILED(sourceLock.Result())) return CONVERT_FAIL(sourceLock.Result(), nullptr);
    SurfaceLock destinationLock(destination);
    if (FAILED(destinationLock.Result())) return CONVERT_FAIL(destinationLock.Result(), nullptr);
    for (long y = yFirst; y < yEnd; ++y) {
        const WORD* in = sourceLock.Row16(int(st + y));
        WORD* out = destinationLock.Row16(int(dt + y));
        for (long x = xFirst; x < xEnd; ++x)
            out[dl + (mirror ? width - 1 - x : x)] = in[sl + x];
    }
    return 1;
}
