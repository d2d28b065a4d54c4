// The connection to the machine, one descriptor per backend, chosen once at start-up: `headless` when
// HOST_BACKEND=headless, else `sdl`. The window layer drives it (pumping events when the message queue is
// empty, telling it about the main window) and the display driver feeds it frames (present.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/base/types.h"

struct HostFileDialogRequest; // file_dialog.h
struct HostFileDialogAnswer;

// The picture on screen: the main window's client area (windowed) or the front buffer (full screen),
// as 5-6-5 pixels in packed rows.
struct HostShownPicture {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;
};

struct HostBackend {
    const char* name;
    // Starts the backend; false with error set when the machine cannot be reached (no display).
    bool (*init)(std::string& error);
    // Ends it: closes windows and devices. Called once at process exit.
    void (*shutdown)();
    // Turns what the machine has reported since the last call into window messages (host_input.h).
    void (*pumpEvents)();
    // Waits up to milliseconds for the machine to report something (GetMessage with an empty queue).
    void (*waitEvents)(int milliseconds);
    // Shows a picture (after the presented-frame count has been advanced).
    void (*present)(const HostShownPicture& picture);
    // The main window appeared (width x height client area) or changed its title; and went away.
    void (*mainWindowShown)(int width, int height, const char* title);
    void (*mainWindowTitle)(const char* title);
    void (*mainWindowGone)();
    // The program asked for full screen (true) or a window (false).
    void (*setFullScreen)(bool on);
    // The platform cursor shows over the window (true) or not.
    void (*showCursor)(bool visible);
    // Moves the real pointer to (x, y) in the main window's client coordinates, where the machine can.
    void (*warpMouse)(int x, int y);
    // Shows a message box and returns when it is closed; false when it could not be shown.
    bool (*messageBox)(const char* title, const char* text, UINT type);
    // Runs a file dialog until the user chooses (true, answer filled in) or cancels (false). It never
    // changes the current folder.
    bool (*runFileDialog)(const HostFileDialogRequest& request, HostFileDialogAnswer& answer);
    // The real desktop's size, when the machine has one to report.
    bool (*desktopSize)(int* width, int* height);
    // TranslateMessage makes printable WM_CHARs from key messages (true), or the backend posts them from
    // its own text input (false).
    bool textFromKeys;
    // Audio output is audio.h, implemented beside the backends (audio_sdl.cpp, audio_null.cpp): it opens
    // its own SDL audio device or the null output, so it needs no entry here.
};

// The backend of this process, started on first use. A backend that cannot start (the sdl backend with no
// display) prints one line saying so and ends the process with exit code 1.
const HostBackend& HostGetBackend();
// True once HostGetBackend has started the backend.
bool HostBackendStarted();

extern const HostBackend g_HostHeadlessBackend;
extern const HostBackend g_HostSdlBackend;
