// The mixer read sample by sample on the null output (44100 Hz stereo): resampling, volume, pan,
// looping, ends, stops, positions and duplicates.
#include "test_dsound_support.h"

#include "host/backend/headless.h"
#include "host/backend/present.h"

namespace {

const double kMinus600cB = std::pow(10.0, -0.3);

// Left and right of output frame i.
int Left(const std::vector<int16_t>& out, int i) {
    return out[size_t(i) * 2];
}
int Right(const std::vector<int16_t>& out, int i) {
    return out[size_t(i) * 2 + 1];
}

using DsoundMixerTest = DsoundTest;

TEST_F(DsoundMixerTest, HalfRateMonoIsInterpolatedToTheDeviceRate) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 22050, {1000, 3000, -2000, 500});
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(10);
    // Every source sample, then the point half-way to the next; the last sample holds.
    const int expected[10] = {1000, 2000, 3000, 500, -2000, -750, 500, 500, 0, 0};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Left(out, i), expected[i]) << "frame " << i;
        EXPECT_EQ(Right(out, i), expected[i]) << "frame " << i;
    }
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(DsoundMixerTest, DeviceRateSamplesPassUnchanged) {
    std::vector<int16_t> samples = {32767, -32768, 1, -1, 12345};
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, samples);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(6);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Left(out, i), samples[size_t(i)]) << "frame " << i;
    EXPECT_EQ(Left(out, 5), 0);
    buffer->Release();
}

TEST_F(DsoundMixerTest, EightBitStereoKeepsItsChannelsApart) {
    // Unsigned 8-bit: 0x80 is silence, 0xFF the top, 0x00 the bottom.
    std::vector<BYTE> bytes = {0xFF, 0x00, 0x80, 0xC0};
    IDirectSoundBuffer* buffer = MakeBuffer(DSBCAPS_STATIC, PcmFormat(2, 8, 44100), bytes);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 127 * 256);
    EXPECT_EQ(Right(out, 0), -32768);
    EXPECT_EQ(Left(out, 1), 0);
    EXPECT_EQ(Right(out, 1), 64 * 256);
    buffer->Release();
}

TEST_F(DsoundMixerTest, VolumeInCentibelsScalesBothChannels) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLVOLUME, 44100, {20000, -16000, 7});
    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(3);
    EXPECT_NEAR(Left(out, 0), Scaled(20000, kMinus600cB), 1);
    EXPECT_NEAR(Right(out, 0), Scaled(20000, kMinus600cB), 1);
    EXPECT_NEAR(Left(out, 1), Scaled(-16000, kMinus600cB), 1);
    EXPECT_NEAR(Left(out, 2), Scaled(7, kMinus600cB), 1);
    buffer->Release();
}

TEST_F(DsoundMixerTest, MinimumVolumeIsSilence) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLVOLUME, 44100, {32767, 32767});
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 0);
    EXPECT_EQ(Right(out, 1), 0);
    buffer->Release();
}

TEST_F(DsoundMixerTest, PanAttenuatesOnlyTheOppositeChannel) {
    IDirectSoundBuffer* right = MakeMono16(DSBCAPS_CTRLPAN, 44100, {20000, 20000});
    ASSERT_EQ(right->SetPan(600), DS_OK);
    ASSERT_EQ(right->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_NEAR(Left(out, 0), Scaled(20000, kMinus600cB), 1);
    EXPECT_EQ(Right(out, 0), 20000);
    right->Release();

    IDirectSoundBuffer* left = MakeMono16(DSBCAPS_CTRLPAN, 44100, {20000, 20000});
    ASSERT_EQ(left->SetPan(DSBPAN_LEFT), DS_OK);
    ASSERT_EQ(left->Play(0, 0, 0), DS_OK);
    out = Render(2);
    EXPECT_EQ(Left(out, 0), 20000);
    EXPECT_EQ(Right(out, 0), 0);
    left->Release();
}

TEST_F(DsoundMixerTest, VolumeAndPanCombine) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME, 44100, {30000});
    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    ASSERT_EQ(buffer->SetPan(-600), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(1);
    EXPECT_NEAR(Left(out, 0), Scaled(30000, kMinus600cB), 1);
    EXPECT_NEAR(Right(out, 0), Scaled(30000, kMinus600cB * kMinus600cB), 1);
    buffer->Release();
}

TEST_F(DsoundMixerTest, FrequencyChangesThePlaybackRate) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLFREQUENCY, 22050, {100, 200, 300, 400});
    ASSERT_EQ(buffer->SetFrequency(88200), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(3);
    // Twice the device rate: every other sample.
    EXPECT_EQ(Left(out, 0), 100);
    EXPECT_EQ(Left(out, 1), 300);
    EXPECT_EQ(Left(out, 2), 0);
    EXPECT_EQ(Status(buffer), 0u);
    // DSBFREQUENCY_ORIGINAL goes back to the format's rate.
    ASSERT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    out = Render(2);
    EXPECT_EQ(Left(out, 1), 150);
    buffer->Release();
}

TEST_F(DsoundMixerTest, TwoBuffersAddUpAndClipAtFullScale) {
    IDirectSoundBuffer* a = MakeMono16(DSBCAPS_STATIC, 44100, {30000, -30000, 100});
    IDirectSoundBuffer* b = MakeMono16(DSBCAPS_STATIC, 44100, {30000, -30000, 250});
    ASSERT_EQ(a->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(3);
    EXPECT_EQ(Left(out, 0), 32767);
    EXPECT_EQ(Left(out, 1), -32768);
    EXPECT_EQ(Left(out, 2), 350);
    a->Release();
    b->Release();
}

TEST_F(DsoundMixerTest, LoopingWrapsRoundTheBuffer) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {1, 2, 3, 4});
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    std::vector<int16_t> out = Render(10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Left(out, i), i % 4 + 1) << "frame " << i;
    EXPECT_EQ(PlayCursor(buffer), 2u * 2);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    buffer->Release();
}

TEST_F(DsoundMixerTest, HalfRateLoopInterpolatesAcrossTheWrap) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 22050, {100, 300});
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> out = Render(6);
    const int expected[6] = {100, 200, 300, 200, 100, 200};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Left(out, i), expected[i]) << "frame " << i;
    buffer->Release();
}

TEST_F(DsoundMixerTest, PlayOnAPlayingBufferOnlyChangesTheLooping) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {1, 2, 3});
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Render(2);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    std::vector<int16_t> out = Render(3);
    EXPECT_EQ(Left(out, 0), 3);
    EXPECT_EQ(Left(out, 1), 0);
    EXPECT_EQ(Status(buffer), 0u);
    buffer->Release();
}

TEST_F(DsoundMixerTest, OneShotEndsWithItsPositionBackAtTheStart) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {5, 6, 7});
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(2);
    EXPECT_EQ(PlayCursor(buffer), 4u);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    Render(5);
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_EQ(PlayCursor(buffer), 0u);
    // Playing it again, without moving the cursor, starts from the beginning.
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(Left(out, 0), 5);
    buffer->Release();
}

TEST_F(DsoundMixerTest, StopKeepsThePositionAndPlayResumesThere) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {10, 20, 30, 40, 50, 60});
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(4);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_EQ(PlayCursor(buffer), 8u);
    std::vector<int16_t> silent = Render(2);
    EXPECT_EQ(Left(silent, 0), 0);
    EXPECT_EQ(PlayCursor(buffer), 8u);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(3);
    EXPECT_EQ(Left(out, 0), 50);
    EXPECT_EQ(Left(out, 1), 60);
    EXPECT_EQ(Left(out, 2), 0);
    buffer->Release();
}

TEST_F(DsoundMixerTest, SetCurrentPositionMovesTheCursorToAWholeFrame) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {10, 20, 30, 40});
    ASSERT_EQ(buffer->SetCurrentPosition(5), DS_OK); // inside frame 2
    EXPECT_EQ(PlayCursor(buffer), 4u);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 30);
    EXPECT_EQ(Left(out, 1), 40);
    EXPECT_EQ(buffer->SetCurrentPosition(8), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DsoundMixerTest, WriteCursorRunsAheadOnlyWhilePlaying) {
    std::vector<int16_t> samples(4410, 0);
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC | DSBCAPS_GETCURRENTPOSITION2, 44100, samples);
    DWORD play = 1, write = 1;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 0u);
    EXPECT_GT(write, play);
    buffer->Release();
}

TEST_F(DsoundMixerTest, DuplicatesShareTheDataButPlayOnTheirOwn) {
    IDirectSoundBuffer* original = MakeMono16(DSBCAPS_STATIC, 44100, {100, 200, 300, 400});
    IDirectSoundBuffer* duplicate = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(original, &duplicate), DS_OK);
    ASSERT_NE(duplicate, nullptr);
    ASSERT_NE(duplicate, original);

    // New data written through the original is what the duplicate plays: one copy of the sound.
    Fill(original, {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00});
    ASSERT_EQ(duplicate->SetCurrentPosition(4), DS_OK);
    ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 1 + 3);
    EXPECT_EQ(Left(out, 1), 2 + 4);
    // The duplicate has reached its end; the original plays on.
    EXPECT_EQ(Status(duplicate), 0u);
    EXPECT_EQ(Status(original), DSBSTATUS_PLAYING);
    ASSERT_EQ(original->Stop(), DS_OK);
    EXPECT_EQ(PlayCursor(original), 4u);
    EXPECT_EQ(PlayCursor(duplicate), 0u);

    // Releasing the original leaves the duplicate's sound intact.
    EXPECT_EQ(original->Release(), 0u);
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    out = Render(1);
    EXPECT_EQ(Left(out, 0), 1);
    EXPECT_EQ(duplicate->Release(), 0u);
}

TEST_F(DsoundMixerTest, DuplicateHasItsOwnControls) {
    IDirectSoundBuffer* original = MakeMono16(DSBCAPS_CTRLVOLUME, 44100, {20000});
    IDirectSoundBuffer* duplicate = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(original, &duplicate), DS_OK);
    ASSERT_EQ(duplicate->SetVolume(DSBVOLUME_MIN), DS_OK);
    ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(Left(out, 0), 20000);
    original->Release();
    duplicate->Release();
}

TEST_F(DsoundMixerTest, ControlsAreRefusedWithoutTheirCapsAndChangeNothing) {
    IDirectSoundBuffer* buffer =
        MakeMono16(DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY, 44100, {20000, 20000});
    EXPECT_EQ(buffer->SetVolume(-600), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(buffer->SetPan(DSBPAN_RIGHT), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(buffer->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 20000);
    EXPECT_EQ(Right(out, 0), 20000);
    EXPECT_EQ(Left(out, 1), 20000);
    buffer->Release();
}

TEST_F(DsoundMixerTest, ControlValuesOutOfRangeAreRefused) {
    IDirectSoundBuffer* buffer =
        MakeMono16(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY, 44100, {1, 2});
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_MAX + 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_MIN - 1), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DsoundMixerTest, PrimaryVolumeScalesTheWholeOutput) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    ASSERT_EQ(primary->SetVolume(-600), DS_OK);
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {20000});
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(1);
    EXPECT_NEAR(Left(out, 0), Scaled(20000, kMinus600cB), 1);
    EXPECT_EQ(primary->Release(), 0u);
    // Without the primary buffer the output is at full level again.
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    out = Render(1);
    EXPECT_EQ(Left(out, 0), 20000);
    buffer->Release();
}

TEST_F(DsoundMixerTest, ReleasingAPlayingBufferSilencesIt) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, {500, 500, 500});
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(buffer->Release(), 0u);
    std::vector<int16_t> out = Render(2);
    EXPECT_EQ(Left(out, 0), 0);
    EXPECT_EQ(Right(out, 1), 0);
}

TEST_F(DsoundMixerTest, EachPresentedFrameRendersItsStretchOfVirtualTime) {
    // The output opened in SetUp at the virtual time of the frames presented so far.
    uint64_t first = HostPresentedFrames();
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, std::vector<int16_t>(8000, 700));
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    HostAudioNullCapture(true);
    WORD pixel = 0;
    HostPicture picture{&pixel, 1, 1, 2, false};
    for (int frame = 0; frame < 3; ++frame)
        HostPresentPrimary(picture, true);
    uint64_t elapsedMs = HostHeadlessMsAtFrame(first + 3) - HostHeadlessMsAtFrame(first);
    std::vector<int16_t> captured = HostAudioNullCaptured();
    HostAudioNullCapture(false);
    ASSERT_EQ(captured.size(), size_t(elapsedMs * 44100 / 1000) * 2);
    EXPECT_EQ(captured.front(), 700);
    EXPECT_EQ(captured.back(), 700);
    EXPECT_EQ(PlayCursor(buffer), DWORD(elapsedMs * 44100 / 1000) * 2);
    buffer->Release();
}

} // namespace
