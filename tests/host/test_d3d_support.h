// Shared set-up of the 3D device tests: the default machine (or one with some 3D devices switched off),
// a DirectDraw object at the normal cooperative level, 16-bit surfaces to render into, and the
// reference count of any interface.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "host/backend/machine.h"
#include "host/d3d/d3d.h"
#include "host/d3d/ddraw_link.h"
#include "host/ddraw/ddraw.h"
#include "host/ddraw/testing.h"

class D3DTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMachine_ = HostGetMachine();
        HostSetMachine(HostDefaultMachine());
        HostDirect3DInstallHooks(); // other tests of the display driver may have replaced them
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        ASSERT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }

    void TearDown() override {
        for (IDirectDrawSurface* surface : surfaces_)
            EXPECT_EQ(surface->Release(), 0u);
        surfaces_.clear();
        if (dd_) {
            EXPECT_EQ(dd_->Release(), 0u);
        }
        HostSetMachine(savedMachine_);
    }

    // The reference count of p, read by adding a reference and giving it back.
    static ULONG CountOf(IUnknown* p) {
        p->AddRef();
        return p->Release();
    }

    static void SetMachine3D(bool hardware, bool software, bool palettisedTextures = false) {
        HostMachine machine = HostGetMachine();
        machine.hardware3D = hardware;
        machine.software3D = software;
        machine.palettised8BitTextures = palettisedTextures;
        HostSetMachine(machine);
    }

    // A width x height surface a device can render into, in the given memory (DDSCAPS_SYSTEMMEMORY or
    // DDSCAPS_VIDEOMEMORY), 16-bit unless bits is 8 (palettised). Released by TearDown.
    IDirectDrawSurface* MakeSurface(DWORD width, DWORD height, DWORD memory, DWORD bits = 16) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | memory;
        if (bits == 8) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
            desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
            desc.ddpfPixelFormat.dwRGBBitCount = 8;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface) surfaces_.push_back(surface);
        return surface;
    }

    // The Direct3D object of the DirectDraw object, as the engine queries it.
    IDirect3D2* Direct3D2() {
        IDirect3D2* d3d = nullptr;
        EXPECT_EQ(dd_->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d)), S_OK);
        return d3d;
    }

    // A device of kind id on a new 640x480 surface in memory.
    IDirect3DDevice2* MakeDevice(IDirect3D2* d3d, REFCLSID id, DWORD memory = DDSCAPS_VIDEOMEMORY) {
        IDirect3DDevice2* device = nullptr;
        IDirectDrawSurface* surface = MakeSurface(640, 480, memory);
        if (!surface) return nullptr;
        EXPECT_EQ(d3d->CreateDevice(id, surface, &device), D3D_OK);
        return device;
    }

    IDirectDraw* dd_ = nullptr;

  private:
    HostMachine savedMachine_;
    std::vector<IDirectDrawSurface*> surfaces_;
};
