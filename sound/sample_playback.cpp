// Playing samples: play, stop, pause, status, volume, pan and pitch, duplicates and chains.
#include "sound/sound_internal.h"

void SndForgetNotifications(IDirectSoundBuffer* buffer) {
    IDirectSoundNotify* notify = nullptr;
    if (!buffer ||
        FAILED(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify))) || !notify)
        return;
    notify->SetNotificationPositions(0, nullptr);
    notify->Release();
}

int SNDSample::PlaySample(LONG volume, LONG pan) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_sound.m_nEffectsEnabled.load()) {
        m_dwFlags &= ~SND_RESERVED;
        return 1;
    }
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer) return 0;
    SetPan(pan);
    SetVolume(volume);
    if (m_pNext.load() && !(m_dwFlags.load() & SND_CHAINARMED)) ArmChain(buffer);
    m_dwFlags &= ~SND_RESERVED;
    DWORD flags = (m_dwFlags.load() & SND_LOOPS) ? DSBPLAY_LOOPING : 0;
    if (FAILED(buffer->Play(0, 0, flags))) {
        DisarmChain();
        return 0;
    }
    return 1;
}

void SNDSample::ArmChain(IDirectSoundBuffer* buffer) {
    _SNDEvent* entry = QuibSound::AllocSoundEvent(this);
    if (!entry) return; // plays without its chain
    IDirectSoundNotify* notify = nullptr;
    if (FAILED(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify))) ||
        !notify) {
        QuibSound::FreeSoundEvent(entry);
        return;
    }
    DSBPOSITIONNOTIFY pair{DSBPN_OFFSETSTOP, entry->event};
    m_dwNotifyOffset = pair.dwOffset;
    m_hNotifyEvent = pair.hEventNotify;
    m_dwFlags |= SND_CHAINARMED;
    if (FAILED(notify->SetNotificationPositions(1, &pair))) {
        m_dwFlags &= ~SND_CHAINARMED;
        QuibSound::FreeSoundEvent(entry);
    }
    notify->Release();
}

void SNDSample::DisarmChain() {
    if (!(m_dwFlags.load() & SND_CHAINARMED)) return;
    QuibSound::FreeSoundEvent(SndFindEvent(this));
    m_dwFlags &= ~SND_CHAINARMED;
    SndForgetNotifications(m_pBuffer.load());
}

LONG SNDSample::GetSampleStatus() {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer) return SND_STATUS_INVALID;
    DWORD status = 0;
    if (FAILED(buffer->GetStatus(&status))) return SND_STATUS_INVALID;
    return LONG(status);
}

int SNDSample::SamplePlaying() {
    LONG status = GetSampleStatus();
    if (status == SND_STATUS_INVALID) return 0;
    return (DWORD(status) & DSBSTATUS_PLAYING) ? 1 : 0;
}

int SNDSample::StopSample() {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    return buffer && SUCCEEDED(buffer->Stop()) ? 1 : 0;
}

int SNDSample::PauseSample() {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer || FAILED(buffer->Stop())) return 0;
    DWORD position = 0;
    if (FAILED(buffer->GetCurrentPosition(&position, nullptr))) return 0;
    m_dwPausePosition = position;
    m_dwFlags |= SND_PAUSED;
    return 1;
}

int SNDSample::UnPauseSample() {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer || !(m_dwFlags.load() & SND_PAUSED)) return 0;
    if (FAILED(buffer->SetCurrentPosition(m_dwPausePosition))) return 0;
    m_dwFlags &= ~SND_PAUSED;
    DWORD flags = (m_dwFlags.load() & SND_LOOPS) ? DSBPLAY_LOOPING : 0;
    return SUCCEEDED(buffer->Play(0, 0, flags)) ? 1 : 0;
}

int SNDSample::SetVolume(int volume) {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer) return 0;
    m_lVolume = volume;
    return SUCCEEDED(buffer->SetVolume(QuibSound::MapVolume(volume))) ? 1 : 0;
}

int SNDSample::SetPan(int pan) {
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer) return 0;
    m_lPan = pan;
    return SUCCEEDED(buffer->SetPan(QuibSound::MapPan(pan))) ? 1 : 0;
}

int SNDSample::SetPitch(int frequency) {
    m_lPitch = frequency;
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    return buffer && SUCCEEDED(buffer->SetFrequency(DWORD(frequency))) ? 1 : 0;
}

SNDSample* SNDSample::DupeSample() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    IDirectSoundBuffer* buffer = m_pBuffer.load();
    if (!buffer || !QuibSound::g_lpDSound) return nullptr;
    SNDSample* copy = QuibSound::AllocSample();
    if (!copy) return nullptr;
    IDirectSoundBuffer* shared = nullptr;
    if (FAILED(QuibSound::g_lpDSound->DuplicateSoundBuffer(buffer, &shared)) || !shared) {
        QuibSound::ClearSample(copy); // the slot goes back to the table
        return nullptr;
    }
    copy->m_pBuffer = shared;
    copy->m_dwID = m_dwID;
    copy->m_dwDataSize = m_dwDataSize;
    copy->m_dwRate = m_dwRate;
    copy->m_dwBits = m_dwBits;
    copy->m_dwChannels = m_dwChannels;
    copy->m_pNext = nullptr;
    copy->m_dwFlags |= SND_DUPLICATE;
    if (m_dwFlags.load() & SND_LOOPS) {
        copy->m_dwLoopStart = m_dwLoopStart;
        copy->m_dwLoopEnd = m_dwLoopEnd;
    }
    return copy;
}

SNDSample* SNDSample::ChainSample(SNDSample* a, SNDSample* b) {
    if (!a || !b) return b;
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    // A chain that runs in a circle has no last sample: it is left as it is.
    int steps = QuibSound::g_nMaxSampleCount + 1;
    SNDSample* last = a;
    while (SNDSample* next = last->m_pNext.load()) {
        if (--steps <= 0 || next == a) return a;
        last = next;
    }
    last->m_pNext = b;
    return a;
}

SNDSample* QuibSound::PlaySample(LONG id, LONG volume, LONG pan) {
    SNDSample* sample = FindSample(DWORD(id));
    if (sample) sample->PlaySample(volume, pan);
    return sample;
}

int QuibSound::PlaySampleIDOnce(LONG id, LONG volume, LONG pan) {
    if (!m_nEffectsEnabled.load()) return 1;
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    SNDSample* sample = FindSample(DWORD(id));
    if (!sample) return 0;
    IDirectSoundBuffer* buffer = sample->m_pBuffer.load();
    if (!buffer || sample->SamplePlaying()) {
        sample->m_dwFlags &= ~SND_RESERVED;
        return 0;
    }
    sample->SetPan(pan);
    sample->SetVolume(volume);
    sample->m_dwFlags &= ~SND_RESERVED;
    DWORD flags = (sample->m_dwFlags.load() & SND_LOOPS) ? DSBPLAY_LOOPING : 0;
    return SUCCEEDED(buffer->Play(0, 0, flags)) ? 1 : 0;
}
