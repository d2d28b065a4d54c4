// The library's life: the sound device and its primary buffer, the chain callback thread, the
// switches, and the end of everything at Exit (or at program end when Exit was never called).
#include "host/win/files.h"
#include "host/win/threads.h"
#include "sound/sound_internal.h"

QuibSound g_sound;

IDirectSound* QuibSound::g_lpDSound = nullptr;
IDirectSoundBuffer* QuibSound::g_lpSoundBuffer = nullptr;
DSCAPS QuibSound::g_DSCaps = {};
SNDOpenFileFunc QuibSound::g_pOpenFile = QuibSound::DefaultOpenFile;
SNDCloseFileFunc QuibSound::g_pCloseFile = QuibSound::DefaultCloseFile;
HANDLE QuibSound::g_CallBackThread = nullptr;
std::atomic<int> QuibSound::g_nCallBackThreadActive{0};
int QuibSound::g_nMaxSampleCount = 0;
int QuibSound::g_nMaxEventCount = 0;
HGLOBAL QuibSound::g_MemHandle = nullptr;
HANDLE* QuibSound::g_CallBackHandles = nullptr;
_SNDEvent* QuibSound::g_EventList = nullptr;
SNDSample* QuibSound::g_SampleList = nullptr;
SNDSample* QuibSound::g_pEndSample = nullptr;
std::atomic<int> QuibSound::g_nLastSample{0};

namespace {

// A program may end without calling Exit: the callback and fill threads must still be ended and joined
// before the program's statics go. Defined after g_sound, so it runs first.
struct LibraryEnd {
    ~LibraryEnd() { g_sound.Exit(); }
} g_libraryEnd;

} // namespace

QuibSound& QuibSound::operator=(const QuibSound& other) {
    m_nMusicVolume = other.m_nMusicVolume.load();
    m_nMusicEnabled = other.m_nMusicEnabled.load();
    m_nEffectsEnabled = other.m_nEffectsEnabled.load();
    return *this;
}

int QuibSound::Init(HWND window, int count) {
    Exit(); // a second Init starts over
    m_nEffectsEnabled = 1;
    m_nMusicEnabled = 1;
    m_nMusicVolume = 0x8000;
    g_nMaxSampleCount = count < 0 ? 0 : count;
    if (count < 0 || !AllocSampleBuffers()) return 0;

    if (FAILED(DirectSoundCreate(nullptr, &g_lpDSound, nullptr)) || !g_lpDSound) {
        g_lpDSound = nullptr;
        free_sample_buffers();
        return 0;
    }
    if (FAILED(g_lpDSound->SetCooperativeLevel(window, DSSCL_EXCLUSIVE))) {
        g_lpDSound->Release();
        g_lpDSound = nullptr;
        free_sample_buffers();
        return 0;
    }
    g_DSCaps = {};
    g_DSCaps.dwSize = sizeof g_DSCaps;
    if (SUCCEEDED(g_lpDSound->GetCaps(&g_DSCaps))) debug_dsound_caps(&g_DSCaps);
    if (!CreateMainBuffer()) {
        // The device stays until Exit; without slots every call is a no-op.
        free_sample_buffers();
        return 0;
    }
    SetFileOpenFunc(nullptr);
    SetFileCloseFunc(nullptr);
    setup_callback();
    return 1;
}

int QuibSound::CreateMainBuffer() {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(g_lpDSound->CreateSoundBuffer(&desc, &g_lpSoundBuffer, nullptr)) || !g_lpSoundBuffer) {
        g_lpSoundBuffer = nullptr;
        return 0;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (g_DSCaps.dwFlags & DSCAPS_PRIMARYSTEREO) ? 2 : 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = (g_DSCaps.dwFlags & DSCAPS_PRIMARY16BIT) ? 16 : 8;
    format.nBlockAlign = WORD(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    g_lpSoundBuffer->SetFormat(&format); // the device may keep its own format
    DSBCAPS caps{};
    caps.dwSize = sizeof caps;
    if (SUCCEEDED(g_lpSoundBuffer->GetCaps(&caps))) {
        WAVEFORMATEX actual{};
        g_lpSoundBuffer->GetFormat(&actual, sizeof actual, nullptr);
    }
    if (FAILED(g_lpSoundBuffer->Play(0, 0, DSBPLAY_LOOPING))) {
        g_lpSoundBuffer->Release();
        g_lpSoundBuffer = nullptr;
        return 0;
    }
    return 1;
}

void QuibSound::debug_dsound_caps(DSCAPS*) {}

void QuibSound::setup_callback() {
    if (!g_CallBackHandles || !g_EventList) return;
    for (int i = 0; i < g_nMaxEventCount; ++i) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!event) {
            close_callback(); // no chains without every event; playing still works
            return;
        }
        g_CallBackHandles[i] = event;
        g_EventList[i].event = event;
    }
    // Active before the thread runs, so Exit never sees a thread that has not started yet as ended.
    g_nCallBackThreadActive = 1;
    g_CallBackThread =
        CreateThread(nullptr, 0, CallBack, reinterpret_cast<void*>(intptr_t(g_nMaxEventCount)), 0, nullptr);
    if (!g_CallBackThread) {
        g_nCallBackThreadActive = 0;
        close_callback();
    }
}

void QuibSound::close_callback() {
    if (g_CallBackThread) {
        SetEvent(g_CallBackHandles[0]);
        WaitForSingleObject(g_CallBackThread, INFINITE);
        CloseHandle(g_CallBackThread);
        g_CallBackThread = nullptr;
    }
    g_nCallBackThreadActive = 0;
    if (!g_CallBackHandles || !g_EventList) return;
    for (int i = 0; i < g_nMaxEventCount; ++i) {
        if (g_CallBackHandles[i]) CloseHandle(g_CallBackHandles[i]);
        g_CallBackHandles[i] = nullptr;
        g_EventList[i].event = nullptr;
        g_EventList[i].sample = nullptr;
    }
}

namespace {

// One signal of event entry index: the sample announced stopped; play the next one of its chain.
void RunChainStep(int index) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!QuibSound::g_EventList || index >= QuibSound::g_nMaxEventCount) return;
    _SNDEvent& entry = QuibSound::g_EventList[index];
    SNDSample* sample = entry.sample.load();
    if (!sample) return;
    if (sample == SndRetiredEvent()) {
        entry.sample = nullptr; // the freed sample's last signal: the entry is free again
        return;
    }
    // A signal left over from an earlier play of this buffer; its own stop is still to come.
    if (sample->SamplePlaying()) return;
    QuibSound::FreeSoundEvent(&entry);
    bool armed = (sample->m_dwFlags.load() & SND_CHAINARMED) != 0;
    sample->m_dwFlags &= ~SND_CHAINARMED;
    // The stopped buffer forgets the notification, so a later unchained play signals nobody.
    SndForgetNotifications(sample->m_pBuffer.load());
    sample->m_hNotifyEvent = nullptr;
    sample->m_dwNotifyOffset = 0;
    SNDSample* next = sample->m_pNext.load();
    if (armed && (sample->m_dwFlags.load() & SND_INUSE) && SndIsSlot(next) &&
        (next->m_dwFlags.load() & SND_INUSE))
        next->PlaySample(sample->m_lVolume.load(), sample->m_lPan.load());
}

} // namespace

DWORD QuibSound::CallBack(void* parameter) {
    DWORD count = DWORD(reinterpret_cast<intptr_t>(parameter));
    g_nCallBackThreadActive = 1;
    DWORD exitCode = 0;
    for (;;) {
        DWORD result = WaitForMultipleObjects(count, g_CallBackHandles, FALSE, INFINITE);
        if (result == WAIT_FAILED) {
            exitCode = 1;
            break;
        }
        DWORD index = result - WAIT_OBJECT_0;
        if (index == 0) break;
        if (index < count) RunChainStep(int(index));
    }
    g_nCallBackThreadActive = 0;
    return exitCode;
}

void QuibSound::Exit() {
    StopStream();
    close_callback();
    {
        std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
        if (g_SampleList) {
            for (int i = 0; i < g_nLastSample; ++i)
                if (g_SampleList[i].m_dwFlags.load() & SND_INUSE) FreeSample(&g_SampleList[i]);
        }
        free_sample_buffers();
        SndReleaseForgotten(true);
    }
    if (g_lpSoundBuffer) {
        g_lpSoundBuffer->Stop();
        g_lpSoundBuffer->Release();
        g_lpSoundBuffer = nullptr;
    }
    if (g_lpDSound) {
        g_lpDSound->Release();
        g_lpDSound = nullptr;
    }
}

void QuibSound::EnableMusic(int on) {
    if (!on) StopStream();
    m_nMusicEnabled = on;
}

void QuibSound::EnableSFX(int on) {
    m_nEffectsEnabled = on;
}

void QuibSound::MemCleanup() {
    if (g_lpDSound) g_lpDSound->Compact();
}

DWORD QuibSound::GetLIBVersion() {
    return 1;
}

const char* QuibSound::GetLIBDate() {
    return "Fri May  5 06:51:24 2000";
}

IDirectSound* QuibSound::GetDSObject() {
    return g_lpDSound;
}

IDirectSoundBuffer* QuibSound::GetDSPrimaryBuffer() {
    return g_lpSoundBuffer;
}

void QuibSound::SetFileOpenFunc(SNDOpenFileFunc open) {
    g_pOpenFile = open ? open : DefaultOpenFile;
}

void QuibSound::SetFileCloseFunc(SNDCloseFileFunc close) {
    g_pCloseFile = close ? close : DefaultCloseFile;
}

HANDLE QuibSound::DefaultOpenFile(const char* file) {
    return CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

int QuibSound::DefaultCloseFile(HANDLE file) {
    return CloseHandle(file);
}
