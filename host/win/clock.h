// The one host clock behind every millisecond clock and timer. Real monotonic time by default; the
// headless backend (and tests) install a virtual source so runs are repeatable.
#pragma once

#include <cstdint>

#include "host/base/export.h"
#include "host/base/types.h"

typedef uint64_t (*HostClockSource)();

// Installs the source of milliseconds for all host clocks; nullptr restores the real clock.
void HostSetClockSource(HostClockSource source);
// Milliseconds from the installed source (64-bit, never wraps).
HOST_API uint64_t HostNowMs();

// Milliseconds since start, 32-bit and wrapping, as the platform's clocks are.
HOST_API DWORD timeGetTime();
HOST_API DWORD GetTickCount();
// Waits the given milliseconds (real time).
HOST_API void Sleep(DWORD milliseconds);
