// The slot table: one global memory block holding the callback thread's event handles, the event
// entries and the sample slots; taking, clearing and freeing slots; the polyphony rule of FindSample.
#include <algorithm>
#include <new>
#include <vector>

#include "host/win/memory.h"
#include "host/win/threads.h"
#include "sound/sound_internal.h"

namespace {

size_t RoundUp(size_t bytes, size_t alignment) {
    return (bytes + alignment - 1) / alignment * alignment;
}

// Byte offsets of the three parts of the block for events entries and slots.
struct BlockLayout {
    size_t events;
    size_t samples;
    size_t total;
};

BlockLayout LayoutFor(int events, int slots) {
    BlockLayout layout{};
    layout.events = RoundUp(sizeof(HANDLE) * size_t(events), alignof(_SNDEvent));
    layout.samples = RoundUp(layout.events + sizeof(_SNDEvent) * size_t(events), alignof(SNDSample));
    layout.total = layout.samples + sizeof(SNDSample) * size_t(slots);
    return layout;
}

} // namespace

std::recursive_mutex& SndSlotLock() {
    // Never destroyed: the library may still end its threads while the program ends.
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

SNDSample* SndRetiredEvent() {
    static SNDSample* retired = new SNDSample;
    return retired;
}

bool SndIsSlot(const SNDSample* sample) {
    return sample && QuibSound::g_SampleList && sample >= QuibSound::g_SampleList &&
           sample < QuibSound::g_pEndSample;
}

_SNDEvent* SndFindEvent(SNDSample* sample) {
    if (!QuibSound::g_EventList || !sample) return nullptr;
    for (int i = 1; i < QuibSound::g_nMaxEventCount; ++i)
        if (QuibSound::g_EventList[i].sample.load() == sample) return &QuibSound::g_EventList[i];
    return nullptr;
}

int QuibSound::alloc_sample_buffers(int count) {
    if (count < 0) return 0;
    int events = std::min(count + 1, MAXIMUM_WAIT_OBJECTS);
    BlockLayout layout = LayoutFor(events, count);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.total);
    if (!block) return 0;
    BYTE* base = static_cast<BYTE*>(GlobalLock(block));
    if (!base) {
        GlobalFree(block);
        return 0;
    }
    g_MemHandle = block;
    g_nMaxEventCount = events;
    g_CallBackHandles = reinterpret_cast<HANDLE*>(base);
    g_EventList = reinterpret_cast<_SNDEvent*>(base + layout.events);
    g_SampleList = reinterpret_cast<SNDSample*>(base + layout.samples);
    for (int i = 0; i < events; ++i) {
        new (&g_CallBackHandles[i]) HANDLE(nullptr);
        new (&g_EventList[i]) _SNDEvent{nullptr, {nullptr}};
    }
    for (int i = 0; i < count; ++i)
        new (&g_SampleList[i]) SNDSample();
    return 1;
}

int QuibSound::free_sample_buffers() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_MemHandle) {
        g_nLastSample = 0;
        g_pEndSample = nullptr;
        return 1;
    }
    int slots = g_pEndSample && g_SampleList ? int(g_pEndSample - g_SampleList) : 0;
    for (int i = 0; i < slots; ++i)
        g_SampleList[i].~SNDSample();
    for (int i = 0; i < g_nMaxEventCount; ++i)
        g_EventList[i].~_SNDEvent();
    if (GlobalFree(g_MemHandle) != nullptr) return 0;
    g_MemHandle = nullptr;
    g_CallBackHandles = nullptr;
    g_EventList = nullptr;
    g_SampleList = nullptr;
    // No slots are left to scan: the end pointers go with the block.
    g_pEndSample = nullptr;
    g_nLastSample = 0;
    return 1;
}

int QuibSound::AllocSampleBuffers() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (g_MemHandle && !free_sample_buffers()) return 0;
    if (!alloc_sample_buffers(g_nMaxSampleCount)) return 0;
    g_nLastSample = 0;
    g_pEndSample = g_SampleList + g_nMaxSampleCount;
    return 1;
}

SNDSample* QuibSound::AllocSample() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_SampleList) return nullptr;
    for (SNDSample* slot = g_SampleList; slot < g_pEndSample; ++slot) {
        if (slot->m_dwFlags.load() & SND_INUSE) continue;
        slot->m_dwFlags |= SND_INUSE;
        int index = int(slot - g_SampleList);
        if (index >= g_nLastSample) g_nLastSample = index + 1;
        return slot;
    }
    return nullptr;
}

void QuibSound::ClearSample(SNDSample* sample) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!SndIsSlot(sample)) return;
    sample->Reset();
    // The end of the used slots moves back to one past the last slot still in use after this one;
    // when there is none it stays.
    int last = g_nLastSample;
    for (int i = last - 1; i > int(sample - g_SampleList); --i) {
        if (g_SampleList[i].m_dwFlags.load() & SND_INUSE) {
            g_nLastSample = i + 1;
            return;
        }
    }
}

namespace {

// Buffers of slots forgotten by ClearSampleList: they play on to their end, then are released here.
std::vector<IDirectSoundBuffer*>& ForgottenBuffers() {
    static auto* buffers = new std::vector<IDirectSoundBuffer*>;
    return *buffers;
}

} // namespace

void SndReleaseForgotten(bool all) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    std::vector<IDirectSoundBuffer*>& buffers = ForgottenBuffers();
    auto kept = std::remove_if(buffers.begin(), buffers.end(), [all](IDirectSoundBuffer* buffer) {
        DWORD status = 0;
        bool playing = SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
        if (playing && !all) return false;
        if (playing) buffer->Stop();
        buffer->Release();
        return true;
    });
    buffers.erase(kept, buffers.end());
}

void QuibSound::ClearSampleList() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_SampleList) return;
    SndReleaseForgotten(false);
    for (SNDSample* slot = g_SampleList; slot < g_pEndSample; ++slot) {
        if (IDirectSoundBuffer* buffer = slot->m_pBuffer.exchange(nullptr))
            ForgottenBuffers().push_back(buffer);
        ClearSample(slot);
    }
    g_nLastSample = 0;
    g_pEndSample = g_SampleList + g_nMaxSampleCount;
}

_SNDEvent* QuibSound::AllocSoundEvent(SNDSample* owner) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_EventList || !g_CallBackThread || !owner) return nullptr;
    for (int i = 1; i < g_nMaxEventCount; ++i) {
        _SNDEvent& entry = g_EventList[i];
        if (entry.event && !entry.sample.load()) {
            entry.sample = owner;
            return &entry;
        }
    }
    return nullptr;
}

void QuibSound::FreeSoundEvent(_SNDEvent* event) {
    if (event) event->sample = nullptr;
}

SNDSample* QuibSound::FindSample(DWORD id) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_SampleList) return nullptr;
    SNDSample* candidate = nullptr;
    SNDSample* result = nullptr;
    for (int i = 0; i < g_nLastSample && !result; ++i) {
        SNDSample* slot = &g_SampleList[i];
        DWORD flags = slot->m_dwFlags.load();
        if (!(flags & SND_INUSE)) continue;
        if (slot->m_dwID == id) {
            bool busy = (flags & SND_RESERVED) || slot->SamplePlaying();
            if (!busy)
                result = slot;
            else if (!candidate && !(flags & SND_DUPLICATE))
                candidate = slot;
        } else if ((flags & SND_DUPLICATE) && !(flags & SND_RESERVED) && !slot->SamplePlaying()) {
            FreeSample(slot);
        }
    }
    if (!result && candidate) result = candidate->DupeSample();
    if (result) result->m_dwFlags |= SND_RESERVED;
    return result;
}

void QuibSound::FreeSample(DWORD id) {
    FreeSample(FindSample(id));
}

void QuibSound::FreeSample(SNDSample* sample) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!SndIsSlot(sample)) return;
    IDirectSoundBuffer* buffer = sample->m_pBuffer.load();
    if (!buffer) return;
    // Disarm the chain first: the stop below signals the notification, and the callback must not
    // play the next sample of a slot being freed. The entry is reused once that signal is taken.
    if (sample->m_dwFlags.load() & SND_CHAINARMED) {
        if (_SNDEvent* entry = SndFindEvent(sample))
            entry->sample = g_CallBackThread ? SndRetiredEvent() : nullptr;
        sample->m_dwFlags &= ~SND_CHAINARMED;
    }
    DWORD status = 0;
    if (SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) buffer->Stop();
    sample->m_pBuffer = nullptr;
    buffer->Release();
    ClearSample(sample);
}

void QuibSound::FlushSamples() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    if (!g_SampleList) return;
    for (int i = 0; i < g_nLastSample; ++i) {
        SNDSample* slot = &g_SampleList[i];
        DWORD flags = slot->m_dwFlags.load();
        if ((flags & SND_INUSE) && (flags & SND_DUPLICATE) && !(flags & SND_RESERVED) &&
            !slot->SamplePlaying())
            FreeSample(slot);
    }
}
