#include "host/ddraw/pixel_format.h"

namespace host_ddraw {

DDPIXELFORMAT RgbFormat(int bits, bool is555) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = DWORD(bits);
    if (bits == 16 && is555) {
        format.dwRBitMask = 0x7C00;
        format.dwGBitMask = 0x03E0;
        format.dwBBitMask = 0x001F;
    } else if (bits == 16) {
        format.dwRBitMask = 0xF800;
        format.dwGBitMask = 0x07E0;
        format.dwBBitMask = 0x001F;
    } else {
        format.dwRBitMask = 0x00FF0000;
        format.dwGBitMask = 0x0000FF00;
        format.dwBBitMask = 0x000000FF;
    }
    return format;
}

DDPIXELFORMAT PalettisedFormat() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    return format;
}

DDPIXELFORMAT FormatOfMode(const DisplayMode& mode) {
    return mode.bits == 8 ? PalettisedFormat() : RgbFormat(mode.bits, mode.is555);
}

bool IsPalettised(const DDPIXELFORMAT& format) {
    return (format.dwFlags & DDPF_PALETTEINDEXED8) != 0;
}

bool Is555(const DDPIXELFORMAT& format) {
    return format.dwRGBBitCount == 16 && format.dwGBitMask == 0x03E0;
}

int BytesForBits(DWORD bits) {
    switch (bits) {
    case 8: return 1;
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

bool IsSupportedFormat(const DDPIXELFORMAT& format) {
    if (format.dwSize != sizeof(DDPIXELFORMAT)) return false;
    if (IsPalettised(format)) return format.dwRGBBitCount == 8;
    if (!(format.dwFlags & DDPF_RGB)) return false;
    return format.dwRGBBitCount == 16 || format.dwRGBBitCount == 24 || format.dwRGBBitCount == 32;
}

DWORD PixelMask(int bytesPerPixel) {
    return bytesPerPixel >= 4 ? 0xFFFFFFFFu : (DWORD(1) << (8 * bytesPerPixel)) - 1;
}

} // namespace host_ddraw
