#include "framework/soundmanager.h"

#include <cstring>

SoundManager g_soundManager;

namespace {

constexpr int kFirstSampleId = 10;

} // namespace

int SoundManager::Init(HWND window, int count) {
    if (!m_pSamples) m_pSamples = new PtrArray<SampleEntry>(1);
    return g_sound.Init(window, count);
}

int SoundManager::NextId() const {
    int next = kFirstSampleId;
    for (int i = 0; i < m_pSamples->GetCount(); ++i) {
        const SampleEntry* entry = m_pSamples->GetAt(i);
        if (entry && entry->id >= next) next = entry->id + 1;
    }
    return next;
}

SampleEntry* SoundManager::LoadSample(const char* file, const char* name) {
    if (!m_pSamples || !file) return nullptr;
    int id = NextId();
    if (!g_sound.LoadSample(file, DWORD(id))) return nullptr;
    auto* entry = new SampleEntry{};
    entry->id = id;
    if (name) {
        std::strncpy(entry->name, name, sizeof entry->name - 1);
        entry->name[sizeof entry->name - 1] = '\0';
    }
    if (!m_pSamples->Add(entry)) {
        delete entry;
        return nullptr;
    }
    return entry;
}

SampleEntry* SoundManager::Find(const char* name) {
    if (!m_pSamples || !name) return nullptr;
    // Names are kept cut to the entry's size, so the name looked for is cut the same way.
    char wanted[kSampleNameBytes];
    std::strncpy(wanted, name, sizeof wanted - 1);
    wanted[sizeof wanted - 1] = '\0';
    for (int i = 0; i < m_pSamples->GetCount(); ++i) {
        SampleEntry* entry = m_pSamples->GetAt(i);
        if (entry && std::strcmp(entry->name, wanted) == 0) return entry;
    }
    return nullptr;
}

SNDSample* SoundManager::PlayEntry(SampleEntry* entry, int volume, int pan) {
    if (!entry) return nullptr;
    return g_sound.PlaySample(entry->id, volume, pan);
}

SNDSample* SoundManager::Play(const char* name, int volume, int pan) {
    return PlayEntry(Find(name), volume, pan);
}

SNDSample* SoundManager::PlayIndex(int index, int volume, int pan) {
    if (!m_pSamples) return nullptr;
    return PlayEntry(m_pSamples->Lookup(index), volume, pan);
}

void SoundManager::Free(const char* name) {
    SampleEntry* entry = Find(name);
    if (!entry) return;
    g_sound.FreeSample(DWORD(entry->id));
    m_pSamples->Remove(entry);
    delete entry;
}

void SoundManager::FreeAll() {
    if (m_pSamples) {
        for (int i = 0; i < m_pSamples->GetCount(); ++i) {
            SampleEntry* entry = m_pSamples->GetAt(i);
            if (!entry) continue;
            g_sound.FreeSample(DWORD(entry->id));
            delete entry;
        }
        m_pSamples->Clear();
    }
    g_sound.StopStream();
    QuibSound::ClearSampleList();
}

void SoundManager::Shutdown() {
    if (m_pSamples) {
        FreeAll();
        delete m_pSamples;
        m_pSamples = nullptr;
    }
    g_sound.Exit();
}

void SoundManager::EnableMusic(int on) {
    g_sound.EnableMusic(on);
}

void SoundManager::EnableSFX(int on) {
    g_sound.EnableSFX(on);
}

IDirectSound* SoundManager::GetDirectSound() {
    return QuibSound::g_lpDSound;
}
