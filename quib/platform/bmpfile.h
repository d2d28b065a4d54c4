// The engine's own BMP reader and writer. The reader takes only the plain form: a 40-byte information
// header, 1/4/8/16/24/32 bits per pixel, uncompressed rows stored bottom-up, at most 256 colours. Every
// field is checked against the file before anything is allocated or read: a file that is malformed,
// truncated or of another form gives NULL with one registered message, never a partial image.
//
// Messages: "ReadBMPFile: error opening file <name>", "ReadBMPFile: error reading file" (failed or short
// read, seek failure, or a file too short for what its header declares), "ReadBMPFile: bad BMP format"
// (not "BM", reserved fields not 0, sizes not positive, planes not 1, an unknown bit count, compression,
// more than 256 colours, pixels overlapping the headers, an image over 256 MiB), "ReadBMPFile: OS/2
// format not supported" (another header size), "ReadBMPFile: bad alloc" and "ReadBMPFile: bad error"
// (no memory for the header, or for the whole image).
#pragma once

#include <cstdio>

#include "host/base/types.h"
#include "host/gdi/bitmap.h"

// Largest pixel block the reader accepts.
constexpr size_t kBmpMaxImageBytes = 256u * 1024 * 1024;

// Reads a BMP file (a program path: backslashes, any case) into a packed image (quib/platform/dib.h),
// or NULL with the error registered. The file is closed on every path. The caller frees the image.
BITMAPINFOHEADER* ReadBMPFile(const char* name);
// The same from an open file handle positioned at the file header; the pixel offset is a position from
// the start of the file. The handle stays open.
BITMAPINFOHEADER* ReadBMPFromHandle(HANDLE file);
// The same from a standard I/O stream (its memory failure reads "ReadBMPFile: bad alloc").
BITMAPINFOHEADER* ReadBMPFromStream(FILE* stream);

// Writes a packed image as a BMP file, replacing an old one: the 14-byte file header (pixel offset 54 +
// colour-table bytes), then the header, table and rows as they are. 1 when written; 0 when the file
// cannot be created ("Error opening file" box) or written ("Error Writing file" box), the box captioned
// with the file name.
int WriteDIBFile(const char* name, const BITMAPINFOHEADER* image);
