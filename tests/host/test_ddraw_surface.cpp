// Surfaces: the forms the engine creates, descriptions and pitch, locking, colour keys, palettes,
// attachments and reference counts, lost surfaces, mip chains and device contexts.
#include "ddraw_test_support.h"
#include "host/ddraw/extension.h"
#include "host/gdi/gdi.h"

using namespace ddraw_test;

namespace {

HWND FakeWindow() {
    return reinterpret_cast<HWND>(uintptr_t(0x2000));
}

DDSURFACEDESC Describe(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(DD_OK, surface->GetSurfaceDesc(&desc));
    return desc;
}

DWORD CapsOf(IDirectDrawSurface* surface) {
    DDSCAPS caps = {};
    EXPECT_EQ(DD_OK, surface->GetCaps(&caps));
    return caps.dwCaps;
}

// Current count of a surface, read by adding and giving up one reference.
ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

} // namespace

class DDrawSurfaceTest : public DDrawTest {
  protected:
    // The engine's full-screen chain: exclusive mode, 800 x 600 x 16, one back buffer.
    void MakeFlipChain() {
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(),
                                                 DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
        ASSERT_EQ(DD_OK, dd->SetDisplayMode(800, 600, 16));
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
        DDSCAPS back = {DDSCAPS_BACKBUFFER};
        ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&back, &backBuffer));
    }

    IDirectDrawSurface* ZBuffer(int width, int height, DWORD depth, DWORD memory) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.dwZBufferBitDepth = depth;
        desc.ddsCaps.dwCaps = memory | DDSCAPS_ZBUFFER;
        IDirectDrawSurface* z = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &z, nullptr));
        return z;
    }

    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;
};

TEST_F(DDrawSurfaceTest, OffscreenSurfaceHasTheDisplayFormatAWidePitchAndZeroPixels) {
    IDirectDrawSurface* surface = Offscreen(37, 5);
    ASSERT_NE(nullptr, surface);
    DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(37u, desc.dwWidth);
    EXPECT_EQ(5u, desc.dwHeight);
    EXPECT_GT(desc.lPitch, 37 * 2);
    EXPECT_EQ(16u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0xF800u, desc.ddpfPixelFormat.dwRBitMask);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    EXPECT_FALSE(desc.dwFlags & DDSD_CKSRCBLT);
    for (DWORD p : ReadPixels(surface))
        EXPECT_EQ(0u, p);
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, SurfacesFollowA555Machine) {
    HostMachine machine = TestMachine();
    machine.pixels555 = true;
    HostSetMachine(machine);
    IDirectDrawSurface* surface = Offscreen(8, 8);
    EXPECT_EQ(0x03E0u, Describe(surface).ddpfPixelFormat.dwGBitMask);
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, RowsAreAddressedByPitch) {
    IDirectDrawSurface* surface = Offscreen(3, 3);
    DDSURFACEDESC lock = LockWhole(surface);
    ASSERT_GT(lock.lPitch, 3 * 2);
    // Pixel (0, 1) lies one pitch after pixel (0, 0), not three pixels after it.
    WORD* row1 = reinterpret_cast<WORD*>(static_cast<BYTE*>(lock.lpSurface) + lock.lPitch);
    row1[0] = 0x1234;
    ASSERT_EQ(DD_OK, surface->Unlock(nullptr));
    EXPECT_EQ(0x1234u, GetPixel(surface, 0, 1));
    EXPECT_EQ(0u, GetPixel(surface, 0, 0));
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, LockOfARectanglePointsAtItsCorner) {
    IDirectDrawSurface* surface = Offscreen(16, 16);
    WritePixels(surface, Pattern(16, 16));
    RECT r = {3, 5, 9, 8};
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(DD_OK, surface->Lock(&r, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(WORD(1 + 5 * 16 + 3), *static_cast<WORD*>(desc.lpSurface));
    ASSERT_EQ(DD_OK, surface->Unlock(nullptr));

    RECT outside = {10, 10, 17, 12};
    RECT inverted = {5, 5, 2, 8};
    EXPECT_EQ(DDERR_INVALIDRECT, surface->Lock(&outside, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, surface->Lock(&inverted, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, OneLockAtATime) {
    IDirectDrawSurface* surface = Offscreen(4, 4);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(DDERR_NOTLOCKED, surface->Unlock(nullptr));
    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    DDBLTFX fx = Fill(1);
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    EXPECT_EQ(DD_OK, surface->Unlock(nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, surface->Unlock(nullptr));
    desc.dwSize = 4;
    EXPECT_EQ(DDERR_INVALIDPARAMS, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, CreateSurfaceRefusesBadDescriptions) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH;
    desc.dwWidth = 10;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&desc, &surface, nullptr)); // no height
    desc.dwFlags |= DDSD_HEIGHT;
    desc.dwHeight = 0;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&desc, &surface, nullptr));
    desc.dwHeight = 100000;
    EXPECT_EQ(DDERR_TOOBIGSIZE, dd->CreateSurface(&desc, &surface, nullptr));
    desc.dwHeight = 10;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
    EXPECT_EQ(DDERR_INVALIDCAPS, dd->CreateSurface(&desc, &surface, nullptr));
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat = Format16(false);
    desc.ddpfPixelFormat.dwRGBBitCount = 12;
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, dd->CreateSurface(&desc, &surface, nullptr));
    desc.dwSize = 20;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&desc, &surface, nullptr));
    EXPECT_EQ(nullptr, surface);
}

TEST_F(DDrawSurfaceTest, PrimaryNeedsACooperativeLevelAndIsUnique) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* first = nullptr;
    EXPECT_EQ(DDERR_NOCOOPERATIVELEVELSET, dd->CreateSurface(&desc, &first, nullptr));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &first, nullptr));
    IDirectDrawSurface* second = nullptr;
    EXPECT_EQ(DDERR_PRIMARYSURFACEALREADYEXISTS, dd->CreateSurface(&desc, &second, nullptr));
    // The windowed primary is the whole desktop.
    DDSURFACEDESC got = Describe(first);
    EXPECT_EQ(1024u, got.dwWidth);
    EXPECT_EQ(768u, got.dwHeight);
    EXPECT_TRUE(got.ddsCaps.dwCaps & DDSCAPS_VISIBLE);
    EXPECT_EQ(0u, first->Release());
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &second, nullptr));
    EXPECT_EQ(0u, second->Release());

    // A flip chain needs exclusive mode.
    desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, dd->CreateSurface(&desc, &second, nullptr));
}

TEST_F(DDrawSurfaceTest, FlipChainIsTheModeSizeWithAnAttachedBackBuffer) {
    MakeFlipChain();
    DDSURFACEDESC front = Describe(primary);
    EXPECT_EQ(800u, front.dwWidth);
    EXPECT_EQ(600u, front.dwHeight);
    EXPECT_EQ(1u, front.dwBackBufferCount);
    EXPECT_TRUE(front.ddsCaps.dwCaps & DDSCAPS_VISIBLE);
    DDSURFACEDESC back = Describe(backBuffer);
    EXPECT_EQ(800u, back.dwWidth);
    EXPECT_TRUE(back.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_TRUE(back.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_FALSE(back.ddsCaps.dwCaps & DDSCAPS_VISIBLE);
    EXPECT_GT(back.lPitch, 1600);

    // The chain holds the back buffer: GetAttachedSurface added one reference, given up here; the
    // back buffer lives on until the front goes.
    EXPECT_EQ(1u, backBuffer->Release());
    EXPECT_EQ(2, SurfacesMade());
    EXPECT_EQ(0u, primary->Release());
    EXPECT_EQ(0, SurfacesMade());
}

TEST_F(DDrawSurfaceTest, ModeXIsKeptInTheCaps) {
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(320, 240, 16));
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_MODEX;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
    EXPECT_TRUE(CapsOf(primary) & DDSCAPS_MODEX);
    EXPECT_EQ(320u, Describe(primary).dwWidth);
    EXPECT_EQ(0u, primary->Release());
}

TEST_F(DDrawSurfaceTest, StandaloneBackBufferAndZBufferAttachment) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = 800;
    desc.dwHeight = 600;
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &back, nullptr));
    EXPECT_TRUE(CapsOf(back) & DDSCAPS_VIDEOMEMORY);

    IDirectDrawSurface* z = ZBuffer(800, 600, 16, DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(nullptr, z);
    DDSURFACEDESC zdesc = Describe(z);
    EXPECT_EQ(16u, zdesc.dwZBufferBitDepth);
    EXPECT_TRUE(zdesc.dwFlags & DDSD_ZBUFFERBITDEPTH);
    ASSERT_EQ(DD_OK, back->AddAttachedSurface(z));
    EXPECT_EQ(DDERR_SURFACEALREADYATTACHED, back->AddAttachedSurface(z));
    EXPECT_EQ(2u, CountOf(z));

    DDSCAPS zcaps = {DDSCAPS_ZBUFFER};
    IDirectDrawSurface* found = nullptr;
    ASSERT_EQ(DD_OK, back->GetAttachedSurface(&zcaps, &found));
    EXPECT_EQ(z, found);
    EXPECT_EQ(2u, found->Release());
    DDSCAPS mip = {DDSCAPS_MIPMAP};
    EXPECT_EQ(DDERR_NOTFOUND, back->GetAttachedSurface(&mip, &found));

    // The back buffer holds the Z-buffer until the back buffer itself goes.
    EXPECT_EQ(1u, z->Release());
    EXPECT_EQ(0u, back->Release());
    EXPECT_EQ(0, SurfacesMade());
}

TEST_F(DDrawSurfaceTest, ZBufferAttachmentNeedsAMatchingZBuffer) {
    IDirectDrawSurface* target = Offscreen(64, 64, nullptr, DDSCAPS_3DDEVICE);
    IDirectDrawSurface* small = ZBuffer(32, 32, 16, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* plain = Offscreen(64, 64);
    IDirectDrawSurface* deep = ZBuffer(64, 64, 24, DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(DDERR_CANNOTATTACHSURFACE, target->AddAttachedSurface(small));
    EXPECT_EQ(DDERR_CANNOTATTACHSURFACE, target->AddAttachedSurface(plain));
    EXPECT_EQ(DD_OK, target->AddAttachedSurface(deep));
    EXPECT_EQ(32u, Describe(deep).ddpfPixelFormat.dwRGBBitCount); // 24-bit depths in 32-bit words
    for (IDirectDrawSurface* s : {small, plain, deep})
        s->Release();
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawSurfaceTest, ReferenceCountsAreReturned) {
    IDirectDrawSurface* surface = Offscreen(4, 4);
    EXPECT_EQ(2u, surface->AddRef());
    EXPECT_EQ(3u, surface->AddRef());
    IDirectDrawSurface* same = nullptr;
    ASSERT_EQ(S_OK, surface->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&same)));
    EXPECT_EQ(surface, same);
    EXPECT_EQ(3u, same->Release());
    EXPECT_EQ(2u, surface->Release());
    EXPECT_EQ(1u, surface->Release());
    EXPECT_EQ(1, SurfacesMade());
    EXPECT_EQ(0u, surface->Release());
    EXPECT_EQ(0, SurfacesMade());
}

TEST_F(DDrawSurfaceTest, ColourKeysAreKeptAsGiven) {
    IDirectDrawSurface* surface = Offscreen(4, 4);
    DDCOLORKEY key = {};
    EXPECT_EQ(DDERR_NOCOLORKEY, surface->GetColorKey(DDCKEY_SRCBLT, &key));
    DDCOLORKEY blue = {0x001F, 0x001F};
    ASSERT_EQ(DD_OK, surface->SetColorKey(DDCKEY_SRCBLT, &blue));
    ASSERT_EQ(DD_OK, surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);
    EXPECT_EQ(0x001Fu, key.dwColorSpaceHighValue);
    DDSURFACEDESC desc = Describe(surface);
    EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(0x001Fu, desc.ddckCKSrcBlt.dwColorSpaceLowValue);
    ASSERT_EQ(DD_OK, surface->SetColorKey(DDCKEY_SRCBLT, nullptr));
    EXPECT_EQ(DDERR_NOCOLORKEY, surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(DDERR_INVALIDPARAMS, surface->SetColorKey(0, &blue));
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, DescriptionOfASurfaceRecreatesIt) {
    // The texture cache copies a surface by its description with other caps.
    DDPIXELFORMAT format = Format16(true);
    IDirectDrawSurface* source = Offscreen(32, 16, &format, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);
    DDCOLORKEY key = {7, 7};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    DDSURFACEDESC desc = Describe(source);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_ALLOCONLOAD | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* copy = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &copy, nullptr));
    DDSURFACEDESC got = Describe(copy);
    EXPECT_EQ(32u, got.dwWidth);
    EXPECT_EQ(0x03E0u, got.ddpfPixelFormat.dwGBitMask);
    EXPECT_EQ(7u, got.ddckCKSrcBlt.dwColorSpaceLowValue);
    EXPECT_TRUE(got.ddsCaps.dwCaps & DDSCAPS_ALLOCONLOAD);
    EXPECT_EQ(0u, copy->Release());
    EXPECT_EQ(0u, source->Release());
}

TEST_F(DDrawSurfaceTest, PalettesOnEightBitSurfaces) {
    PALETTEENTRY entries[256] = {};
    for (int i = 0; i < 256; ++i)
        entries[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    IDirectDrawPalette* palette = nullptr;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreatePalette(0, entries, &palette, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreatePalette(DDPCAPS_8BIT, nullptr, &palette, nullptr));
    ASSERT_EQ(DD_OK, dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr));

    DDPIXELFORMAT format8 = Format8();
    IDirectDrawSurface* surface = Offscreen(10, 10, &format8, DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE);
    DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(8u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_TRUE(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
    EXPECT_GT(desc.lPitch, 10);

    IDirectDrawPalette* got = nullptr;
    EXPECT_EQ(DDERR_NOPALETTEATTACHED, surface->GetPalette(&got));
    ASSERT_EQ(DD_OK, surface->SetPalette(palette));
    EXPECT_EQ(2u, CountOf(palette));
    // The surface keeps the palette alive after its creator lets go.
    EXPECT_EQ(1u, palette->Release());
    ASSERT_EQ(DD_OK, surface->GetPalette(&got));
    PALETTEENTRY read[4] = {};
    ASSERT_EQ(DD_OK, got->GetEntries(0, 100, 4, read));
    EXPECT_EQ(100, read[0].peRed);
    EXPECT_EQ(155, read[0].peGreen);
    PALETTEENTRY red = {255, 0, 0, 0};
    ASSERT_EQ(DD_OK, got->SetEntries(0, 255, 1, &red));
    ASSERT_EQ(DD_OK, got->GetEntries(0, 255, 1, read));
    EXPECT_EQ(255, read[0].peRed);
    EXPECT_EQ(0, read[0].peGreen);
    EXPECT_EQ(DDERR_INVALIDPARAMS, got->GetEntries(0, 255, 2, read));
    EXPECT_EQ(DDERR_INVALIDPARAMS, got->SetEntries(0, 300, 1, &red));

    // Only 8-bit surfaces take palettes.
    IDirectDrawSurface* sixteen = Offscreen(4, 4);
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, sixteen->SetPalette(got));
    EXPECT_EQ(1u, got->Release());
    EXPECT_EQ(0u, sixteen->Release());
    EXPECT_EQ(0u, surface->Release());
    EXPECT_EQ(before.palettes, HostDDrawLiveObjects().palettes);
}

TEST_F(DDrawSurfaceTest, EightBitBlitsCopyIndices) {
    DDPIXELFORMAT format8 = Format8();
    IDirectDrawSurface* a = Offscreen(8, 2, &format8);
    IDirectDrawSurface* b = Offscreen(8, 2, &format8);
    WritePixels(a, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    DDCOLORKEY key = {0, 0};
    ASSERT_EQ(DD_OK, a->SetColorKey(DDCKEY_SRCBLT, &key));
    DDBLTFX fx = Fill(200);
    ASSERT_EQ(DD_OK, b->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    ASSERT_EQ(DD_OK, b->Blt(nullptr, a, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
    std::vector<DWORD> got = ReadPixels(b);
    EXPECT_EQ(200u, got[0]); // index 0 is the key
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(DWORD(i), got[size_t(i)]);
    // Depths do not mix.
    IDirectDrawSurface* sixteen = Offscreen(8, 2);
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, sixteen->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr));
    for (IDirectDrawSurface* s : {a, b, sixteen})
        EXPECT_EQ(0u, s->Release());
}

TEST_F(DDrawSurfaceTest, LostSurfacesRefuseWorkUntilRestored) {
    IDirectDrawSurface* a = Offscreen(8, 8);
    IDirectDrawSurface* b = Offscreen(8, 8);
    WritePixels(a, Pattern(8, 8));
    HostDDrawMarkAllSurfacesLost();
    EXPECT_EQ(DDERR_SURFACELOST, a->IsLost());
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(DDERR_SURFACELOST, a->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACELOST, b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr));
    HDC dc = nullptr;
    EXPECT_EQ(DDERR_SURFACELOST, a->GetDC(&dc));
    ASSERT_EQ(DD_OK, b->Restore());
    EXPECT_EQ(DD_OK, b->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr));
    // Restoring gives the memory back, not the pixels.
    ASSERT_EQ(DD_OK, a->Restore());
    EXPECT_EQ(DD_OK, a->IsLost());
    for (DWORD p : ReadPixels(a))
        EXPECT_EQ(0u, p);
    EXPECT_EQ(DD_OK, a->Restore());
    EXPECT_EQ(0u, a->Release());
    EXPECT_EQ(0u, b->Release());
}

TEST_F(DDrawSurfaceTest, AFlipChainIsRestoredThroughItsFront) {
    MakeFlipChain();
    HostDDrawMarkSurfaceLost(backBuffer);
    EXPECT_EQ(DD_OK, primary->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(DDERR_IMPLICITLYCREATED, backBuffer->Restore());
    ASSERT_EQ(DD_OK, primary->Restore());
    EXPECT_EQ(DD_OK, backBuffer->IsLost());
    EXPECT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    backBuffer->Release();
    EXPECT_EQ(0u, primary->Release());
}

TEST_F(DDrawSurfaceTest, ModeChangesLosePrimaryAndVideoMemorySurfaces) {
    MakeFlipChain();
    IDirectDrawSurface* video = Offscreen(16, 16, nullptr, DDSCAPS_VIDEOMEMORY);
    IDirectDrawSurface* system = Offscreen(16, 16, nullptr, DDSCAPS_SYSTEMMEMORY);
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(640, 480, 16));
    EXPECT_EQ(DDERR_SURFACELOST, primary->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, backBuffer->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, video->IsLost());
    EXPECT_EQ(DD_OK, system->IsLost());
    // A primary of another mode cannot come back; other surfaces can.
    EXPECT_EQ(DDERR_WRONGMODE, primary->Restore());
    EXPECT_EQ(DD_OK, video->Restore());
    for (IDirectDrawSurface* s : {video, system, backBuffer})
        s->Release();
    EXPECT_EQ(0u, primary->Release());
}

TEST_F(DDrawSurfaceTest, MipChainHalvesEachLevel) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_MIPMAPCOUNT;
    desc.dwWidth = 64;
    desc.dwHeight = 32;
    desc.dwMipMapCount = 4;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* top = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &top, nullptr));
    EXPECT_EQ(4u, Describe(top).dwMipMapCount);
    EXPECT_EQ(4, SurfacesMade());
    IDirectDrawSurface* level = top;
    level->AddRef();
    DDSCAPS next = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP};
    int expectedWidth = 64;
    for (int i = 1; i < 4; ++i) {
        IDirectDrawSurface* lower = nullptr;
        ASSERT_EQ(DD_OK, level->GetAttachedSurface(&next, &lower)) << i;
        expectedWidth /= 2;
        EXPECT_EQ(DWORD(expectedWidth), Describe(lower).dwWidth);
        level->Release();
        level = lower;
    }
    IDirectDrawSurface* none = nullptr;
    EXPECT_EQ(DDERR_NOTFOUND, level->GetAttachedSurface(&next, &none));
    level->Release();
    desc.dwMipMapCount = 8; // 64 x 32 has only 7 levels
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&desc, &none, nullptr));
    EXPECT_EQ(0u, top->Release());
}

TEST_F(DDrawSurfaceTest, DeviceContextIsRefusedWhileLockedAndLocksTheSurface) {
    IDirectDrawSurface* surface = Offscreen(16, 16);
    DDSURFACEDESC desc = LockWhole(surface);
    HDC dc = nullptr;
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->GetDC(&dc));
    EXPECT_EQ(nullptr, dc);
    ASSERT_EQ(DD_OK, surface->Unlock(nullptr));
    ASSERT_EQ(DD_OK, surface->GetDC(&dc));
    ASSERT_NE(nullptr, dc);
    HDC second = nullptr;
    EXPECT_EQ(DDERR_DCALREADYCREATED, surface->GetDC(&second));
    EXPECT_EQ(nullptr, second);
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, surface->ReleaseDC(reinterpret_cast<HDC>(0x1)));
    EXPECT_EQ(DD_OK, surface->ReleaseDC(dc));
    EXPECT_EQ(DDERR_NODC, surface->ReleaseDC(dc));
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DDrawSurfaceTest, TextDrawnThroughTheDeviceContextLandsInTheSurfaceFormat) {
    for (bool is555 : {false, true}) {
        SCOPED_TRACE(is555 ? "5-5-5" : "5-6-5");
        DDPIXELFORMAT format = Format16(is555);
        IDirectDrawSurface* surface = Offscreen(40, 20, &format);
        WritePixels(surface, std::vector<DWORD>(40 * 20, 0x1234));
        HDC dc = nullptr;
        ASSERT_EQ(DD_OK, surface->GetDC(&dc));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 255));
        EXPECT_TRUE(TextOutA(dc, 2, 2, "WM", 2));
        ASSERT_EQ(DD_OK, surface->ReleaseDC(dc));
        // Pure blue is the same raw value in both formats, and nothing else is written.
        int drawn = 0;
        for (DWORD p : ReadPixels(surface)) {
            if (p == 0x1234) continue;
            EXPECT_EQ(0x001Fu, p);
            ++drawn;
        }
        EXPECT_GT(drawn, 20);
        EXPECT_EQ(0u, surface->Release());
    }
}

TEST_F(DDrawSurfaceTest, ZBuffersHaveNoDeviceContext) {
    IDirectDrawSurface* z = ZBuffer(8, 8, 16, DDSCAPS_SYSTEMMEMORY);
    HDC dc = nullptr;
    EXPECT_EQ(DDERR_CANTCREATEDC, z->GetDC(&dc));
    EXPECT_EQ(0u, z->Release());
}

namespace {
IDirectDrawSurface* g_goneSurface = nullptr;
void RememberGone(IDirectDrawSurface* surface) {
    g_goneSurface = surface;
}
HRESULT RefuseAll(IDirectDrawSurface*, REFIID, void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}
} // namespace

TEST_F(DDrawSurfaceTest, HooksSeeUnknownQueriesAndDestruction) {
    HostDDrawSurfaceGoneHook installedGone = HostDDrawSetSurfaceGoneHook(RememberGone);
    HostDDrawSurfaceQueryHook installedQuery = HostDDrawSetSurfaceQueryHook(RefuseAll);
    IDirectDrawSurface* surface = Offscreen(4, 4);
    GUID device = {0x1111, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(E_NOINTERFACE, surface->QueryInterface(device, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0u, surface->Release());
    EXPECT_EQ(surface, g_goneSurface);
    HostDDrawSetSurfaceGoneHook(installedGone);
    HostDDrawSetSurfaceQueryHook(installedQuery);
}
