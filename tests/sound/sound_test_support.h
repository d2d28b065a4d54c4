// Shared set-up of the sound library tests: WAV files built byte by byte, a window
// for the sound device, the library started on the null audio output of the headless machine, and
// the output read back sample by sample.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/backend/audio_null.h"
#include "host/backend/machine.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "sound/quibsound.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace soundtest {

// The rate of the null output: sounds recorded at it come out sample for sample.
constexpr int kOutputRate = 44100;

using testsupport::PutLe16;
using testsupport::PutLe32;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

// One chunk of a RIFF file. size overrides the stored size (to make lying headers); pad adds the pad
// byte after an odd body as RIFF asks.
struct Chunk {
    std::string id;
    std::vector<uint8_t> body;
    bool pad = true;
    int64_t size = -1;
};

// A "fmt " body of size bytes (16, 18 or 20 usually).
inline std::vector<uint8_t> FormatBody(int channels, int rate, int bits, int tag = 1, int size = 16) {
    std::vector<uint8_t> body;
    int align = channels * bits / 8;
    PutLe16(body, uint32_t(tag));
    PutLe16(body, uint32_t(channels));
    PutLe32(body, uint32_t(rate));
    PutLe32(body, uint32_t(align * rate));
    PutLe16(body, uint32_t(align));
    PutLe16(body, uint32_t(bits));
    while (int(body.size()) < size)
        body.push_back(0);
    body.resize(size_t(size));
    return body;
}

// A "smpl" body with one loop (or none when loops is 0) of the given start and end.
inline std::vector<uint8_t> SamplerBody(uint32_t loops, uint32_t start, uint32_t end, uint32_t playCount) {
    std::vector<uint8_t> body;
    for (int i = 0; i < 7; ++i)
        PutLe32(body, 0);
    PutLe32(body, loops);
    PutLe32(body, 0);
    if (loops) {
        PutLe32(body, 1); // identifier
        PutLe32(body, 0); // type
        PutLe32(body, start);
        PutLe32(body, end);
        PutLe32(body, 0); // fraction
        PutLe32(body, playCount);
    }
    return body;
}

inline std::vector<uint8_t> RiffFile(const std::vector<Chunk>& chunks, const char* form = "WAVE") {
    std::vector<uint8_t> out;
    for (char c : std::string("RIFF"))
        out.push_back(uint8_t(c));
    PutLe32(out, 0); // the RIFF size, filled in below
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(form[i]));
    for (const Chunk& chunk : chunks) {
        for (char c : chunk.id)
            out.push_back(uint8_t(c));
        PutLe32(out, chunk.size >= 0 ? uint32_t(chunk.size) : uint32_t(chunk.body.size()));
        for (uint8_t byte : chunk.body)
            out.push_back(byte);
        if (chunk.pad && (chunk.body.size() & 1)) out.push_back(0);
    }
    uint32_t riffSize = uint32_t(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[size_t(4 + i)] = uint8_t(riffSize >> (8 * i));
    return out;
}

inline std::vector<uint8_t> Bytes16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t sample : samples)
        PutLe16(out, uint16_t(sample));
    return out;
}

// A plain WAV: "fmt " then "data".
inline std::vector<uint8_t> SimpleWav(int channels, int rate, int bits, const std::vector<uint8_t>& data) {
    return RiffFile({{"fmt ", FormatBody(channels, rate, bits)}, {"data", data}});
}

inline std::vector<uint8_t> Mono16Wav(const std::vector<int16_t>& samples, int rate = kOutputRate) {
    return SimpleWav(1, rate, 16, Bytes16(samples));
}

// frames distinct, non-zero 16-bit samples, different for each seed.
inline std::vector<int16_t> Ramp(int frames, int seed = 1) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[size_t(i)] = int16_t(((i * 37 + seed * 1009) % 20000) - 10000 + (((i + seed) % 2) ? 1 : 2));
    return samples;
}

// The next frames of the output, stereo interleaved.
inline std::vector<int16_t> Render(int frames) {
    std::vector<int16_t> out(size_t(frames) * 2, int16_t(0x5555));
    EXPECT_EQ(HostAudioNullRender(frames, out.data()), frames);
    return out;
}

inline std::vector<int16_t> LeftOf(const std::vector<int16_t>& stereo) {
    std::vector<int16_t> left;
    for (size_t i = 0; i < stereo.size(); i += 2)
        left.push_back(stereo[i]);
    return left;
}

inline bool AllSilent(const std::vector<int16_t>& samples) {
    for (int16_t sample : samples)
        if (sample != 0) return false;
    return true;
}

// Waits (real time, bounded) until condition holds, for work another thread does.
inline bool WaitUntil(const std::function<bool()>& condition, int limitMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND MakeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "SoundLibraryTestWindow";
    RegisterClassA(&windowClass); // a second registration fails harmlessly
    return CreateWindowExA(0, "SoundLibraryTestWindow", "sound library test", 0, 0, 0, 320, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

// The slot of the table at index.
inline SNDSample* Slot(int index) {
    return &QuibSound::g_SampleList[index];
}

// The library started on the null output with slots sample slots; Exit at the end.
class SoundLibraryTest : public ::testing::Test {
  protected:
    virtual int Slots() const { return 8; }

    void SetUp() override {
        savedMachine_ = HostGetMachine();
        window_ = MakeWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_EQ(g_sound.Init(window_, Slots()), 1);
        ASSERT_EQ(HostAudioNullRate(), kOutputRate);
    }

    void TearDown() override {
        g_sound.Exit();
        QuibSound::SetFileOpenFunc(nullptr);
        QuibSound::SetFileCloseFunc(nullptr);
        QuibSound::ClearStreamNextStreamFunc();
        if (window_) DestroyWindow(window_);
        HostSetMachine(savedMachine_);
        HostResetMessageQueue();
    }

    // Writes bytes as name in the test folder and returns its path.
    std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = folder_ / name;
        WriteBytes(path, bytes);
        return path;
    }

    // Loads a 16-bit mono sample at the output rate as id.
    std::string LoadMono16(DWORD id, const std::vector<int16_t>& samples, const std::string& name = "") {
        std::string path = File(name.empty() ? "s" + std::to_string(id) + ".wav" : name, Mono16Wav(samples));
        EXPECT_EQ(g_sound.LoadSample(path.c_str(), id), 1);
        return path;
    }

    HostMachine savedMachine_;
    HWND window_ = nullptr;
    TempFolder folder_;
};

} // namespace soundtest
