// Loading a WAV file into a slot's static secondary buffer.
#include <cstring>

#include "host/win/files.h"
#include "sound/sound_internal.h"

SNDSample& SNDSample::operator=(const SNDSample& other) {
    if (this == &other) return *this;
    m_dwFlags = other.m_dwFlags.load();
    m_dwID = other.m_dwID;
    m_dwDataSize = other.m_dwDataSize;
    m_dwRate = other.m_dwRate;
    m_dwBits = other.m_dwBits;
    m_dwChannels = other.m_dwChannels;
    m_lLength = other.m_lLength;
    m_dwPausePosition = other.m_dwPausePosition;
    m_lVolume = other.m_lVolume.load();
    m_lPan = other.m_lPan.load();
    m_lPitch = other.m_lPitch;
    m_dwLoopStart = other.m_dwLoopStart;
    m_dwLoopEnd = other.m_dwLoopEnd;
    m_dwLoopCount = other.m_dwLoopCount;
    m_pBuffer = other.m_pBuffer.load();
    m_dwNotifyOffset = other.m_dwNotifyOffset.load();
    m_hNotifyEvent = other.m_hNotifyEvent.load();
    m_pNext = other.m_pNext.load();
    return *this;
}

void SNDSample::Reset() {
    m_dwFlags = 0;
    m_dwID = 0;
    m_dwDataSize = 0;
    m_dwRate = 0;
    m_dwBits = 0;
    m_dwChannels = 0;
    m_lLength = 0;
    m_dwPausePosition = 0;
    m_lVolume = 0;
    m_lPan = 0;
    m_lPitch = 0;
    m_dwLoopStart = 0;
    m_dwLoopEnd = 0;
    m_dwLoopCount = 0;
    m_pBuffer = nullptr;
    m_pNext = nullptr;
}

int SNDSample::AllocDSBuffer(DWORD bytes) {
    IDirectSound* device = QuibSound::g_lpDSound;
    if (!device) return 0;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = WORD(m_dwChannels);
    format.nSamplesPerSec = m_dwRate;
    format.wBitsPerSample = WORD(m_dwBits);
    format.nBlockAlign = WORD(m_dwChannels * m_dwBits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * m_dwRate;
    format.cbSize = 0;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    // Without the volume, pan and frequency controls: effects play as recorded, centred.
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
    desc.dwBufferBytes = bytes ? bytes : m_dwDataSize;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return 0;
    if (IDirectSoundBuffer* old = m_pBuffer.exchange(buffer)) old->Release();
    return 1;
}

namespace {

// Reads the sound data (the file stands at it) into the slot's new buffer.
bool FillBuffer(IDirectSoundBuffer* buffer, HANDLE file, DWORD bytes) {
    void* part = nullptr;
    DWORD partBytes = 0;
    if (FAILED(buffer->Lock(0, bytes, &part, &partBytes, nullptr, nullptr, 0)) || !part) return false;
    DWORD got = 0;
    bool read = partBytes == bytes && ReadFile(file, part, bytes, &got, nullptr) && got == bytes;
    buffer->Unlock(part, read ? got : 0, nullptr, 0);
    return read;
}

} // namespace

int SNDSample::LoadSample(const char* file, DWORD id) {
    HANDLE handle = OpenSoundFile(file);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    // The data chunk must lie in the file whole; a larger claim is refused before a buffer that size
    // is made.
    bool loaded = m_dwDataSize > 0 && m_dwDataSize <= SndBytesToEnd(handle) && AllocDSBuffer(0) &&
                  FillBuffer(m_pBuffer.load(), handle, m_dwDataSize);
    if (loaded) {
        if (id != SND_KEEP_ID) m_dwID = id;
        m_lLength = SndLengthField(m_dwDataSize, m_dwBits, m_dwRate);
    }
    if (QuibSound::g_pCloseFile) QuibSound::g_pCloseFile(handle);
    if (!loaded) {
        if (IDirectSoundBuffer* buffer = m_pBuffer.exchange(nullptr)) buffer->Release();
    }
    return loaded ? 1 : 0;
}

int QuibSound::LoadSample(const char* file, DWORD id) {
    if (!g_SampleList || !g_lpDSound) return 0;
    if (FindSample(id)) return 1; // already loaded: that instance stays reserved
    SNDSample* slot = AllocSample();
    if (!slot) return 0;
    if (slot->LoadSample(file, id)) return 1;
    ClearSample(slot);
    return 0;
}
