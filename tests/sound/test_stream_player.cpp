// The streamed sound: segment sizes, the fill thread refilling segments in order through the
// buffer's notifications, the end of a file, looping, pause, stop and clean-up, and fades.
#include "host/backend/headless.h"
#include "host/win/clock.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

// Frames in one 250 ms segment of a 16-bit mono stream at the output rate.
constexpr int kSegmentFrames = kOutputRate / 4;

std::atomic<int> g_callbacks{0};
std::atomic<DWORD> g_callbackId{0};

void CountCallback(DWORD id) {
    g_callbackId = id;
    ++g_callbacks;
}

class StreamPlayer : public SoundLibraryTest {
  protected:
    void SetUp() override {
        SoundLibraryTest::SetUp();
        g_callbacks = 0;
        g_callbackId = 0;
        g_sound.SetStreamNextFunc(CountCallback);
    }

    static _SNDStream& Info() { return *QuibSound::GetStreamInfoPtr(); }
    static bool Loaded() { return (Info().dwFlags.load() & SNDSTREAM_LOADED) != 0; }

    // Renders the stream one segment at a time, waiting after each for the fill thread's refill, as a
    // sound card would leave it time to; returns the left channel.
    std::vector<int16_t> PlaySegments(int segments) {
        std::vector<int16_t> left;
        for (int call = 1; call <= segments; ++call) {
            std::vector<int16_t> part = LeftOf(Render(kSegmentFrames));
            left.insert(left.end(), part.begin(), part.end());
            DWORD wanted = DWORD(call - 1);
            EXPECT_TRUE(WaitUntil([&] { return Info().dwSegmentsFilled.load() >= wanted || !Loaded(); }))
                << "segment " << call;
        }
        return left;
    }

    std::string StreamFile(const std::string& name, const std::vector<int16_t>& samples) {
        return File(name, Mono16Wav(samples));
    }
};

} // namespace

TEST_F(StreamPlayer, SegmentIsAQuarterSecondInWholeFrames) {
    std::string stereo = File("stereo.wav", SimpleWav(2, 22050, 16, std::vector<uint8_t>(4000, 0)));
    ASSERT_EQ(g_sound.LoadStream(stereo.c_str(), 3), 1);
    EXPECT_EQ(Info().dwSegmentSize, 22052u);
    EXPECT_EQ(Info().dwBufferSize, 176416u);
    EXPECT_EQ(QuibSound::GetStreamID(), 3u);
    std::string mono8 = File("mono8.wav", SimpleWav(1, 11025, 8, std::vector<uint8_t>(4000, 0x80)));
    ASSERT_EQ(g_sound.LoadStream(mono8.c_str(), 4), 1);
    EXPECT_EQ(Info().dwSegmentSize, 2756u);
    EXPECT_EQ(QuibSound::GetStreamID(), 4u);
    EXPECT_EQ(g_callbacks.load(), 1); // the first stream was cleaned up for the second
    EXPECT_EQ(g_callbackId.load(), 3u);
}

TEST_F(StreamPlayer, StopStreamWithNothingLoadedReturnsAtOnce) {
    EXPECT_EQ(g_sound.StopStream(), 1);
    EXPECT_EQ(g_callbacks.load(), 0);
    EXPECT_EQ(g_sound.PauseStream(), 1);
    EXPECT_EQ(g_sound.PlayStream(0), 1);
    EXPECT_EQ(QuibSound::GetStreamID(), 0u);
}

TEST_F(StreamPlayer, WholeFilePlaysThenTheStreamStopsAndCleansUp) {
    // 3.3 s: the end falls inside a segment of the second lap round the buffer.
    std::vector<int16_t> samples = Ramp(kOutputRate * 33 / 10);
    std::string path = StreamFile("music.wav", samples);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 42), 1);
    EXPECT_TRUE(Info().dwFlags.load() & SNDSTREAM_THREAD);
    EXPECT_NE(QuibSound::g_FillThread, nullptr);
    EXPECT_EQ(g_sound.PlayStream(0), 1);
    EXPECT_TRUE(Info().dwFlags.load() & SNDSTREAM_PLAYING);
    std::vector<int16_t> left = PlaySegments(20);
    ASSERT_TRUE(WaitUntil([&] { return !Loaded(); }));
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(left[i], samples[i]) << "frame " << i;
    EXPECT_TRUE(AllSilent(std::vector<int16_t>(left.begin() + long(samples.size()), left.end())));
    EXPECT_TRUE(WaitUntil([] { return g_callbacks.load() == 1; }));
    EXPECT_EQ(g_callbackId.load(), 42u);
    EXPECT_EQ(QuibSound::GetStreamID(), 0u);
    EXPECT_EQ(Info().pSample.load(), nullptr);
    // The stream's slot is free again and StopStream afterwards returns at once.
    EXPECT_EQ(Slot(0)->m_dwFlags.load(), 0u);
    EXPECT_EQ(g_sound.StopStream(), 1);
    EXPECT_EQ(QuibSound::g_FillThread, nullptr);
    EXPECT_EQ(g_callbacks.load(), 1);
}

TEST_F(StreamPlayer, EightBitStreamWhoseStartIsNotAnnouncedStillRefillsInOrder) {
    // Playing starts at byte 1, which is frame 1 of 8-bit mono sound: segment 0's notice at the start
    // is never given, so the first notice already asks for a refill.
    std::vector<uint8_t> bytes(size_t(kOutputRate) * 3);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(1 + (i * 7 + i / 300) % 254);
    std::string path = File("music8.wav", SimpleWav(1, kOutputRate, 8, bytes));
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 2), 1);
    g_sound.PlayStream(0);
    std::vector<int16_t> left = PlaySegments(16);
    ASSERT_TRUE(WaitUntil([&] { return !Loaded(); }));
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        ASSERT_EQ(left[i], (int(bytes[i + 1]) - 128) * 256) << "frame " << i;
    EXPECT_TRUE(AllSilent(std::vector<int16_t>(left.begin() + long(bytes.size()), left.end())));
}

TEST_F(StreamPlayer, FileShorterThanTheBufferPlaysOnceWhole) {
    std::vector<int16_t> samples = Ramp(kSegmentFrames * 3 / 2, 5);
    std::string path = StreamFile("short.wav", samples);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 7), 1);
    g_sound.PlayStream(0);
    std::vector<int16_t> left = PlaySegments(4);
    ASSERT_TRUE(WaitUntil([&] { return !Loaded(); }));
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(left[i], samples[i]) << i;
    // Nothing of the file (or what follows its sound) comes after its end.
    EXPECT_TRUE(AllSilent(std::vector<int16_t>(left.begin() + long(samples.size()), left.end())));
}

TEST_F(StreamPlayer, LoopingFileShorterThanASegmentWrapsContinuously) {
    std::vector<int16_t> samples = Ramp(4410, 11);
    std::vector<uint8_t> file = RiffFile({{"fmt ", FormatBody(1, kOutputRate, 16)},
                                          {"data", Bytes16(samples)},
                                          {"LIST", {'t', 'a', 'i', 'l', 'x', 'y', 'z', 'w'}}});
    std::string path = File("loop.wav", file);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 9), 1);
    g_sound.PlayStream(SNDSTREAM_LOOP);
    std::vector<int16_t> left = PlaySegments(16); // two laps round the buffer
    for (size_t i = 0; i < left.size(); ++i)
        ASSERT_EQ(left[i], samples[i % samples.size()]) << "frame " << i;
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(g_sound.StopStream(), 1);
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(g_callbacks.load(), 1);
    EXPECT_EQ(QuibSound::g_FillThread, nullptr);
    EXPECT_TRUE(AllSilent(Render(1000)));
}

TEST_F(StreamPlayer, LoadedButNeverPlayedIsCleanedUpByStopAndExit) {
    std::string path = StreamFile("idle.wav", Ramp(kOutputRate));
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 5), 1);
    EXPECT_EQ(g_sound.StopStream(), 1);
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(QuibSound::g_FillThread, nullptr);
    EXPECT_EQ(g_callbacks.load(), 1);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 6), 1);
    g_sound.Exit();
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(QuibSound::g_FillThread, nullptr);
    EXPECT_EQ(g_callbacks.load(), 2);
}

TEST_F(StreamPlayer, PauseKeepsTheStreamAndResumesWhereItStopped) {
    std::vector<int16_t> samples = Ramp(kOutputRate * 3, 13);
    std::string path = StreamFile("pause.wav", samples);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 8), 1);
    g_sound.PlayStream(0);
    std::vector<int16_t> left = PlaySegments(2);
    EXPECT_EQ(g_sound.PauseStream(), 1);
    EXPECT_TRUE(Info().dwFlags.load() & SNDSTREAM_PAUSED);
    EXPECT_TRUE(AllSilent(Render(1000)));
    WaitUntil([] { return false; }, 100); // time for the fill thread to take the pause's stop notice
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(g_sound.PauseStream(), 1);
    EXPECT_FALSE(Info().dwFlags.load() & SNDSTREAM_PAUSED);
    std::vector<int16_t> more = LeftOf(Render(1000));
    for (size_t i = 0; i < more.size(); ++i)
        ASSERT_EQ(more[i], samples[left.size() + i]) << i;
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(g_callbacks.load(), 0);
}

TEST_F(StreamPlayer, LoopShorterThanASegmentIsRefused) {
    std::vector<uint8_t> file = RiffFile({{"fmt ", FormatBody(1, kOutputRate, 16)},
                                          {"smpl", SamplerBody(1, 0, 1000, 0)},
                                          {"data", Bytes16(Ramp(kOutputRate))}});
    std::string path = File("shortloop.wav", file);
    EXPECT_EQ(g_sound.LoadStream(path.c_str(), 1), 0);
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(QuibSound::g_FillThread, nullptr);
    EXPECT_EQ(Slot(0)->m_dwFlags.load(), 0u);
    // A loop of a whole segment streams.
    file = RiffFile({{"fmt ", FormatBody(1, kOutputRate, 16)},
                     {"smpl", SamplerBody(1, 0, kSegmentFrames, 0)},
                     {"data", Bytes16(Ramp(kOutputRate))}});
    path = File("longloop.wav", file);
    EXPECT_EQ(g_sound.LoadStream(path.c_str(), 2), 1);
}

TEST_F(StreamPlayer, MalformedFilesAreRefusedWithoutAThread) {
    std::vector<std::vector<uint8_t>> bad = {
        {},
        SimpleWav(1, kOutputRate, 4, std::vector<uint8_t>(100, 1)),
        SimpleWav(1, 0, 16, std::vector<uint8_t>(100, 1)),
        SimpleWav(1, kOutputRate, 16, {}),
        RiffFile({{"fmt ", FormatBody(1, kOutputRate, 16)}}),
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        std::string path = File("bad" + std::to_string(i) + ".wav", bad[i]);
        EXPECT_EQ(g_sound.LoadStream(path.c_str(), 1), 0) << i;
        EXPECT_FALSE(Loaded()) << i;
        EXPECT_EQ(QuibSound::g_FillThread, nullptr) << i;
        EXPECT_EQ(Slot(0)->m_dwFlags.load(), 0u) << i;
    }
}

TEST_F(StreamPlayer, TruncatedDataStreamsWhatTheFileHolds) {
    std::vector<int16_t> samples = Ramp(kSegmentFrames, 17);
    std::vector<uint8_t> file = Mono16Wav(samples);
    uint32_t claimed = uint32_t(samples.size() * 2 * 10); // the header claims ten times more
    std::memcpy(file.data() + 40, &claimed, 4);
    std::string path = File("cut.wav", file);
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 3), 1);
    g_sound.PlayStream(0);
    std::vector<int16_t> left = PlaySegments(3);
    ASSERT_TRUE(WaitUntil([&] { return !Loaded(); }));
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(left[i], samples[i]) << i;
    EXPECT_TRUE(AllSilent(std::vector<int16_t>(left.begin() + long(samples.size()), left.end())));
}

TEST_F(StreamPlayer, MusicSwitch) {
    std::string path = StreamFile("music.wav", Ramp(kOutputRate));
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 1), 1);
    g_sound.PlayStream(SNDSTREAM_LOOP);
    Render(100);
    g_sound.EnableMusic(0); // stops the stream first
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(g_callbacks.load(), 1);
    EXPECT_EQ(g_sound.LoadStream(path.c_str(), 1), 0);
    EXPECT_TRUE(AllSilent(Render(500)));
    g_sound.EnableMusic(1);
    EXPECT_EQ(g_sound.LoadStream(path.c_str(), 1), 1);
}

TEST_F(StreamPlayer, NextStreamCallbackIsSwappedAndCleared) {
    EXPECT_EQ(g_sound.GetStreamNextFunc(), &CountCallback);
    EXPECT_EQ(g_sound.SetStreamNextFunc(nullptr), &CountCallback);
    EXPECT_EQ(g_sound.GetStreamNextFunc(), nullptr);
    g_sound.SetStreamNextFunc(CountCallback);
    QuibSound::ClearStreamNextStreamFunc();
    EXPECT_EQ(g_sound.GetStreamNextFunc(), nullptr);
    std::string path = StreamFile("quiet.wav", Ramp(1000));
    ASSERT_EQ(g_sound.LoadStream(path.c_str(), 1), 1);
    g_sound.StopStream();
    EXPECT_EQ(g_callbacks.load(), 0);
}

namespace {

// A clock that moves on a fixed step each time it is read, recording the stream volume then.
std::atomic<uint64_t> g_fakeNow{0};
uint64_t g_fakeStep = 10;
std::vector<int> g_volumesSeen;

uint64_t SteppingClock() {
    g_volumesSeen.push_back(QuibSound::GetStreamVolume());
    return g_fakeNow.fetch_add(g_fakeStep) + g_fakeStep;
}

class StreamFade : public StreamPlayer {
  protected:
    void SetUp() override {
        StreamPlayer::SetUp();
        std::string path = StreamFile("fade.wav", Ramp(kOutputRate));
        ASSERT_EQ(g_sound.LoadStream(path.c_str(), 1), 1);
        g_volumesSeen.clear();
        g_fakeNow = 1000;
    }
    void TearDown() override {
        HostUseBackendClock();
        StreamPlayer::TearDown();
    }

    // Fades with a clock of step ms per reading; the volumes set before each reading after the first.
    std::vector<int> Fade(int from, int to, DWORD ms, uint64_t step) {
        g_fakeStep = step;
        HostSetClockSource(SteppingClock);
        g_sound.FadeMusic(from, to, ms);
        HostUseBackendClock();
        return std::vector<int>(g_volumesSeen.begin() + 1, g_volumesSeen.end());
    }
};

} // namespace

TEST_F(StreamFade, VolumeMovesLinearlyToItsEnd) {
    std::vector<int> seen = Fade(0x8000, 0, 1000, 100);
    // Readings at 100 ms steps: the volume set for 0, 100, ..., 900 ms.
    ASSERT_EQ(seen.size(), 10u);
    for (size_t k = 0; k < seen.size(); ++k)
        EXPECT_EQ(seen[k], 0x8000 - int(k) * 100 * 0x8000 / 1000) << k;
    EXPECT_EQ(QuibSound::GetStreamVolume(), 0);
}

TEST_F(StreamFade, LongFadesDoNotOverflow) {
    std::vector<int> seen = Fade(0, 0xFFFF, 100000, 5000);
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_EQ(seen[10], 0xFFFF / 2);
    for (size_t k = 1; k < seen.size(); ++k)
        EXPECT_GT(seen[k], seen[k - 1]) << k;
    EXPECT_EQ(QuibSound::GetStreamVolume(), 0xFFFF);
}

TEST_F(StreamFade, InAndOutUseTheMusicVolume) {
    g_sound.FadeMusicIn(0);
    EXPECT_EQ(QuibSound::GetStreamVolume(), 0x8000);
    g_sound.FadeMusicOut(0);
    EXPECT_EQ(QuibSound::GetStreamVolume(), 0);
}
