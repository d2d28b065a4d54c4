// 3D devices: made from a surface by device id or through the Direct3D object, their texture formats,
// render states, scene bracket and references.
#include "test_d3d_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

class D3DDeviceTest : public D3DTest {};

TEST_F(D3DDeviceTest, SurfaceQueryByDeviceIdGivesADeviceOnThatSurface) {
    IDirectDrawSurface* surface = MakeSurface(320, 200, DDSCAPS_SYSTEMMEMORY);
    ASSERT_NE(surface, nullptr);
    ULONG surfaceBefore = CountOf(surface);

    IDirect3DDevice* device = nullptr;
    ASSERT_EQ(surface->QueryInterface(IID_IDirect3DRGBDevice, reinterpret_cast<void**>(&device)), S_OK);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(CountOf(surface), surfaceBefore + 1); // the device holds its render target

    D3DDEVICEDESC hardware{}, software{};
    hardware.dwSize = software.dwSize = sizeof(D3DDEVICEDESC);
    EXPECT_EQ(device->GetCaps(&hardware, &software), D3D_OK);
    EXPECT_EQ(hardware.dcmColorModel, 0u);
    EXPECT_EQ(software.dcmColorModel, DWORD{D3DCOLOR_RGB});

    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(CountOf(surface), surfaceBefore);
}

TEST_F(D3DDeviceTest, SurfaceQueryForTheMonoDeviceAndForOtherIds) {
    IDirectDrawSurface* surface = MakeSurface(64, 64, DDSCAPS_SYSTEMMEMORY);
    IDirect3DDevice* device = nullptr;
    ASSERT_EQ(surface->QueryInterface(IID_IDirect3DRampDevice, reinterpret_cast<void**>(&device)), S_OK);
    D3DDEVICEDESC hardware{}, software{};
    hardware.dwSize = software.dwSize = sizeof(D3DDEVICEDESC);
    EXPECT_EQ(device->GetCaps(&hardware, &software), D3D_OK);
    EXPECT_EQ(software.dcmColorModel, DWORD{D3DCOLOR_MONO});
    // A description of the wrong size is refused.
    software.dwSize = 100;
    EXPECT_EQ(device->GetCaps(&hardware, &software), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->Release(), 0u);

    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(surface->QueryInterface(IID_IDirect3D2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST_F(D3DDeviceTest, HardwareDeviceNeedsASurfaceOutsideSystemMemory) {
    IDirectDrawSurface* system = MakeSurface(64, 64, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* video = MakeSurface(64, 64, DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(video, nullptr);
    void* device = nullptr;
    EXPECT_EQ(system->QueryInterface(IID_IDirect3DHALDevice, &device), DDERR_INVALIDCAPS);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(video->QueryInterface(IID_IDirect3DHALDevice, &device), S_OK);
    EXPECT_EQ(static_cast<IDirect3DDevice*>(device)->Release(), 0u);
}

TEST_F(D3DDeviceTest, HardwareDeviceOnAFullScreenBackBuffer) {
    HWND window = reinterpret_cast<HWND>(uintptr_t{0x3D00});
    ASSERT_EQ(dd_->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(800, 600, 16), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    IDirectDrawSurface* primary = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS backCaps = {DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&backCaps, &back), DD_OK);

    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device2 = nullptr;
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DHALDevice, back, &device2), D3D_OK);
    IDirect3DDevice* device = nullptr;
    ASSERT_EQ(back->QueryInterface(IID_IDirect3DHALDevice, reinterpret_cast<void**>(&device)), S_OK);

    // The engine's release order: the back buffer first, the devices after it, the chain last.
    EXPECT_EQ(back->Release(), 3u); // the chain's and the two devices'
    EXPECT_EQ(device2->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
    EXPECT_EQ(dd_->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);
}

TEST_F(D3DDeviceTest, DevicesTheMachineLacksCannotBeMade) {
    IDirectDrawSurface* video = MakeSurface(64, 64, DDSCAPS_VIDEOMEMORY);
    void* device = nullptr;
    SetMachine3D(false, true);
    EXPECT_EQ(video->QueryInterface(IID_IDirect3DHALDevice, &device), DDERR_NO3D);
    SetMachine3D(true, false);
    EXPECT_EQ(video->QueryInterface(IID_IDirect3DRGBDevice, &device), DDERR_NO3D);
    EXPECT_EQ(video->QueryInterface(IID_IDirect3DRampDevice, &device), DDERR_NO3D);
    EXPECT_EQ(device, nullptr);
}

TEST_F(D3DDeviceTest, CreateDeviceFallsBackFromHardwareToRGBOnSystemMemory) {
    IDirect3D2* d3d = Direct3D2();
    IDirectDrawSurface* back = MakeSurface(800, 600, DDSCAPS_SYSTEMMEMORY);
    IDirect3DDevice2* device = nullptr;
    EXPECT_TRUE(FAILED(d3d->CreateDevice(IID_IDirect3DHALDevice, back, &device)));
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, back, &device), D3D_OK);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Release(), 0u);

    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3D2, back, &device), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, nullptr, &device), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DDeviceTest, PalettisedSurfacesAreNoRenderTarget) {
    IDirectDrawSurface* eightBit = MakeSurface(64, 64, DDSCAPS_SYSTEMMEMORY, 8);
    ASSERT_NE(eightBit, nullptr);
    void* device = nullptr;
    EXPECT_EQ(eightBit->QueryInterface(IID_IDirect3DRGBDevice, &device), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(device, nullptr);
}

TEST_F(D3DDeviceTest, BothDeviceInterfacesShareOneCount) {
    IDirectDrawSurface* surface = MakeSurface(64, 64, DDSCAPS_SYSTEMMEMORY);
    IDirect3DDevice* first = nullptr;
    ASSERT_EQ(surface->QueryInterface(IID_IDirect3DRGBDevice, reinterpret_cast<void**>(&first)), S_OK);
    IDirect3DDevice2* second = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirect3DDevice2, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(CountOf(first), 2u);
    EXPECT_EQ(first->Release(), 1u);
    EXPECT_EQ(second->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE), D3D_OK);
    EXPECT_EQ(second->Release(), 0u);
}

struct Formats {
    std::vector<DDSURFACEDESC> seen;
    int stopAfter = 0; // 0: never stop
};

HRESULT CollectFormat(DDSURFACEDESC* desc, void* context) {
    auto* formats = static_cast<Formats*>(context);
    formats->seen.push_back(*desc);
    return int(formats->seen.size()) == formats->stopAfter ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

// The number of set bits of a mask, as the engine's texture survey counts them.
int BitCount(DWORD mask) {
    int count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

TEST_F(D3DDeviceTest, TextureFormatsOfTheDefaultMachine) {
    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device = MakeDevice(d3d, IID_IDirect3DHALDevice);
    ASSERT_NE(device, nullptr);
    Formats formats;
    ASSERT_EQ(device->EnumTextureFormats(&CollectFormat, &formats), D3D_OK);
    ASSERT_EQ(formats.seen.size(), 3u);

    const DDPIXELFORMAT& rgb565 = formats.seen[0].ddpfPixelFormat;
    EXPECT_EQ(rgb565.dwFlags, DWORD{DDPF_RGB});
    EXPECT_EQ(rgb565.dwRGBBitCount, 16u);
    EXPECT_EQ(rgb565.dwRBitMask, 0xF800u);
    EXPECT_EQ(rgb565.dwGBitMask, 0x07E0u);
    EXPECT_EQ(rgb565.dwBBitMask, 0x001Fu);

    const DDPIXELFORMAT& argb1555 = formats.seen[1].ddpfPixelFormat;
    EXPECT_EQ(argb1555.dwFlags, DWORD{DDPF_RGB | DDPF_ALPHAPIXELS});
    EXPECT_EQ(argb1555.dwRBitMask, 0x7C00u);
    EXPECT_EQ(argb1555.dwRGBAlphaBitMask, 0x8000u);

    const DDPIXELFORMAT& argb4444 = formats.seen[2].ddpfPixelFormat;
    EXPECT_EQ(argb4444.dwFlags, DWORD{DDPF_RGB | DDPF_ALPHAPIXELS});
    EXPECT_EQ(argb4444.dwGBitMask, 0x00F0u);
    EXPECT_EQ(argb4444.dwRGBAlphaBitMask, 0xF000u);

    // The engine keeps the alpha format with the most alpha bits: 4-4-4-4.
    int bestAlpha = 0;
    for (const DDSURFACEDESC& desc : formats.seen) {
        EXPECT_EQ(desc.dwSize, sizeof(DDSURFACEDESC));
        EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
        EXPECT_EQ(BitCount(desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask |
                           desc.ddpfPixelFormat.dwBBitMask | desc.ddpfPixelFormat.dwRGBAlphaBitMask),
                  16);
        if (desc.ddpfPixelFormat.dwFlags & DDPF_ALPHAPIXELS)
            bestAlpha = std::max(bestAlpha, BitCount(desc.ddpfPixelFormat.dwRGBAlphaBitMask));
    }
    EXPECT_EQ(bestAlpha, 4);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DDeviceTest, PalettisedTexturesWhenTheMachineOffersThem) {
    SetMachine3D(true, true, true);
    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device = MakeDevice(d3d, IID_IDirect3DRGBDevice);
    Formats formats;
    ASSERT_EQ(device->EnumTextureFormats(&CollectFormat, &formats), D3D_OK);
    ASSERT_EQ(formats.seen.size(), 4u);
    const DDPIXELFORMAT& palettised = formats.seen[3].ddpfPixelFormat;
    EXPECT_EQ(palettised.dwFlags, DWORD{DDPF_RGB | DDPF_PALETTEINDEXED8});
    EXPECT_EQ(palettised.dwRGBBitCount, 8u);

    Formats stopped;
    stopped.stopAfter = 2;
    ASSERT_EQ(device->EnumTextureFormats(&CollectFormat, &stopped), D3D_OK);
    EXPECT_EQ(stopped.seen.size(), 2u);
    EXPECT_EQ(device->EnumTextureFormats(nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DDeviceTest, RenderStatesStartDefinedAndKeepWhatIsSet) {
    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device = MakeDevice(d3d, IID_IDirect3DHALDevice);
    DWORD value = 99;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{FALSE});
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, &value), D3D_OK);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_SRCBLEND, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{D3DBLEND_ONE});
    // The target has no Z-buffer, so depth testing starts off (with one it starts on).
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_ZENABLE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{FALSE});
    const std::pair<D3DRENDERSTATETYPE, DWORD> defaults[] = {
        {D3DRENDERSTATE_CULLMODE, D3DCULL_CCW},
        {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_WRAP},
        {D3DRENDERSTATE_LASTPIXEL, TRUE},
        {D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID},
        {D3DRENDERSTATE_ALPHATESTENABLE, FALSE},
        {D3DRENDERSTATE_DITHERENABLE, FALSE},
        {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATE},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
    };
    for (auto [state, expected] : defaults) {
        ASSERT_EQ(device->GetRenderState(state, &value), D3D_OK) << state;
        EXPECT_EQ(value, expected) << state;
    }

    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x808080), D3D_OK);
    float fogEnd = 1000.0f;
    DWORD fogEndBits;
    std::memcpy(&fogEndBits, &fogEnd, sizeof(fogEndBits));
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_FOGTABLEEND, fogEndBits), D3D_OK);

    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{TRUE});
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_FOGTABLEMODE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{D3DFOG_LINEAR});
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_FOGCOLOR, &value), D3D_OK);
    EXPECT_EQ(value, 0x808080u);
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_FOGTABLEEND, &value), D3D_OK);
    EXPECT_EQ(value, fogEndBits);

    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DDeviceTest, UnknownStatesAndValuesAreRefusedAndChangeNothing) {
    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device = MakeDevice(d3d, IID_IDirect3DRGBDevice);
    DWORD value = 0;
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(0), 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(kD3DRenderStateEnd), 1),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(kD3DRenderStateEnd), &value),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->GetRenderState(D3DRENDERSTATE_ZENABLE, nullptr), DDERR_INVALIDPARAMS);

    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_SHADEMODE, 7), DDERR_INVALIDPARAMS);
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_SHADEMODE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{D3DSHADE_FLAT});
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_DESTBLEND, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR + 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, 5), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS + 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREADDRESS, 4), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_FILLMODE, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_BOTHINVSRCALPHA + 1),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR), D3D_OK);

    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DDeviceTest, ScenesDoNotNest) {
    IDirect3D2* d3d = Direct3D2();
    IDirect3DDevice2* device = MakeDevice(d3d, IID_IDirect3DRGBDevice);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

} // namespace
