// The streamed sound (music): a PCM WAV file played through a looping buffer of 8 segments of 250 ms,
// refilled by a fill thread woken by a notification at each segment start. The fill thread refills
// the segment that has just played; the stop notification (end of a non-looping file, StopStream)
// makes it clean the stream up and end.
#include <algorithm>
#include <cstring>

#include "host/win/clock.h"
#include "host/win/files.h"
#include "host/win/threads.h"
#include "sound/sound_internal.h"

_SNDStream QuibSound::g_StreamInfo;
HANDLE QuibSound::g_NotifyEvents[kStreamEvents] = {};
DSBPOSITIONNOTIFY QuibSound::g_NotifyPositions[kStreamEvents] = {};
HANDLE QuibSound::g_FillThread = nullptr;
DWORD QuibSound::g_FillThreadID = 0;

namespace {

constexpr int kStopEvent = kStreamSegments;
constexpr DWORD kSegmentMs = 250;
// How long StopStream waits for the fill thread to finish its clean-up (real milliseconds).
constexpr DWORD kFillThreadJoinMs = 10000;
constexpr DWORD kStreamFlagsCleared = SNDSTREAM_LOADED | SNDSTREAM_PLAYING | SNDSTREAM_LOOP |
                                      SNDSTREAM_PAUSED | SNDSTREAM_PRIMED | SNDSTREAM_STOPPING;

// True on the fill thread: the next-stream callback runs there and may start another stream.
thread_local bool t_onFillThread = false;

_SNDStream& Stream() {
    return QuibSound::g_StreamInfo;
}

IDirectSoundBuffer* StreamBuffer() {
    SNDSample* sample = Stream().pSample.load();
    return sample ? sample->m_pBuffer.load() : nullptr;
}

bool Looping() {
    return (Stream().dwFlags.load() & SNDSTREAM_LOOP) != 0;
}

bool SeekTo(HANDLE file, DWORD offset) {
    LONG high = 0;
    DWORD low = SetFilePointer(file, LONG(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
}

DWORD FilePosition(HANDLE file) {
    LONG high = 0;
    DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
    if ((low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) || high != 0)
        return INVALID_SET_FILE_POINTER;
    return low;
}

void CloseStreamEvents() {
    for (HANDLE& event : QuibSound::g_NotifyEvents) {
        if (event) CloseHandle(event);
        event = nullptr;
    }
}

bool CreateStreamEvents() {
    for (HANDLE& event : QuibSound::g_NotifyEvents) {
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!event) {
            CloseStreamEvents();
            return false;
        }
    }
    return true;
}

// Bytes in one segment: 250 ms of sound rounded up to whole sample frames; 0 for an unusable format
// or a buffer too large to make.
DWORD SegmentBytes(const SNDSample& sample) {
    uint64_t align = uint64_t(sample.m_dwBits) * sample.m_dwChannels / 8;
    if (align == 0 || sample.m_dwRate == 0) return 0;
    uint64_t bytes = align * sample.m_dwRate * (kSegmentMs * 8) / 8000;
    bytes = (bytes + align - 1) / align * align;
    if (bytes == 0 || bytes * kStreamSegments > 0xFFFFFFFFu) return 0;
    return DWORD(bytes);
}

// Writes n bytes of the stream into out: the file's next sound bytes, from its start again when the
// file loops (as often as needed), silence after the end otherwise. Returns the sound bytes written.
DWORD ReadStreamData(BYTE* out, DWORD n) {
    _SNDStream& stream = Stream();
    DWORD done = 0;
    bool emptyPass = false; // wrapped without reading anything since: the file has nothing to give
    while (done < n) {
        DWORD left = stream.dwBytesLeft.load();
        if (left == 0) {
            if (!Looping() || emptyPass || !SeekTo(stream.hFile, stream.dwDataOffset)) break;
            stream.dwBytesLeft = stream.dwDataSize;
            emptyPass = true;
            continue;
        }
        DWORD want = std::min(n - done, left);
        DWORD got = 0;
        if (!ReadFile(stream.hFile, out + done, want, &got, nullptr) || got > want) got = 0;
        if (got == 0) {
            stream.dwBytesLeft = 0; // the file ends early: its end is here
            continue;
        }
        emptyPass = false;
        done += got;
        stream.dwBytesLeft = left - got;
    }
    SNDSample* sample = stream.pSample.load();
    BYTE silence = sample && sample->m_dwBits == 8 ? 0x80 : 0;
    if (done < n) std::memset(out + done, silence, n - done);
    return done;
}

// Starts the file again from its first sound byte.
void RewindStream() {
    _SNDStream& stream = Stream();
    SeekTo(stream.hFile, stream.dwDataOffset);
    stream.dwBytesLeft = stream.dwDataSize;
    stream.nEndSegment = -1;
}

// Notification k (segment k's start) arrived: refill the segment that has just played.
void RefillAfter(DWORD k) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    _SNDStream& stream = Stream();
    IDirectSoundBuffer* buffer = StreamBuffer();
    if (!buffer || !(stream.dwFlags.load() & SNDSTREAM_LOADED)) return;
    if (!(stream.dwFlags.load() & SNDSTREAM_PRIMED)) {
        stream.dwFlags |= SNDSTREAM_PRIMED;
        // Segment 0's notice as playing starts: nothing has played yet. (Another first notice means a
        // segment has played: the platform did not announce the start.)
        if (k == 0) return;
    }
    int segment = int((k + kStreamSegments - 1) % kStreamSegments);
    if (stream.nEndSegment.load() == segment) {
        // The segment holding the file's last sound has played: the stop ends the stream.
        buffer->Stop();
        return;
    }
    void* part = nullptr;
    DWORD bytes = 0;
    if (FAILED(buffer->Lock(stream.dwSegmentSize * DWORD(segment), stream.dwSegmentSize, &part, &bytes,
                            nullptr, nullptr, 0)) ||
        !part || bytes == 0)
        return;
    DWORD sound = ReadStreamData(static_cast<BYTE*>(part), bytes);
    if (sound > 0 && !Looping() && stream.dwBytesLeft.load() == 0 && stream.nEndSegment.load() < 0)
        stream.nEndSegment = segment;
    buffer->Unlock(part, bytes, nullptr, 0);
    ++stream.dwSegmentsFilled;
}

// The stop notification is a pause (or a pause's, taken after playing resumed) rather than the end.
bool StopIsPause() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    DWORD flags = Stream().dwFlags.load();
    if (flags & SNDSTREAM_STOPPING) return false;
    if (flags & SNDSTREAM_PAUSED) return true;
    IDirectSoundBuffer* buffer = StreamBuffer();
    DWORD status = 0;
    return buffer && SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

// Waits for a fill thread that has finished or is finishing, and lets its handle go.
void ReapFillThread() {
    HANDLE thread = QuibSound::g_FillThread;
    if (!thread) return;
    if (!t_onFillThread) WaitForSingleObject(thread, kFillThreadJoinMs);
    CloseHandle(thread);
    QuibSound::g_FillThread = nullptr;
}

// Undoes a LoadStream that failed after the slot was taken.
void AbandonStream(QuibSound& sound, SNDSample* sample, HANDLE file) {
    _SNDStream& stream = Stream();
    CloseStreamEvents();
    if (stream.pNotify) stream.pNotify->Release();
    stream.pNotify = nullptr;
    stream.pSample = nullptr;
    stream.hFile = nullptr;
    stream.dwFlags &= ~kStreamFlagsCleared;
    if (QuibSound::g_pCloseFile) QuibSound::g_pCloseFile(file);
    if (sample->m_pBuffer.load())
        sound.FreeSample(sample);
    else
        QuibSound::ClearSample(sample);
}

// Makes the stream's buffer, notifications and state for sample, whose file stands at its sound.
bool SetUpStream(SNDSample* sample, HANDLE file) {
    _SNDStream& stream = Stream();
    DWORD segment = SegmentBytes(*sample);
    if (segment == 0) return false;
    // A loop shorter than a segment cannot be streamed.
    if ((sample->m_dwFlags.load() & SND_LOOPS) &&
        int64_t(sample->m_dwLoopEnd) - int64_t(sample->m_dwLoopStart) < int64_t(segment))
        return false;
    DWORD offset = FilePosition(file);
    DWORD available = std::min(sample->m_dwDataSize, SndBytesToEnd(file));
    if (offset == INVALID_SET_FILE_POINTER || available == 0) return false;
    if (!sample->AllocDSBuffer(segment * kStreamSegments)) return false;
    IDirectSoundNotify* notify = nullptr;
    if (FAILED(sample->m_pBuffer.load()->QueryInterface(IID_IDirectSoundNotify,
                                                        reinterpret_cast<void**>(&notify))) ||
        !notify)
        return false;
    stream.pNotify = notify;
    if (!CreateStreamEvents()) return false;
    for (int i = 0; i < kStreamSegments; ++i)
        QuibSound::g_NotifyPositions[i] = {segment * DWORD(i), QuibSound::g_NotifyEvents[i]};
    QuibSound::g_NotifyPositions[kStopEvent] = {DSBPN_OFFSETSTOP, QuibSound::g_NotifyEvents[kStopEvent]};
    if (FAILED(notify->SetNotificationPositions(kStreamEvents, QuibSound::g_NotifyPositions))) return false;
    stream.hFile = file;
    stream.dwDataOffset = offset;
    stream.dwSegmentSize = segment;
    stream.dwBufferSize = segment * kStreamSegments;
    stream.dwDataSize = available;
    stream.dwBytesLeft = available;
    stream.nEndSegment = -1;
    stream.dwSegmentsFilled = 0;
    stream.pSample = sample;
    return true;
}

} // namespace

int QuibSound::LoadStream(const char* file, DWORD id) {
    if (!m_nMusicEnabled.load() || !g_lpDSound || !g_SampleList) return 0;
    StopStream(); // one stream at a time
    // A fill thread of an earlier stream (this may be its next-stream callback) is let go first.
    ReapFillThread();
    if (Stream().dwFlags.load() & SNDSTREAM_LOADED) return 0;
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    SNDSample* sample = AllocSample();
    if (!sample) return 0;
    HANDLE handle = sample->OpenSoundFile(file);
    if (handle == INVALID_HANDLE_VALUE) {
        ClearSample(sample);
        return 0;
    }
    if (id != SND_KEEP_ID) sample->m_dwID = id;
    if (!SetUpStream(sample, handle)) {
        AbandonStream(*this, sample, handle);
        return 0;
    }
    Stream().dwFlags = (Stream().dwFlags.load() & ~kStreamFlagsCleared) | SNDSTREAM_LOADED | SNDSTREAM_THREAD;
    init_stream_buffer();
    // The events exist before the thread that waits on them starts.
    g_FillThread = CreateThread(nullptr, 0, FillStream, nullptr, 0, &g_FillThreadID);
    if (!g_FillThread) {
        Stream().dwFlags &= ~SNDSTREAM_THREAD;
        CleanupStream();
        return 0;
    }
    SetThreadPriority(g_FillThread, THREAD_PRIORITY_LOWEST);
    return 1;
}

void QuibSound::init_stream_buffer() {
    _SNDStream& stream = Stream();
    IDirectSoundBuffer* buffer = StreamBuffer();
    void* part = nullptr;
    DWORD bytes = 0;
    if (!buffer || FAILED(buffer->Lock(0, stream.dwBufferSize, &part, &bytes, nullptr, nullptr, 0)) || !part)
        return;
    DWORD sound = ReadStreamData(static_cast<BYTE*>(part), bytes);
    if (!Looping() && stream.dwBytesLeft.load() == 0)
        stream.nEndSegment = sound > 0 ? int((sound - 1) / stream.dwSegmentSize) : 0;
    buffer->Unlock(part, bytes, nullptr, 0);
}

int QuibSound::PlayStream(int flags) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    _SNDStream& stream = Stream();
    DWORD state = stream.dwFlags.load();
    IDirectSoundBuffer* buffer = StreamBuffer();
    if (!m_nMusicEnabled.load() || !(state & SNDSTREAM_LOADED) || (state & SNDSTREAM_PLAYING) || !buffer)
        return 1;
    stream.dwFlags |= DWORD(flags) & SNDSTREAM_LOOP;
    // A file that ended inside the first fill is filled again, now looping, before it starts.
    if (Looping() && stream.nEndSegment.load() >= 0) {
        RewindStream();
        init_stream_buffer();
    }
    buffer->SetCurrentPosition(1);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    stream.dwFlags |= SNDSTREAM_PLAYING;
    return 1;
}

DWORD QuibSound::FillStream(void*) {
    t_onFillThread = true;
    HANDLE events[kStreamEvents];
    std::copy(std::begin(g_NotifyEvents), std::end(g_NotifyEvents), events);
    for (;;) {
        DWORD result = WaitForMultipleObjects(kStreamEvents, events, FALSE, INFINITE);
        if (result == WAIT_FAILED) break; // the events are gone: nothing can wake this thread again
        DWORD index = result - WAIT_OBJECT_0;
        if (index < DWORD(kStreamSegments)) {
            RefillAfter(index);
        } else if (index == DWORD(kStopEvent) && !StopIsPause()) {
            CleanupStream();
            break;
        }
    }
    // A next-stream callback may have loaded another stream, whose own thread now runs.
    if (!(Stream().dwFlags.load() & SNDSTREAM_LOADED)) Stream().dwFlags &= ~SNDSTREAM_THREAD;
    return 0;
}

int QuibSound::CleanupStream() {
    SNDStreamNextFunc next = nullptr;
    DWORD id = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
        _SNDStream& stream = Stream();
        if (!(stream.dwFlags.load() & SNDSTREAM_LOADED)) return 1;
        SNDSample* sample = stream.pSample.exchange(nullptr);
        if (stream.pNotify) stream.pNotify->Release();
        stream.pNotify = nullptr;
        if (sample) {
            id = sample->m_dwID;
            if (IDirectSoundBuffer* buffer = sample->m_pBuffer.exchange(nullptr)) {
                buffer->Stop();
                buffer->Release();
            }
            ClearSample(sample);
        }
        CloseStreamEvents();
        if (stream.hFile) CloseHandle(stream.hFile);
        stream.hFile = nullptr;
        stream.dwFlags &= ~kStreamFlagsCleared;
        stream.dwBytesLeft = 0;
        stream.dwBufferSize = 0;
        stream.dwSegmentSize = 0;
        stream.dwDataSize = 0;
        stream.nEndSegment = -1;
        next = stream.pNextFunc.load();
    }
    if (next) next(id);
    return 1;
}

int QuibSound::StopStream() {
    if (t_onFillThread) return 1; // from the next-stream callback: this stream is already cleaned up
    {
        std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
        if (Stream().dwFlags.load() & SNDSTREAM_LOADED) {
            Stream().dwFlags |= SNDSTREAM_STOPPING;
            if (IDirectSoundBuffer* buffer = StreamBuffer()) buffer->Stop();
            // Also a stream that never played (its buffer gives no stop notice).
            if (g_NotifyEvents[kStopEvent]) SetEvent(g_NotifyEvents[kStopEvent]);
        }
    }
    ReapFillThread();
    // No fill thread did the clean-up (it could not start, or did not finish in time).
    if (Stream().dwFlags.load() & SNDSTREAM_LOADED) CleanupStream();
    return 1;
}

int QuibSound::PauseStream() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    _SNDStream& stream = Stream();
    DWORD state = stream.dwFlags.load();
    SNDSample* sample = stream.pSample.load();
    IDirectSoundBuffer* buffer = StreamBuffer();
    if (!(state & SNDSTREAM_LOADED) || !(state & SNDSTREAM_PLAYING) || !sample || !buffer) return 1;
    if (state & SNDSTREAM_PAUSED) {
        stream.dwFlags &= ~SNDSTREAM_PAUSED;
        buffer->SetCurrentPosition(sample->m_dwPausePosition);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
    } else {
        // Paused before the stop, so the fill thread takes the stop notice for a pause.
        stream.dwFlags |= SNDSTREAM_PAUSED;
        DWORD position = 0;
        buffer->GetCurrentPosition(&position, nullptr);
        sample->m_dwPausePosition = position;
        buffer->Stop();
    }
    return 1;
}

_SNDStream* QuibSound::GetStreamInfoPtr() {
    return &g_StreamInfo;
}

void QuibSound::SetStreamVolume(int volume) {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    SNDSample* sample = Stream().pSample.load();
    if ((Stream().dwFlags.load() & SNDSTREAM_LOADED) && sample) sample->SetVolume(volume);
}

int QuibSound::GetStreamVolume() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    SNDSample* sample = Stream().pSample.load();
    return (Stream().dwFlags.load() & SNDSTREAM_LOADED) && sample ? int(sample->m_lVolume.load()) : 0;
}

DWORD QuibSound::GetStreamID() {
    std::lock_guard<std::recursive_mutex> guard(SndSlotLock());
    SNDSample* sample = Stream().pSample.load();
    return (Stream().dwFlags.load() & SNDSTREAM_LOADED) && sample ? sample->m_dwID : 0;
}

SNDStreamNextFunc QuibSound::SetStreamNextFunc(SNDStreamNextFunc next) {
    return Stream().pNextFunc.exchange(next);
}

SNDStreamNextFunc QuibSound::GetStreamNextFunc() {
    return Stream().pNextFunc.load();
}

void QuibSound::ClearStreamNextStreamFunc() {
    Stream().pNextFunc = nullptr;
}

void QuibSound::FadeMusic(int from, int to, DWORD ms) {
    DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start) {
        SetStreamVolume(from + int(int64_t(elapsed) * (int64_t(to) - from) / int64_t(ms)));
        Sleep(1); // leaves the processor to the mixer between steps
    }
    SetStreamVolume(to);
}

void QuibSound::FadeMusicOut(DWORD ms) {
    FadeMusic(m_nMusicVolume.load(), 0, ms);
}

void QuibSound::FadeMusicIn(DWORD ms) {
    FadeMusic(0, m_nMusicVolume.load(), ms);
}
