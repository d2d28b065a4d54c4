// Shared set-up of the framework's unit tests: a fresh temporary folder, a headless machine with one
// 800x600 window and the engine's display started full screen or in a window, the framework's global
// objects put back to their start state, 24-bit BMP files made by the test, and 16-bit pixel access.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"
#include "host/backend/headless.h"
#include "host/backend/machine.h"
#include "host/backend/present.h"
#include "host/ddraw/testing.h"
#include "host/win/clock.h"
#include "host/win/host_input.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "quib/quib.h"
#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace fwtest {

// 0xRRGGBB to a 5-6-5 pixel (low bits dropped).
inline uint16_t Rgb565(uint32_t rgb) {
    return uint16_t(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

// Writes a 24-bit BMP of width x height whose pixel (x, y) (from the top) is colour(x, y) as 0xRRGGBB.
inline constexpr auto& WriteBmp = testsupport::WriteBmp24;

// A one-colour BMP.
inline void WriteSolidBmp(const std::string& name, int width, int height, uint32_t rgb) {
    WriteBmp(name, width, height, [rgb](int, int) { return rgb; });
}

using testsupport::WriteText;

// 16-bit pixel access to a surface through one Lock.
class Pixels {
  public:
    explicit Pixels(IDirectDrawSurface* surface) : surface_(surface) {
        desc_.dwSize = sizeof(desc_);
        locked_ = surface && surface->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr) == DD_OK;
    }
    ~Pixels() {
        if (locked_) surface_->Unlock(nullptr);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    bool ok() const { return locked_; }
    uint16_t& At(int x, int y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc_.lpSurface) +
                                           ptrdiff_t(y) * desc_.lPitch)[x];
    }
    void Fill(uint16_t value) {
        for (DWORD y = 0; y < desc_.dwHeight; y++)
            for (DWORD x = 0; x < desc_.dwWidth; x++)
                At(int(x), int(y)) = value;
    }

  private:
    IDirectDrawSurface* surface_;
    DDSURFACEDESC desc_ = {};
    bool locked_ = false;
};

inline uint16_t PixelOf(IDirectDrawSurface* surface, int x, int y) {
    Pixels pixels(surface);
    return pixels.ok() ? pixels.At(x, y) : 0xDEAD;
}

inline void FillWith(IDirectDrawSurface* surface, uint16_t value) {
    Pixels pixels(surface);
    ASSERT_TRUE(pixels.ok());
    pixels.Fill(value);
}

// The pixel the headless screen shows at (x, y).
inline uint16_t ShownAt(int x, int y) {
    HostShownPicture shown = HostHeadlessShownPicture();
    if (x < 0 || y < 0 || x >= shown.width || y >= shown.height) return 0xDEAD;
    return shown.pixels[size_t(y) * size_t(shown.width) + size_t(x)];
}

// Puts the framework's global objects back as at program start.
inline void ResetFrameworkGlobals() {
    g_pageManager.LeaveAll();
    g_pageManager.pages->Clear();
    g_pageManager.current = nullptr;
    g_pageManager.directDraw = nullptr;
    g_pageManager.backBuffer = nullptr;
    g_screenUpdater.lists[0].DeleteAll();
    g_screenUpdater.lists[1].DeleteAll();
    g_screenUpdater.index = 0;
    g_screenUpdater.background = nullptr;
    g_screenUpdater.cleanBackground = nullptr;
    g_screenUpdater.doubleBuffered = 0;
    g_mouseCursor.Release();
    g_mouseCursor.SetImage(nullptr);
    g_mouseCursor.SetPosition(0, 0);
    g_mouseCursor.buttons = 0;
    g_mouseCursor.leftPresses = 0;
    g_mouseCursor.rightPresses = 0;
    g_mouseCursor.polling = 1;
}

inline LRESULT PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A fresh folder and headless machine; StartDisplay brings the engine up on an 800x600 window.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("HOST_BACKEND", "headless", 1);
        folder_ = std::make_unique<testsupport::TempCurrentFolder>("framework-test");
        ASSERT_FALSE(folder_->Path().empty());
        HostResetWindowLayer();
        HostInputReset();
        HostSetMachine(HostDefaultMachine());
        HostSetFrameLimit(0);
        HostResetPresentedFrames();
        HostHeadlessReset();
        HostUseBackendClock();
        HostResetMessageQueue();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainWindowProc;
        windowClass.lpszClassName = "FrameworkTest";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        ResetFrameworkGlobals();
        surfacesBefore_ = HostDDrawLiveObjects().surfaces;
    }

    void TearDown() override {
        ResetFrameworkGlobals();
        QuibFreeDirectX();
        g_mainWindow = nullptr;
        HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(surfacesBefore_, live.surfaces) << "a surface was left behind";
        HostResetWindowLayer();
        HostResetMessageQueue();
        folder_.reset();
    }

    // Starts the display full screen (a flip chain) or in a window, and fetches the back buffer.
    void StartDisplay(bool fullScreen) {
        window_ = CreateWindowExA(0, "FrameworkTest", "Framework", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        g_mainWindow = window_;
        int started =
            fullScreen ? QuibInitDirectX(window_, 800, 600, 16) : QuibInitDirectX(window_, 800, 600);
        ASSERT_EQ(1, started);
        QuibGetDDInfo(&primary_, &back_);
        ASSERT_NE(back_, nullptr);
        FillWith(back_, 0);
        g_screenUpdater.SetDoubleBuffered(fullScreen ? 1 : 0);
        g_mouseCursor.SetFlipMode(fullScreen ? 1 : 0);
    }

    // An off-screen display-format surface filled with value.
    static IDirectDrawSurface* MakeSurface(int width, int height, uint16_t value) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(DD_OK, QuibGetLPDD()->CreateSurface(&desc, &surface, nullptr));
        if (surface) FillWith(surface, value);
        return surface;
    }

    std::filesystem::path Folder() const { return folder_->Path(); }

    HWND window_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;

  private:
    int surfacesBefore_ = 0;
    std::unique_ptr<testsupport::TempCurrentFolder> folder_;
};

} // namespace fwtest
