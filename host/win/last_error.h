// The calling thread's last error code, as the platform's file, folder, thread and event calls leave it.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

#define ERROR_SUCCESS             0
#define ERROR_FILE_NOT_FOUND      2
#define ERROR_PATH_NOT_FOUND      3
#define ERROR_ACCESS_DENIED       5
#define ERROR_INVALID_HANDLE      6
#define ERROR_NOT_ENOUGH_MEMORY   8
#define ERROR_NO_MORE_FILES       18
#define ERROR_FILE_EXISTS         80
#define ERROR_INVALID_PARAMETER   87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_NEGATIVE_SEEK       131
#define ERROR_ALREADY_EXISTS      183

// The last error set on this thread (ERROR_SUCCESS when none).
HOST_API DWORD GetLastError();
// Sets this thread's last error.
HOST_API void SetLastError(DWORD error);

// Maps a C library errno value to the nearest last-error code (host use).
DWORD HostErrorFromErrno(int error);
