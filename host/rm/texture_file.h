// Textures read from picture files: ".ppm" (P6 and P3) and ".bmp".
#pragma once

#include "host/rm/ppm.h"
#include "host/rm/texture.h"

// Largest texture file read, in bytes.
constexpr size_t kHostRMTextureFileMaxBytes = 64u * 1024 * 1024;

// Decodes a picture file held in memory: a PPM (by its "P6" or "P3" magic) or a BMP (by "BM"). Nothing
// when the file is of another kind, malformed, or larger than kHostRMImageMaxSide on a side.
std::optional<HostRMImage> HostRMDecodePicture(const uint8_t* data, size_t size);

// Makes a texture over a new 16-bit (5-6-5) system-memory texture surface holding image.
HRESULT HostRMTextureFromImage(const HostRMImage& image, HostRMTexture** out);

// Reads the picture file at path (a program path: backslashes, any case) into a new texture.
// D3DRMERR_FILENOTFOUND when the file cannot be opened, D3DRMERR_BADFILE when it cannot be decoded.
HRESULT HostRMLoadTexture(const char* path, HostRMTexture** out);
