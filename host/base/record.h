// Run-time switches that every host area shares: which backend runs, and the record of outside actions
// (program starts, opened addresses, message boxes, dialogs) that headless runs keep instead of doing them.
#pragma once

#include "host/base/export.h"

// True when HOST_BACKEND=headless: no window, no sound card, virtual time.
HOST_API bool HostIsHeadless();

// Appends one line (printf-style, without the line end) to the file named by HOST_RECORD, if set.
// Lines from several threads never interleave.
void HostRecord(const char* format, ...) __attribute__((format(printf, 1, 2)));
