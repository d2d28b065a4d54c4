// The record of outside actions (program starts, opened addresses, message boxes, dialogs) that headless
// runs keep instead of doing them.
#pragma once

// Appends one line (printf-style, without the line end) to the file named by HOST_RECORD, if set.
// Lines from several threads never interleave.
void HostRecord(const char* format, ...) __attribute__((format(printf, 1, 2)));
