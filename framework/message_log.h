// The framework's own printf-style message log, written to "debug.log" in the working folder. It is
// off unless g_logEnabled is set; neither program sets it.
#pragma once

// Non-zero: LogMessage writes. 0 at start.
extern int g_logEnabled;

// Writes the formatted text to "debug.log" while g_logEnabled is set. The first message of the process
// starts the file afresh; later ones are appended, so the engine's lines in the same file survive.
void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Forgets that a message was written, as at process start: the next message starts the file afresh
// (tests).
void LogMessageForgetStartedForTests();
