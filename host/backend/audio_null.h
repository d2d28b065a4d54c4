// The null audio output of headless runs: no sound card, only the mixer's samples, rendered as the host
// clock advances so that tests can read the output sample by sample against virtual time.
#pragma once

#include <cstdint>
#include <vector>

#include "host/backend/audio.h"

// The headless backend's audio slots (behind HostAudioOpen/HostAudioClose/HostAudioRate). It opens at exactly
// the rate asked for.
bool HostAudioNullOpen(int rate, HostAudioCallback callback, void* user);
void HostAudioNullClose();
int HostAudioNullRate();

// Renders the frames that match the host clock's advance since the output opened: frames due =
// milliseconds since opening x rate / 1000, less the frames already pumped (at most 60 seconds of sound a
// call; a longer jump of the clock is skipped, as a stalled output would). The headless backend calls it
// once per presented frame after advancing the clock. What it renders is kept while capturing.
void HostAudioNullPump();
// Renders frames stereo frames at once into out (2 x frames samples; NULL discards them), whatever the
// clock says. Returns the frames rendered: 0 when the output is closed.
int HostAudioNullRender(int frames, int16_t* out);
// Starts (clearing what was kept) or stops keeping the samples HostAudioNullPump renders, at most five
// minutes of sound.
void HostAudioNullCapture(bool on);
// The stereo samples (left, right interleaved) kept since the capture started.
std::vector<int16_t> HostAudioNullCaptured();
