// Reading WAV files: formats, chunk order, odd chunks, the "smpl" loop, and malformed or truncated
// files refused without reading past them.
#include "host/win/files.h"
#include "sound/sound_internal.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

// Parses a file through a bare slot (no device needed); the slot keeps what was read.
class WavParse : public ::testing::Test {
  protected:
    // 1 when path parses as a WAV; the sound bytes at the file's position are read into data.
    int Parse(const std::vector<uint8_t>& bytes, size_t dataBytesToRead = 0) {
        std::string path = folder_ / "parse.wav";
        WriteBytes(path, bytes);
        sample_ = SNDSample();
        HANDLE file = sample_.OpenSoundFile(path.c_str());
        if (file == INVALID_HANDLE_VALUE) return 0;
        data_.assign(dataBytesToRead, 0);
        DWORD got = 0;
        if (dataBytesToRead) ReadFile(file, data_.data(), DWORD(dataBytesToRead), &got, nullptr);
        data_.resize(got);
        CloseHandle(file);
        return 1;
    }

    TempFolder folder_;
    SNDSample sample_;
    std::vector<uint8_t> data_;
};

const std::vector<uint8_t> kData = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

} // namespace

TEST_F(WavParse, SixteenBitStereoFieldsAndTheFileLeftAtTheSound) {
    ASSERT_EQ(Parse(SimpleWav(2, 22050, 16, kData), kData.size()), 1);
    EXPECT_EQ(sample_.m_dwChannels, 2u);
    EXPECT_EQ(sample_.m_dwRate, 22050u);
    EXPECT_EQ(sample_.m_dwBits, 16u);
    EXPECT_EQ(sample_.m_dwDataSize, kData.size());
    EXPECT_EQ(sample_.m_dwFlags.load(), SND_HEADER);
    EXPECT_EQ(data_, kData);
}

TEST_F(WavParse, EightBitMono) {
    ASSERT_EQ(Parse(SimpleWav(1, 11025, 8, kData), 4), 1);
    EXPECT_EQ(sample_.m_dwChannels, 1u);
    EXPECT_EQ(sample_.m_dwRate, 11025u);
    EXPECT_EQ(sample_.m_dwBits, 8u);
    EXPECT_EQ(data_, std::vector<uint8_t>(kData.begin(), kData.begin() + 4));
}

TEST_F(WavParse, ChunksInAnyOrderAreFound) {
    std::vector<uint8_t> list = {'I', 'N', 'F', 'O', 'x', 'y'};
    ASSERT_EQ(
        Parse(RiffFile({{"LIST", list}, {"fmt ", FormatBody(1, 8000, 8)}, {"data", kData}}), kData.size()),
        1);
    EXPECT_EQ(data_, kData);
    // "fmt " after "data", 16 bytes long and ending the file.
    ASSERT_EQ(Parse(RiffFile({{"data", kData}, {"fmt ", FormatBody(1, 8000, 8, 1, 16)}}), kData.size()), 1);
    EXPECT_EQ(sample_.m_dwRate, 8000u);
    EXPECT_EQ(data_, kData);
}

TEST_F(WavParse, OddSizedChunkWithItsPadByte) {
    std::vector<uint8_t> odd = {'a', 'b', 'c'};
    ASSERT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 8)}, {"LIST", odd, true}, {"data", kData}}),
                    kData.size()),
              1);
    EXPECT_EQ(data_, kData);
}

TEST_F(WavParse, OddSizedChunkWithoutPadByteStillLoads) {
    std::vector<uint8_t> odd = {'a', 'b', 'c'};
    ASSERT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 8)}, {"LIST", odd, false}, {"data", kData}}),
                    kData.size()),
              1);
    EXPECT_EQ(data_, kData);
}

TEST_F(WavParse, FormatChunkSizes) {
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 16, 1, 18)}, {"data", kData}})), 1);
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 16, 1, 40)}, {"data", kData}})), 1);
    EXPECT_EQ(sample_.m_dwBits, 16u);
    // Shorter than the PCM fields: not a WAV.
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 16, 1, 14)}, {"data", kData}})), 0);
}

TEST_F(WavParse, OnlyPcmIsAccepted) {
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 32, 3)}, {"data", kData}})), 0);
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 4, 0x11)}, {"data", kData}})), 0);
}

TEST_F(WavParse, MissingOrWrongPartsAreRefused) {
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 8)}})), 0);                          // no data
    EXPECT_EQ(Parse(RiffFile({{"data", kData}})), 0);                                           // no fmt
    EXPECT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 8)}, {"data", kData}}, "AVI ")), 0); // not WAVE
    std::vector<uint8_t> notRiff = SimpleWav(1, 8000, 8, kData);
    notRiff[0] = 'X';
    EXPECT_EQ(Parse(notRiff), 0);
    EXPECT_EQ(Parse({}), 0);
    EXPECT_EQ(Parse({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}), 0);
}

TEST_F(WavParse, TruncatedHeadersAreRefused) {
    std::vector<uint8_t> whole = SimpleWav(1, 8000, 8, kData);
    // Cut inside the fmt body, inside the data header: every cut before the data's header is refused.
    size_t dataHeader = 12 + 8 + 16;
    for (size_t cut = 0; cut < dataHeader + 8; ++cut) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + long(cut));
        EXPECT_EQ(Parse(part), 0) << "cut at " << cut;
    }
}

TEST_F(WavParse, ChunkSizesBeyondTheFileEndTheWalk) {
    // A huge chunk before "fmt " sends the walk past the end: not found, not read past.
    Chunk huge{"LIST", {1, 2, 3, 4}, true, 0xFFFFFFF0};
    EXPECT_EQ(Parse(RiffFile({huge, {"fmt ", FormatBody(1, 8000, 8)}, {"data", kData}})), 0);
    Chunk hugeFormat{"fmt ", FormatBody(1, 8000, 8), true, 0x7FFFFFFF};
    // Its fields are read, but the "data" chunk lies inside its claimed body: not found.
    EXPECT_EQ(Parse(RiffFile({hugeFormat, {"data", kData}})), 0);
}

TEST_F(WavParse, SamplerChunkWithoutLoopsLeavesTheSampleOneShot) {
    ASSERT_EQ(Parse(RiffFile(
                  {{"fmt ", FormatBody(1, 8000, 16)}, {"smpl", SamplerBody(0, 0, 0, 0)}, {"data", kData}})),
              1);
    EXPECT_FALSE(sample_.m_dwFlags.load() & SND_LOOPS);
}

TEST_F(WavParse, SamplerLoopIsShiftedByTheSampleBytes) {
    ASSERT_EQ(
        Parse(RiffFile(
            {{"fmt ", FormatBody(1, 8000, 16)}, {"smpl", SamplerBody(1, 10, 100, 3)}, {"data", kData}})),
        1);
    EXPECT_TRUE(sample_.m_dwFlags.load() & SND_LOOPS);
    EXPECT_EQ(sample_.m_dwLoopStart, 40u);
    EXPECT_EQ(sample_.m_dwLoopEnd, 400u);
    EXPECT_EQ(sample_.m_dwLoopCount, 3u);
    ASSERT_EQ(Parse(RiffFile(
                  {{"fmt ", FormatBody(1, 8000, 8)}, {"smpl", SamplerBody(1, 10, 100, 0)}, {"data", kData}})),
              1);
    EXPECT_EQ(sample_.m_dwLoopStart, 20u);
    EXPECT_EQ(sample_.m_dwLoopEnd, 200u);
}

TEST_F(WavParse, ShortSamplerChunkIsIgnored) {
    std::vector<uint8_t> body = SamplerBody(1, 10, 100, 3);
    body.resize(30); // too short to hold its header
    ASSERT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 16)}, {"smpl", body}, {"data", kData}})), 1);
    EXPECT_FALSE(sample_.m_dwFlags.load() & SND_LOOPS);
    body = SamplerBody(1, 10, 100, 3);
    body.resize(40); // says one loop but holds no loop record
    ASSERT_EQ(Parse(RiffFile({{"fmt ", FormatBody(1, 8000, 16)}, {"smpl", body}, {"data", kData}})), 1);
    EXPECT_FALSE(sample_.m_dwFlags.load() & SND_LOOPS);
}

TEST_F(WavParse, FindRiffChunkFromAnOffset) {
    std::vector<uint8_t> bytes =
        RiffFile({{"fmt ", FormatBody(1, 8000, 8)}, {"junk", {9, 9}}, {"data", kData}});
    std::string path = folder_ / "chunks.wav";
    WriteBytes(path, bytes);
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    _ChunkHeader header{};
    ASSERT_EQ(SNDSample::FindRiffChunk(file, SndFourCC('j', 'u', 'n', 'k'), &header, 12), 1);
    EXPECT_EQ(header.size, 2u);
    BYTE body[2] = {};
    DWORD got = 0;
    ReadFile(file, body, 2, &got, nullptr);
    EXPECT_EQ(body[0], 9);
    // From the "junk" chunk on, "fmt " lies behind the walk.
    EXPECT_EQ(SNDSample::FindRiffChunk(file, SndFourCC('f', 'm', 't', ' '), &header, 12 + 8 + 16), 0);
    EXPECT_EQ(SNDSample::FindRiffChunk(file, SndFourCC('n', 'o', 'n', 'e'), &header, 12), 0);
    CloseHandle(file);
}

// Loading through the library onto the null device.
class WavLoad : public SoundLibraryTest {};

TEST_F(WavLoad, LoadsEveryPlayableFormat) {
    struct Format {
        int channels, rate, bits;
    };
    DWORD id = 1;
    for (Format format :
         {Format{1, 8000, 8}, Format{2, 11025, 8}, Format{1, 22050, 16}, Format{2, 44100, 16}}) {
        std::vector<uint8_t> data(size_t(format.channels * format.bits / 8) * 100, 0x40);
        std::string path = File("f" + std::to_string(id) + ".wav",
                                SimpleWav(format.channels, format.rate, format.bits, data));
        EXPECT_EQ(g_sound.LoadSample(path.c_str(), id), 1) << id;
        SNDSample* sample = g_sound.FindSample(id);
        ASSERT_NE(sample, nullptr);
        EXPECT_NE(sample->m_pBuffer.load(), nullptr);
        EXPECT_EQ(sample->m_dwID, id);
        ++id;
    }
}

TEST_F(WavLoad, LengthFieldFollowsItsFormula) {
    // data size x bits x 1000 / (rate x 8): 88200 x 16 x 1000 / (44100 x 8).
    LoadMono16(5, std::vector<int16_t>(44100, 7));
    SNDSample* sample = g_sound.FindSample(5);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->m_lLength, 4000);
    EXPECT_EQ(SndLengthField(3, 8, 0), -1);
    EXPECT_EQ(SndLengthField(0xFFFFFFFFu, 16, 1), -1);
    EXPECT_EQ(SndLengthField(1, 8, 3), 333);
}

TEST_F(WavLoad, RefusedFilesLeaveNoSlotTaken) {
    std::vector<uint8_t> whole = Mono16Wav(Ramp(100));
    std::vector<std::vector<uint8_t>> bad = {
        std::vector<uint8_t>(whole.begin(), whole.end() - 1), // data cut short
        SimpleWav(1, 44100, 12, std::vector<uint8_t>(60, 1)), // 12-bit
        SimpleWav(3, 44100, 16, std::vector<uint8_t>(60, 1)), // three channels
        SimpleWav(1, 0, 16, std::vector<uint8_t>(60, 1)),     // rate 0
        SimpleWav(1, 44100, 16, {}),                          // no sound
        RiffFile(
            {{"fmt ", FormatBody(1, 44100, 16)}, {"data", {1, 2}, true, 0x7FFFFFF0}}), // data claims 2 GB
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        std::string path = File("bad" + std::to_string(i) + ".wav", bad[i]);
        EXPECT_EQ(g_sound.LoadSample(path.c_str(), 20 + DWORD(i)), 0) << i;
        EXPECT_EQ(g_sound.FindSample(20 + DWORD(i)), nullptr) << i;
    }
    EXPECT_EQ(g_sound.LoadSample((folder_ / "missing.wav").c_str(), 30), 0);
    EXPECT_EQ(g_sound.LoadSample(nullptr, 31), 0);
    for (int i = 0; i < Slots(); ++i)
        EXPECT_EQ(Slot(i)->m_dwFlags.load(), 0u) << i;
    // Every slot is still there to be taken.
    for (int i = 0; i < Slots(); ++i)
        LoadMono16(DWORD(100 + i), Ramp(10, i));
}

namespace {

std::atomic<int> g_opens{0};

HANDLE CountingOpen(const char* file) {
    ++g_opens;
    return CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

} // namespace

TEST_F(WavLoad, LoadingALoadedIdReadsNothing) {
    QuibSound::SetFileOpenFunc(CountingOpen);
    g_opens = 0;
    std::string path = LoadMono16(7, Ramp(50));
    EXPECT_EQ(g_opens.load(), 1);
    EXPECT_EQ(g_sound.LoadSample((folder_ / "missing.wav").c_str(), 7), 1);
    EXPECT_EQ(g_opens.load(), 1);
}

TEST_F(WavLoad, TheSoundBytesReachTheBuffer) {
    std::vector<int16_t> samples = Ramp(64);
    LoadMono16(9, samples);
    SNDSample* sample = g_sound.FindSample(9);
    ASSERT_NE(sample, nullptr);
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(sample->m_pBuffer.load()->Lock(0, 128, &part, &bytes, nullptr, nullptr, 0), DS_OK);
    ASSERT_EQ(bytes, 128u);
    EXPECT_EQ(std::memcmp(part, samples.data(), 128), 0);
    sample->m_pBuffer.load()->Unlock(part, 0, nullptr, 0);
}
