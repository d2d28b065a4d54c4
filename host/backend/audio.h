// The meeting point of the sound mixer and the backends: the backend pulls mixed audio from the mixer.
#pragma once

#include <cstdint>

// Fills frames stereo frames of signed 16-bit samples (interleaved left, right) at the device rate.
typedef void (*HostAudioCallback)(int16_t* stereo, int frames, void* user);

// Opens the machine's audio output at about the given rate and starts pulling from callback (on the
// backend's audio thread). Returns false, with nothing started, when the machine has no audio device.
// The actual rate is returned by HostAudioRate.
bool HostAudioOpen(int rate, HostAudioCallback callback, void* user);
// Stops pulling; the callback is not running and will not run again when this returns.
void HostAudioClose();
// The rate of the open output, 0 when closed.
int HostAudioRate();
