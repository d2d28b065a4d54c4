// Fuzz target for the WAV reader of the sound library: the input becomes a WAV file that is parsed on
// its own, loaded as a sample and played on the null output, then loaded, played and stopped as the
// music stream. Any crash, sanitizer report or broken promise of the library (abort) is a finding.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/backend/audio_null.h"
#include "host/win/files.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "sound/quibsound.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "sound library";

namespace {

using fuzz::Require;

LRESULT FuzzWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The library started once on the null output with a few slots.
bool SoundStarted() {
    static const bool started = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = FuzzWindowProc;
        windowClass.lpszClassName = "FuzzWav";
        RegisterClassA(&windowClass);
        HWND window =
            CreateWindowExA(0, "FuzzWav", "fuzz", 0, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
        return window && g_sound.Init(window, 4) == 1;
    }();
    return started;
}

uint64_t FileBytes(const std::string& path) {
    std::error_code error;
    uint64_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// Parses the file into a bare slot: a WAV's sound must lie where its header says.
void ParseAlone(const std::string& path) {
    SNDSample sample;
    HANDLE file = sample.OpenSoundFile(path.c_str());
    if (file == INVALID_HANDLE_VALUE) return;
    Require(sample.m_dwFlags.load() & SND_HEADER, "a parsed file has its header flag");
    LONG high = 0;
    DWORD at = SetFilePointer(file, 0, &high, FILE_CURRENT);
    Require(at >= 20 && uint64_t(at) <= FileBytes(path), "the file stands inside itself at the sound");
    CloseHandle(file);
}

void FreeEverySlot() {
    for (SNDSample* slot = QuibSound::g_SampleList; slot && slot < QuibSound::g_pEndSample; ++slot)
        if (slot->m_dwFlags.load() & SND_INUSE) g_sound.FreeSample(slot);
}

void LoadAndPlay(const std::string& path, bool twice) {
    if (!g_sound.LoadSample(path.c_str(), 10)) {
        Require(!g_sound.FindSample(10), "a refused load leaves nothing");
        return;
    }
    SNDSample* sample = g_sound.FindSample(10);
    Require(sample && sample->m_pBuffer.load(), "a loaded sample has a buffer");
    Require(sample->m_dwDataSize > 0 && sample->m_dwDataSize <= FileBytes(path),
            "the sound lies in the file");
    sample->m_dwFlags &= ~SND_RESERVED;
    Require(g_sound.PlaySample(10, 0xFFFF, 0x8000) != nullptr, "a loaded sample plays");
    if (twice) g_sound.PlaySample(10, 0xFFFF, 0x8000);
    HostAudioNullRender(512, nullptr);
    FreeEverySlot();
    Require(QuibSound::AllocSample() == QuibSound::g_SampleList, "every slot comes back");
    QuibSound::ClearSampleList();
}

void StreamIt(const std::string& path, bool loop) {
    _SNDStream& stream = *QuibSound::GetStreamInfoPtr();
    if (g_sound.LoadStream(path.c_str(), 11)) {
        Require(stream.dwSegmentSize > 0 && stream.dwBufferSize == stream.dwSegmentSize * 8, "segment sizes");
        g_sound.PlayStream(loop ? SNDSTREAM_LOOP : 0);
        HostAudioNullRender(2048, nullptr);
    }
    g_sound.StopStream();
    Require(!(stream.dwFlags.load() & SNDSTREAM_LOADED), "a stopped stream is gone");
    Require(QuibSound::g_FillThread == nullptr, "the fill thread is joined");
    QuibSound::ClearSampleList();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::OwnFolder("wav");
    std::string path = folder + "/fuzz.wav";
    if (!fuzz::WriteInput(path, data, size)) return 0;

    ParseAlone(path);
    if (!SoundStarted()) return 0;
    bool flag = size > 0 && (data[size - 1] & 1);
    LoadAndPlay(path, flag);
    StreamIt(path, flag);
    return 0;
}
