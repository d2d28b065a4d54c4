// The connection to the machine, one descriptor per backend, chosen at start-up: `headless` when
// HOST_BACKEND=headless, else `sdl`. The window layer drives it (pumping events when the message queue is
// empty, telling it about the main window) and the display driver feeds it frames (present.h). Every way
// the backends differ is a slot here; nothing outside host/backend/ asks which one runs. Events and time
// go up through the calls the upper areas register (hooks.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/base/types.h"

class HostModal; // modal.h

// The picture on screen: the main window's client area (windowed) or the front buffer (full screen),
// as 5-6-5 pixels in packed rows.
struct HostShownPicture {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;
};

// The kind of a message box, for its icon.
enum class HostMessageKind { Information, Warning, Error };

// What becomes of an outside action the program asks for (starting a program, opening a web address).
struct HostOutsideAction {
    bool perform = true;                  // do it (false: the backend kept it to itself; report success)
    bool ownEnvironment = false;          // a started program gets environment, not this process's
    std::vector<std::string> environment; // NAME=VALUE entries
};

// A file dialog answered without being shown (the headless script's answer).
struct HostDialogAnswer {
    bool given = false; // false: cancelled (no answer due, or "cancel")
    std::string typed;  // the answer, read as if typed into the dialog's name field
    int line = 0;       // where it was written, for messages
};

struct HostBackend {
    const char* name;
    // Starts the backend; false with error set when the machine cannot be reached (no display).
    bool (*init)(std::string& error);
    // Ends it: closes windows and devices. Called once at process exit.
    void (*shutdown)();
    // Turns what the machine has reported since the last call into window messages (the window hooks).
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
    // Shows (or records) a message box and returns when it is closed; false when it could not be shown.
    // Called on the chosen descriptor: a backend that needs to be started for it starts itself.
    bool (*messageBox)(const char* title, const char* text, HostMessageKind kind);
    // File dialogs: answered at once without being shown (answerFileDialog, when set: records the dialog,
    // a save dialog or an open one, showing folder first), else drawn over the program's picture
    // (runModal: runs the overlay until it closes; false when there is no window to draw it in).
    HostDialogAnswer (*answerFileDialog)(bool save, const std::string& title, const std::string& folder);
    bool (*runModal)(HostModal& modal);
    // The real desktop's size, when the machine has one to report.
    bool (*desktopSize)(int* width, int* height);
    // TranslateMessage makes printable WM_CHARs from key messages (true), or the backend posts them from
    // its own text input (false).
    bool textFromKeys;

    // The slots below work without the backend started (HostChosenBackend).
    // Time: nullptr for the machine's real clock (timers on their own thread, pacing waits sleep); else
    // the backend's virtual clock in milliseconds, which moves only as frames are presented (timers run
    // at each frame through the time-passed hooks, and pacing waits return at once).
    uint64_t (*virtualNowMs)();
    // What to do with a program start (program: its machine path, or the name asked for when not found;
    // folder: the folder it runs in, or the one asked for) and with an opened web address. nullptr: do it.
    HostOutsideAction (*startProgram)(const char* program, const char* parameters, const char* folder);
    HostOutsideAction (*openAddress)(const char* address);
    // The audio output behind audio.h: opens at about rate (audioRate tells the rate taken) and pulls
    // stereo frames from callback on the backend's audio thread; audioClose returns once it has stopped.
    bool (*audioOpen)(int rate, void (*callback)(int16_t* stereo, int frames, void* user), void* user);
    void (*audioClose)();
    int (*audioRate)();
};

// The descriptor HOST_BACKEND names now, not started: for the slots that need no machine.
const HostBackend& HostChosenBackend();
// True when HOST_BACKEND=headless. Only the backends' own code asks; everything else uses the slots.
bool HostIsHeadless();

// The backend of this process, started on first use. A backend that cannot start (the sdl backend with no
// display) prints one line saying so and ends the process with exit code 1.
const HostBackend& HostGetBackend();
// True once HostGetBackend has started the backend.
bool HostBackendStarted();

extern const HostBackend g_HostHeadlessBackend;
extern const HostBackend g_HostSdlBackend;
