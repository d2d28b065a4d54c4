// The media control strings with a real MP3 (encoded for the test by the lame encoder from a generated
// 440 Hz tone): open, play to the end notice, the game's replay loop, positions, and every refusal.
#include "test_dsound_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/mm/mci.h"
#include "tests/support/temp_folder.h"

namespace {

const int kRate = 44100;
const int kToneHz = 440;
const int kToneMs = 500;

void WriteLe(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(char((value >> (8 * i)) & 0xFF));
}

// A mono 16-bit PCM WAV of a sine tone.
void WriteToneWav(const std::string& path) {
    const uint32_t frames = kRate * kToneMs / 1000;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    WriteLe(out, 36 + frames * 2, 4);
    out.write("WAVEfmt ", 8);
    WriteLe(out, 16, 4);
    WriteLe(out, 1, 2);
    WriteLe(out, 1, 2);
    WriteLe(out, kRate, 4);
    WriteLe(out, kRate * 2, 4);
    WriteLe(out, 2, 2);
    WriteLe(out, 16, 2);
    out.write("data", 4);
    WriteLe(out, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        double value = 16000.0 * std::sin(2.0 * M_PI * kToneHz * double(i) / kRate);
        WriteLe(out, uint32_t(uint16_t(int16_t(std::lrint(value)))), 2);
    }
}

class MciTest : public DsoundTest {
  protected:
    static void SetUpTestSuite() {
        temp_ = new testsupport::TempFolder("mci-test");
        ASSERT_FALSE(temp_->Path().empty());
        folder_ = temp_->Path();
        std::filesystem::create_directories(folder_ + "/Sounds");
        WriteToneWav(folder_ + "/tone.wav");
        std::string command =
            "lame --quiet -m m -b 128 '" + folder_ + "/tone.wav' '" + folder_ + "/Sounds/Music.mp3'";
        encoded_ = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        delete temp_;
        temp_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(encoded_) << "the lame encoder (Debian package lame) makes the test's MP3";
        DsoundTest::SetUp();
        // Only the music plays: the sound device of the fixture holds the output open meanwhile.
        music_ = "\"" + folder_ + "/Sounds/Music.mp3\"";
    }

    void TearDown() override {
        Send("close all");
        DsoundTest::TearDown();
    }

    MCIERROR Send(const std::string& command) { return mciSendStringA(command.c_str(), nullptr, 0, window_); }

    std::string Status(const std::string& item) {
        char text[64] = "unset";
        EXPECT_EQ(mciSendStringA(("status music " + item).c_str(), text, sizeof text, window_), 0u);
        return text;
    }

    // The next MM_MCINOTIFY for the test window, if one waits.
    bool TakeNotice(MSG& msg) { return PeekMessageA(&msg, window_, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE); }

    static int Peak(const std::vector<int16_t>& out) {
        int peak = 0;
        for (int16_t sample : out)
            peak = std::max(peak, std::abs(int(sample)));
        return peak;
    }

    // Sign changes of the left channel.
    static int Crossings(const std::vector<int16_t>& out) {
        int crossings = 0;
        for (size_t i = 2; i < out.size(); i += 2)
            if ((out[i - 2] < 0) != (out[i] < 0)) ++crossings;
        return crossings;
    }

    static testsupport::TempFolder* temp_; // the suite's folder, made and removed with the suite
    static std::string folder_;
    static bool encoded_;
    std::string music_;
};

testsupport::TempFolder* MciTest::temp_ = nullptr;
std::string MciTest::folder_;
bool MciTest::encoded_ = false;

TEST_F(MciTest, MusicPlaysToItsEndAndPostsTheSuccessNotice) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    EXPECT_EQ(Status("mode"), "stopped");
    int length = std::atoi(Status("length").c_str());
    EXPECT_GE(length, kToneMs - 20);
    EXPECT_LE(length, kToneMs + 100);

    ASSERT_EQ(Send("play music notify"), 0u);
    EXPECT_EQ(Status("mode"), "playing");
    std::vector<int16_t> first = Render(kRate / 4);
    // The tone itself: loud, and about 440 cycles a second (two sign changes a cycle).
    EXPECT_GT(Peak(first), 12000);
    EXPECT_NEAR(Crossings(first), 2 * kToneHz / 4, 12);
    MSG msg{};
    EXPECT_FALSE(TakeNotice(msg));

    Render(kRate / 2);
    ASSERT_TRUE(TakeNotice(msg));
    EXPECT_EQ(msg.wParam, WPARAM(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_NE(msg.lParam, 0);
    EXPECT_FALSE(TakeNotice(msg)); // one notice per play
    EXPECT_EQ(Status("mode"), "stopped");
    // After the end the output is silent.
    EXPECT_EQ(Peak(Render(1000)), 0);

    ASSERT_EQ(Send("close music"), 0u);
    EXPECT_EQ(Send("play music notify"), UINT(MCIERR_INVALID_DEVICE_NAME));
}

TEST_F(MciTest, TheGamesReplayLoopStartsTheMusicAgainFromTheBeginning) {
    // The game's start-up and its MM_MCINOTIFY handler, with its own relative path.
    std::string saved = std::filesystem::current_path();
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    ASSERT_EQ(Send("open .\\sounds\\music.mp3 alias music"), 0u);
    ASSERT_EQ(Send("play music notify"), 0u);
    std::vector<int16_t> firstPlay = Render(kRate);
    MSG msg{};
    ASSERT_TRUE(TakeNotice(msg));
    ASSERT_EQ(Send("close music"), 0u);
    ASSERT_EQ(Send("open .\\sounds\\music.mp3 alias music"), 0u);
    ASSERT_EQ(Send("play music notify"), 0u);
    std::vector<int16_t> secondPlay = Render(kRate);
    ASSERT_TRUE(TakeNotice(msg));
    ASSERT_EQ(chdir(saved.c_str()), 0);
    ASSERT_EQ(firstPlay.size(), secondPlay.size());
    EXPECT_TRUE(firstPlay == secondPlay);
}

TEST_F(MciTest, AMissingFileIsAnErrorAndNoNoticeFollows) {
    EXPECT_EQ(Send("open \"" + folder_ + "/Sounds/nothing.mp3\" alias music"), UINT(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(Send("play music notify"), UINT(MCIERR_INVALID_DEVICE_NAME));
    Render(kRate);
    MSG msg{};
    EXPECT_FALSE(TakeNotice(msg));
}

TEST_F(MciTest, AFileThatIsNotMp3IsRefused) {
    std::string garbage = folder_ + "/garbage.mp3";
    {
        std::ofstream out(garbage, std::ios::binary);
        for (int i = 0; i < 200; ++i)
            out << "this is not music at all ";
    }
    EXPECT_EQ(Send("open \"" + garbage + "\" alias music"), UINT(MCIERR_INVALID_FILE));
    std::string empty = folder_ + "/empty.mp3";
    std::ofstream(empty, std::ios::binary).close();
    EXPECT_EQ(Send("open \"" + empty + "\" alias music"), UINT(MCIERR_INVALID_FILE));
    std::filesystem::create_directories(folder_ + "/folder.mp3");
    EXPECT_NE(Send("open \"" + folder_ + "/folder.mp3\" alias music"), 0u);
    // A truncated MP3 that keeps only its first bytes still holds no whole frame.
    std::ifstream in(folder_ + "/Sounds/Music.mp3", std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), 64);
    std::string cut = folder_ + "/cut.mp3";
    std::ofstream(cut, std::ios::binary).write(head.data(), 64);
    EXPECT_EQ(Send("open \"" + cut + "\" alias music"), UINT(MCIERR_INVALID_FILE));
    EXPECT_EQ(Send("play music notify"), UINT(MCIERR_INVALID_DEVICE_NAME));
}

TEST_F(MciTest, StopKeepsThePlaceAndPlayFromZeroStartsOver) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("play music"), 0u);
    std::vector<int16_t> start = Render(2000);
    Render(kRate / 10 - 2000);
    ASSERT_EQ(Send("stop music"), 0u);
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(Status("position"), "100");
    EXPECT_EQ(Peak(Render(500)), 0);
    ASSERT_EQ(Send("play music from 0"), 0u);
    EXPECT_TRUE(Render(2000) == start);
}

TEST_F(MciTest, PauseAndResumeKeepTheNotice) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("play music notify"), 0u);
    Render(kRate / 10);
    ASSERT_EQ(Send("pause music"), 0u);
    EXPECT_EQ(Status("mode"), "paused");
    EXPECT_EQ(Peak(Render(kRate)), 0);
    MSG msg{};
    EXPECT_FALSE(TakeNotice(msg));
    ASSERT_EQ(Send("resume music"), 0u);
    Render(kRate);
    ASSERT_TRUE(TakeNotice(msg));
    EXPECT_EQ(msg.wParam, WPARAM(MCI_NOTIFY_SUCCESSFUL));
}

TEST_F(MciTest, StoppingDropsThePendingNotice) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("play music notify"), 0u);
    Render(1000);
    ASSERT_EQ(Send("stop music"), 0u);
    ASSERT_EQ(Send("play music"), 0u);
    Render(kRate);
    MSG msg{};
    EXPECT_FALSE(TakeNotice(msg));
}

TEST_F(MciTest, APlayWithAnEndStopsThereAndNotifies) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("play music from 100 to 200 notify"), 0u);
    Render(kRate / 20 + 10);
    MSG msg{};
    EXPECT_FALSE(TakeNotice(msg));
    Render(kRate / 20);
    ASSERT_TRUE(TakeNotice(msg));
    EXPECT_EQ(Status("position"), "200");
    EXPECT_EQ(Send("play music from 300 to 200"), UINT(MCIERR_OUTOFRANGE));
    EXPECT_EQ(Send("play music from 99999"), UINT(MCIERR_OUTOFRANGE));
}

TEST_F(MciTest, SeekMovesThePositionWithoutPlaying) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("seek music to 250"), 0u);
    EXPECT_EQ(Status("position"), "250");
    EXPECT_EQ(Status("mode"), "stopped");
    ASSERT_EQ(Send("seek music to end"), 0u);
    EXPECT_EQ(Status("position"), Status("length"));
    // Playing at the end starts again from the beginning.
    ASSERT_EQ(Send("play music"), 0u);
    EXPECT_GT(Peak(Render(kRate / 10)), 12000);
    ASSERT_EQ(Send("seek music to start"), 0u);
    EXPECT_EQ(Status("position"), "0");
    EXPECT_EQ(Send("seek music to 99999"), UINT(MCIERR_OUTOFRANGE));
}

TEST_F(MciTest, OtherCommandsWithNotifyAnswerAtOnce) {
    ASSERT_EQ(Send("open " + music_ + " alias music notify"), 0u);
    MSG msg{};
    ASSERT_TRUE(TakeNotice(msg));
    EXPECT_EQ(msg.wParam, WPARAM(MCI_NOTIFY_SUCCESSFUL));
    ASSERT_EQ(Send("stop music notify"), 0u);
    ASSERT_TRUE(TakeNotice(msg));
    // Without a callback window nothing is posted.
    ASSERT_EQ(mciSendStringA("play music notify", nullptr, 0, nullptr), 0u);
    Render(kRate);
    EXPECT_FALSE(TakeNotice(msg));
}

TEST_F(MciTest, MusicAndSoundBuffersShareTheOutput) {
    ASSERT_EQ(Send("open " + music_ + " alias music"), 0u);
    ASSERT_EQ(Send("play music from 0"), 0u);
    std::vector<int16_t> musicAlone = Render(4000);
    IDirectSoundBuffer* buzz = MakeMono16(DSBCAPS_STATIC, kRate, std::vector<int16_t>(100, 1000));
    ASSERT_EQ(buzz->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(Send("play music from 0"), 0u);
    std::vector<int16_t> together = Render(4000);
    ASSERT_EQ(together.size(), musicAlone.size());
    int off = 0;
    for (size_t i = 0; i < together.size(); ++i) {
        // Away from full scale, where the sum would clip.
        if (std::abs(musicAlone[i]) < 30000 && std::abs(together[i] - musicAlone[i] - 1000) > 1) ++off;
    }
    EXPECT_EQ(off, 0);
    EXPECT_GT(Peak(musicAlone), 12000);
    buzz->Release();
}

TEST_F(MciTest, CommandsAreCheckedWordByWord) {
    EXPECT_EQ(Send("fly music"), UINT(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(Send(""), UINT(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, nullptr), UINT(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(Send("open"), UINT(MCIERR_MISSING_PARAMETER));
    EXPECT_EQ(Send("open " + music_ + " alias"), UINT(MCIERR_MISSING_PARAMETER));
    EXPECT_EQ(Send("open " + music_ + " loudly"), UINT(MCIERR_UNRECOGNIZED_KEYWORD));
    EXPECT_EQ(Send("open " + music_ + " type waveaudio alias music"), UINT(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(Send("open \"" + folder_ + "/tone.wav\" alias music"), UINT(MCIERR_EXTENSION_NOT_FOUND));
    ASSERT_EQ(Send("open " + music_ + " type mpegvideo alias Music"), 0u);
    EXPECT_EQ(Send("open " + music_ + " alias MUSIC"), UINT(MCIERR_DUPLICATE_ALIAS));
    EXPECT_EQ(Send("play"), UINT(MCIERR_MISSING_DEVICE_NAME));
    EXPECT_EQ(Send("play music from"), UINT(MCIERR_MISSING_PARAMETER));
    EXPECT_EQ(Send("play music from -5"), UINT(MCIERR_BAD_INTEGER));
    EXPECT_EQ(Send("play music from 1x"), UINT(MCIERR_BAD_INTEGER));
    EXPECT_EQ(Send("play music wait"), UINT(MCIERR_UNRECOGNIZED_KEYWORD));
    EXPECT_EQ(Send("status music colour"), UINT(MCIERR_UNRECOGNIZED_KEYWORD));
    EXPECT_EQ(Send("stop music now"), UINT(MCIERR_UNRECOGNIZED_KEYWORD));
    EXPECT_EQ(Send("close"), UINT(MCIERR_MISSING_DEVICE_NAME));
    // An answer that does not fit is refused, and the text is left empty.
    char tiny[4] = "xyz";
    EXPECT_EQ(mciSendStringA("status music mode", tiny, sizeof tiny, window_), UINT(MCIERR_PARAM_OVERFLOW));
    EXPECT_EQ(tiny[0], '\0');
    EXPECT_EQ(Send("close MUSIC"), 0u);
    EXPECT_EQ(Send("close music"), UINT(MCIERR_INVALID_DEVICE_NAME));
}

TEST_F(MciTest, ADeviceWithoutAnAliasIsNamedByItsPath) {
    std::string path = folder_ + "/Sounds/Music.mp3";
    ASSERT_EQ(Send("open " + path), 0u);
    char text[32] = "";
    ASSERT_EQ(mciSendStringA(("status " + path + " mode").c_str(), text, sizeof text, window_), 0u);
    EXPECT_STREQ(text, "stopped");
    EXPECT_EQ(Send("close " + path), 0u);
}

TEST_F(MciTest, NoAudioOutputMeansNoMusic) {
    // The fixture's sound device holds the output; without it and without a machine device, open fails.
    ASSERT_EQ(ds_->Release(), 0u);
    ds_ = nullptr;
    HostMachine silent = HostGetMachine();
    silent.audioDevice = false;
    HostSetMachine(silent);
    EXPECT_EQ(Send("open " + music_ + " alias music"), UINT(MCIERR_HARDWARE));
    EXPECT_EQ(Send("play music notify"), UINT(MCIERR_INVALID_DEVICE_NAME));
}

} // namespace
