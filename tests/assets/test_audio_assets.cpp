// The generated sounds and music in the game's package folder: every effect is a plain 16-bit PCM WAV
// the sound library loads as a one-shot sample (no "smpl" loop chunk), of a length that suits what it
// signals, below full scale and silent at both ends; the music decodes to at least a minute of stereo
// and joins its end to its start without a click.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game_folder.h"
#include "tests/support/files.h"

namespace {

// Where the build puts the game's sounds.
std::string SoundsFolder() {
    return GameFile("sounds/");
}

using testsupport::Le16;
using testsupport::Le32;
using testsupport::ReadBytes;

// What a RIFF/WAVE file holds, read the way a strict loader walks it: chunk by chunk from offset 12,
// every chunk inside the file.
struct WavFile {
    std::string fault; // empty when the file is well formed
    std::vector<std::string> chunks;
    uint16_t format = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    std::vector<int16_t> samples; // interleaved
    bool oddChunkBeforeData = false;

    bool Has(const std::string& id) const {
        return std::find(chunks.begin(), chunks.end(), id) != chunks.end();
    }
    double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0.0; }
};

WavFile ReadWav(const std::string& path) {
    WavFile wav;
    std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(&bytes[8], "WAVE", 4) != 0) {
        wav.fault = "not a RIFF/WAVE file";
        return wav;
    }
    bool dataSeen = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string id(reinterpret_cast<const char*>(&bytes[at]), 4);
        uint32_t size = Le32(bytes, at + 4);
        size_t body = at + 8;
        if (size > bytes.size() - body) {
            wav.fault = "chunk \"" + id + "\" runs past the end of the file";
            return wav;
        }
        wav.chunks.push_back(id);
        if (id == "fmt " && size >= 16) {
            wav.format = Le16(bytes, body);
            wav.channels = Le16(bytes, body + 2);
            wav.rate = Le32(bytes, body + 4);
            wav.bits = Le16(bytes, body + 14);
        }
        if (id == "data") {
            dataSeen = true;
            for (size_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(int16_t(Le16(bytes, body + i)));
        } else if (!dataSeen && size % 2 == 1) {
            wav.oddChunkBeforeData = true;
        }
        at = body + size + (size % 2);
    }
    if (!wav.Has("fmt ") || !dataSeen) wav.fault = "no \"fmt \" or no \"data\" chunk";
    return wav;
}

int PeakOf(const std::vector<int16_t>& samples, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
}

double RmsOf(const std::vector<int16_t>& samples, size_t from, size_t to) {
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = from; i < to && i < samples.size(); ++i, ++count)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

double Dbfs(double level) {
    return 20.0 * std::log10(std::max(level, 1e-3) / 32768.0);
}

// Each effect and the length range that fits what it signals; the loudest it may be (dBFS).
struct ExpectedEffect {
    const char* file;
    double minSeconds;
    double maxSeconds;
    double maxPeakDb;
};

const ExpectedEffect kEffects[] = {
    {"arrow.wav", 0.03, 0.2, -1.0},
    // Heard at every bounce: soft and short.
    {"wall.wav", 0.03, 0.15, -6.0},
    {"explode.wav", 0.6, 2.0, -1.0},
    {"falling.wav", 0.5, 1.5, -1.0},
    {"incorrect.wav", 0.2, 0.8, -1.0},
    {"level.wav", 0.4, 1.5, -1.0},
    {"positive.wav", 0.3, 1.2, -1.0},
    {"verypositive.wav", 0.8, 2.5, -1.0},
    {"zap.wav", 0.2, 0.8, -1.0},
};

TEST(AudioAssets, EveryEffectIsAOneShot16BitPcmWav) {
    for (const ExpectedEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        WavFile wav = ReadWav(SoundsFolder() + effect.file);
        ASSERT_EQ(wav.fault, "");
        EXPECT_EQ(wav.format, 1) << "PCM";
        EXPECT_EQ(wav.bits, 16);
        EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
        EXPECT_TRUE(wav.rate == 22050 || wav.rate == 44100);
        // A loop chunk would make the game play the effect forever.
        EXPECT_FALSE(wav.Has("smpl"));
        // The sound library's chunk walk does not skip pad bytes.
        EXPECT_FALSE(wav.oddChunkBeforeData);
        EXPECT_EQ(wav.samples.size() % std::max<size_t>(wav.channels, 1), 0u) << "whole sample frames";
    }
}

TEST(AudioAssets, EffectLengthsSuitWhatTheySignal) {
    for (const ExpectedEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        WavFile wav = ReadWav(SoundsFolder() + effect.file);
        ASSERT_EQ(wav.fault, "");
        EXPECT_GE(wav.Seconds(), effect.minSeconds);
        EXPECT_LE(wav.Seconds(), effect.maxSeconds);
    }
}

TEST(AudioAssets, EffectsAreAudibleBelowFullScaleAndSilentAtBothEnds) {
    for (const ExpectedEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        WavFile wav = ReadWav(SoundsFolder() + effect.file);
        ASSERT_EQ(wav.fault, "");
        ASSERT_GT(wav.samples.size(), 100u);
        double peakDb = Dbfs(PeakOf(wav.samples, 0, wav.samples.size()));
        EXPECT_LE(peakDb, effect.maxPeakDb);
        EXPECT_GE(peakDb, -20.0) << "loud enough to hear over the music";
        // Fades in and out: a sample that starts or stops away from zero clicks.
        EXPECT_LE(std::abs(int(wav.samples.front())), 64);
        EXPECT_LE(std::abs(int(wav.samples.back())), 64);
    }
}

TEST(AudioAssets, WallKnockIsSofterThanTheEventsItAccompanies) {
    WavFile wall = ReadWav(SoundsFolder() + "wall.wav");
    ASSERT_EQ(wall.fault, "");
    for (const char* louder : {"explode.wav", "positive.wav", "verypositive.wav"}) {
        SCOPED_TRACE(louder);
        WavFile other = ReadWav(SoundsFolder() + louder);
        ASSERT_EQ(other.fault, "");
        EXPECT_LT(PeakOf(wall.samples, 0, wall.samples.size()),
                  PeakOf(other.samples, 0, other.samples.size()));
    }
}

// A rough pitch of a mono stretch (from and to in seconds): zero crossings per second, halved. Enough to
// tell a high chime from a low buzz and a rising sound from a falling one.
double CrossingHz(const WavFile& wav, double from, double to) {
    size_t first = size_t(from * wav.rate);
    size_t last = std::min(size_t(to * wav.rate), wav.samples.size());
    if (last <= first + 1) return 0.0;
    int crossings = 0;
    for (size_t i = first + 1; i < last; ++i)
        crossings += (wav.samples[i - 1] < 0) != (wav.samples[i] < 0);
    return crossings / (double(last - first) / wav.rate) / 2.0;
}

// The share of a sound's energy within its first `seconds`.
double EnergyShareWithin(const WavFile& wav, double seconds) {
    double total = 0.0, early = 0.0;
    size_t cut = size_t(seconds * wav.rate * wav.channels);
    for (size_t i = 0; i < wav.samples.size(); ++i) {
        double energy = double(wav.samples[i]) * wav.samples[i];
        total += energy;
        if (i < cut) early += energy;
    }
    return total > 0.0 ? early / total : 0.0;
}

WavFile ReadEffect(const std::string& name) {
    WavFile wav = ReadWav(SoundsFolder() + name);
    EXPECT_EQ(wav.fault, "") << name;
    EXPECT_EQ(wav.channels, 1) << name << ": the shape checks read one channel";
    return wav;
}

TEST(AudioAssets, ClickAndKnockAreOverAlmostAtOnce) {
    for (const char* name : {"arrow.wav", "wall.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_GE(EnergyShareWithin(ReadEffect(name), 0.04), 0.9);
    }
}

TEST(AudioAssets, FallingWhistleAndZapSweepDownward) {
    for (const char* name : {"falling.wav", "zap.wav"}) {
        SCOPED_TRACE(name);
        WavFile wav = ReadEffect(name);
        double length = wav.Seconds();
        EXPECT_GT(CrossingHz(wav, 0.0, 0.1 * length), 2.5 * CrossingHz(wav, 0.7 * length, 0.9 * length));
    }
}

TEST(AudioAssets, ExplosionIsABurstSettlingIntoALowRumble) {
    WavFile wav = ReadEffect("explode.wav");
    EXPECT_GT(CrossingHz(wav, 0.0, 0.05), 400.0) << "a bright crack first";
    EXPECT_LT(CrossingHz(wav, 0.4, 1.0), 200.0) << "then a rumble";
}

TEST(AudioAssets, IncorrectIsALowBuzz) {
    WavFile wav = ReadEffect("incorrect.wav");
    EXPECT_LT(CrossingHz(wav, 0.0, wav.Seconds()), 400.0);
}

TEST(AudioAssets, ChimeIsBrightAndTheArpeggioClimbs) {
    WavFile chime = ReadEffect("positive.wav");
    EXPECT_GT(CrossingHz(chime, 0.1, chime.Seconds()), 800.0);
    WavFile arpeggio = ReadEffect("verypositive.wav");
    EXPECT_GT(CrossingHz(arpeggio, 0.4, 1.0), 1.5 * CrossingHz(arpeggio, 0.0, 0.15));
}

// libmpg123, the decoder behind the host's music device, opened at run time so that this test program
// needs no link to it: only the handful of calls the decoding below makes.
class Mpg123Library {
  public:
    Mpg123Library() : library_(dlopen("libmpg123.so.0", RTLD_NOW | RTLD_LOCAL)) {
        if (!library_) return;
        Bind(init, "mpg123_init");
        Bind(create, "mpg123_new");
        Bind(destroy, "mpg123_delete");
        Bind(param, "mpg123_param");
        Bind(formatNone, "mpg123_format_none");
        Bind(format, "mpg123_format");
        Bind(openFeed, "mpg123_open_feed");
        Bind(feed, "mpg123_feed");
        Bind(read, "mpg123_read");
        Bind(getFormat, "mpg123_getformat");
        Bind(close, "mpg123_close");
    }
    ~Mpg123Library() {
        if (library_) dlclose(library_);
    }
    Mpg123Library(const Mpg123Library&) = delete;
    Mpg123Library& operator=(const Mpg123Library&) = delete;

    bool Loaded() const { return library_ && complete_; }

    decltype(&mpg123_init) init = nullptr;
    decltype(&mpg123_new) create = nullptr;
    decltype(&mpg123_delete) destroy = nullptr;
    decltype(&mpg123_param) param = nullptr;
    decltype(&mpg123_format_none) formatNone = nullptr;
    decltype(&mpg123_format) format = nullptr;
    decltype(&mpg123_open_feed) openFeed = nullptr;
    decltype(&mpg123_feed) feed = nullptr;
    decltype(&mpg123_read) read = nullptr;
    decltype(&mpg123_getformat) getFormat = nullptr;
    decltype(&mpg123_close) close = nullptr;

  private:
    template <class Function> void Bind(Function& function, const char* name) {
        function = reinterpret_cast<Function>(dlsym(library_, name));
        complete_ = complete_ && function != nullptr;
    }
    void* library_;
    bool complete_ = true;
};

// The music decoded as the host decodes it: libmpg123, 16-bit signed, gapless (the encoder's delay and
// padding, recorded in the file's first frame, are left out).
struct DecodedMusic {
    std::string fault;
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
    double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0.0; }
};

void DecodeFed(const Mpg123Library& mpg123, mpg123_handle* handle, DecodedMusic& music) {
    unsigned char buffer[16384];
    for (;;) {
        size_t done = 0;
        int result = mpg123.read(handle, buffer, sizeof buffer, &done);
        const int16_t* pcm = reinterpret_cast<const int16_t*>(buffer);
        music.samples.insert(music.samples.end(), pcm, pcm + done / 2);
        if (result == MPG123_NEW_FORMAT) {
            int encoding = 0;
            mpg123.getFormat(handle, &music.rate, &music.channels, &encoding);
            if (encoding != MPG123_ENC_SIGNED_16) music.fault = "not decoded as 16-bit samples";
        } else if (result == MPG123_NEED_MORE || result == MPG123_DONE) {
            return; // the whole file was fed: its end
        } else if (result != MPG123_OK) {
            music.fault = "decoding failed (" + std::to_string(result) + ")";
            return;
        }
    }
}

DecodedMusic DecodeMp3(const std::string& path) {
    DecodedMusic music;
    static Mpg123Library mpg123;
    if (!mpg123.Loaded()) {
        music.fault = "libmpg123.so.0 cannot be opened";
        return music;
    }
    std::vector<uint8_t> file = ReadBytes(path);
    if (file.empty()) {
        music.fault = "cannot read " + path;
        return music;
    }
    mpg123.init();
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123.create(nullptr, &error);
    if (!handle) {
        music.fault = "no decoder";
        return music;
    }
    mpg123.param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123.formatNone(handle);
    for (long rate : {22050L, 44100L})
        mpg123.format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123.openFeed(handle) != MPG123_OK || mpg123.feed(handle, file.data(), file.size()) != MPG123_OK)
        music.fault = "the decoder refused the file";
    else
        DecodeFed(mpg123, handle, music);
    if (music.fault.empty() && music.rate == 0) music.fault = "no MP3 frames in " + path;
    mpg123.close(handle);
    mpg123.destroy(handle);
    return music;
}

class MusicAsset : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { music_ = new DecodedMusic(DecodeMp3(SoundsFolder() + "music.mp3")); }
    static void TearDownTestSuite() {
        delete music_;
        music_ = nullptr;
    }
    static DecodedMusic* music_;
};

DecodedMusic* MusicAsset::music_ = nullptr;

TEST_F(MusicAsset, DecodesToAtLeastAMinuteOfStereo) {
    ASSERT_EQ(music_->fault, "");
    EXPECT_TRUE(music_->rate == 44100 || music_->rate == 22050);
    EXPECT_EQ(music_->channels, 2);
    EXPECT_GE(music_->Seconds(), 60.0);
    EXPECT_LE(music_->Seconds(), 180.0);
}

TEST_F(MusicAsset, PlaysThroughoutBelowFullScale) {
    ASSERT_EQ(music_->fault, "");
    const std::vector<int16_t>& pcm = music_->samples;
    EXPECT_LE(Dbfs(PeakOf(pcm, 0, pcm.size())), -0.5) << "no clipped samples";
    // No long gap anywhere: every 4-second stretch carries the tune.
    size_t stretch = size_t(4 * music_->rate * music_->channels);
    for (size_t at = 0; at + stretch <= pcm.size(); at += stretch) {
        SCOPED_TRACE("from sample " + std::to_string(at));
        double rmsDb = Dbfs(RmsOf(pcm, at, at + stretch));
        EXPECT_GE(rmsDb, -30.0);
        EXPECT_LE(rmsDb, -8.0);
    }
}

TEST_F(MusicAsset, LoopJoinIsClickFree) {
    ASSERT_EQ(music_->fault, "");
    const std::vector<int16_t>& pcm = music_->samples;
    ASSERT_GT(pcm.size(), 4096u);
    // The game restarts the music when it ends: the last 5 ms fade to silence and the first sample
    // starts from it, so neither a gapless restart nor a short pause between plays clicks.
    size_t fiveMs = size_t(music_->rate / 200) * size_t(music_->channels);
    EXPECT_LE(Dbfs(RmsOf(pcm, pcm.size() - fiveMs, pcm.size())), -45.0);
    EXPECT_LE(Dbfs(PeakOf(pcm, 0, size_t(music_->channels))), -30.0);
}

} // namespace
