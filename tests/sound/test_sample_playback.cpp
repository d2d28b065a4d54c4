// Playing samples on the null output, checked sample by sample: one-shots, polyphony through
// duplicates, looping, stop and pause positions, the effects switch, and the volume and pan the
// buffers refuse.
#include "sound_test_support.h"

using namespace soundtest;

namespace {

class SamplePlayback : public SoundLibraryTest {};

// out (stereo) holds expected on both channels from frame from on.
void ExpectBoth(const std::vector<int16_t>& out, const std::vector<int16_t>& expected, size_t from = 0) {
    ASSERT_GE(out.size(), (from + expected.size()) * 2);
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(out[(from + i) * 2], expected[i]) << "left, frame " << from + i;
        ASSERT_EQ(out[(from + i) * 2 + 1], expected[i]) << "right, frame " << from + i;
    }
}

std::vector<int16_t> Slice(const std::vector<int16_t>& samples, size_t from, size_t count) {
    return std::vector<int16_t>(samples.begin() + long(from), samples.begin() + long(from + count));
}

DWORD PlayCursor(SNDSample* sample) {
    DWORD play = 0xFFFF;
    EXPECT_EQ(sample->m_pBuffer.load()->GetCurrentPosition(&play, nullptr), DS_OK);
    return play;
}

} // namespace

TEST_F(SamplePlayback, OneShotComesOutSampleForSampleThenStopsAtZero) {
    std::vector<int16_t> samples = Ramp(1000);
    LoadMono16(10, samples);
    SNDSample* sample = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(sample, Slot(0));
    EXPECT_FALSE(sample->m_dwFlags.load() & SND_RESERVED);
    EXPECT_TRUE(sample->SamplePlaying());
    std::vector<int16_t> out = Render(1200);
    ExpectBoth(out, samples);
    EXPECT_TRUE(AllSilent(std::vector<int16_t>(out.begin() + 2000, out.end())));
    EXPECT_FALSE(sample->SamplePlaying());
    EXPECT_EQ(PlayCursor(sample), 0u);
    // Played again, the same idle instance starts from the beginning.
    EXPECT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), sample);
    ExpectBoth(Render(20), Slice(samples, 0, 20));
}

TEST_F(SamplePlayback, EightBitStereoChannelsStaySeparate) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 200; ++i) {
        bytes.push_back(uint8_t(128 + (i % 50)));
        bytes.push_back(uint8_t(128 - (i % 70)));
    }
    std::string path = File("stereo8.wav", SimpleWav(2, kOutputRate, 8, bytes));
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
    ASSERT_NE(g_sound.PlaySample(10, 0xFFFF, 0x8000), nullptr);
    std::vector<int16_t> out = Render(200);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(out[size_t(i) * 2], (i % 50) * 256) << i;
        ASSERT_EQ(out[size_t(i) * 2 + 1], -(i % 70) * 256) << i;
    }
}

TEST_F(SamplePlayback, SecondPlayOfABusySoundIsADuplicateBesideIt) {
    std::vector<int16_t> samples = Ramp(1000);
    LoadMono16(10, samples);
    SNDSample* first = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(first, Slot(0));
    Render(100);
    SNDSample* second = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(second, Slot(1));
    EXPECT_TRUE(second->m_dwFlags.load() & SND_DUPLICATE);
    EXPECT_EQ(second->m_dwID, 10u);
    EXPECT_NE(second->m_pBuffer.load(), first->m_pBuffer.load());
    std::vector<int16_t> out = Render(1000);
    std::vector<int16_t> both(900), tail(100);
    for (size_t i = 0; i < 900; ++i)
        both[i] = int16_t(samples[100 + i] + samples[i]);
    for (size_t i = 0; i < 100; ++i)
        tail[i] = samples[900 + i];
    ExpectBoth(out, both);
    ExpectBoth(out, tail, 900);
    // Both idle: the original is reused and the idle duplicate goes at the next flush.
    Render(200);
    EXPECT_EQ(g_sound.FindSample(10), first);
    first->m_dwFlags &= ~SND_RESERVED;
    EXPECT_EQ(Slot(1)->m_dwFlags.load() & SND_INUSE, SND_INUSE);
    g_sound.FlushSamples();
    EXPECT_EQ(Slot(1)->m_dwFlags.load(), 0u);
    EXPECT_EQ(Slot(0)->m_dwFlags.load() & SND_INUSE, SND_INUSE);
}

TEST_F(SamplePlayback, LoopingSampleLoopsAndItsDuplicatePlaysOnce) {
    std::vector<int16_t> samples = Ramp(400);
    std::string path = File("loop.wav", RiffFile({{"fmt ", FormatBody(1, kOutputRate, 16)},
                                                  {"smpl", SamplerBody(1, 0, 399, 0)},
                                                  {"data", Bytes16(samples)}}));
    ASSERT_EQ(g_sound.LoadSample(path.c_str(), 10), 1);
    SNDSample* looping = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(looping, Slot(0));
    SNDSample* duplicate = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(duplicate, Slot(1));
    LoadMono16(11, Ramp(50, 3)); // slot 2, behind the duplicate
    EXPECT_FALSE(duplicate->m_dwFlags.load() & SND_LOOPS);
    std::vector<int16_t> out = Render(1000);
    std::vector<int16_t> expected(1000);
    for (size_t i = 0; i < 1000; ++i)
        expected[i] = int16_t(samples[i % 400] + (i < 400 ? samples[i] : 0));
    ExpectBoth(out, expected);
    EXPECT_TRUE(looping->SamplePlaying());
    EXPECT_FALSE(duplicate->SamplePlaying());
    // The idle duplicate is freed by the scan that passes it on the way to sample 11.
    EXPECT_EQ(g_sound.PlaySample(11, 0xFFFF, 0x8000), Slot(2));
    EXPECT_EQ(Slot(1)->m_dwFlags.load(), 0u);
}

TEST_F(SamplePlayback, PlayLeavesNoReservationAndUnknownIdsGiveNull) {
    LoadMono16(10, Ramp(100));
    EXPECT_EQ(g_sound.PlaySample(99, 0xFFFF, 0x8000), nullptr);
    EXPECT_EQ(g_sound.PlaySampleIDOnce(99, 0xFFFF, 0x8000), 0);
    SNDSample* found = g_sound.FindSample(10);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->m_dwFlags.load() & SND_RESERVED);
    // A reserved instance is busy: the next play gets a duplicate.
    SNDSample* next = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    EXPECT_NE(next, found);
    EXPECT_TRUE(next->m_dwFlags.load() & SND_DUPLICATE);
}

TEST_F(SamplePlayback, EffectsOffPlaysNothingAndLeavesNoReservation) {
    LoadMono16(10, Ramp(300));
    g_sound.EnableSFX(0);
    SNDSample* sample = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_EQ(sample, Slot(0));
    EXPECT_FALSE(sample->m_dwFlags.load() & SND_RESERVED);
    EXPECT_FALSE(sample->SamplePlaying());
    EXPECT_TRUE(AllSilent(Render(400)));
    EXPECT_EQ(g_sound.PlaySampleIDOnce(12345, 0xFFFF, 0x8000), 1);
    g_sound.EnableSFX(1);
    EXPECT_EQ(g_sound.PlaySampleIDOnce(12345, 0xFFFF, 0x8000), 0);
    EXPECT_EQ(g_sound.PlaySampleIDOnce(10, 0xFFFF, 0x8000), 1);
    EXPECT_FALSE(AllSilent(Render(100)));
}

TEST_F(SamplePlayback, VolumeAndPanAreRefusedSoSoundsPlayFullAndCentred) {
    std::vector<int16_t> samples = Ramp(300);
    LoadMono16(10, samples);
    // The game plays everything with pan 0, which maps to hard right: it must not be heard so.
    SNDSample* sample = g_sound.PlaySample(10, 0x4000, 0);
    ASSERT_NE(sample, nullptr);
    ExpectBoth(Render(300), samples);
    EXPECT_EQ(sample->m_lVolume.load(), 0x4000);
    EXPECT_EQ(sample->m_lPan.load(), 0);
    EXPECT_EQ(sample->SetVolume(0x8000), 0);
    EXPECT_EQ(sample->m_lVolume.load(), 0x8000);
    EXPECT_EQ(sample->SetPan(0xFFFF), 0);
    EXPECT_EQ(sample->m_lPan.load(), 0xFFFF);
    EXPECT_EQ(sample->SetPitch(22050), 0);
    EXPECT_EQ(sample->m_lPitch, 22050);
}

TEST_F(SamplePlayback, StopKeepsThePositionAndPlayGoesOnFromIt) {
    std::vector<int16_t> samples = Ramp(1000);
    LoadMono16(10, samples);
    SNDSample* sample = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_NE(sample, nullptr);
    Render(300);
    EXPECT_EQ(sample->StopSample(), 1);
    EXPECT_FALSE(sample->SamplePlaying());
    EXPECT_EQ(PlayCursor(sample), 600u);
    EXPECT_TRUE(AllSilent(Render(50)));
    EXPECT_EQ(sample->PlaySample(0xFFFF, 0x8000), 1);
    ExpectBoth(Render(100), Slice(samples, 300, 100));
}

TEST_F(SamplePlayback, PauseAndUnpause) {
    std::vector<int16_t> samples = Ramp(1000);
    LoadMono16(10, samples);
    SNDSample* sample = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->UnPauseSample(), 0); // not paused
    Render(250);
    EXPECT_EQ(sample->PauseSample(), 1);
    EXPECT_TRUE(sample->m_dwFlags.load() & SND_PAUSED);
    EXPECT_EQ(sample->m_dwPausePosition, 500u);
    EXPECT_TRUE(AllSilent(Render(100)));
    EXPECT_EQ(sample->UnPauseSample(), 1);
    EXPECT_FALSE(sample->m_dwFlags.load() & SND_PAUSED);
    ExpectBoth(Render(100), Slice(samples, 250, 100));
}

TEST_F(SamplePlayback, SlotWithoutBufferReportsInvalid) {
    SNDSample empty;
    EXPECT_EQ(empty.GetSampleStatus(), LONG(E_INVALIDARG));
    EXPECT_EQ(empty.SamplePlaying(), 0);
    EXPECT_EQ(empty.StopSample(), 0);
    EXPECT_EQ(empty.PauseSample(), 0);
    EXPECT_EQ(empty.UnPauseSample(), 0);
    EXPECT_EQ(empty.SetVolume(1), 0);
    EXPECT_EQ(empty.PlaySample(0xFFFF, 0x8000), 0);
    EXPECT_EQ(empty.DupeSample(), nullptr);
}

TEST_F(SamplePlayback, FreeSampleByIdKeepsPlayingInstances) {
    std::vector<int16_t> samples = Ramp(1000);
    LoadMono16(10, samples);
    ASSERT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), Slot(0));
    // Every instance busy: the id's free takes a fresh duplicate, the playing one goes on.
    g_sound.FreeSample(DWORD(10));
    EXPECT_EQ(Slot(1)->m_dwFlags.load(), 0u);
    EXPECT_TRUE(Slot(0)->SamplePlaying());
    ExpectBoth(Render(100), Slice(samples, 0, 100));
    Render(1000);
    g_sound.FreeSample(DWORD(10));
    EXPECT_EQ(Slot(0)->m_dwFlags.load(), 0u);
    EXPECT_EQ(g_sound.FindSample(10), nullptr);
}

TEST_F(SamplePlayback, FreeingAPlayingInstanceStopsIt) {
    LoadMono16(10, Ramp(1000));
    SNDSample* sample = g_sound.PlaySample(10, 0xFFFF, 0x8000);
    ASSERT_NE(sample, nullptr);
    Render(10);
    g_sound.FreeSample(sample);
    EXPECT_EQ(sample->m_pBuffer.load(), nullptr);
    EXPECT_EQ(sample->m_dwFlags.load(), 0u);
    EXPECT_TRUE(AllSilent(Render(200)));
}

TEST_F(SamplePlayback, EverySlotTakenRefusesAThirdVoice) {
    g_sound.Exit();
    ASSERT_EQ(g_sound.Init(window_, 2), 1);
    std::vector<int16_t> samples = Ramp(500);
    LoadMono16(10, samples);
    ASSERT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), Slot(0));
    ASSERT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), Slot(1));
    EXPECT_EQ(g_sound.PlaySample(10, 0xFFFF, 0x8000), nullptr);
    // Loading needs a free slot too.
    std::string path = File("other.wav", Mono16Wav(Ramp(10)));
    EXPECT_EQ(g_sound.LoadSample(path.c_str(), 11), 0);
    std::vector<int16_t> twice(500);
    for (size_t i = 0; i < 500; ++i)
        twice[i] = int16_t(samples[i] * 2);
    ExpectBoth(Render(500), twice);
    // Both ended: the idle duplicate's slot is taken back for the load.
    EXPECT_EQ(g_sound.LoadSample(path.c_str(), 11), 1);
    EXPECT_EQ(g_sound.FindSample(11), Slot(1));
}

TEST_F(SamplePlayback, ClearSampleListForgetsWithoutStopping) {
    std::vector<int16_t> samples = Ramp(600);
    LoadMono16(10, samples);
    ASSERT_NE(g_sound.PlaySample(10, 0xFFFF, 0x8000), nullptr);
    QuibSound::ClearSampleList();
    EXPECT_EQ(g_sound.FindSample(10), nullptr);
    EXPECT_EQ(QuibSound::g_nLastSample.load(), 0);
    ExpectBoth(Render(600), samples); // it runs to its end unmanaged
}

TEST_F(SamplePlayback, PlaySampleIDOnceDoesNotChain) {
    LoadMono16(10, Ramp(100));
    LoadMono16(11, Ramp(100, 2));
    SNDSample* a = g_sound.FindSample(10);
    SNDSample* b = g_sound.FindSample(11);
    a->m_dwFlags &= ~SND_RESERVED;
    b->m_dwFlags &= ~SND_RESERVED;
    SNDSample::ChainSample(a, b);
    EXPECT_EQ(g_sound.PlaySampleIDOnce(10, 0xFFFF, 0x8000), 1);
    EXPECT_FALSE(a->m_dwFlags.load() & SND_CHAINARMED);
    Render(200);
    EXPECT_FALSE(b->SamplePlaying());
}
