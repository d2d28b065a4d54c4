// Device-independent bitmaps: the BMP file structures, DIB sections and bitmap files loaded as DIB
// sections. A DIB section keeps the depth (1, 4, 8, 16, 24 or 32 bits), the colour table and the row
// layout (bottom-up or top-down, rows padded to 4 bytes) it was made with.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Compression values as BMP files store them.
#define BI_RGB       0
#define BI_RLE8      1
#define BI_RLE4      2
#define BI_BITFIELDS 3

// How a BITMAPINFO's colour table is to be read: as RGB entries (the only form supported).
#define DIB_RGB_COLORS 0

// LoadImageA's image type and flags.
#define IMAGE_BITMAP        0
#define LR_LOADFROMFILE     0x0001
#define LR_CREATEDIBSECTION 0x0002

// The file header of a BMP file (14 bytes on disk, little-endian).
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType; // "BM"
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits; // file position of the pixel rows
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header is 14 bytes");

// The 40-byte information header of a BMP file and of a DIB in memory.
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // positive: rows bottom-up; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BMP information header is 40 bytes");

// One colour-table entry, stored blue, green, red.
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

// A header followed by its colour table (or, for BI_BITFIELDS with a 40-byte header, three DWORD masks).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// What GetObjectA reports of a bitmap.
struct BITMAP {
    LONG bmType; // 0
    LONG bmWidth;
    LONG bmHeight;     // always positive
    LONG bmWidthBytes; // bytes per row, padded to 4
    WORD bmPlanes;     // 1
    WORD bmBitsPixel;  // the DIB's depth
    LPVOID bmBits;
};

// Creates a DIB section from info (header of 40 bytes or more, then the colour table or bitfield masks).
// Accepts 1/4/8/16/24/32 bits, BI_RGB, and BI_BITFIELDS for 16 and 32 bits; rows bottom-up or top-down.
// dc may be NULL; usage must be DIB_RGB_COLORS; section must be NULL. *bits (when bits is not NULL)
// receives the zero-filled pixel rows, or NULL on failure. Returns NULL for anything it refuses.
HOST_API HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                  DWORD offset);

// Copies count colour-table entries from start of the DIB section selected into dc. Returns the number
// copied (0 for a DIB without a table, or when dc has none selected). Indexed DIBs always have a full
// table of 2, 16 or 256 entries; entries the file did not give are black.
HOST_API UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);

// Loads a BMP file as a DIB section at its own size. Only IMAGE_BITMAP with LR_LOADFROMFILE, a NULL
// instance and cx = cy = 0 are supported; with or without LR_CREATEDIBSECTION the result is a DIB
// section keeping the file's depth and colour table. The name is a program path (backslashes, any
// case). Accepts 12-, 40-, 52-, 56-, 108- and 124-byte headers, 1/4/8/16/24/32 bits, BI_RGB, BI_BITFIELDS,
// top-down rows, BI_RLE8 and BI_RLE4. Every size, count and offset is checked against the file: a missing,
// truncated or malformed file gives NULL. The result is an HBITMAP, deleted with DeleteObject.
HOST_API HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
#define LoadImage LoadImageA
