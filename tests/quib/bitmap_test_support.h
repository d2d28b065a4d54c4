// Helpers of the bitmap, BMP and text tests: a BMP file builder that can write every malformed header,
// a fixture with the engine's DirectDraw object on a known machine in a fresh folder, and pixel access
// to surfaces through Lock (rows by the reported pitch).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/backend/machine.h"
#include "host/ddraw/ddraw.h"
#include "host/ddraw/testing.h"
#include "host/gdi/gdi.h"
#include "log_folder.h"
#include "quib/platform/directx.h"
#include "tests/support/files.h"
#include "tests/support/surfaces.h"

namespace bmptest {

// Every field of a BMP file, filled for a valid 24-bit 1x1 picture; tests change what they need.
struct BmpFields {
    uint16_t type = 0x4D42;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    bool autoOffset = true; // pixel offset = 54 + table bytes (+ gap)
    uint32_t offset = 0;    // used when autoOffset is false
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint8_t> table;  // raw colour-table bytes (B, G, R, 0 per entry)
    size_t gap = 0;              // bytes between the table and the pixels
    std::vector<uint8_t> pixels; // raw pixel rows; empty: zero rows of the declared size
};

using testsupport::Le16;
using testsupport::Le32;
using testsupport::PutLe16;
using testsupport::PutLe32;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

// Bytes per row of a width x bits picture, padded to 4.
inline size_t RowBytes(int32_t width, int bits) {
    return (size_t(width) * size_t(bits) + 31) / 32 * 4;
}

inline std::vector<uint8_t> BuildBmp(const BmpFields& bmp) {
    std::vector<uint8_t> pixels = bmp.pixels;
    if (pixels.empty() && bmp.width > 0 && bmp.height > 0 && bmp.width < 4096 && bmp.height < 4096)
        pixels.assign(RowBytes(bmp.width, bmp.bitCount) * size_t(bmp.height), 0);
    const uint32_t headerBytes = bmp.headerSize >= 40 ? bmp.headerSize : 40;
    const uint32_t autoOffset = 14 + headerBytes + uint32_t(bmp.table.size() + bmp.gap);
    std::vector<uint8_t> out;
    PutLe16(out, bmp.type);
    PutLe32(out, 0); // file size, fixed below
    PutLe16(out, bmp.reserved1);
    PutLe16(out, bmp.reserved2);
    PutLe32(out, bmp.autoOffset ? autoOffset : bmp.offset);
    PutLe32(out, bmp.headerSize);
    PutLe32(out, uint32_t(bmp.width));
    PutLe32(out, uint32_t(bmp.height));
    PutLe16(out, bmp.planes);
    PutLe16(out, bmp.bitCount);
    PutLe32(out, bmp.compression);
    PutLe32(out, uint32_t(pixels.size()));
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, bmp.colorsUsed);
    PutLe32(out, 0);
    out.resize(out.size() + (headerBytes - 40), 0); // the rest of a longer header
    out.insert(out.end(), bmp.table.begin(), bmp.table.end());
    out.resize(out.size() + bmp.gap, 0xEE);
    out.insert(out.end(), pixels.begin(), pixels.end());
    const uint32_t size = uint32_t(out.size());
    std::memcpy(&out[2], &size, 4);
    return out;
}

// A colour-table entry as a BMP stores it.
inline void AddColour(std::vector<uint8_t>& table, uint8_t red, uint8_t green, uint8_t blue) {
    table.insert(table.end(), {blue, green, red, 0});
}

// A 24-bit picture with the given pixels (row-major from the top, 0xRRGGBB), rows stored bottom-up.
inline BmpFields Picture24(int width, int height, const std::vector<uint32_t>& rgbTopDown) {
    BmpFields bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bitCount = 24;
    const size_t rowBytes = RowBytes(width, 24);
    bmp.pixels.assign(rowBytes * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = rgbTopDown[size_t(y) * size_t(width) + size_t(x)];
            uint8_t* at = &bmp.pixels[size_t(height - 1 - y) * rowBytes + size_t(x) * 3];
            at[0] = uint8_t(rgb);
            at[1] = uint8_t(rgb >> 8);
            at[2] = uint8_t(rgb >> 16);
        }
    return bmp;
}

// The truncating 5-6-5 (or 5-5-5) value of 0xRRGGBB, as GDI converts colours.
inline uint16_t To565(uint32_t rgb) {
    return uint16_t(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}
inline uint16_t To555(uint32_t rgb) {
    return uint16_t(((rgb >> 19) & 0x1F) << 10 | ((rgb >> 11) & 0x1F) << 5 | ((rgb >> 3) & 0x1F));
}

// A fresh folder, no registered error, and a DirectDraw object on a 1024x768 5-6-5 desktop installed
// as the engine's g_lpDD. Checks that no surface or palette outlives the test.
class EngineDisplayTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        savedMachine_ = HostGetMachine();
        UseMachine(false);
    }

    void TearDown() override {
        if (g_lpDD) {
            EXPECT_EQ(g_lpDD->Release(), 0u);
        }
        g_lpDD = nullptr;
        const HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(live.surfaces, before_.surfaces) << "a surface was left behind";
        EXPECT_EQ(live.palettes, before_.palettes) << "a palette was left behind";
        HostSetMachine(savedMachine_);
        LogFolderTest::TearDown();
    }

    // Replaces the DirectDraw object with one on a 5-6-5 (or 5-5-5) desktop.
    void UseMachine(bool is555) {
        if (g_lpDD) g_lpDD->Release();
        g_lpDD = nullptr;
        HostMachine machine = HostDefaultMachine();
        machine.pixels555 = is555;
        machine.desktopBitsPerPixel = is555 ? 15 : 16;
        HostSetMachine(machine);
        before_ = HostDDrawLiveObjects();
        ASSERT_EQ(DirectDrawCreate(nullptr, &g_lpDD, nullptr), DD_OK);
    }

    // An off-screen surface of the display's format, or of bits (8: palettised; 16: 5-6-5 unless
    // is555; 24, 32: 8-8-8).
    static IDirectDrawSurface* MakeSurface(int width, int height, int bits = 0, bool is555 = false) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        if (bits) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            DDPIXELFORMAT& format = desc.ddpfPixelFormat;
            format.dwSize = sizeof format;
            format.dwRGBBitCount = DWORD(bits);
            if (bits == 8) {
                format.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
            } else if (bits == 16) {
                format.dwFlags = DDPF_RGB;
                format.dwRBitMask = is555 ? 0x7C00 : 0xF800;
                format.dwGBitMask = is555 ? 0x03E0 : 0x07E0;
                format.dwBBitMask = 0x001F;
            } else {
                format.dwFlags = DDPF_RGB;
                format.dwRBitMask = 0xFF0000;
                format.dwGBitMask = 0x00FF00;
                format.dwBBitMask = 0x0000FF;
            }
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(g_lpDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static DDSURFACEDESC Describe(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }

    // Every pixel of a surface (1, 2 or 4 bytes each as bytes per pixel says), row-major from the top.
    static std::vector<uint32_t> Pixels(IDirectDrawSurface* surface) {
        return testsupport::ReadPixels(surface);
    }

    // Writes pixels (row-major from the top) into a surface.
    static void SetPixels(IDirectDrawSurface* surface, const std::vector<uint32_t>& values) {
        ASSERT_TRUE(testsupport::WritePixels(surface, values));
    }

  private:
    HostMachine savedMachine_;
    HostDDrawObjectCounts before_ = {};
};

} // namespace bmptest
