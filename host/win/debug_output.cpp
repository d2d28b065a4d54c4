// Debugger output to the standard error stream.
#include "host/win/debug_output.h"

#include <cstdio>

void OutputDebugStringA(LPCSTR text) {
    if (!text) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}
