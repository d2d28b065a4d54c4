// Writing the shown picture to a file, as the headless script's capture does.
#pragma once

#include <string>

#include "host/backend/backend.h"

// Writes picture as an uncompressed 24-bit BMP (bottom-up rows, each padded to 4 bytes). Each 5-6-5 channel
// is widened to 8 bits by repeating its top bits, so full white stays 255, 255, 255. False with error set
// when the picture is empty or the file cannot be written.
bool HostWriteCaptureBmp(const char* path, const HostShownPicture& picture, std::string& error);
