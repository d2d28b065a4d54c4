// The engine's debug log, debug.log in the current folder. It is off until QuibDebugEnable(1); the first
// line written in a process empties an old log, every later line is appended. Each line opens and closes
// the file, so a crash loses nothing that was logged.
#pragma once

#include <atomic>

// Debug-log switch: non-zero writes lines to debug.log. Set by QuibDebugEnable; 0 at load.
extern std::atomic<int> g_bDebug;

// Writes one printf-style text to debug.log when the log is on (the caller supplies the line end).
// When the file cannot be opened the text is dropped; the next call tries again.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Forgets that the log was already created in this process, so that the next line empties debug.log
// again as at start-up. Only for tests, which run many start-ups in one process.
void DebugLogForgetCreatedForTests();
