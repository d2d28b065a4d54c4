// The one software mixer of the process: every playing sound source (secondary sound buffers, music)
// is summed into the machine's audio output (host/backend/audio.h), which pulls mixed frames on its own
// thread. The state of every source is guarded by the one mixer lock.
#pragma once

#include <mutex>

#include "host/base/types.h"

// A sound the mixer plays. MixInto runs on the output's thread with the mixer lock held.
class HostMixSource {
  public:
    virtual ~HostMixSource() = default;
    // Adds frames stereo frames (left, right interleaved; full scale is 1.0) at rate Hz into mix.
    // Returns false when the source has finished; the mixer then stops mixing it.
    virtual bool MixInto(float* mix, int frames, int rate) = 0;

    // True while the mixer mixes this source. Managed by HostMixerStart/HostMixerStop.
    bool mixerListed = false;
};

// The output rate the mixer asks the machine for.
constexpr int kHostMixerPreferredRate = 44100;

// Takes a use of the audio output, opening it on the first use. False (nothing taken) when the machine
// has no audio output. Never call with the mixer lock held.
bool HostMixerAcquire();
// Gives a use back; the output closes with the last one (no mix runs after that). Never call with the
// mixer lock held.
void HostMixerRelease();
// The lock that guards the mixer and the state of every source.
std::mutex& HostMixerLock();
// The rate of the open output in Hz, 0 when closed.
int HostMixerRate();

// With the mixer lock held: starts (or keeps) mixing source.
void HostMixerStart(HostMixSource* source);
// With the mixer lock held: stops mixing source (no MixInto runs for it once the lock is released).
void HostMixerStop(HostMixSource* source);
// With the mixer lock held, from MixInto: posts a window message once the current mix has finished and
// the lock is released (so a message never waits on the mixer).
void HostMixerPostAfterMix(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// With the mixer lock held: scales the whole output per channel (the primary buffer's volume and pan).
void HostMixerSetMasterGain(float left, float right);

// Gain of an attenuation in hundredths of a decibel (0 or less): 10^(centibels / 2000), and exactly
// 0 at -10000 or below.
float HostCentibelsToGain(long centibels);
