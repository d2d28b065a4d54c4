// The engine's exported API, the flat functions that the programs call. Functions that can fail return
// 1 for success and 0 for failure, or a pointer or handle that is NULL on failure; the reason is then in
// the engine's last error text (and in debug.log when the log is on).
#pragma once

#include "quib/export.h"

// ---- Debug and errors ----

// Switches the debug log debug.log (in the current folder) on for any non-zero value, off for 0.
// The first line logged in a process empties an old log; later lines, also after switching off and on
// again, are appended.
QUIB_API void QuibDebugEnable(int on);

// Registers an error text from outside the engine, as the engine registers its own: kept as the last
// error text with a newline, and logged.
QUIB_API void QuibRegError(const char* text);

// Does nothing; kept because programs may import it.
QUIB_API void junk();
