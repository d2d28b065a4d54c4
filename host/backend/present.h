// The meeting point of the display driver and the backends: the driver hands over each presented frame.
#pragma once

#include "host/base/types.h"

// A 16-bit picture in memory, rows pitchBytes apart.
struct HostPicture {
    const WORD* pixels;
    int width;
    int height;
    int pitchBytes;
    bool is555; // 5-5-5 when true, else 5-6-5
};

// Called by the display driver once per presented frame: after a full-screen Flip with the new front
// buffer (fullscreen = true), or after a blit into the windowed primary with the whole desktop picture
// (fullscreen = false; the backend shows the main window's client area of it). Counts the frame for the
// headless script, capture and frame limit.
void HostPresentPrimary(const HostPicture& primary, bool fullscreen);
