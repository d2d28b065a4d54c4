// The debugger's output channel, where programs write diagnostic lines nobody else sees. Here the lines
// go to the standard error stream.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Writes text as it is (the caller supplies the line end); NULL writes nothing.
HOST_API void OutputDebugStringA(LPCSTR text);
#define OutputDebugString OutputDebugStringA
