// The one host clock behind every millisecond clock and timer. By default real time counted from the
// machine's start, as the platform's clocks count it; the headless backend (and tests) install a virtual
// source so runs are repeatable.
#pragma once

#include <cstdint>

#include "host/base/types.h"

typedef uint64_t (*HostClockSource)();

// Installs the source of milliseconds for all host clocks; nullptr restores the real clock.
void HostSetClockSource(HostClockSource source);
// Milliseconds from the installed source (64-bit, never wraps).
uint64_t HostNowMs();

// Milliseconds since the machine's start (or of the installed source), 32-bit and wrapping every 49.7
// days, as the platform's clocks are.
DWORD timeGetTime();
DWORD GetTickCount();
// Waits the given milliseconds (real time).
void Sleep(DWORD milliseconds);
