// BMP files of the package: BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows padded to 4 bytes,
// 24-bit true colour or 8-bit with a colour table. The reader accepts what the writer writes (and the
// same layouts from elsewhere), checking every size against the file.
#pragma once

#include <string>

#include "assets/common/canvas.h"

// Writes picture as a 24-bit BMP. False (with the reason in *error when given) when it cannot be written.
bool WriteBmp24(const std::string& path, const Picture& picture, std::string* error = nullptr);

// Writes picture as an 8-bit BMP whose colour table holds exactly the picture's colours, in order of
// first appearance. False when the picture has more than 256 colours or the file cannot be written.
bool WriteBmp8(const std::string& path, const Picture& picture, std::string* error = nullptr);

// Reads a 24-bit or 8-bit uncompressed BMP (bottom-up or top-down). False with the reason on anything
// else or on a file shorter than its headers say.
bool ReadBmp(const std::string& path, Picture& picture, std::string* error = nullptr);
