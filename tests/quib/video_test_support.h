// Shared set-up of the video start-up tests: a fresh temporary folder with the debug log on, a known
// machine, a fresh window layer with one shown window, and helpers to read the log and the pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "host/backend/headless.h"
#include "host/backend/machine.h"
#include "host/backend/present.h"
#include "host/ddraw/testing.h"
#include "host/win/clock.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "log_folder.h"
#include "quib/platform/directx.h"
#include "quib/platform/flip.h"
#include "quib/platform/video.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "tests/support/surfaces.h"

namespace video_test {

// The default desktop with a known list of modes: 3D hardware and software devices, plenty of memory.
inline HostMachine HardwareMachine() {
    HostMachine machine = HostDefaultMachine();
    machine.desktopWidth = 1024;
    machine.desktopHeight = 768;
    machine.desktopBitsPerPixel = 16;
    machine.videoMemoryTotal = 16u * 1024 * 1024;
    machine.videoMemoryFree = 14u * 1024 * 1024;
    machine.displayModes = {{640, 480, 16}, {800, 600, 16}, {1024, 768, 16}, {800, 600, 32}};
    machine.hardware3D = true;
    machine.software3D = true;
    return machine;
}

// A machine without 3D hardware: only the software devices.
inline HostMachine SoftwareMachine() {
    HostMachine machine = HardwareMachine();
    machine.hardware3D = false;
    return machine;
}

inline LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Splits text into its lines (without the line ends).
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class VideoTest : public LogFolderTest {
  protected:
    void SetUp() override {
        setenv("HOST_BACKEND", "headless", 1);
        LogFolderTest::SetUp();
        HostResetWindowLayer();
        HostSetMachine(HardwareMachine());
        HostDDrawSetSecondaryDisplays(nullptr, 0);
        HostSetFrameLimit(0);
        HostResetPresentedFrames();
        HostUseBackendClock();
        FlipResetFrameRateForTests();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.lpszClassName = "VideoTest";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        QuibDebugEnable(1);
    }

    void TearDown() override {
        QuibFreeDirectX();
        g_FullScreen = 0;
        g_lpChosenDDGuid = nullptr;
        g_ChosenDDName[0] = '\0';
        QuibShowFPS(0);
        ClearVideoShutdownSteps();
        FlipResetFrameRateForTests();
        HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(0, live.directDraws);
        EXPECT_EQ(0, live.surfaces);
        EXPECT_EQ(0, live.palettes);
        EXPECT_EQ(0, live.clippers);
        HostResetWindowLayer();
        HostSetMachine(HardwareMachine());
        HostUseBackendClock();
        LogFolderTest::TearDown();
    }

    // A shown top-level window whose 800x600 client area starts at (x, y) on the desktop.
    HWND MakeWindow(int x = 100, int y = 50, int width = 800, int height = 600) {
        HWND window = CreateWindowExA(0, "VideoTest", "Video", WS_POPUP | WS_VISIBLE, x, y, width, height,
                                      nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        return window;
    }

    static std::vector<std::string> LogLines() { return SplitLines(ReadLog()); }

    // How many lines of the log contain text.
    static int CountLines(const std::string& text) {
        int count = 0;
        for (const std::string& line : LogLines())
            count += line.find(text) != std::string::npos;
        return count;
    }

    // The count logged by the last RELEASE line of name ("...>name->Release()=N"), or -1 when none.
    static int LastReleaseCount(const std::string& name, const std::string& log) {
        const std::string marker = ">" + name + "->Release()=";
        int count = -1;
        for (const std::string& line : SplitLines(log)) {
            size_t at = line.find(marker);
            if (line.rfind("RELEASE:<", 0) == 0 && at != std::string::npos)
                count = std::atoi(line.c_str() + at + marker.size());
        }
        return count;
    }

    // The log from the first line containing marker to the end ("" when there is none).
    static std::string LogFrom(const std::string& marker) {
        std::string log = ReadLog();
        size_t at = log.find(marker);
        return at == std::string::npos ? std::string() : log.substr(log.rfind('\n', at) + 1);
    }

    static std::string ErrorText() { return g_ErrorText; }
};

using testsupport::LockedPixels;

// A pixel value that tells where in the back buffer it came from.
inline WORD PatternAt(int x, int y) {
    return WORD(((x * 7 + y * 13) & 0xFFFF) | 1);
}

inline void FillPattern(IDirectDrawSurface* surface) {
    LockedPixels pixels(surface);
    ASSERT_TRUE(pixels.ok());
    for (int y = 0; y < pixels.height(); y++)
        for (int x = 0; x < pixels.width(); x++)
            pixels.At(x, y) = PatternAt(x, y);
}

inline void FillSolid(IDirectDrawSurface* surface, WORD value) {
    LockedPixels pixels(surface);
    ASSERT_TRUE(pixels.ok());
    pixels.Fill(value);
}

} // namespace video_test
