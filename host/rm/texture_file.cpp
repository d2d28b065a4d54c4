#include "host/rm/texture_file.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/ddraw/driver.h"
#include "host/ddraw/surface.h"
#include "host/gdi/dib.h"
#include "host/win/paths.h"

namespace {

// A channel of a packed pixel value scaled to 0..255.
uint8_t Channel(DWORD value, DWORD mask) {
    if (!mask) return 0;
    int shift = std::countr_zero(mask);
    DWORD maximum = mask >> shift;
    return static_cast<uint8_t>(((value & mask) >> shift) * 255u / maximum);
}

// The raw value of pixel x of a DIB row: a colour-table index or a packed pixel.
DWORD RawPixel(const HostDib& dib, const BYTE* row, int x) {
    int bits = dib.bitsPerPixel;
    if (bits < 8) {
        size_t bit = size_t(x) * bits;
        int shift = 8 - bits - int(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << bits) - 1);
    }
    const BYTE* at = row + size_t(x) * (bits / 8);
    DWORD value = 0;
    for (int byte = bits / 8 - 1; byte >= 0; --byte)
        value = value << 8 | at[byte];
    return value;
}

std::optional<HostRMImage> ImageOfDib(const HostDib& dib) {
    if (dib.width > kHostRMImageMaxSide || dib.height > kHostRMImageMaxSide) return std::nullopt;
    HostRMImage image;
    image.width = dib.width;
    image.height = dib.height;
    image.rgb.resize(size_t(dib.width) * dib.height * 3);
    uint8_t* out = image.rgb.data();
    for (int y = 0; y < dib.height; ++y) {
        const BYTE* row = dib.Row(y);
        for (int x = 0; x < dib.width; ++x, out += 3) {
            DWORD value = RawPixel(dib, row, x);
            if (dib.bitsPerPixel <= 8) {
                const RGBQUAD& entry = dib.colors[value % dib.colors.size()];
                out[0] = entry.rgbRed, out[1] = entry.rgbGreen, out[2] = entry.rgbBlue;
            } else {
                out[0] = Channel(value, dib.masks[0]);
                out[1] = Channel(value, dib.masks[1]);
                out[2] = Channel(value, dib.masks[2]);
            }
        }
    }
    return image;
}

// The 5-6-5 pixel of an 8-bit red, green, blue colour.
uint16_t Pixel565(const uint8_t* rgb) {
    return static_cast<uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | (rgb[2] >> 3));
}

// A system-memory 5-6-5 texture surface of width x height, or NULL.
IDirectDrawSurface* MakeTextureSurface(int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddpfPixelFormat.dwRBitMask = 0xF800;
    desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
    desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    IDirectDrawSurface* surface = nullptr;
    // The surface belongs to no DirectDraw object: it is a plain system-memory texture.
    auto owner = std::make_shared<host_ddraw::DriverState>();
    if (FAILED(host_ddraw::CreateSurfaces(owner, desc, &surface))) return nullptr;
    return surface;
}

bool FillSurface(IDirectDrawSurface* surface, const HostRMImage& image) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return false;
    for (int y = 0; y < image.height; ++y) {
        auto* row =
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch);
        for (int x = 0; x < image.width; ++x)
            row[x] = Pixel565(image.Pixel(x, y));
    }
    surface->Unlock(desc.lpSurface);
    return true;
}

} // namespace

std::optional<HostRMImage> HostRMDecodePicture(const uint8_t* data, size_t size) {
    if (!data || size < 2) return std::nullopt;
    if (data[0] == 'P') return HostDecodePpm(data, size);
    if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
    std::unique_ptr<HostDib> dib = HostDecodeBmp(data, size);
    if (!dib) return std::nullopt;
    return ImageOfDib(*dib);
}

HRESULT HostRMTextureFromImage(const HostRMImage& image, HostRMTexture** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    IDirectDrawSurface* surface = MakeTextureSurface(image.width, image.height);
    if (!surface) return D3DRMERR_BADALLOC;
    HRESULT hr = FillSurface(surface, image) ? HostRMTexture::Create(surface, out) : D3DRMERR_BADALLOC;
    surface->Release(); // the texture holds its own reference
    return hr;
}

HRESULT HostRMLoadTexture(const char* path, HostRMTexture** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    if (!path) return D3DRMERR_BADVALUE;
    FILE* file = HostOpenFile(path, "rb");
    if (!file) return D3DRMERR_FILENOTFOUND;
    std::vector<uint8_t> bytes;
    bool read = HostReadWholeFile(file, kHostRMTextureFileMaxBytes, bytes);
    std::fclose(file);
    if (!read) return D3DRMERR_BADFILE;
    std::optional<HostRMImage> image = HostRMDecodePicture(bytes.data(), bytes.size());
    if (!image) return D3DRMERR_BADFILE;
    return HostRMTextureFromImage(*image, out);
}
