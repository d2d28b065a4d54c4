// The one host clock behind every millisecond clock and timer. By default real time counted from the
// machine's start, as the platform's clocks count it; the headless backend (and tests) install a virtual
// source so runs are repeatable.
#pragma once

#include <cstdint>

#include "host/base/export.h"
#include "host/base/types.h"

typedef uint64_t (*HostClockSource)();

// Installs the source of milliseconds for all host clocks; nullptr restores the real clock.
void HostSetClockSource(HostClockSource source);
// Starts the backend and installs its clock, virtual or real (a backend with a virtual clock installs it
// when it starts); tests that installed a clock of their own call it to go back.
void HostUseBackendClock();
// Milliseconds from the installed source (64-bit, never wraps).
HOST_API uint64_t HostNowMs();

// Milliseconds since the machine's start (or of the installed source), 32-bit and wrapping every 49.7
// days, as the platform's clocks are.
HOST_API DWORD timeGetTime();
HOST_API DWORD GetTickCount();
// Waits the given milliseconds (real time).
HOST_API void Sleep(DWORD milliseconds);
// Waits the given milliseconds to pace a loop to the clock: sleeps on the real clock; returns at once on
// a virtual clock, which moves only as frames are presented.
HOST_API void HostPaceWait(DWORD milliseconds);
