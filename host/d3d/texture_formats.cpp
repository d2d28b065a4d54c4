#include "host/d3d/texture_formats.h"

#include "host/backend/machine.h"

namespace {

DDPIXELFORMAT Format(DWORD flags, DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(format);
    format.dwFlags = flags;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

} // namespace

std::vector<DDPIXELFORMAT> HostD3DTextureFormats() {
    std::vector<DDPIXELFORMAT> formats = {
        Format(DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0),
        Format(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x7C00, 0x03E0, 0x001F, 0x8000),
        Format(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000),
    };
    if (HostGetMachine().palettised8BitTextures)
        formats.push_back(Format(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0));
    return formats;
}
