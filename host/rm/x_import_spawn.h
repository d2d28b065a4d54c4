// Running the ".x" reader's helper program (quib-ximport) on a file and taking its message.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "host/rm/x_import_flat.h"

// The helper program's file name; the package places it beside the host library.
constexpr const char* kHostRMXHelperName = "quib-ximport";

// The helper's path: kHostRMXHelperName in the folder of the binary that holds this code (the host
// library in the package, the program itself where the host is linked in statically), found from the
// loaded code's own address, never from PATH or the current folder. Empty when that binary cannot be
// told; computed once.
const std::string& HostRMXPackagedHelper();

// Starts the program at helper with posix_spawn, the file (size bytes at data) on its descriptor 3, its
// standard output a pipe to this process, its standard input and error /dev/null, no other descriptor,
// no blocked signal and every signal at its default; reads its message into out (empty on entry) with
// HostRMXReceiveFlat's checks, until limit has passed at most. True when a whole, sound message arrived,
// whatever became of the helper afterwards (a crash, an exit status, a reaper of this process's
// children, SIGCHLD ignored). False when it could not start, wrote anything else or nothing, or ran
// past limit. Before returning the pipe and the file are closed and the helper has ended and been
// reaped (here or by whoever reaps this process's children); it is killed only while it is known not to
// have been reaped. Any thread may call it; descriptors 0 to 2 of this process may be closed.
bool HostRMXReadWithHelper(const std::string& helper, const void* data, size_t size,
                           std::chrono::milliseconds limit, HostRMXFlat& out);
