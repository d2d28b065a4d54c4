// The sdl backend's audio output (its audio slots): an SDL audio device whose callback runs the mixer.
#pragma once

#include "host/backend/audio.h"

// Opens the device at about rate; false when SDL has no audio device to give (or one is open).
bool HostSdlAudioOpen(int rate, HostAudioCallback callback, void* user);
// Closes it; the callback has finished for good when this returns.
void HostSdlAudioClose();
// The rate the device took, 0 when closed.
int HostSdlAudioRate();
