// What the frame benchmarks share to start the engine: a temporary folder to work in and the engine's
// display on the headless backend.
#pragma once

#include <filesystem>
#include <string>

#include "host/win/window.h"

namespace bench {

// A new folder in the system's temporary folder (named prefix and six random characters), made the
// current folder; empty with error set when it cannot be made.
std::filesystem::path EnterTemporaryFolder(const std::string& prefix, std::string& error);

// The engine's display at width x height on a 16-bit desktop: a visible pop-up window of window class
// className (registered here) with the engine's DirectX started on it. The window, or NULL with error
// set.
HWND StartHeadlessDisplay(const char* className, int width, int height, std::string& error);

} // namespace bench
