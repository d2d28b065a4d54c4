// The named-sample manager: IDs from 10, names, playing through the sound library on the null output,
// and a program without sound.
#include <gtest/gtest.h>

#include "framework/soundmanager.h"
#include "../sound/sound_test_support.h"

using namespace soundtest;

namespace {

class SoundManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMachine_ = HostGetMachine();
        window_ = MakeWindow();
        ASSERT_NE(window_, nullptr);
        wav_ = folder_ / "a.wav";
        WriteBytes(wav_, Mono16Wav(samples_));
    }
    void TearDown() override {
        g_soundManager.Shutdown();
        if (window_) DestroyWindow(window_);
        HostSetMachine(savedMachine_);
        HostResetMessageQueue();
    }

    std::string Wav(const std::string& name, const std::vector<int16_t>& samples) {
        std::string path = folder_ / name;
        WriteBytes(path, Mono16Wav(samples));
        return path;
    }

    HostMachine savedMachine_;
    HWND window_ = nullptr;
    TempFolder folder_;
    std::vector<int16_t> samples_ = Ramp(400);
    std::string wav_;
};

} // namespace

TEST_F(SoundManagerTest, IdsStartAtTenAndStartOverAfterFreeAll) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    EXPECT_EQ(QuibSound::g_nMaxSampleCount, 50);
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "a")->id, 10);
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "b")->id, 11);
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "c")->id, 12);
    g_soundManager.FreeAll();
    EXPECT_EQ(g_soundManager.m_pSamples->GetCount(), 0);
    EXPECT_EQ(g_soundManager.Find("a"), nullptr);
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "d")->id, 10);
}

TEST_F(SoundManagerTest, PlayByNameComesOutOfTheDevice) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    std::vector<int16_t> other = Ramp(300, 5);
    g_soundManager.LoadSample(wav_.c_str(), "wall");
    g_soundManager.LoadSample(Wav("zap.wav", other).c_str(), "zap");
    SNDSample* played = g_soundManager.Play("zap", 0xFFFF, 0);
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->m_dwID, 11u);
    std::vector<int16_t> left = LeftOf(Render(300));
    EXPECT_EQ(left, other);
    EXPECT_EQ(g_soundManager.PlayIndex(0, 0xFFFF, 0)->m_dwID, 10u);
    EXPECT_EQ(LeftOf(Render(400)), samples_);
    EXPECT_EQ(g_soundManager.PlayIndex(2, 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.PlayIndex(-1, 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.PlayEntry(nullptr, 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.GetDirectSound(), QuibSound::g_lpDSound);
}

TEST_F(SoundManagerTest, UnknownNamesAndFailedLoads) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    EXPECT_EQ(g_soundManager.Play("nothing", 0xFFFF, 0), nullptr);
    g_soundManager.Free("nothing");
    EXPECT_EQ(g_soundManager.LoadSample((folder_ / "missing.wav").c_str(), "gone"), nullptr);
    EXPECT_EQ(g_soundManager.m_pSamples->GetCount(), 0);
    EXPECT_EQ(g_soundManager.Play("gone", 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.Find(nullptr), nullptr);
    EXPECT_EQ(g_soundManager.LoadSample(nullptr, "x"), nullptr);
    EXPECT_TRUE(AllSilent(Render(200)));
}

TEST_F(SoundManagerTest, DuplicateNamesUseTheFirst) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    std::vector<int16_t> second = Ramp(400, 9);
    SampleEntry* first = g_soundManager.LoadSample(wav_.c_str(), "same");
    g_soundManager.LoadSample(Wav("b.wav", second).c_str(), "same");
    EXPECT_EQ(g_soundManager.Find("same"), first);
    ASSERT_NE(g_soundManager.Play("same", 0xFFFF, 0), nullptr);
    EXPECT_EQ(LeftOf(Render(400)), samples_);
    g_soundManager.Free("same");
    ASSERT_NE(g_soundManager.Find("same"), nullptr);
    EXPECT_EQ(g_soundManager.Find("same")->id, 11);
    EXPECT_EQ(g_soundManager.Find("Same"), nullptr); // names are case-sensitive
}

TEST_F(SoundManagerTest, IdsStayUniqueAfterFree) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    std::vector<int16_t> d = Ramp(400, 21);
    g_soundManager.LoadSample(wav_.c_str(), "a");
    g_soundManager.LoadSample(wav_.c_str(), "b");
    g_soundManager.LoadSample(Wav("c.wav", Ramp(400, 3)).c_str(), "c");
    g_soundManager.Free("b");
    SampleEntry* entry = g_soundManager.LoadSample(Wav("d.wav", d).c_str(), "d");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->id, 13);
    // "d" plays its own sound, not the one of another entry.
    ASSERT_NE(g_soundManager.Play("d", 0xFFFF, 0), nullptr);
    EXPECT_EQ(LeftOf(Render(400)), d);
}

TEST_F(SoundManagerTest, LongNamesAreCut) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    std::string longName(60, 'n');
    SampleEntry* entry = g_soundManager.LoadSample(wav_.c_str(), longName.c_str());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::string(entry->name), std::string(31, 'n'));
    EXPECT_EQ(g_soundManager.Find(longName.c_str()), entry);
}

TEST_F(SoundManagerTest, EffectsSwitchMutesPlay) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    g_soundManager.LoadSample(wav_.c_str(), "a");
    g_soundManager.EnableSFX(0);
    EXPECT_NE(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    EXPECT_TRUE(AllSilent(Render(400)));
    g_soundManager.EnableSFX(1);
    g_soundManager.EnableMusic(0);
    EXPECT_EQ(g_sound.m_nMusicEnabled.load(), 0);
    EXPECT_NE(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    EXPECT_FALSE(AllSilent(Render(400)));
}

TEST_F(SoundManagerTest, FreeAllForgetsPlayingSoundsWhichRunOn) {
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    g_soundManager.LoadSample(wav_.c_str(), "a");
    ASSERT_NE(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    ASSERT_NE(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    g_soundManager.FreeAll();
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 0);
    EXPECT_EQ(g_sound.FindSample(10), nullptr);
    std::vector<int16_t> left = LeftOf(Render(400));
    EXPECT_FALSE(AllSilent(left)); // one instance freed by its id, the other runs on
}

TEST_F(SoundManagerTest, WithoutAudioDeviceEveryCallIsSafe) {
    HostMachine machine = HostGetMachine();
    machine.audioDevice = false;
    HostSetMachine(machine);
    EXPECT_EQ(g_soundManager.Init(window_, 50), 0);
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "a"), nullptr);
    EXPECT_EQ(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.PlayIndex(0, 0xFFFF, 0), nullptr);
    EXPECT_EQ(g_soundManager.GetDirectSound(), nullptr);
    g_soundManager.Free("a");
    g_soundManager.EnableMusic(0);
    g_soundManager.EnableSFX(0);
    g_soundManager.FreeAll();
    g_soundManager.Shutdown();
    g_soundManager.Shutdown();
    EXPECT_EQ(g_soundManager.m_pSamples, nullptr);
}

TEST_F(SoundManagerTest, CallsBeforeInitAreSafeAndShutdownAllowsANewStart) {
    EXPECT_EQ(g_soundManager.LoadSample(wav_.c_str(), "a"), nullptr);
    EXPECT_EQ(g_soundManager.Play("a", 0xFFFF, 0), nullptr);
    g_soundManager.FreeAll();
    g_soundManager.Shutdown();
    ASSERT_EQ(g_soundManager.Init(window_, 200), 1);
    EXPECT_EQ(QuibSound::g_nMaxEventCount, 64);
    g_soundManager.Shutdown();
    EXPECT_EQ(QuibSound::GetDSObject(), nullptr);
    ASSERT_EQ(g_soundManager.Init(window_, 50), 1);
    EXPECT_NE(g_soundManager.LoadSample(wav_.c_str(), "a"), nullptr);
}
