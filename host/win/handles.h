// Closing the kernel handles the programs hold: files, events, threads and folder searches.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Closes any handle made by CreateFileA, CreateEventA, CreateThread or FindFirstFileA. A thread keeps
// running after its handle is closed. FALSE (ERROR_INVALID_HANDLE) for an unknown or already closed handle.
HOST_API BOOL CloseHandle(HANDLE handle);
