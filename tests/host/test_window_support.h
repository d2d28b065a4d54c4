// Shared set-up of the window, message and headless tests: a fresh window layer for every test, and a
// window procedure that writes down every message it hears.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/backend/headless.h"
#include "host/backend/machine.h"
#include "host/backend/present.h"
#include "host/win/clock.h"
#include "host/win/host_input.h"
#include "host/win/input_events.h"
#include "host/win/keystate.h"
#include "host/win/messages.h"
#include "host/win/window.h"

struct HeardMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<HeardMessage>& Heard() {
    static std::vector<HeardMessage> heard;
    return heard;
}

inline LRESULT CALLBACK_Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Heard().push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

// The numbers of the messages heard, in order, leaving out the ones in skip.
inline std::vector<UINT> HeardNumbers(std::vector<UINT> skip = {}) {
    std::vector<UINT> numbers;
    for (const HeardMessage& heard : Heard()) {
        bool skipped = false;
        for (UINT s : skip)
            skipped |= heard.message == s;
        if (!skipped) numbers.push_back(heard.message);
    }
    return numbers;
}

inline int CountHeard(UINT message, HWND window = nullptr) {
    int count = 0;
    for (const HeardMessage& heard : Heard())
        count += heard.message == message && (!window || heard.window == window);
    return count;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("HOST_BACKEND", "headless", 1);
        HostResetWindowLayer();
        HostResetKeyState();
        HostInputReset();
        HostSetInputObserver(nullptr);
        HostSetFrameLimit(0);
        HostResetPresentedFrames();
        HostSetMachine(HostDefaultMachine());
        HostHeadlessReset();
        HostUseBackendClock();
        Heard().clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = CALLBACK_Recording;
        windowClass.lpszClassName = "Recording";
        windowClass.cbWndExtra = 16;
        ASSERT_NE(RegisterClassA(&windowClass), 0);
    }
    void TearDown() override {
        HostSetInputObserver(nullptr);
        HostResetWindowLayer();
        HostResetKeyState();
        HostInputReset();
    }

    // A shown 800x600 top-level window at (x, y), as the programs make theirs.
    HWND MakeMainWindow(int x = 112, int y = 84) {
        return CreateWindowExA(WS_EX_LEFT, "Recording", "Test", WS_VISIBLE | WS_SYSMENU, x, y, 800, 600,
                               nullptr, nullptr, nullptr, nullptr);
    }

    // Takes every waiting message (PM_REMOVE) and dispatches it, as the programs' pumps do; returns the
    // messages taken.
    std::vector<MSG> Pump() {
        std::vector<MSG> taken;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return taken;
    }
};

// A solid 16-bit picture in memory.
struct TestPicture {
    int width, height;
    std::vector<WORD> pixels;
    TestPicture(int w, int h, WORD fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    WORD& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    HostPicture Picture(bool is555 = false) const {
        return HostPicture{pixels.data(), width, height, width * 2, is555};
    }
};

// Presents frames full screen pictures of picture.
inline void PresentFrames(const TestPicture& picture, int frames) {
    for (int i = 0; i < frames; ++i)
        HostPresentPrimary(picture.Picture(), true);
}
