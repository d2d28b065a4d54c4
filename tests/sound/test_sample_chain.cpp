// Chained playback: the callback thread starts the next sample of a chain when the one before stops.
#include "sound_test_support.h"

using namespace soundtest;

namespace {

class SampleChain : public SoundLibraryTest {
  protected:
    // Loads id and returns its (unreserved) instance.
    SNDSample* Loaded(DWORD id, const std::vector<int16_t>& samples) {
        LoadMono16(id, samples);
        SNDSample* sample = g_sound.FindSample(id);
        EXPECT_NE(sample, nullptr);
        if (sample) sample->m_dwFlags &= ~SND_RESERVED;
        return sample;
    }

    static int FreeEventEntries() {
        int free = 0;
        for (int i = 1; i < QuibSound::g_nMaxEventCount; ++i)
            if (!QuibSound::g_EventList[i].sample.load()) ++free;
        return free;
    }

    static bool Playing(SNDSample* sample) { return sample->SamplePlaying() != 0; }
};

void ExpectLeft(const std::vector<int16_t>& stereo, const std::vector<int16_t>& expected) {
    std::vector<int16_t> left = LeftOf(stereo);
    ASSERT_GE(left.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(left[i], expected[i]) << i;
}

} // namespace

TEST_F(SampleChain, ChainSampleLinksAtTheEnd) {
    SNDSample* a = Loaded(10, Ramp(10));
    SNDSample* b = Loaded(11, Ramp(10, 2));
    SNDSample* c = Loaded(12, Ramp(10, 3));
    EXPECT_EQ(SNDSample::ChainSample(nullptr, b), b);
    EXPECT_EQ(SNDSample::ChainSample(a, nullptr), nullptr);
    EXPECT_EQ(SNDSample::ChainSample(a, b), a);
    EXPECT_EQ(SNDSample::ChainSample(a, c), a);
    EXPECT_EQ(a->m_pNext.load(), b);
    EXPECT_EQ(b->m_pNext.load(), c);
    EXPECT_EQ(c->m_pNext.load(), nullptr);
}

TEST_F(SampleChain, ACircleIsLeftAlone) {
    SNDSample* a = Loaded(10, Ramp(10));
    SNDSample* b = Loaded(11, Ramp(10, 2));
    SNDSample* c = Loaded(12, Ramp(10, 3));
    SNDSample::ChainSample(a, b);
    SNDSample::ChainSample(b, a); // a -> b -> a
    EXPECT_EQ(SNDSample::ChainSample(a, c), a);
    EXPECT_EQ(a->m_pNext.load(), b);
    EXPECT_EQ(b->m_pNext.load(), a);
}

TEST_F(SampleChain, TheNextSampleStartsWhenTheFirstEnds) {
    std::vector<int16_t> first = Ramp(300);
    std::vector<int16_t> second = Ramp(500, 7);
    SNDSample* a = Loaded(10, first);
    SNDSample* b = Loaded(11, second);
    SNDSample::ChainSample(a, b);
    int freeBefore = FreeEventEntries();
    ASSERT_EQ(a->PlaySample(0x9000, 0x7000), 1);
    EXPECT_TRUE(a->m_dwFlags.load() & SND_CHAINARMED);
    EXPECT_EQ(FreeEventEntries(), freeBefore - 1);
    EXPECT_EQ(a->m_dwNotifyOffset.load(), DSBPN_OFFSETSTOP);
    ExpectLeft(Render(300), first);
    ASSERT_TRUE(WaitUntil([&] { return Playing(b); }));
    // The second plays with the first's settings, from its start, and the event entry is back.
    EXPECT_EQ(b->m_lVolume.load(), 0x9000);
    EXPECT_EQ(b->m_lPan.load(), 0x7000);
    ASSERT_TRUE(WaitUntil([&] { return !(a->m_dwFlags.load() & SND_CHAINARMED); }));
    EXPECT_EQ(FreeEventEntries(), freeBefore);
    ExpectLeft(Render(500), second);
    EXPECT_TRUE(AllSilent(Render(100)));
}

TEST_F(SampleChain, ALongerChainGoesOnLinkByLink) {
    std::vector<int16_t> sounds[3] = {Ramp(100), Ramp(150, 4), Ramp(120, 9)};
    SNDSample* a = Loaded(10, sounds[0]);
    SNDSample* b = Loaded(11, sounds[1]);
    SNDSample* c = Loaded(12, sounds[2]);
    SNDSample::ChainSample(SNDSample::ChainSample(a, b), c);
    ASSERT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    ExpectLeft(Render(100), sounds[0]);
    ASSERT_TRUE(WaitUntil([&] { return Playing(b); }));
    ExpectLeft(Render(150), sounds[1]);
    ASSERT_TRUE(WaitUntil([&] { return Playing(c); }));
    ExpectLeft(Render(120), sounds[2]);
    int free = QuibSound::g_nMaxEventCount - 1;
    EXPECT_TRUE(WaitUntil([&] { return FreeEventEntries() == free; }));
}

TEST_F(SampleChain, FreeingAnArmedSampleDoesNotStartItsChain) {
    SNDSample* a = Loaded(10, Ramp(1000));
    SNDSample* b = Loaded(11, Ramp(100, 2));
    SNDSample::ChainSample(a, b);
    ASSERT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    Render(100);
    g_sound.FreeSample(a);
    // The freed sample's event entry comes back once the callback has taken the stop signal.
    int free = QuibSound::g_nMaxEventCount - 1;
    ASSERT_TRUE(WaitUntil([&] { return FreeEventEntries() == free; }));
    EXPECT_FALSE(Playing(b));
    EXPECT_TRUE(AllSilent(Render(200)));
}

TEST_F(SampleChain, StoppingAnArmedSampleStartsItsChain) {
    std::vector<int16_t> second = Ramp(100, 2);
    SNDSample* a = Loaded(10, Ramp(1000));
    SNDSample* b = Loaded(11, second);
    SNDSample::ChainSample(a, b);
    ASSERT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    Render(100);
    EXPECT_EQ(a->PauseSample(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Playing(b); }));
    ExpectLeft(Render(100), second);
}

TEST_F(SampleChain, AnUnchainedReplayAfterAChainSignalsNothing) {
    SNDSample* a = Loaded(10, Ramp(100));
    SNDSample* b = Loaded(11, Ramp(100, 2));
    SNDSample* c = Loaded(12, Ramp(100, 3));
    SNDSample* d = Loaded(13, Ramp(5000, 4));
    SNDSample::ChainSample(a, b);
    ASSERT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    Render(100);
    ASSERT_TRUE(WaitUntil([&] { return Playing(b); }));
    ASSERT_TRUE(WaitUntil([&] { return !(a->m_dwFlags.load() & SND_CHAINARMED); }));
    Render(100);
    // d is armed on an event entry now; a plays again without a chain and ends: d's chain must wait
    // for d's own end.
    a->m_pNext = nullptr;
    SNDSample::ChainSample(d, c);
    ASSERT_EQ(d->PlaySample(0xFFFF, 0x8000), 1);
    ASSERT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    Render(200);
    WaitUntil([] { return false; }, 50); // time for a wrong start to show
    EXPECT_FALSE(Playing(c));
    EXPECT_TRUE(Playing(d));
}

TEST_F(SampleChain, WithEffectsOffTheChainPlaysNothing) {
    SNDSample* a = Loaded(10, Ramp(100));
    SNDSample* b = Loaded(11, Ramp(100, 2));
    SNDSample::ChainSample(a, b);
    g_sound.EnableSFX(0);
    EXPECT_EQ(a->PlaySample(0xFFFF, 0x8000), 1);
    EXPECT_FALSE(Playing(a));
    EXPECT_TRUE(AllSilent(Render(300)));
    EXPECT_FALSE(Playing(b));
}
