// Shared set-up of the sound tests: a real (headless) window, a sound device bound to it, the null
// audio output read sample by sample, and helpers that make buffers filled with known samples.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/backend/audio_null.h"
#include "host/backend/machine.h"
#include "host/dsound/dsound.h"
#include "host/win/messages.h"
#include "host/win/window.h"

inline LRESULT SoundTestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window for SetCooperativeLevel and for notices. The class is registered each time: a
// second registration fails harmlessly, and other tests may have reset the window layer meanwhile.
inline HWND MakeSoundTestWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SoundTestWindowProc;
    windowClass.lpszClassName = "SoundTestWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "SoundTestWindow", "sound test", 0, 0, 0, 320, 200, nullptr, nullptr, nullptr,
                           nullptr);
}

inline WAVEFORMATEX PcmFormat(int channels, int bits, int rate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = WORD(channels);
    format.nSamplesPerSec = DWORD(rate);
    format.wBitsPerSample = WORD(bits);
    format.nBlockAlign = WORD(channels * bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    return format;
}

// Rounds like the mixer: the nearest 16-bit sample of a value at full scale 32768.
inline int Scaled(double sample, double gain) {
    return int(std::lrint(sample * gain));
}

class DsoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMachine_ = HostGetMachine();
        window_ = MakeSoundTestWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
        ASSERT_NE(ds_, nullptr);
        ASSERT_EQ(ds_->SetCooperativeLevel(window_, DSSCL_PRIORITY), DS_OK);
        ASSERT_EQ(HostAudioNullRate(), 44100);
    }

    void TearDown() override {
        // Every test releases its buffers, so the device goes with this last reference.
        if (ds_) {
            EXPECT_EQ(ds_->Release(), 0u);
        }
        ds_ = nullptr;
        if (window_) DestroyWindow(window_);
        HostSetMachine(savedMachine_);
        HostResetMessageQueue();
    }

    // A secondary buffer of the given flags and format holding bytes.
    IDirectSoundBuffer* MakeBuffer(DWORD flags, const WAVEFORMATEX& format, const std::vector<BYTE>& bytes) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = DWORD(bytes.size());
        WAVEFORMATEX copy = format;
        desc.lpwfxFormat = &copy;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (!buffer) return nullptr;
        Fill(buffer, bytes);
        return buffer;
    }

    // A 16-bit mono buffer at rate holding samples.
    IDirectSoundBuffer* MakeMono16(DWORD flags, int rate, const std::vector<int16_t>& samples) {
        std::vector<BYTE> bytes(samples.size() * 2);
        std::memcpy(bytes.data(), samples.data(), bytes.size());
        return MakeBuffer(flags, PcmFormat(1, 16, rate), bytes);
    }

    static void Fill(IDirectSoundBuffer* buffer, const std::vector<BYTE>& bytes) {
        void* part1 = nullptr;
        void* part2 = nullptr;
        DWORD bytes1 = 0;
        DWORD bytes2 = 0;
        ASSERT_EQ(buffer->Lock(0, DWORD(bytes.size()), &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
        ASSERT_EQ(bytes1, DWORD(bytes.size()));
        std::memcpy(part1, bytes.data(), bytes1);
        ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, 0), DS_OK);
    }

    // The next frames of the output, stereo interleaved.
    static std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out(size_t(frames) * 2, int16_t(0x5555));
        EXPECT_EQ(HostAudioNullRender(frames, out.data()), frames);
        return out;
    }

    static DWORD Status(IDirectSoundBuffer* buffer) {
        DWORD status = 0xFFFF;
        EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
        return status;
    }

    static DWORD PlayCursor(IDirectSoundBuffer* buffer) {
        DWORD play = 0xFFFF;
        EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
        return play;
    }

    HostMachine savedMachine_;
    HWND window_ = nullptr;
    IDirectSound* ds_ = nullptr;
};
