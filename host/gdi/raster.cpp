#include "host/gdi/raster.h"

#include <bit>

static HostChannel ChannelOf(DWORD mask) {
    HostChannel channel;
    if (mask == 0) return channel;
    channel.shift = std::countr_zero(mask);
    channel.width = std::popcount(mask);
    return channel;
}

static COLORREF ColorOf(const RGBQUAD& entry) {
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}
static COLORREF ColorOf(const PALETTEENTRY& entry) {
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

bool HostRasterOfTarget(const HostPixelTarget& target, HostColorTable& table, HostRaster& raster) {
    if (!target.pixels || target.width <= 0 || target.height <= 0) return false;
    if (target.bitsPerPixel != 8 && target.bitsPerPixel != 16) return false;
    if (target.pitchBytes < target.width * (target.bitsPerPixel / 8)) return false;
    raster = HostRaster{};
    raster.top = static_cast<BYTE*>(target.pixels);
    raster.step = target.pitchBytes;
    raster.width = target.width;
    raster.height = target.height;
    raster.bitsPerPixel = target.bitsPerPixel;
    if (target.bitsPerPixel == 16) {
        raster.channels[0] = ChannelOf(target.is555 ? 0x7C00 : 0xF800);
        raster.channels[1] = ChannelOf(target.is555 ? 0x03E0 : 0x07E0);
        raster.channels[2] = ChannelOf(0x001F);
        return true;
    }
    for (int i = 0; i < 256; ++i)
        table[i] = target.palette ? ColorOf(target.palette[i]) : RGB(i, i, i);
    raster.colors = table.data();
    raster.colorCount = 256;
    return true;
}

HostRaster HostRasterOfDib(const HostDib& dib, HostColorTable& table) {
    HostRaster raster;
    raster.width = dib.width;
    raster.height = dib.height;
    raster.bitsPerPixel = dib.bitsPerPixel;
    raster.top = dib.Row(0);
    raster.step = dib.topDown ? static_cast<ptrdiff_t>(dib.stride) : -static_cast<ptrdiff_t>(dib.stride);
    if (dib.bitsPerPixel <= 8) {
        for (size_t i = 0; i < dib.colors.size() && i < table.size(); ++i)
            table[i] = ColorOf(dib.colors[i]);
        raster.colors = table.data();
        raster.colorCount = static_cast<int>(dib.colors.size());
    } else {
        for (int i = 0; i < 3; ++i)
            raster.channels[i] = ChannelOf(dib.masks[i]);
    }
    return raster;
}

DWORD HostRasterGet(const HostRaster& raster, int x, int y) {
    const BYTE* row = raster.Row(y);
    switch (raster.bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: return static_cast<DWORD>(row[2 * x] | row[2 * x + 1] << 8);
    case 24: {
        const BYTE* p = row + 3 * x;
        return static_cast<DWORD>(p[0] | p[1] << 8 | p[2] << 16);
    }
    default: {
        const BYTE* p = row + 4 * x;
        return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
               static_cast<DWORD>(p[3]) << 24;
    }
    }
}

void HostRasterSet(const HostRaster& raster, int x, int y, DWORD value) {
    BYTE* row = raster.Row(y);
    switch (raster.bitsPerPixel) {
    case 1: {
        BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<BYTE>((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        BYTE& cell = row[x >> 1];
        cell = (x & 1) ? static_cast<BYTE>((cell & 0xF0) | (value & 0x0F))
                       : static_cast<BYTE>((cell & 0x0F) | (value & 0x0F) << 4);
        break;
    }
    case 8: row[x] = static_cast<BYTE>(value); break;
    case 16:
        row[2 * x] = static_cast<BYTE>(value);
        row[2 * x + 1] = static_cast<BYTE>(value >> 8);
        break;
    default:
        for (int i = 0; i < raster.bitsPerPixel / 8; ++i)
            row[raster.bitsPerPixel / 8 * x + i] = static_cast<BYTE>(value >> (8 * i));
        break;
    }
}

// Widens a channel of `width` bits to 8 by repeating its bits from the top.
static int Widen(DWORD value, int width) {
    if (width == 0) return 0;
    if (width >= 8) return static_cast<int>(value >> (width - 8)) & 0xFF;
    int result = 0;
    for (int shift = 8 - width; shift > -width; shift -= width)
        result |= shift >= 0 ? static_cast<int>(value << shift) : static_cast<int>(value >> -shift);
    return result & 0xFF;
}

// Narrows an 8-bit channel to `width` bits by truncation (wider channels repeat the byte).
static DWORD Narrow(int value, int width) {
    if (width == 0) return 0;
    if (width <= 8) return static_cast<DWORD>(value) >> (8 - width);
    DWORD result = static_cast<DWORD>(value) << (width - 8);
    return width < 16 ? result | static_cast<DWORD>(value) >> (16 - width) : result;
}

COLORREF HostRasterDecode(const HostRaster& raster, DWORD value) {
    if (raster.IsIndexed())
        return static_cast<int>(value) < raster.colorCount ? raster.colors[value] : RGB(0, 0, 0);
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        const HostChannel& c = raster.channels[i];
        DWORD bits = c.width ? (value >> c.shift) & ((c.width >= 32 ? 0 : (1u << c.width)) - 1) : 0;
        channel[i] = Widen(bits, c.width);
    }
    return RGB(channel[0], channel[1], channel[2]);
}

DWORD HostRasterEncode(const HostRaster& raster, COLORREF color) {
    if (raster.IsIndexed())
        return static_cast<DWORD>(HostNearestColor(raster.colors, raster.colorCount, color));
    int channel[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    DWORD value = 0;
    for (int i = 0; i < 3; ++i)
        value |= Narrow(channel[i], raster.channels[i].width) << raster.channels[i].shift;
    return value;
}

int HostNearestColor(const COLORREF* colors, int count, COLORREF color) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        long dr = static_cast<long>(GetRValue(colors[i])) - GetRValue(color);
        long dg = static_cast<long>(GetGValue(colors[i])) - GetGValue(color);
        long db = static_cast<long>(GetBValue(colors[i])) - GetBValue(color);
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    return best;
}

bool HostSameDirectFormat(const HostRaster& a, const HostRaster& b) {
    if (a.bitsPerPixel != b.bitsPerPixel || a.IsIndexed()) return false;
    for (int i = 0; i < 3; ++i)
        if (a.channels[i].shift != b.channels[i].shift || a.channels[i].width != b.channels[i].width)
            return false;
    return true;
}
