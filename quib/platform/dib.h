// Packed images: one heap block holding a 40-byte information header, its colour table and the pixel
// rows (bottom row first, rows padded to whole 4-byte words), exactly as they follow the 14-byte file
// header in a BMP file. Blocks are made with malloc/calloc/realloc and freed with free by their receiver.
// These helpers trust the header they are given: the BMP reader checks every field before it returns an
// image, and the writers build their own headers.
#pragma once

#include "host/gdi/bitmap.h"

// The colour count: the colours-used field (its low 16 bits) when non-zero, else 2, 16 or 256 for 1, 4
// or 8 bits per pixel, else 0.
WORD DIBNumColors(const BITMAPINFOHEADER* header);
// Bytes of the colour table: the colour count x 4.
WORD DIBPaletteSize(const BITMAPINFOHEADER* header);
// Bytes of one pixel row: width x planes x bit count bits rounded up to whole 4-byte words.
DWORD DIBRowBytes(const BITMAPINFOHEADER* header);
// Bytes of all pixel rows: height x row bytes.
DWORD DIBImageBytes(const BITMAPINFOHEADER* header);
// The first pixel row: the header's start + header size + colour-table bytes.
BYTE* DIBBits(BITMAPINFOHEADER* header);
const BYTE* DIBBits(const BITMAPINFOHEADER* header);

// Sets (on non-zero) or clears pixel (x, y), counted from the top, of a 1-bit image's pixel rows.
// Points outside width x height are ignored.
void SetDIBPixel1(BYTE* bits, int width, int height, int x, int y, int on);

// The packed image inside a BMP file held in memory: the address 14 bytes on.
BITMAPINFOHEADER* BMPFileToDIB(BYTE* fileImage);

// A GDI DIB section made from a packed image (its header, colour table and pixels), or NULL when GDI
// refuses the header. The caller deletes it with DeleteObject.
HBITMAP CreateDIBSectionFromDIB(const BITMAPINFOHEADER* image);

// Fills the colour table of dest by its bit count: 8 bits: source's 256 entries when source is 8-bit,
// else the engine's halftone palette; 4 bits: source's 16 entries when source is 4-bit, else the 16
// standard colours; 1 bit: black and white; other counts: untouched. dest must have room for its table.
// Returns 1.
int InitDIBColorTable(BITMAPINFOHEADER* dest, const BITMAPINFOHEADER* source);

// A new packed image of width x height x bitCount holding the source picture: copied unscaled when the
// sizes match or stretch is 0 (at the origin), else stretched over the whole target. Colours are
// converted as GDI converts them (nearest table entry for indexed targets). NULL when the target format
// is refused. The caller frees the result.
BITMAPINFOHEADER* ConvertDIB(const BITMAPINFOHEADER* image, int width, int height, int bitCount, int stretch);

// The engine's fixed 256-colour palette for pictures that bring no colour table of their own: a 3-3-2
// colour cube, index = red level << 5 | green level << 2 | blue level, so index 0 is black and every
// corner of the cube (black, white, pure red, green, blue...) is present exactly.
void HalftonePalette(RGBQUAD colors[256]);
// The 16 standard colours of a 4-bit picture (black, the eight dark and the seven light primaries).
void StandardPalette16(RGBQUAD colors[16]);
