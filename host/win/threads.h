// Threads and events as the sound library uses them: worker threads that wait on events, auto- and
// manual-reset events, waiting for one or for any of several with a time limit. Handles are closed
// with CloseHandle (host/win/handles.h). Time limits are in real milliseconds; Sleep comes with them.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/win/clock.h"
#include "host/win/handles.h"
#include "host/win/last_error.h"

struct SECURITY_ATTRIBUTES; // never filled in by the programs: always NULL
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

typedef DWORD (*LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define INFINITE             0xFFFFFFFFu
#define WAIT_OBJECT_0        0x00000000u
#define WAIT_TIMEOUT         0x00000102u
#define WAIT_FAILED          0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

#define THREAD_PRIORITY_LOWEST       (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL       0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST      2

// Starts start(parameter) on a new thread; *threadId (may be NULL) gets its id. The handle is signalled
// when the function returns. Closing the handle does not stop the thread; wait for it first (a closed
// handle of a finished thread joins it). stackSize and flags are ignored. NULL when no thread starts.
HOST_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, size_t stackSize, LPTHREAD_START_ROUTINE start,
                             LPVOID parameter, DWORD flags, LPDWORD threadId);
// Accepts a priority for thread; the machine schedules all threads alike. FALSE for a bad handle.
HOST_API BOOL SetThreadPriority(HANDLE thread, int priority);

// Creates an event, signalled from the start when initialState is TRUE. A manual-reset event stays
// signalled until ResetEvent; an auto-reset event is reset by the one wait it releases. name is ignored.
HOST_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                             LPCSTR name);
#define CreateEvent CreateEventA
HOST_API BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits until handle (an event or a thread) is signalled: WAIT_OBJECT_0, WAIT_TIMEOUT after
// milliseconds (INFINITE: no limit), WAIT_FAILED for a bad handle.
HOST_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Waits until any of the count handles (waitAll FALSE) or all of them (waitAll TRUE) are signalled.
// Returns WAIT_OBJECT_0 + the lowest signalled index (WAIT_OBJECT_0 when all), WAIT_TIMEOUT, or
// WAIT_FAILED when count is 0 or above MAXIMUM_WAIT_OBJECTS or a handle is bad (nothing is consumed).
HOST_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
