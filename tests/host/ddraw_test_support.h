// Helpers shared by the display driver tests: a known machine, surfaces made in one line, and pixel
// access through Lock (always by the pitch Lock reports).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/backend/machine.h"
#include "host/ddraw/ddraw.h"
#include "host/ddraw/testing.h"
#include "tests/support/surfaces.h"

namespace ddraw_test {

// A desktop of 1024 x 768 at 16 bits with a short list of modes, 3D hardware and 8 MB free.
inline HostMachine TestMachine() {
    HostMachine machine;
    machine.desktopWidth = 1024;
    machine.desktopHeight = 768;
    machine.desktopBitsPerPixel = 16;
    machine.pixels555 = false;
    machine.videoMemoryTotal = 16u * 1024 * 1024;
    machine.videoMemoryFree = 8u * 1024 * 1024;
    machine.displayModes = {{640, 480, 8}, {640, 480, 16}, {800, 600, 16}, {320, 240, 16}, {1024, 768, 16}};
    machine.hardware3D = true;
    return machine;
}

// Installs a machine for one test (the previous one afterwards) and checks that the test left no
// display object behind.
class DDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMachine = HostGetMachine();
        HostSetMachine(TestMachine());
        HostDDrawSetSecondaryDisplays(nullptr, 0);
        before = HostDDrawLiveObjects();
        ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &dd, nullptr));
    }
    void TearDown() override {
        if (dd) {
            EXPECT_EQ(0u, dd->Release());
        }
        HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(before.directDraws, live.directDraws);
        EXPECT_EQ(before.surfaces, live.surfaces);
        EXPECT_EQ(before.palettes, live.palettes);
        EXPECT_EQ(before.clippers, live.clippers);
        HostSetMachine(savedMachine);
    }

    // An off-screen surface in the display format (or the given one), or NULL with a test failure.
    IDirectDrawSurface* Offscreen(int width, int height, const DDPIXELFORMAT* format = nullptr,
                                  DWORD caps = DDSCAPS_OFFSCREENPLAIN) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = caps;
        if (format) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat = *format;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }

    // Objects of this area alive before the test (other tests of the program may keep some).
    int SurfacesMade() const { return HostDDrawLiveObjects().surfaces - before.surfaces; }

    IDirectDraw* dd = nullptr;
    HostDDrawObjectCounts before = {};
    HostMachine savedMachine;
};

inline DDPIXELFORMAT Format16(bool is555) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 16;
    format.dwRBitMask = is555 ? 0x7C00 : 0xF800;
    format.dwGBitMask = is555 ? 0x03E0 : 0x07E0;
    format.dwBBitMask = 0x001F;
    return format;
}

inline DDPIXELFORMAT Format8() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    return format;
}

inline DDSURFACEDESC LockWhole(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    return desc;
}

inline int BytesOf(const DDSURFACEDESC& desc) {
    return int(desc.ddpfPixelFormat.dwRGBBitCount / 8);
}

// Every pixel as raw values, and raw values written back (row-major, width x height).
using testsupport::ReadPixels;
using testsupport::WritePixels;

inline DWORD GetPixel(IDirectDrawSurface* surface, int x, int y) {
    DDSURFACEDESC desc = LockWhole(surface);
    DWORD value = 0;
    std::memcpy(&value,
                static_cast<const BYTE*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch + x * BytesOf(desc),
                size_t(BytesOf(desc)));
    surface->Unlock(nullptr);
    return value;
}

// Fills a surface with distinct values: pixel (x, y) = base + y * width + x (low bits kept).
inline std::vector<DWORD> Pattern(int width, int height, DWORD base = 1) {
    std::vector<DWORD> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back((base + DWORD(y * width + x)) & 0xFFFF);
    return pixels;
}

inline DDBLTFX Fill(DWORD value) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = value;
    return fx;
}

} // namespace ddraw_test
