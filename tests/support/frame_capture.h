// Frames the rendering tests capture, written as 24-bit BMPs into the build folder's frames/ directory
// for a person to review. Tests check the pixels they can predict; the files are for the rest.
#pragma once

#include <string>

namespace testsupport {

// The path build-folder/frames/name; the frames folder is made when missing.
std::string CapturedFramePath(const std::string& name);

// Writes width x height 5-6-5 pixels, rows pitchBytes apart from the top row, as the 24-bit BMP
// CapturedFramePath(name) and returns that path. Each channel is widened by repeating its top bits, so
// white stays white.
std::string WriteFrame565(const std::string& name, int width, int height, int pitchBytes, const void* pixels);

} // namespace testsupport
