// Texture surfaces as the device sees them: the texture interface of a surface, its handle, Load from a
// system-memory copy into a device copy, a device copy made from a copied description, and the video
// memory budget.
#include "test_d3d_support.h"

#include <cstdint>
#include <cstring>

#include "host/d3d/texture.h"
#include "tests/support/surfaces.h"

namespace {

class D3DTextureTest : public D3DTest {
  protected:
    void SetUp() override {
        D3DTest::SetUp();
        d3d_ = Direct3D2();
        ASSERT_NE(d3d_, nullptr);
        device_ = MakeDevice(d3d_, IID_IDirect3DRGBDevice, DDSCAPS_SYSTEMMEMORY);
        ASSERT_NE(device_, nullptr);
    }
    void TearDown() override {
        if (device_) {
            EXPECT_EQ(device_->Release(), 0u);
        }
        if (d3d_) {
            EXPECT_EQ(d3d_->Release(), 0u);
        }
        D3DTest::TearDown();
    }

    // A texture surface the caller releases; format NULL gives the display format.
    IDirectDrawSurface* MakeTexture(DWORD width, DWORD height, DWORD memory,
                                    const DDPIXELFORMAT* format = nullptr, DWORD extraCaps = 0) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | memory | extraCaps;
        if (format) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat = *format;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static IDirect3DTexture2* TextureOf(IDirectDrawSurface* surface) {
        IDirect3DTexture2* texture = nullptr;
        EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture)), S_OK);
        return texture;
    }

    // Writes value + x + y * width into every 16-bit texel.
    static void FillPattern(IDirectDrawSurface* surface, uint16_t value) {
        testsupport::LockedPixels pixels(surface);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x)
                pixels.At(x, y) = uint16_t(value + x + y * pixels.width());
    }

    static bool HasPattern(IDirectDrawSurface* surface, uint16_t value) {
        testsupport::LockedPixels pixels(surface);
        bool same = pixels.ok();
        for (int y = 0; same && y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x)
                same = same && pixels.At(x, y) == uint16_t(value + x + y * pixels.width());
        return same;
    }

    static DDPIXELFORMAT Argb1555() {
        DDPIXELFORMAT format{};
        format.dwSize = sizeof(format);
        format.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        format.dwRGBBitCount = 16;
        format.dwRBitMask = 0x7C00;
        format.dwGBitMask = 0x03E0;
        format.dwBBitMask = 0x001F;
        format.dwRGBAlphaBitMask = 0x8000;
        return format;
    }

    void SetVideoMemoryFree(unsigned bytes) {
        HostMachine machine = HostGetMachine();
        machine.videoMemoryFree = bytes;
        HostSetMachine(machine);
    }

    IDirect3D2* d3d_ = nullptr;
    IDirect3DDevice2* device_ = nullptr;
};

TEST_F(D3DTextureTest, OnlyTextureSurfacesHaveATextureInterface) {
    IDirectDrawSurface* plain = MakeSurface(16, 16, DDSCAPS_SYSTEMMEMORY);
    void* texture = reinterpret_cast<void*>(1);
    EXPECT_EQ(plain->QueryInterface(IID_IDirect3DTexture2, &texture), E_NOINTERFACE);
    EXPECT_EQ(texture, nullptr);

    IDirectDrawSurface* surface = MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY);
    ULONG before = CountOf(surface);
    IDirect3DTexture2* asTexture = TextureOf(surface);
    ASSERT_NE(asTexture, nullptr);
    EXPECT_EQ(CountOf(surface), before + 1); // the interface keeps its surface alive

    // Back from the texture to its surface.
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(asTexture->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, surface);
    back->Release();
    EXPECT_EQ(asTexture->Release(), 0u);
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(D3DTextureTest, HandlesAreStablePerSurfaceAndEndWithTheSurface) {
    IDirectDrawSurface* first = MakeTexture(8, 8, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* second = MakeTexture(8, 8, DDSCAPS_SYSTEMMEMORY);
    IDirect3DTexture2* a = TextureOf(first);
    IDirect3DTexture2* b = TextureOf(second);
    D3DTEXTUREHANDLE ha = 0, hb = 0, again = 0;
    ASSERT_EQ(a->GetHandle(device_, &ha), D3D_OK);
    ASSERT_EQ(b->GetHandle(device_, &hb), D3D_OK);
    EXPECT_NE(ha, 0u);
    EXPECT_NE(hb, 0u);
    EXPECT_NE(ha, hb);
    EXPECT_EQ(a->GetHandle(device_, &again), D3D_OK);
    EXPECT_EQ(again, ha);
    EXPECT_EQ(a->GetHandle(nullptr, &again), DDERR_INVALIDPARAMS);
    EXPECT_EQ(a->GetHandle(device_, nullptr), DDERR_INVALIDPARAMS);

    // A second interface on the same surface gives the same handle, and the handle outlives the
    // interfaces as long as the surface lives.
    a->Release();
    IDirect3DTexture2* a2 = TextureOf(first);
    EXPECT_EQ(a2->GetHandle(device_, &again), D3D_OK);
    EXPECT_EQ(again, ha);
    a2->Release();
    EXPECT_EQ(HostD3DTextureSurface(ha), first);

    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(HostD3DTextureSurface(ha), nullptr);
    EXPECT_EQ(HostD3DTextureSurface(hb), second);
    EXPECT_EQ(HostD3DTextureSurface(0), nullptr);

    // A new surface never takes over a dead surface's handle.
    IDirectDrawSurface* third = MakeTexture(8, 8, DDSCAPS_SYSTEMMEMORY);
    IDirect3DTexture2* c = TextureOf(third);
    D3DTEXTUREHANDLE hc = 0;
    EXPECT_EQ(c->GetHandle(device_, &hc), D3D_OK);
    EXPECT_NE(hc, ha);
    c->Release();
    b->Release();
    EXPECT_EQ(third->Release(), 0u);
    EXPECT_EQ(second->Release(), 0u);
}

TEST_F(D3DTextureTest, LoadCopiesTexelsPaletteAndColourKey) {
    DDPIXELFORMAT format = Argb1555();
    IDirectDrawSurface* source = MakeTexture(32, 16, DDSCAPS_SYSTEMMEMORY, &format);
    IDirectDrawSurface* target = MakeTexture(32, 16, DDSCAPS_VIDEOMEMORY, &format);
    FillPattern(source, 0x1234);
    DDCOLORKEY key{0x8000, 0x8000};
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);

    IDirect3DTexture2* from = TextureOf(source);
    IDirect3DTexture2* to = TextureOf(target);
    ASSERT_EQ(to->Load(from), D3D_OK);
    EXPECT_TRUE(HasPattern(target, 0x1234));
    DDCOLORKEY copied{};
    ASSERT_EQ(target->GetColorKey(DDCKEY_SRCBLT, &copied), DD_OK);
    EXPECT_EQ(copied.dwColorSpaceLowValue, 0x8000u);

    // A source without a key takes the key away again.
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
    FillPattern(source, 7);
    ASSERT_EQ(to->Load(from), D3D_OK);
    EXPECT_TRUE(HasPattern(target, 7));
    EXPECT_EQ(target->GetColorKey(DDCKEY_SRCBLT, &copied), DDERR_NOCOLORKEY);

    EXPECT_EQ(to->Load(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(to->Load(to), D3D_OK);
    from->Release();
    to->Release();
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(D3DTextureTest, LoadCopiesPaletteEntriesIntoTheTargetsOwnPalette) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    IDirectDrawSurface* source = MakeTexture(8, 8, DDSCAPS_SYSTEMMEMORY, &format);
    IDirectDrawSurface* target = MakeTexture(8, 8, DDSCAPS_SYSTEMMEMORY, &format);
    PALETTEENTRY entries[256] = {};
    entries[3] = {10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(source->SetPalette(palette), DD_OK);

    IDirect3DTexture2* from = TextureOf(source);
    IDirect3DTexture2* to = TextureOf(target);
    ASSERT_EQ(to->Load(from), D3D_OK);
    IDirectDrawPalette* copied = nullptr;
    ASSERT_EQ(target->GetPalette(&copied), DD_OK);
    EXPECT_NE(copied, palette);
    PALETTEENTRY read[256];
    ASSERT_EQ(copied->GetEntries(0, 0, 256, read), DD_OK);
    EXPECT_EQ(read[3].peRed, 10);
    EXPECT_EQ(read[3].peBlue, 30);

    // Later changes to the source's palette reach the target only through another Load.
    entries[3].peRed = 99;
    ASSERT_EQ(palette->SetEntries(0, 0, 256, entries), DD_OK);
    ASSERT_EQ(copied->GetEntries(0, 0, 256, read), DD_OK);
    EXPECT_EQ(read[3].peRed, 10);
    ASSERT_EQ(to->Load(from), D3D_OK);
    ASSERT_EQ(copied->GetEntries(0, 0, 256, read), DD_OK);
    EXPECT_EQ(read[3].peRed, 99);

    copied->Release();
    palette->Release();
    from->Release();
    to->Release();
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(D3DTextureTest, LoadRefusesOtherSizesFormatsAndBusySurfaces) {
    DDPIXELFORMAT argb = Argb1555();
    IDirectDrawSurface* source = MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* smaller = MakeTexture(8, 16, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* otherFormat = MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY, &argb);
    IDirectDrawSurface* target = MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY);
    FillPattern(target, 5);
    IDirect3DTexture2* from = TextureOf(source);
    IDirect3DTexture2* fromSmaller = TextureOf(smaller);
    IDirect3DTexture2* fromOther = TextureOf(otherFormat);
    IDirect3DTexture2* to = TextureOf(target);
    EXPECT_EQ(to->Load(fromSmaller), D3DERR_TEXTURE_LOAD_FAILED);
    EXPECT_EQ(to->Load(fromOther), D3DERR_TEXTURE_LOAD_FAILED);
    EXPECT_TRUE(HasPattern(target, 5));

    // A locked source is busy; the target is left unlocked and unchanged.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(to->Load(from), DDERR_SURFACEBUSY);
    source->Unlock(nullptr);
    EXPECT_TRUE(HasPattern(target, 5));

    HostDDrawMarkSurfaceLost(target);
    EXPECT_EQ(to->Load(from), DDERR_SURFACELOST);

    for (IDirect3DTexture2* t : {from, fromSmaller, fromOther, to})
        t->Release();
    for (IDirectDrawSurface* s : {source, smaller, otherFormat, target})
        EXPECT_EQ(s->Release(), 0u);
}

TEST_F(D3DTextureTest, LoadCopiesEveryMipLevelBothChainsHave) {
    IDirectDrawSurface* source =
        MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY, nullptr, DDSCAPS_MIPMAP | DDSCAPS_COMPLEX);
    IDirectDrawSurface* target =
        MakeTexture(16, 16, DDSCAPS_SYSTEMMEMORY, nullptr, DDSCAPS_MIPMAP | DDSCAPS_COMPLEX);
    DDSCAPS mip{DDSCAPS_MIPMAP};
    IDirectDrawSurface* sourceLevel = nullptr;
    IDirectDrawSurface* targetLevel = nullptr;
    ASSERT_EQ(source->GetAttachedSurface(&mip, &sourceLevel), DD_OK);
    ASSERT_EQ(target->GetAttachedSurface(&mip, &targetLevel), DD_OK);
    FillPattern(source, 100);
    FillPattern(sourceLevel, 200);

    IDirect3DTexture2* from = TextureOf(source);
    IDirect3DTexture2* to = TextureOf(target);
    ASSERT_EQ(to->Load(from), D3D_OK);
    EXPECT_TRUE(HasPattern(target, 100));
    EXPECT_TRUE(HasPattern(targetLevel, 200));
    from->Release();
    to->Release();
    sourceLevel->Release();
    targetLevel->Release();
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(D3DTextureTest, ADeviceCopyIsMadeFromTheSourcesOwnDescription) {
    DDPIXELFORMAT argb = Argb1555();
    IDirectDrawSurface* source =
        MakeTexture(64, 32, DDSCAPS_SYSTEMMEMORY, &argb, DDSCAPS_MIPMAP | DDSCAPS_COMPLEX);
    DDCOLORKEY key{0x1F, 0x1F};
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);

    // As a texture cache does it: the description as read back, with only the caps replaced.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(source->GetSurfaceDesc(&desc), DD_OK);
    ASSERT_TRUE(desc.dwFlags & DDSD_PITCH);
    ASSERT_TRUE(desc.dwFlags & DDSD_MIPMAPCOUNT);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_ALLOCONLOAD | DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface* copy = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&desc, &copy, nullptr), DD_OK);

    DDSURFACEDESC made{};
    made.dwSize = sizeof(made);
    ASSERT_EQ(copy->GetSurfaceDesc(&made), DD_OK);
    EXPECT_EQ(made.dwWidth, 64u);
    EXPECT_EQ(made.dwHeight, 32u);
    EXPECT_EQ(made.ddpfPixelFormat.dwRGBAlphaBitMask, 0x8000u);
    EXPECT_TRUE(made.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
    EXPECT_TRUE(made.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
    EXPECT_EQ(made.ddckCKSrcBlt.dwColorSpaceLowValue, 0x1Fu);

    FillPattern(source, 9);
    IDirect3DTexture2* from = TextureOf(source);
    IDirect3DTexture2* to = TextureOf(copy);
    EXPECT_EQ(to->Load(from), D3D_OK);
    EXPECT_TRUE(HasPattern(copy, 9));
    from->Release();
    to->Release();
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
}

TEST_F(D3DTextureTest, VideoMemoryTexturesStopAtTheMachinesBudget) {
    // Two 64x64 16-bit textures (8 KiB each) fit in 20 KiB, a third does not.
    SetVideoMemoryFree(20 * 1024);
    IDirectDrawSurface* a = MakeTexture(64, 64, DDSCAPS_VIDEOMEMORY);
    IDirectDrawSurface* b = MakeTexture(64, 64, DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 64;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface* c = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &c, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(c, nullptr);
    // System-memory textures are not counted, and releasing one gives its memory back.
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    ASSERT_EQ(dd_->CreateSurface(&desc, &c, nullptr), DD_OK);
    EXPECT_EQ(c->Release(), 0u);
    EXPECT_EQ(a->Release(), 0u);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
    ASSERT_EQ(dd_->CreateSurface(&desc, &c, nullptr), DD_OK);
    EXPECT_EQ(c->Release(), 0u);
    EXPECT_EQ(b->Release(), 0u);
}

} // namespace
