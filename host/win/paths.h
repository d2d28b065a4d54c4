// Paths as the programs write them ("..\options.ini", ".\Levels\001.lev", "BackButton.bmp") turned into
// paths of this machine. Separators may be backslashes or slashes; "." and ".." are honoured; each
// component is found case-insensitively in its folder, an exact match winning over a case-folded one.
// Every host area that opens files (bitmaps, sounds, music, profiles) goes through here.
#pragma once

#include "host/base/export.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Resolves path against the current folder. When forCreate is false, every component must exist and
// out receives the machine path of the existing file or folder. When forCreate is true, the folder part
// must exist and the last component is matched case-insensitively if present, else kept as given (the
// file is about to be created). Returns false (out untouched) when the path cannot be resolved.
HOST_API bool HostResolvePath(const char* path, std::string& out, bool forCreate);

// Opens a C stdio stream on a program path through HostResolvePath. mode is fopen's; a mode that writes
// or appends ("w", "a", "r+" on a missing file fails as fopen does) may create the last component.
// Returns NULL with errno set when the path cannot be resolved or opened.
HOST_API FILE* HostOpenFile(const char* path, const char* mode);

// Reads the rest of an open stream into bytes (replacing what they held), up to limit bytes; the caller
// keeps the stream and closes it. False when reading fails or the stream holds more than limit bytes,
// which is how every reader of a whole file (bitmaps, models, textures, profiles, levels) keeps its cap.
HOST_API bool HostReadWholeFile(FILE* file, size_t limit, std::vector<uint8_t>& bytes);
