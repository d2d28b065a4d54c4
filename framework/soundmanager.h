// SoundManager: plays the program's sounds by name. Each name is paired with the ID under which its
// sample was loaded into the sound library (g_sound); IDs start at 10.
#pragma once

#include "host/base/types.h"
#include "host/dsound/dsound.h"
#include "quib/ptrarray.h"
#include "sound/quibsound.h"

// The longest sample name kept (longer names are cut).
constexpr int kSampleNameBytes = 32;

struct SampleEntry {
    int id;
    char name[kSampleNameBytes];
};

class SoundManager {
  public:
    // Creates the name list and starts the sound library for window with count sample slots (the
    // game 50, the menu 200). 0 when there is no sound: every other call is then silent and safe.
    int Init(HWND window, int count);
    // Loads file under name; NULL (nothing added) when it cannot be loaded.
    SampleEntry* LoadSample(const char* file, const char* name);
    // Plays the first sample called name (volume and pan 0..0xFFFF); the instance that plays, NULL
    // when the name is unknown or nothing could play.
    SNDSample* Play(const char* name, int volume, int pan);
    // The same for the entry at list position index (NULL past the list).
    SNDSample* PlayIndex(int index, int volume, int pan);
    SNDSample* PlayEntry(SampleEntry* entry, int volume, int pan);
    // The first entry called name (case-sensitive), or NULL.
    SampleEntry* Find(const char* name);
    // Frees one instance of the first sample called name and forgets the name.
    void Free(const char* name);
    // Forgets every name and every slot of the library (playing sounds run to their end), and stops
    // the stream.
    void FreeAll();
    // FreeAll, then ends the sound library.
    void Shutdown();
    void EnableMusic(int on);
    void EnableSFX(int on);
    IDirectSound* GetDirectSound();

    // The entries, NULL before Init and after Shutdown.
    PtrArray<SampleEntry>* m_pSamples = nullptr;

  private:
    // The ID for a new sample: 10 for an empty list, else one past the highest ID held.
    int NextId() const;
};

extern SoundManager g_soundManager;
