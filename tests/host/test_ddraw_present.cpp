// What reaches the screen: full-screen flip chains whose Flip swaps the pixel stores, and the windowed
// primary (the desktop) whose blits are clipped to the window's client area and presented.
#include "ddraw_test_support.h"
#include "host/backend/headless.h"
#include "host/backend/present.h"
#include "host/win/messages.h"
#include "host/win/window.h"

using namespace ddraw_test;

namespace {

LRESULT PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

WORD ShownPixel(int x, int y) {
    HostShownPicture shown = HostHeadlessShownPicture();
    return shown.pixels[size_t(y) * size_t(shown.width) + size_t(x)];
}

} // namespace

class DDrawPresentTest : public DDrawTest {
  protected:
    void SetUp() override {
        DDrawTest::SetUp();
        HostResetWindowLayer();
        HostHeadlessReset();
        HostSetFrameLimit(0);
        HostResetPresentedFrames();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainWindowProc;
        windowClass.lpszClassName = "DDrawPresent";
        ASSERT_NE(0, RegisterClassA(&windowClass));
        window = CreateWindowExA(0, "DDrawPresent", "present", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        DDrawTest::TearDown();
        HostResetWindowLayer();
    }

    void FullScreen(int width, int height, int bits, DWORD backBuffers = 1) {
        ASSERT_EQ(DD_OK,
                  dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
        ASSERT_EQ(DD_OK, dd->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bits)));
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = backBuffers;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
        DDSCAPS back = {DDSCAPS_BACKBUFFER};
        ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&back, &backBuffer));
    }

    // The engine's windowed set-up: the desktop primary with a clipper bound to the window, and an
    // 800 x 600 back buffer of its own.
    void Windowed() {
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_NORMAL));
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
        IDirectDrawClipper* clipper = nullptr;
        ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
        ASSERT_EQ(DD_OK, clipper->SetHWnd(0, window));
        ASSERT_EQ(DD_OK, primary->SetClipper(clipper));
        clipper->Release();
        backBuffer =
            Offscreen(800, 600, nullptr, DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY);
        WritePixels(backBuffer, Pattern(800, 600, 0x100));
    }

    void FillSurface(IDirectDrawSurface* surface, DWORD value) {
        DDBLTFX fx = Fill(value);
        ASSERT_EQ(DD_OK, surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    }

    // Moves the window so that its client area starts at (x, y) on the desktop.
    void PlaceClient(int x, int y) {
        ASSERT_TRUE(SetWindowPos(window, nullptr, x, y, 800, 600, 0));
        POINT origin = {0, 0};
        ASSERT_TRUE(ClientToScreen(window, &origin));
        // The popup window has no frame, so its client area starts where the window does.
        ASSERT_EQ(x, origin.x);
        ASSERT_EQ(y, origin.y);
    }

    // Puts value in every desktop pixel, behind the driver's back (no presentation).
    void MarkDesktop(DWORD value) { WritePixels(primary, std::vector<DWORD>(1024 * 768, value)); }

    void ReleaseSurfaces() {
        if (backBuffer) backBuffer->Release();
        if (primary) {
            EXPECT_EQ(0u, primary->Release());
        }
        backBuffer = primary = nullptr;
    }

    HWND window = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;
};

TEST_F(DDrawPresentTest, FlipSwapsSoTheBackBufferHoldsTheFrameBeforeLast) {
    FullScreen(800, 600, 16);
    FillSurface(backBuffer, 0x1111); // frame A
    EXPECT_EQ(0u, HostPresentedFrames());
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(1u, HostPresentedFrames());
    EXPECT_EQ(0x1111u, GetPixel(primary, 799, 599));
    EXPECT_EQ(0x1111, ShownPixel(400, 300));
    EXPECT_EQ(0u, GetPixel(backBuffer, 0, 0)); // the front before the first flip

    FillSurface(backBuffer, 0x2222); // frame B
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(2u, HostPresentedFrames());
    EXPECT_EQ(0x2222u, GetPixel(primary, 0, 0));
    EXPECT_EQ(0x1111u, GetPixel(backBuffer, 0, 0)); // frame A again, as the screen updater expects
    EXPECT_EQ(0x2222, ShownPixel(0, 0));
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, DrawingOnTheBackBufferShowsNothingUntilTheFlip) {
    FullScreen(800, 600, 16);
    FillSurface(backBuffer, 0x3333);
    IDirectDrawSurface* sprite = Offscreen(8, 8);
    ASSERT_EQ(DD_OK, backBuffer->BltFast(0, 0, sprite, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(0u, HostPresentedFrames());
    EXPECT_EQ(0u, sprite->Release());
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, ThreeBuffersRotate) {
    FullScreen(640, 480, 16, 2);
    IDirectDrawSurface* second = nullptr;
    DDSCAPS flip = {DDSCAPS_FLIP};
    ASSERT_EQ(DD_OK, backBuffer->GetAttachedSurface(&flip, &second));
    ASSERT_NE(primary, second);
    FillSurface(primary, 1);
    FillSurface(backBuffer, 2);
    FillSurface(second, 3);
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(2u, GetPixel(primary, 5, 5));
    EXPECT_EQ(3u, GetPixel(backBuffer, 5, 5));
    EXPECT_EQ(1u, GetPixel(second, 5, 5));
    // Flipping to a named buffer swaps the front with it.
    ASSERT_EQ(DD_OK, primary->Flip(second, DDFLIP_WAIT));
    EXPECT_EQ(1u, GetPixel(primary, 5, 5));
    EXPECT_EQ(2u, GetPixel(second, 5, 5));
    second->Release();
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, FlipIsRefusedWhereItCannotHappen) {
    FullScreen(800, 600, 16);
    EXPECT_EQ(DDERR_NOTFLIPPABLE, backBuffer->Flip(nullptr, DDFLIP_WAIT));
    IDirectDrawSurface* plain = Offscreen(8, 8);
    EXPECT_EQ(DDERR_NOTFLIPPABLE, plain->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(DDERR_INVALIDPARAMS, primary->Flip(plain, DDFLIP_WAIT));
    DDSURFACEDESC desc = LockWhole(backBuffer);
    EXPECT_EQ(DDERR_SURFACEBUSY, primary->Flip(nullptr, DDFLIP_WAIT));
    ASSERT_EQ(DD_OK, backBuffer->Unlock(desc.lpSurface));
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, backBuffer->GetDC(&dc));
    EXPECT_EQ(DDERR_SURFACEBUSY, primary->Flip(nullptr, DDFLIP_WAIT));
    ASSERT_EQ(DD_OK, backBuffer->ReleaseDC(dc));
    EXPECT_EQ(0u, HostPresentedFrames());
    EXPECT_EQ(0u, plain->Release());
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, EightBitFullScreenShowsThroughThePalette) {
    FullScreen(640, 480, 8);
    EXPECT_TRUE(LockWhole(primary).ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
    primary->Unlock(nullptr);
    PALETTEENTRY entries[256] = {};
    entries[7] = {255, 0, 0, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(DD_OK, dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr));
    DDSCAPS caps = {};
    ASSERT_EQ(DD_OK, primary->GetCaps(&caps));
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_VISIBLE);
    ASSERT_EQ(DD_OK, backBuffer->SetPalette(palette));
    ASSERT_EQ(DD_OK, primary->SetPalette(palette));
    palette->Release();
    FillSurface(backBuffer, 7);
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(0xF800, ShownPixel(10, 10));
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, WindowedBlitIsClippedToTheClientAreaOnTheDesktop) {
    Windowed();
    PlaceClient(-100, 50);
    MarkDesktop(0x0BAD);
    // The engine's whole-window blit, in screen coordinates, partly off the desktop.
    RECT dest = {-100, 50, 700, 650};
    ASSERT_EQ(DD_OK, primary->Blt(&dest, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(1u, HostPresentedFrames());
    std::vector<DWORD> desktop = ReadPixels(primary);
    std::vector<DWORD> back = Pattern(800, 600, 0x100);
    for (int y : {0, 49, 50, 51, 400, 649, 650, 767})
        for (int x : {0, 1, 350, 699, 700, 1023}) {
            bool inside = x < 700 && y >= 50 && y < 650;
            DWORD expected = inside ? back[size_t((y - 50) * 800 + x + 100)] : 0x0BAD;
            EXPECT_EQ(expected, desktop[size_t(y * 1024 + x)]) << x << "," << y;
        }
    // The screen shows the client area: the part beyond the desktop's left edge stays black.
    EXPECT_EQ(back[100], ShownPixel(100, 0));
    EXPECT_EQ(back[size_t(599 * 800 + 799)], ShownPixel(799, 599));
    EXPECT_EQ(0, ShownPixel(99, 0));
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, BlitsOutsideTheWindowAreCutAway) {
    Windowed();
    PlaceClient(100, 100);
    MarkDesktop(0x0BAD);
    // A blit onto the whole desktop lands only inside the window's client area.
    ASSERT_EQ(DD_OK, primary->Blt(nullptr, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0x0BADu, GetPixel(primary, 99, 100));
    EXPECT_EQ(0x0BADu, GetPixel(primary, 900, 700));
    EXPECT_NE(0x0BADu, GetPixel(primary, 100, 100));
    EXPECT_NE(0x0BADu, GetPixel(primary, 899, 699));
    // Clipping does not excuse a bad source or an inverted destination.
    RECT inverted = {300, 300, 200, 400};
    RECT outside = {0, 0, 801, 600};
    EXPECT_EQ(DDERR_INVALIDRECT, primary->Blt(&inverted, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, primary->Blt(nullptr, backBuffer, &outside, DDBLT_WAIT, nullptr));
    EXPECT_EQ(1u, HostPresentedFrames());
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, WindowNearTheBottomRightCornerShowsItsVisiblePart) {
    Windowed();
    PlaceClient(900, 700);
    MarkDesktop(0);
    RECT dest = {900, 700, 1024, 768};
    RECT source = {0, 0, 124, 68};
    ASSERT_EQ(DD_OK, primary->Blt(&dest, backBuffer, &source, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0x100u, GetPixel(primary, 900, 700));
    EXPECT_EQ(DWORD(0x100 + 67 * 800 + 123), GetPixel(primary, 1023, 767));
    EXPECT_EQ(0x100, ShownPixel(0, 0));
    EXPECT_EQ(0, ShownPixel(124, 0)); // off the desktop
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, WindowWhollyOffTheDesktopPresentsNothing) {
    Windowed();
    PlaceClient(1500, 900);
    MarkDesktop(0x0BAD);
    RECT dest = {1500, 900, 2300, 1500};
    EXPECT_EQ(DD_OK, primary->Blt(&dest, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, primary->Blt(nullptr, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0u, HostPresentedFrames());
    for (DWORD p : ReadPixels(primary))
        ASSERT_EQ(0x0BADu, p);
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, EachBlitIntoTheWindowedPrimaryIsPresented) {
    Windowed();
    PlaceClient(0, 0);
    RECT band = {0, 0, 800, 100};
    ASSERT_EQ(DD_OK, primary->Blt(&band, backBuffer, &band, DDBLT_WAIT, nullptr));
    FillSurface(primary, 0x07E0);
    EXPECT_EQ(2u, HostPresentedFrames());
    EXPECT_EQ(0x07E0, ShownPixel(0, 0));
    // Blits between off-screen surfaces are not presented.
    IDirectDrawSurface* other = Offscreen(800, 600);
    ASSERT_EQ(DD_OK, other->Blt(nullptr, backBuffer, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(2u, HostPresentedFrames());
    EXPECT_EQ(0u, other->Release());
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, WindowedPrimaryWithoutClipperRefusesBlitsOffTheDesktop) {
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_NORMAL));
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
    IDirectDrawSurface* source = Offscreen(100, 100);
    RECT offEdge = {1000, 0, 1100, 100};
    EXPECT_EQ(DDERR_INVALIDRECT, primary->Blt(&offEdge, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, primary->BltFast(924, 668, source, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(1u, HostPresentedFrames());
    EXPECT_EQ(0u, source->Release());
    ReleaseSurfaces();
}

TEST_F(DDrawPresentTest, A555DesktopIsShownIn565) {
    HostMachine machine = TestMachine();
    machine.desktopBitsPerPixel = 15;
    HostSetMachine(machine);
    Windowed();
    PlaceClient(0, 0);
    EXPECT_EQ(0x03E0u, LockWhole(primary).ddpfPixelFormat.dwGBitMask);
    primary->Unlock(nullptr);
    FillSurface(primary, 0x001F); // blue in 5-5-5
    EXPECT_EQ(0x001F, ShownPixel(5, 5));
    FillSurface(primary, 0x7C00); // red in 5-5-5
    EXPECT_EQ(0xF800, ShownPixel(5, 5));
    ReleaseSurfaces();
}
