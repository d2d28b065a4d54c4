// The library's life: Init and Exit, the slot and event tables, and carrying on silently without a
// sound device.
#include <cstdlib>

#include "sound_test_support.h"

using namespace soundtest;

namespace {

class SoundDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMachine_ = HostGetMachine();
        window_ = MakeWindow();
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        g_sound.Exit();
        if (window_) DestroyWindow(window_);
        HostSetMachine(savedMachine_);
        HostResetMessageQueue();
    }

    void SetAudioDevice(bool present) {
        HostMachine machine = HostGetMachine();
        machine.audioDevice = present;
        HostSetMachine(machine);
    }

    // Every call a program makes, on a library without a device: nothing may crash or play.
    void EveryCallIsSafe(const std::string& validWav) {
        EXPECT_EQ(g_sound.LoadSample(validWav.c_str(), 10), 0);
        EXPECT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), nullptr);
        EXPECT_EQ(g_sound.PlaySampleIDOnce(10, 0xFFFF, 0x8000), 0);
        EXPECT_EQ(g_sound.FindSample(10), nullptr);
        g_sound.FreeSample(DWORD(10));
        g_sound.FreeSample(static_cast<SNDSample*>(nullptr));
        g_sound.FlushSamples();
        EXPECT_EQ(QuibSound::AllocSample(), nullptr);
        QuibSound::ClearSampleList();
        EXPECT_EQ(g_sound.LoadStream(validWav.c_str(), 11), 0);
        EXPECT_EQ(g_sound.PlayStream(SNDSTREAM_LOOP), 1);
        EXPECT_EQ(g_sound.PauseStream(), 1);
        EXPECT_EQ(g_sound.StopStream(), 1);
        EXPECT_EQ(QuibSound::GetStreamID(), 0u);
        EXPECT_EQ(QuibSound::GetStreamVolume(), 0);
        QuibSound::SetStreamVolume(0x1000);
        g_sound.FadeMusic(0, 0x8000, 0);
        g_sound.EnableSFX(0);
        g_sound.EnableSFX(1);
        g_sound.EnableMusic(0);
        g_sound.EnableMusic(1);
        g_sound.MemCleanup();
    }

    HostMachine savedMachine_;
    HWND window_ = nullptr;
    TempFolder folder_;
};

} // namespace

TEST_F(SoundDevice, InitStartsDevicePrimaryBufferAndCallbackThread) {
    ASSERT_EQ(g_sound.Init(window_, 50), 1);
    ASSERT_NE(QuibSound::GetDSObject(), nullptr);
    IDirectSoundBuffer* primary = QuibSound::GetDSPrimaryBuffer();
    ASSERT_NE(primary, nullptr);
    DWORD status = 0;
    EXPECT_EQ(primary->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(g_sound.m_nEffectsEnabled.load(), 1);
    EXPECT_EQ(g_sound.m_nMusicEnabled.load(), 1);
    EXPECT_EQ(g_sound.m_nMusicVolume.load(), 0x8000);
    EXPECT_NE(QuibSound::g_CallBackThread, nullptr);
    EXPECT_EQ(QuibSound::g_nCallBackThreadActive.load(), 1);
    EXPECT_EQ(QuibSound::g_nMaxSampleCount, 50);
    EXPECT_EQ(QuibSound::g_pEndSample - QuibSound::g_SampleList, 50);
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 0);
    for (int i = 0; i < QuibSound::g_nMaxEventCount; ++i) {
        EXPECT_NE(QuibSound::g_CallBackHandles[i], nullptr);
        EXPECT_EQ(QuibSound::g_EventList[i].event, QuibSound::g_CallBackHandles[i]);
        EXPECT_EQ(QuibSound::g_EventList[i].sample.load(), nullptr);
    }
}

TEST_F(SoundDevice, EventCountIsSlotsPlusOneAtMostSixtyFour) {
    const std::pair<int, int> cases[] = {{50, 51}, {63, 64}, {64, 64}, {200, 64}, {0, 1}};
    for (auto [slots, events] : cases) {
        ASSERT_EQ(g_sound.Init(window_, slots), 1) << slots;
        EXPECT_EQ(QuibSound::g_nMaxEventCount, events) << slots;
        g_sound.Exit();
    }
}

TEST_F(SoundDevice, ExitReleasesEverythingAndMayRunTwice) {
    ASSERT_EQ(g_sound.Init(window_, 4), 1);
    std::string path = folder_ / "a.wav";
    WriteBytes(path, Mono16Wav(Ramp(2000)));
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
    ASSERT_NE(g_sound.PlaySample(10, 0xFFFF, 0x8000), nullptr);
    g_sound.Exit();
    EXPECT_EQ(QuibSound::GetDSObject(), nullptr);
    EXPECT_EQ(QuibSound::GetDSPrimaryBuffer(), nullptr);
    EXPECT_EQ(QuibSound::g_CallBackThread, nullptr);
    EXPECT_EQ(QuibSound::g_nCallBackThreadActive.load(), 0);
    EXPECT_EQ(QuibSound::g_SampleList, nullptr);
    EXPECT_EQ(QuibSound::g_MemHandle, nullptr);
    // The device is gone, so the output closed: nothing is left playing.
    EXPECT_EQ(HostAudioNullRate(), 0);
    g_sound.Exit();
    EveryCallIsSafe(path);
}

TEST_F(SoundDevice, WithoutAudioDeviceInitFailsAndEveryCallIsSilent) {
    SetAudioDevice(false);
    std::string path = folder_ / "a.wav";
    WriteBytes(path, Mono16Wav(Ramp(100)));
    EXPECT_EQ(g_sound.Init(window_, 50), 0);
    EXPECT_EQ(QuibSound::GetDSObject(), nullptr);
    EXPECT_EQ(QuibSound::g_SampleList, nullptr);
    EXPECT_EQ(QuibSound::g_pEndSample, nullptr);
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 0);
    EXPECT_EQ(QuibSound::g_CallBackThread, nullptr);
    EveryCallIsSafe(path);
    g_sound.Exit();
    g_sound.Exit();
    // A device that appears later is used by the next Init.
    SetAudioDevice(true);
    ASSERT_EQ(g_sound.Init(window_, 50), 1);
    EXPECT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
}

TEST_F(SoundDevice, InitWithoutAWindowFailsSafely) {
    EXPECT_EQ(g_sound.Init(nullptr, 8), 0);
    EXPECT_EQ(QuibSound::GetDSObject(), nullptr);
    std::string path = folder_ / "a.wav";
    WriteBytes(path, Mono16Wav(Ramp(100)));
    EveryCallIsSafe(path);
}

TEST_F(SoundDevice, NegativeSlotCountFails) {
    EXPECT_EQ(g_sound.Init(window_, -3), 0);
    EXPECT_EQ(QuibSound::GetDSObject(), nullptr);
    EXPECT_EQ(QuibSound::AllocSample(), nullptr);
}

TEST_F(SoundDevice, SecondInitStartsOver) {
    ASSERT_EQ(g_sound.Init(window_, 4), 1);
    std::string path = folder_ / "a.wav";
    WriteBytes(path, Mono16Wav(Ramp(100)));
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
    ASSERT_EQ(g_sound.Init(window_, 6), 1);
    EXPECT_EQ(g_sound.FindSample(10), nullptr);
    EXPECT_EQ(QuibSound::g_pEndSample - QuibSound::g_SampleList, 6);
    EXPECT_NE(QuibSound::g_CallBackThread, nullptr);
    EXPECT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
}

TEST_F(SoundDevice, SlotsAreTakenInOrderAndTheUsedEndFollows) {
    ASSERT_EQ(g_sound.Init(window_, 4), 1);
    SNDSample* a = QuibSound::AllocSample();
    SNDSample* b = QuibSound::AllocSample();
    SNDSample* c = QuibSound::AllocSample();
    EXPECT_EQ(a, Slot(0));
    EXPECT_EQ(b, Slot(1));
    EXPECT_EQ(c, Slot(2));
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 3);
    QuibSound::ClearSample(b);
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 3); // slot 2 is still in use
    EXPECT_EQ(QuibSound::AllocSample(), Slot(1));
    QuibSound::ClearSample(c);
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 3); // nothing in use after it: the end stays
    EXPECT_NE(QuibSound::AllocSample(), nullptr);
    EXPECT_NE(QuibSound::AllocSample(), nullptr);
    EXPECT_EQ(QuibSound::AllocSample(), nullptr); // all four taken
    QuibSound::ClearSampleList();
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 0);
    EXPECT_EQ(QuibSound::AllocSample(), Slot(0));
    QuibSound::ClearSample(nullptr);
    SNDSample outside;
    QuibSound::ClearSample(&outside); // not a slot: ignored
}

TEST_F(SoundDevice, VersionDateAndSwitchCopy) {
    EXPECT_EQ(g_sound.GetLIBVersion(), 1u);
    EXPECT_STREQ(g_sound.GetLIBDate(), "Fri May  5 06:51:24 2000");
    QuibSound copy;
    copy.m_nMusicVolume = 7;
    copy.m_nMusicEnabled = 0;
    copy.m_nEffectsEnabled = 1;
    QuibSound other;
    other = copy;
    EXPECT_EQ(other.m_nMusicVolume.load(), 7);
    EXPECT_EQ(other.m_nMusicEnabled.load(), 0);
    EXPECT_EQ(other.m_nEffectsEnabled.load(), 1);
}

// Run only as a child program by the test below: starts everything and returns without Exit, as the
// game does.
TEST_F(SoundDevice, DISABLED_ProgramEndsWithoutExit) {
    ASSERT_EQ(g_sound.Init(window_, 8), 1);
    std::string path = folder_ / "a.wav";
    WriteBytes(path, Mono16Wav(Ramp(30000)));
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 11), 1);
    SNDSample* a = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 12), 1);
    g_sound.PlayStream(SNDSTREAM_LOOP);
    Render(20000);
    std::exit(0); // the statics end the library's threads
}

TEST_F(SoundDevice, ProgramEndWithoutExitEndsTheThreadsCleanly) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) GTEST_SKIP() << "the test program's path is unknown";
    std::string command =
        "HOST_BACKEND=headless '" + self.string() +
        "' --gtest_also_run_disabled_tests --gtest_filter=SoundDevice.DISABLED_ProgramEndsWithoutExit"
        " > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}
