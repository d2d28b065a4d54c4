// The game clock: the framework's one time base. A periodic 10 ms multimedia timer adds 10 to a
// millisecond counter, polls the mouse buttons, drains a wait countdown and, once a second, takes one
// from a seconds countdown while it runs. Animations, popup deadlines and the game's level timer all read
// this counter. One clock per program, kept in program-wide state that the timer thread shares with the
// main thread (every shared value is atomic, so no lock is needed).
//
// Headless, the host's timers run on virtual time, which moves only as frames are presented: the clock
// advances between frames, never while the main thread waits inside one call.
#pragma once

#include "host/mm/timer.h"

// The clock's step and the timer's period, in milliseconds.
constexpr int kClockStepMs = 10;

// Starts the 10 ms timer. 0 on success, 1 when the machine cannot give a 10 ms period or the timer
// cannot start (then "Unable to use timers on this system" is logged for the first case, and the clock
// stands still). Starting a running clock does nothing and returns 0.
int StartClock();
// Stops the timer; when a tick is running on the timer thread, waits until it has returned, so no tick
// touches the clock or the mouse after this returns. Does nothing without a timer. Returns 0.
int StopClock();
// True while the timer runs (between a successful StartClock and StopClock).
bool IsClockRunning();

// Milliseconds the clock has counted since the program started (only ticks move it).
int GetClockMs();
// Milliseconds from clock time t to now.
int GetElapsedMs(int t);

// The seconds countdown (the game's level timer): one second is taken every 100 ticks while it runs,
// never below 0.
void SetSecondsLeft(int seconds);
int GetSecondsLeft();
// Adds seconds to the countdown in one step, so a second the timer thread takes meanwhile is not lost.
void AddToSecondsLeft(int seconds);
void StartCountdown();
void StopCountdown();
int IsCountdownRunning();

// The wait countdown: each tick takes 10 ms from it, never below 0.
void SetWaitCountdown(int ms);
int GetWaitCountdown();
// Sets the clock mode to 1 and waits until the timer has drained ms from the wait countdown, then puts
// the mode back. Returns at once for ms <= 0, when no timer runs, and headless (virtual time moves only
// as frames are presented, and a wait presents none, so it would never end there).
void WaitMs(int ms);

// A mode value the program keeps with the clock (the game sets 1); nothing depends on it.
void SetClockMode(int mode);
int GetClockMode();
// The two preset modes.
void SetClockModePreset6();
void SetClockModePreset4();

// What the clock needs from outside: the multimedia timer functions and the mouse-button poll that each
// tick makes. The host's timer and MouseCursor::PollButtons by default; tests put in a timer that cannot
// start, or a poll they can hold.
struct ClockServices {
    MMRESULT (*getDevCaps)(LPTIMECAPS caps, UINT size);
    MMRESULT (*beginPeriod)(UINT period);
    MMRESULT (*endPeriod)(UINT period);
    UINT (*setEvent)(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
    MMRESULT (*killEvent)(UINT id);
    void (*pollButtons)();
};

// The host's timer and the cursor's button poll.
ClockServices DefaultClockServices();
// Replaces the services (only while the clock is stopped); nullptr puts the defaults back.
void SetClockServices(const ClockServices* services);
