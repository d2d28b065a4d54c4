// Message boxes. Headless runs record them (HOST_RECORD line "message TITLE: TEXT") and never block; the
// sdl backend shows a simple modal box.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

#define MB_OK          0x00000000u
#define MB_YESNO       0x00000004u
#define MB_ICONERROR   0x00000010u
#define MB_ICONWARNING 0x00000030u

#define IDOK  1
#define IDYES 6

// Shows text with caption (NULL: "Error") and returns the button taken: the first button of the box's set
// (IDOK, or IDYES for MB_YESNO), since the box offers only its default answer here. 0 when it cannot be
// shown at all.
HOST_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
#define MessageBox MessageBoxA
