// The meeting point of the display driver and the backends: the driver hands over each presented frame.
#pragma once

#include <cstdint>

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

// Frames presented since the process started (the headless script's FRAME and virtual clock count these).
uint64_t HostPresentedFrames();
// Counts a frame in which nothing was shown: the headless backend calls it for each empty look at the
// queue while the program is inactive (it draws nothing then), so time, script and frame limit go on.
// Returns the new count.
uint64_t HostCountIdleFrame();

// Asks the backend to show the program on the whole desktop (true, when the program takes the screen
// for itself) or in its window (false). The headless backend only notes it.
void HostSetFullScreen(bool on);

// Closes the main window once n frames have been presented (0: never). HOST_MAX_FRAMES sets it at start;
// tests may change it. A program that still presents 60 frames after the close gets WM_QUIT.
void HostSetFrameLimit(uint64_t n);

// Sets the presented-frame count back to 0 (tests; the headless virtual clock follows).
void HostResetPresentedFrames();
