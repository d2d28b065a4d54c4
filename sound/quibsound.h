// QuibSound: the sound library. It owns the sound device and its primary buffer, a fixed table of
// sample slots, WAV loading, playback by numeric ID with volume and pan on a 0..0xFFFF scale,
// polyphony by duplicating busy buffers, chained playback through a callback thread, the music and
// effects switches, and the one streamed sound (music) refilled by a fill thread.
//
// All state but the three switches is static: a program has one sound library, g_sound. Without a
// sound device every call is a silent no-op or failure, so a program goes on without sound. The
// library's threads are ended and joined by Exit, and at program end when Exit was never called.
#pragma once

#include <atomic>

#include "host/base/types.h"
#include "host/dsound/dsound.h"
#include "sound/sndsample.h"

typedef HANDLE (*SNDOpenFileFunc)(const char* file);
typedef int (*SNDCloseFileFunc)(HANDLE file);
// Called with the stream's ID when the stream has been cleaned up (on the fill thread).
typedef void (*SNDStreamNextFunc)(DWORD id);

// Stream flags.
#define SNDSTREAM_LOADED   0x00000001u
#define SNDSTREAM_PLAYING  0x00000002u
#define SNDSTREAM_LOOP     0x00000004u // loop the file
#define SNDSTREAM_PAUSED   0x00000008u
#define SNDSTREAM_THREAD   0x00000010u // fill thread alive
#define SNDSTREAM_STOPPING 0x00000020u // StopStream asked the fill thread to clean up
#define SNDSTREAM_PRIMED   0x80000000u // first segment notification seen

// Segments of the stream buffer and the notifications the fill thread waits on (one per segment
// start, then the stop).
constexpr int kStreamSegments = 8;
constexpr int kStreamEvents = kStreamSegments + 1;

// The one streamed sound. The fill thread and the main thread share it.
struct _SNDStream {
    std::atomic<DWORD> dwFlags{0};
    HANDLE hFile = nullptr;
    DWORD dwDataOffset = 0;
    DWORD dwSegmentSize = 0;
    DWORD dwBufferSize = 0;
    std::atomic<DWORD> dwBytesLeft{0}; // sound bytes not yet read in this pass through the file
    std::atomic<SNDSample*> pSample{nullptr};
    std::atomic<SNDStreamNextFunc> pNextFunc{nullptr};
    IDirectSoundNotify* pNotify = nullptr;
    DWORD dwDataSize = 0;                   // sound bytes present in the file
    std::atomic<int> nEndSegment{-1};       // segment holding the last sound of a non-looping file
    std::atomic<DWORD> dwSegmentsFilled{0}; // refills done since LoadStream
};

class QuibSound {
  public:
    // Does nothing: Init starts the library.
    QuibSound() {}
    QuibSound(HWND window, int count) { Init(window, count); }
    // Copies the three switches.
    QuibSound& operator=(const QuibSound& other);

    // Creates the sound device (bound to window), the primary buffer, count sample slots and the chain
    // callback thread. 1 on success; 0 leaves the library silent (every call safe). A second Init
    // starts over (Exit first).
    int Init(HWND window, int count);
    // Ends the stream and the callback thread, frees every slot and releases the device. Safe at any
    // time, also twice and after a failed Init.
    void Exit();
    // Frees and reallocates the slot table for g_nMaxSampleCount slots (all empty).
    int AllocSampleBuffers();

    // Loads file as sample id. 1 when it is loaded (also when id was loaded already: nothing is read).
    int LoadSample(const char* file, DWORD id);
    // Plays an instance of id (an idle one, or a new duplicate beside a busy one) and returns it;
    // NULL when id is not loaded or no slot is left.
    SNDSample* PlaySample(LONG id, LONG volume, LONG pan);
    // Plays id without chaining; 1 when playing started (or effects are off).
    int PlaySampleIDOnce(LONG id, LONG volume, LONG pan);
    // The instance of id to play next, marked reserved: the first idle one, else a duplicate of the
    // first busy original. Idle duplicates passed on the way are freed.
    SNDSample* FindSample(DWORD id);
    // Frees the instance FindSample(id) hands out.
    void FreeSample(DWORD id);
    // Stops and releases the slot's buffer and clears the slot.
    void FreeSample(SNDSample* sample);
    // Frees every idle, unreserved duplicate.
    void FlushSamples();
    // 0 stops the stream first.
    void EnableMusic(int on);
    void EnableSFX(int on);
    void MemCleanup();
    DWORD GetLIBVersion();
    const char* GetLIBDate();

    static IDirectSound* GetDSObject();
    static IDirectSoundBuffer* GetDSPrimaryBuffer();
    // NULL installs the default (CreateFileA / CloseHandle). The open function must return a handle
    // that ReadFile, SetFilePointer and GetFileSize accept.
    static void SetFileOpenFunc(SNDOpenFileFunc open);
    static void SetFileCloseFunc(SNDCloseFileFunc close);
    // Takes the first free slot; NULL when none.
    static SNDSample* AllocSample();
    // Takes the first free event entry (not entry 0) for owner; NULL when none or no callback thread.
    static _SNDEvent* AllocSoundEvent(SNDSample* owner);
    static void FreeSoundEvent(_SNDEvent* event);
    // 0..0xFFFF to hundredths of a decibel (-10000..0).
    static int MapVolume(int volume);
    // 0..0xFFFF to a pan: 0 gives +10000, 0x8000 gives 0, 0xFFFF gives -10000.
    static int MapPan(int pan);
    // Forgets every slot: playing sounds run on to their end (their buffers are released after that,
    // by a later ClearSampleList or by Exit).
    static void ClearSampleList();
    static void ClearSample(SNDSample* sample);

    // --- the stream ---
    // Opens file as the music stream and fills its buffer; 1 when ready to play. Music off: 0.
    int LoadStream(const char* file, DWORD id);
    // Starts the loaded stream; flags (SNDSTREAM_LOOP) are added to the stream's flags. Always 1.
    int PlayStream(int flags);
    // Stops the stream and waits until it is cleaned up (also a stream never played). Always 1.
    int StopStream();
    // Toggles pause. Always 1.
    int PauseStream();
    static _SNDStream* GetStreamInfoPtr();
    static void SetStreamVolume(int volume);
    static int GetStreamVolume();
    static DWORD GetStreamID();
    // Returns the previous callback.
    SNDStreamNextFunc SetStreamNextFunc(SNDStreamNextFunc next);
    SNDStreamNextFunc GetStreamNextFunc();
    static void ClearStreamNextStreamFunc();
    // Moves the stream volume from from to to over ms milliseconds of the host clock; blocks.
    void FadeMusic(int from, int to, DWORD ms);
    void FadeMusicOut(DWORD ms);
    void FadeMusicIn(DWORD ms);
    // Releases the stream's buffer, events, slot and file and calls the next-stream callback.
    static int CleanupStream();

    // The three switches.
    std::atomic<int> m_nMusicVolume{0};
    std::atomic<int> m_nMusicEnabled{0};
    std::atomic<int> m_nEffectsEnabled{0};

    // Library state.
    static IDirectSound* g_lpDSound;
    static IDirectSoundBuffer* g_lpSoundBuffer;
    static DSCAPS g_DSCaps;
    static SNDOpenFileFunc g_pOpenFile;
    static SNDCloseFileFunc g_pCloseFile;
    static HANDLE g_CallBackThread;
    static std::atomic<int> g_nCallBackThreadActive;
    static const short* g_VolumeTable; // 16384 entries, hundredths of a decibel
    static int g_nMaxSampleCount;
    static int g_nMaxEventCount; // min(slots + 1, 64): one wait takes at most 64 handles
    static HGLOBAL g_MemHandle;
    static HANDLE* g_CallBackHandles;
    static _SNDEvent* g_EventList;
    static SNDSample* g_SampleList;
    static SNDSample* g_pEndSample;
    // Exclusive end of the slots in use, as an index from g_SampleList (0: none); every scan of used
    // slots runs below it.
    static std::atomic<int> g_nLastSample;

    static _SNDStream g_StreamInfo;
    static HANDLE g_NotifyEvents[kStreamEvents];
    static DSBPOSITIONNOTIFY g_NotifyPositions[kStreamEvents];
    static HANDLE g_FillThread;
    static DWORD g_FillThreadID;

  protected:
    int CreateMainBuffer();
    int alloc_sample_buffers(int count);
    int free_sample_buffers();
    void setup_callback();
    void close_callback();
    void debug_dsound_caps(DSCAPS* caps);
    static DWORD CallBack(void* parameter);
    static HANDLE DefaultOpenFile(const char* file);
    static int DefaultCloseFile(HANDLE file);

    void init_stream_buffer();
    static DWORD FillStream(void* parameter);
};

// The program's sound library.
extern QuibSound g_sound;
