// Global memory blocks (the sound library keeps its sample table in one) and the platform's scaled
// multiply. Blocks are allocated by handle, locked for a pointer and freed by handle; they never move,
// so a lock is only a check of the handle.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

#define GMEM_FIXED    0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND          (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR          (GMEM_FIXED | GMEM_ZEROINIT)

// Allocates bytes (always zero-filled, whatever flags say); NULL when out of memory.
HOST_API HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's memory, or NULL for a handle that is not a live block. Locks may be nested.
HOST_API LPVOID GlobalLock(HGLOBAL block);
// Ends one lock; TRUE while locks remain, FALSE when none remain (or for a bad handle).
BOOL GlobalUnlock(HGLOBAL block);
// Frees the block and returns NULL; returns block itself, freeing nothing, when it is not a live block.
HOST_API HGLOBAL GlobalFree(HGLOBAL block);

// (number × numerator) / denominator with a 64-bit intermediate, rounded to the nearest integer;
// -1 when denominator is 0 or the result does not fit in 32 bits.
int MulDiv(int number, int numerator, int denominator);
