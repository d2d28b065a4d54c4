// A quick look at a ".x" file before the importer reads it.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether the file in data may go to the importer: text and binary forms with plausible counts and
// sound material lists; compressed forms are passed on as they are (their contents are only seen after
// inflating). The importer crashes on some of the files refused here and allocates for the counts a
// file claims before reading its elements; the import runs in a child process anyway
// (HostRMXReadIsolated), and this turns most such files away without one.
bool HostRMXPlausible(const uint8_t* data, size_t size);
