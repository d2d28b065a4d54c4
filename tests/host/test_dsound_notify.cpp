// Position notifications: events signalled by the mixer as the play cursor moves past their offsets,
// and the stop notification at the end of a play and on Stop.
#include "test_dsound_support.h"

#include <cstdlib>
#include <string>

#include "host/win/threads.h"

namespace {

class DsoundNotifyTest : public DsoundTest {
  protected:
    void SetUp() override {
        DsoundTest::SetUp();
        for (HANDLE& event : events_) {
            event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
            ASSERT_NE(event, nullptr);
        }
    }

    void TearDown() override {
        for (HANDLE event : events_)
            CloseHandle(event);
        DsoundTest::TearDown();
    }

    // True when event was signalled (and takes the signal: the events reset themselves).
    static bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

    // An 8-frame 16-bit mono buffer at the device rate with notifications at frames 0 and 4 and at the stop.
    IDirectSoundBuffer* MakeNotifiedBuffer() {
        IDirectSoundBuffer* buffer =
            MakeMono16(DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY, 44100, {1, 2, 3, 4, 5, 6, 7, 8});
        if (!buffer) return nullptr;
        IDirectSoundNotify* notify = nullptr;
        EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
        if (!notify) return buffer;
        DSBPOSITIONNOTIFY positions[3] = {{0, events_[0]}, {8, events_[1]}, {DSBPN_OFFSETSTOP, events_[2]}};
        EXPECT_EQ(notify->SetNotificationPositions(3, positions), DS_OK);
        notify->Release();
        return buffer;
    }

    HANDLE events_[3] = {};
};

TEST_F(DsoundNotifyTest, PositionsAreSignalledAsThePlayCursorPassesThem) {
    IDirectSoundBuffer* buffer = MakeNotifiedBuffer();
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_FALSE(Signalled(events_[0])); // nothing is signalled before the mixer plays
    Render(3);
    EXPECT_TRUE(Signalled(events_[0]));
    EXPECT_FALSE(Signalled(events_[1]));
    Render(2);
    EXPECT_TRUE(Signalled(events_[1]));
    EXPECT_FALSE(Signalled(events_[2]));
    Render(3);
    // The end of the buffer: the stop notification, and no position passed twice.
    EXPECT_TRUE(Signalled(events_[2]));
    EXPECT_FALSE(Signalled(events_[0]));
    EXPECT_FALSE(Signalled(events_[1]));
    EXPECT_EQ(Status(buffer), 0u);
    buffer->Release();
}

TEST_F(DsoundNotifyTest, StopSignalsTheStopNotificationOnlyWhenPlaying) {
    IDirectSoundBuffer* buffer = MakeNotifiedBuffer();
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_FALSE(Signalled(events_[2]));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Render(2);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_TRUE(Signalled(events_[2]));
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_FALSE(Signalled(events_[2]));
    buffer->Release();
}

TEST_F(DsoundNotifyTest, LoopingSignalsTheStartAgainOnEachLap) {
    IDirectSoundBuffer* buffer = MakeNotifiedBuffer();
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Render(8);
    EXPECT_TRUE(Signalled(events_[0]));
    EXPECT_TRUE(Signalled(events_[1]));
    Render(1); // frame 0 of the second lap
    EXPECT_TRUE(Signalled(events_[0]));
    EXPECT_FALSE(Signalled(events_[1]));
    EXPECT_FALSE(Signalled(events_[2]));
    buffer->Stop();
    buffer->Release();
}

TEST_F(DsoundNotifyTest, StartingOnAPositionSignalsIt) {
    IDirectSoundBuffer* buffer = MakeNotifiedBuffer();
    ASSERT_EQ(buffer->SetCurrentPosition(8), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(1);
    EXPECT_TRUE(Signalled(events_[1]));
    EXPECT_FALSE(Signalled(events_[0]));
    buffer->Release();
}

TEST_F(DsoundNotifyTest, DuplicatesHaveTheirOwnNotifications) {
    IDirectSoundBuffer* buffer = MakeNotifiedBuffer();
    IDirectSoundBuffer* duplicate = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(buffer, &duplicate), DS_OK);
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    Render(10);
    EXPECT_EQ(Status(duplicate), 0u);
    EXPECT_FALSE(Signalled(events_[0]));
    EXPECT_FALSE(Signalled(events_[2]));
    duplicate->Release();
    buffer->Release();
}

TEST_F(DsoundNotifyTest, NotificationsAreSetOnlyOnAStoppedBufferWithValidOffsets) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLPOSITIONNOTIFY, 44100, {1, 2, 3, 4});
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
    DSBPOSITIONNOTIFY beyond = {8, events_[0]};
    EXPECT_EQ(notify->SetNotificationPositions(1, &beyond), DSERR_INVALIDPARAM);
    DSBPOSITIONNOTIFY noEvent = {0, nullptr};
    EXPECT_EQ(notify->SetNotificationPositions(1, &noEvent), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify->SetNotificationPositions(1, nullptr), DSERR_INVALIDPARAM);
    DSBPOSITIONNOTIFY last = {7, events_[0]};
    ASSERT_EQ(notify->SetNotificationPositions(1, &last), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(1, &last), DSERR_INVALIDCALL);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    // Count 0 removes them all.
    ASSERT_EQ(notify->SetNotificationPositions(0, nullptr), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(4);
    EXPECT_FALSE(Signalled(events_[0]));
    notify->Release();
    buffer->Release();
}

TEST_F(DsoundNotifyTest, AnOffsetInATrailingPartFrameBelongsToTheLastFrame) {
    // Nine bytes of 16-bit mono: four whole frames and one stray byte.
    IDirectSoundBuffer* buffer =
        MakeBuffer(DSBCAPS_CTRLPOSITIONNOTIFY, PcmFormat(1, 16, 44100), std::vector<BYTE>(9, 0));
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
    DSBPOSITIONNOTIFY stray = {8, events_[0]};
    ASSERT_EQ(notify->SetNotificationPositions(1, &stray), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(3);
    EXPECT_FALSE(Signalled(events_[0]));
    Render(1);
    EXPECT_TRUE(Signalled(events_[0]));
    notify->Release();
    buffer->Release();
}

// The SDL output (its dummy driver: no sound card needed) runs the mixer on its own thread, which
// signals the notifications.
TEST(DsoundSdlOutput, TheMixerRunsInTheAudioCallback) {
    HostGetMachine(); // loaded as headless: the sdl way would start the display
    const char* backend = std::getenv("HOST_BACKEND");
    std::string savedBackend = backend ? backend : "";
    setenv("HOST_BACKEND", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    IDirectSound* ds = nullptr;
    HRESULT created = DirectSoundCreate(nullptr, &ds, nullptr);
    setenv("HOST_BACKEND", savedBackend.c_str(), 1);
    ASSERT_EQ(created, DS_OK);
    EXPECT_EQ(HostAudioNullRate(), 0); // not the null output

    std::vector<BYTE> bytes(4410, 0x80);
    WAVEFORMATEX format = PcmFormat(1, 8, 44100);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLPOSITIONNOTIFY;
    desc.dwBufferBytes = DWORD(bytes.size());
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
    HANDLE stopped = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DSBPOSITIONNOTIFY atStop = {DSBPN_OFFSETSTOP, stopped};
    ASSERT_EQ(notify->SetNotificationPositions(1, &atStop), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    // 100 ms of sound; the wait's limit only keeps a broken output from hanging the test.
    EXPECT_EQ(WaitForSingleObject(stopped, 10000), WAIT_OBJECT_0);
    DWORD status = 1;
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    notify->Release();
    buffer->Release();
    EXPECT_EQ(ds->Release(), 0u);
    CloseHandle(stopped);
}

} // namespace
