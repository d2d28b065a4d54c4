// Set-up of the animation tests: the display in a window, and the game clock on a timer whose virtual
// time the test moves by hand, so each frame advance happens at a known clock value.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/animation.h"
#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework_test_support.h"
#include "host/backend/headless.h"
#include "host/mm/timer.h"
#include "host/win/clock.h"

namespace animtest {

inline std::atomic<uint64_t> g_now{500000};
inline uint64_t TestNow() {
    return g_now.load();
}

class AnimationTest : public fwtest::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
        HostSetClockSource(TestNow);
        ASSERT_EQ(StartClock(), 0);
        fwtest::FillWith(back_, kBackground);
    }
    void TearDown() override {
        StopClock();
        g_animations.DeleteAll();
        HostUseBackendClock();
        DisplayTest::TearDown();
    }

    // Moves the clock on by ms (a multiple of 10).
    static void Advance(int ms) {
        g_now += uint64_t(ms);
        HostTimersRunDue();
    }

    // A distinct colour per frame, never the blue key.
    static uint16_t FrameColour(int i) { return uint16_t(0x2000 + i * 0x0841); }

    // Adds n solid frames of w x h in the frame colours.
    void AddFrames(Animation& animation, int n, int w = 10, int h = 10) {
        for (int i = 0; i < n; ++i)
            animation.AddFrame(MakeSurface(w, h, FrameColour(i)));
    }

    // The number of queued rectangles at (x, y, w, h) with the given flags in the updater's current list.
    static int Registered(int x, int y, int w, int h, int flags = 0x1001) {
        int found = 0;
        const PtrArray<UpdateRect>& list = g_screenUpdater.lists[g_screenUpdater.index];
        for (int i = 0; i < list.count; ++i) {
            const UpdateRect* entry = list.items[i];
            found +=
                entry->x == x && entry->y == y && entry->w == w && entry->h == h && entry->flags == flags;
        }
        return found;
    }

    static constexpr uint16_t kBackground = 0x1111;
};

} // namespace animtest
