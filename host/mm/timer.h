// Multimedia timers: callbacks at a fixed period (or once) after a delay in milliseconds.
// With a real clock the callbacks of all timers run on one timer thread, one at a time, scheduled
// against absolute deadlines so that a periodic timer keeps its average period. On a backend's virtual
// clock (headless) the backend advances the host clock and then runs HostTimersRunDue, which runs every
// due callback on the calling thread, so a scripted run gives the same callbacks every time.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

#ifndef CALLBACK
#define CALLBACK
#endif

typedef UINT MMRESULT;

#define TIMERR_NOERROR      0
#define TIMERR_NOCANDO      97
#define TIMERR_STRUCT       129
#define MMSYSERR_INVALPARAM 11

// timeSetEvent flags: the kind of timer, and what it does when due (only a function call here).
#define TIME_ONESHOT           0x0000
#define TIME_PERIODIC          0x0001
#define TIME_CALLBACK_FUNCTION 0x0000

struct TIMECAPS {
    UINT wPeriodMin; // the shortest period and delay offered, ms
    UINT wPeriodMax; // the longest, ms
};
typedef TIMECAPS* LPTIMECAPS;

// A timer's callback: the timer's id, 0, the user value given to timeSetEvent, 0, 0.
typedef void(CALLBACK* LPTIMECALLBACK)(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);

// The periods offered. TIMERR_STRUCT when caps is NULL or size is not sizeof(TIMECAPS).
HOST_API MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size);
// Asks for (and gives back) a timer resolution of period ms; calls nest and must pair.
// TIMERR_NOCANDO for a period outside the caps, or an end without its begin.
HOST_API MMRESULT timeBeginPeriod(UINT period);
HOST_API MMRESULT timeEndPeriod(UINT period);
// Starts a timer that calls callback delay ms from now (TIME_PERIODIC: then every delay ms, until
// killed; TIME_ONESHOT: once, and the timer ends). resolution is a hint. Returns the timer's id (never 0),
// or 0 when the timer cannot start: no callback, a delay outside the caps, flags not offered, or no
// timer thread.
HOST_API UINT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
// Ends a timer. When its callback is running on another thread, waits until it returns, so no callback
// of the timer runs after this returns; from inside the callback itself it returns at once.
// MMSYSERR_INVALPARAM for an unknown id.
HOST_API MMRESULT timeKillEvent(UINT id);

// Virtual clock: runs, on the calling thread, every callback due by the host clock (HostNowMs), earliest
// deadline first (ties in the order the timers were started); a periodic timer late by several periods
// runs once per period missed. The backend runs it after each advance of its virtual clock. Returns
// the number of callbacks run. A call made while another runs (from a callback, or another thread)
// returns 0 at once.
int HostTimersRunDue();

// For a caller that waits for a timer callback's effect: on the real clock, yields the processor (the
// timer thread runs meanwhile) and returns true; on a virtual clock no callback can run before the next
// frame, so it returns false at once and the caller should stop waiting.
HOST_API bool HostYieldToTimers();
