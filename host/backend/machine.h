// The machine the host emulates: what the display driver, 3D devices, input and sound report.
// Defaults describe an ordinary desktop; a headless run may load another from the file named by
// HOST_MACHINE (see docs/headless.md for its keys).
#pragma once

#include <string>
#include <vector>

struct HostDisplayMode {
    int width;
    int height;
    int bitsPerPixel; // 8, 15 (5-5-5 shown as 16-bit), 16, 24 or 32
};

struct HostMachine {
    int desktopWidth = 1024;
    int desktopHeight = 768;
    int desktopBitsPerPixel = 16; // 15 means a 5-5-5 desktop
    bool pixels555 = false;       // 16-bit surfaces use 5-5-5 instead of 5-6-5
    unsigned videoMemoryTotal = 16u * 1024 * 1024;
    unsigned videoMemoryFree = 14u * 1024 * 1024;
    std::vector<HostDisplayMode> displayModes; // filled with a default list that includes 800x600x16
    bool hardware3D = true;                    // a hardware 3D device is offered
    bool software3D = true;                    // a software 3D device is offered
    bool palettised8BitTextures = false;
    bool audioDevice = true;
    int joysticks = 0;
};

// The machine in use, loaded once (HOST_MACHINE when headless, else the defaults adjusted to the real
// desktop). Never NULL.
const HostMachine& HostGetMachine();
// Replaces the machine in use (tests).
void HostSetMachine(const HostMachine& machine);
// Reads a machine file ("key = value" lines); false with message set when the file is bad.
bool HostLoadMachineFile(const char* path, HostMachine& machine, std::string& message);
// Reads machine file text (as HostLoadMachineFile, from memory); message names the bad line.
bool HostParseMachineText(const std::string& text, HostMachine& machine, std::string& message);
// The default machine: 1024x768 16-bit desktop and the default display-mode list.
HostMachine HostDefaultMachine();

// The screen as the programs see it: the desktop, or the display mode a full-screen program has set.
struct HostScreenMode {
    int width;
    int height;
    int bitsPerPixel;
};
HostScreenMode HostGetScreenMode();
// Called by the display driver when it changes the display mode (full screen) and when it restores the
// desktop's mode. GetSystemMetrics(SM_CXSCREEN/SM_CYSCREEN) follows.
void HostSetScreenMode(int width, int height, int bitsPerPixel);
void HostRestoreScreenMode();
