// SNDSample: one slot of the sound library's sample table. A slot holds a sound loaded from a PCM WAV
// file into a static secondary buffer (or a duplicate sharing another slot's sound data), its playing
// settings, and the link to the sample that plays after it (a chain).
//
// The main thread and the chain callback thread both touch a slot (flags, volume, pan, buffer, chain
// link, notification), so those fields are atomic; slot bookkeeping runs under the library's slot lock.
#pragma once

#include <atomic>

#include "host/base/types.h"
#include "host/dsound/dsound.h"

// Slot flags.
#define SND_INUSE      0x0001u // slot taken
#define SND_RESERVED   0x0002u // handed out by FindSample, cleared when played
#define SND_DUPLICATE  0x0004u // the buffer shares another slot's sound data
#define SND_LOOPS      0x0008u // the file has a "smpl" loop: played looping
#define SND_HEADER     0x0010u // WAV header parsed
#define SND_PAUSED     0x0100u
#define SND_CHAINARMED 0x0400u // stop notification armed for a chained play

// An ID argument that leaves the slot's ID as it is.
#define SND_KEEP_ID 0xFFFFFFFFu

// GetSampleStatus for a slot without a buffer (or a buffer whose status cannot be read).
#define SND_STATUS_INVALID E_INVALIDARG

class SNDSample;

// One entry of the chain callback's event table: the event the callback thread waits on and the
// sample whose stop it announces (NULL: free).
struct _SNDEvent {
    HANDLE event;
    std::atomic<SNDSample*> sample;
};

// A RIFF chunk header: four-character id and body size, as stored in the file (little-endian).
struct _ChunkHeader {
    DWORD id;
    DWORD size;
};

// Four-character code of a RIFF chunk id, as it reads from the file in little-endian order.
constexpr DWORD SndFourCC(char a, char b, char c, char d) {
    return DWORD(BYTE(a)) | (DWORD(BYTE(b)) << 8) | (DWORD(BYTE(c)) << 16) | (DWORD(BYTE(d)) << 24);
}

class SNDSample {
  public:
    SNDSample() = default;
    // Plain copy of every field (the buffer is not duplicated).
    SNDSample(const SNDSample& other) { *this = other; }
    SNDSample& operator=(const SNDSample& other);

    // --- WAV reading ---
    // Opens file through the library's open function and parses its WAV header into this slot; the
    // file is left at the first sound byte. INVALID_HANDLE_VALUE when it cannot be opened or is not a
    // PCM WAV (the file is then closed).
    HANDLE OpenSoundFile(const char* file);
    // Parses "RIFF"/"WAVE", the "fmt " chunk, an optional "smpl" loop and the "data" chunk; 1 when the
    // file is a PCM WAV, the file then standing at the sound data.
    int IsWavFile(HANDLE file);
    // Looks for chunk fourcc from file offset from: 1 with header filled and the file at the chunk
    // body, 0 when not found. Chunks are walked with the RIFF pad byte after odd sizes, then, when that
    // finds nothing, without it (files from writers that do not pad).
    static int FindRiffChunk(HANDLE file, DWORD fourcc, _ChunkHeader* header, DWORD from);

    // --- loading ---
    // Loads file into a new static buffer of this slot; id (unless SND_KEEP_ID) becomes the slot's ID.
    // 1 on success; 0 leaves the slot without a buffer.
    int LoadSample(const char* file, DWORD id);
    // Creates this slot's secondary buffer in the slot's format, bytes long (0: the data size).
    int AllocDSBuffer(DWORD bytes);

    // --- playing ---
    // Plays the buffer (looping when SND_LOOPS) with volume and pan on the 0..0xFFFF scale, arming the
    // chain when next is set. With effects off: clears the reservation and returns 1 without playing.
    int PlaySample(LONG volume, LONG pan);
    int StopSample();
    // Stops and keeps the play position for UnPauseSample.
    int PauseSample();
    int UnPauseSample();
    // 1 while the buffer plays.
    int SamplePlaying();
    // The buffer's DSBSTATUS_* bits, or SND_STATUS_INVALID without a buffer.
    LONG GetSampleStatus();
    // Store the value and hand the mapped value to the buffer; 1 when the buffer accepted it (buffers
    // are made without these controls, so the platform refuses them and sounds play as recorded).
    int SetVolume(int volume);
    int SetPan(int pan);
    int SetPitch(int frequency);

    // A new slot whose buffer shares this slot's sound data (a second voice of the same sound); it
    // plays once even when this one loops. NULL when no slot is free or duplication fails.
    SNDSample* DupeSample();
    // Appends b to the end of a's chain; returns a (b when a or b is NULL).
    static SNDSample* ChainSample(SNDSample* a, SNDSample* b);
    // Clears every field except the notification pair.
    void Reset();

    // Fields, in the record's order.
    std::atomic<DWORD> m_dwFlags{0};
    DWORD m_dwID = 0;
    DWORD m_dwDataSize = 0;
    DWORD m_dwRate = 0;
    DWORD m_dwBits = 0;
    DWORD m_dwChannels = 0;
    LONG m_lLength = 0; // data size x bits x 1000 / (rate x 8), -1 when the rate is 0; nothing reads it
    DWORD m_dwPausePosition = 0;
    std::atomic<LONG> m_lVolume{0};
    std::atomic<LONG> m_lPan{0};
    LONG m_lPitch = 0;
    DWORD m_dwLoopStart = 0;
    DWORD m_dwLoopEnd = 0;
    DWORD m_dwLoopCount = 0;
    std::atomic<IDirectSoundBuffer*> m_pBuffer{nullptr};
    std::atomic<DWORD> m_dwNotifyOffset{0};
    std::atomic<HANDLE> m_hNotifyEvent{nullptr};
    std::atomic<SNDSample*> m_pNext{nullptr};

  private:
    int ReadFormatChunk(HANDLE file);
    void ReadSamplerChunk(HANDLE file);
    // Arms the stop notification that plays next; false when no event or notification is available.
    void ArmChain(IDirectSoundBuffer* buffer);
    // Gives back the event of an armed chain whose play did not start.
    void DisarmChain();
};
