// What tests can ask of the headless backend beyond the environment variables.
#pragma once

#include <string>

#include "host/backend/backend.h"

// Replaces the input script with script text (events due at frames already presented run at the next
// pump or present). False with message set, and the old script kept, when the text is bad.
bool HostHeadlessSetScript(const std::string& script, std::string& message);
// The picture the headless screen shows now (800x600 black before the first frame).
HostShownPicture HostHeadlessShownPicture();
// Whether the program asked for full screen last (HostSetFullScreen).
bool HostHeadlessFullScreen();
// Milliseconds of virtual time after frames presented frames: frames x 1000 / 60, rounded down.
uint64_t HostHeadlessMsAtFrame(uint64_t frames);
// A fresh headless machine (tests): no script, a black screen, no full-screen request.
void HostHeadlessReset();
