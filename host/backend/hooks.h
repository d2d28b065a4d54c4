// What the areas above the backend hand down to it, so that it can pass the machine's events and time up
// without knowing them: the window layer registers its input calls, what a backend needs to know of the
// program's windows and the host clock (once, when the library loads); other areas add what must run as
// virtual time passes (the multimedia timers). Until the window layer registers, the calls do nothing.
#pragma once

#include <cstdint>

struct HostBackend; // backend.h

struct HostWindowHooks {
    // Machine input as window messages: a key (virtualKey generic, scanCode PC set 1, extended for
    // E0-prefixed keys) went down or up; a character of text input; the pointer moved to (x, y) of the main
    // window's client area; mouse button 0 (left), 1 (right) or 2 (middle) went down or up; the program
    // got (true) or lost the keyboard focus.
    void (*key)(int virtualKey, int scanCode, bool extended, bool down, bool repeat);
    void (*character)(unsigned character);
    void (*mouseMove)(int x, int y);
    void (*mouseButton)(int button, bool down);
    void (*focus)(bool focused);
    // Asks the main window to close (WM_CLOSE), as its close box would; asks the program to end (WM_QUIT).
    void (*close)();
    void (*quit)();
    // Whether the program has a main window; whether one of its windows is active.
    bool (*hasMainWindow)();
    bool (*programActive)();
    // The main window's client area in screen coordinates; false without a main window.
    bool (*mainClientArea)(int* left, int* top, int* width, int* height);
    // The host clock in milliseconds (what timeGetTime counts, 64-bit).
    uint64_t (*nowMs)();
    // The backend has started (the window layer installs its virtual clock, if it has one).
    void (*backendStarted)(const HostBackend& backend);
};

// Registers the window layer's calls (each must be set).
void HostSetWindowHooks(const HostWindowHooks& hooks);
// The calls the backend makes upwards.
const HostWindowHooks& HostWindowUp();

// Adds a call that runs, on the presenting thread, each time virtual time moves on (after each presented
// or idle frame of a backend with a virtual clock). Adding one twice has no effect; at most eight.
void HostAddTimePassedHook(void (*hook)());
// Runs the hooks in the order they were added (the backends call it).
void HostRunTimePassedHooks();
