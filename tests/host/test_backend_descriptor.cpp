// What the backend's descriptor decides for the areas above it: pacing waits and waits for timers follow
// the kind of clock, calls run as virtual time passes, and the audio output closes where it opened.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "host/backend/audio.h"
#include "host/backend/audio_null.h"
#include "host/backend/backend.h"
#include "host/backend/hooks.h"
#include "host/backend/present.h"
#include "host/mm/timer.h"
#include "host/win/clock.h"
#include "win_test_folder.h"

namespace {

using wintest::EnvironmentGuard;

double ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

TEST(BackendDescriptor, PacingWaitsSleepOnlyOnTheRealClock) {
    EXPECT_NE(HostChosenBackend().virtualNowMs, nullptr); // the tests run headless
    auto start = std::chrono::steady_clock::now();
    HostPaceWait(5000); // virtual time moves only with frames: waiting here would only stall
    EXPECT_LT(ElapsedMs(start), 2500.0);

    EnvironmentGuard real("HOST_BACKEND", "sdl");
    EXPECT_EQ(HostChosenBackend().virtualNowMs, nullptr);
    start = std::chrono::steady_clock::now();
    HostPaceWait(30);
    EXPECT_GE(ElapsedMs(start), 30.0);
}

TEST(BackendDescriptor, OnlyATimerThreadIsWorthWaitingFor) {
    EXPECT_FALSE(HostYieldToTimers());
    EnvironmentGuard real("HOST_BACKEND", "sdl");
    EXPECT_TRUE(HostYieldToTimers());
}

std::atomic<int> g_passed{0};
void CountPassing() {
    ++g_passed;
}

TEST(BackendDescriptor, TimePassedCallsRunOncePerPresentedFrame) {
    HostAddTimePassedHook(CountPassing);
    HostAddTimePassedHook(CountPassing); // a second add changes nothing
    int before = g_passed.load();
    WORD pixel = 0;
    HostPicture picture{&pixel, 1, 1, 2, false};
    for (int frame = 0; frame < 3; ++frame)
        HostPresentPrimary(picture, true);
    EXPECT_EQ(g_passed.load() - before, 3);
}

void Silence(int16_t* stereo, int frames, void*) {
    for (int i = 0; i < 2 * frames; ++i)
        stereo[i] = 0;
}

TEST(BackendDescriptor, AudioClosesOnTheBackendThatOpenedIt) {
    ASSERT_TRUE(HostAudioOpen(22050, Silence, nullptr));
    EXPECT_EQ(HostAudioNullRate(), 22050);
    EXPECT_FALSE(HostAudioOpen(22050, Silence, nullptr)); // one output at a time
    {
        EnvironmentGuard real("HOST_BACKEND", "sdl");
        EXPECT_EQ(HostAudioRate(), 22050);
        HostAudioClose();
    }
    EXPECT_EQ(HostAudioNullRate(), 0);
    EXPECT_EQ(HostAudioRate(), 0);
}

} // namespace
