// Running a file reader in a child process, so that whatever the reader does to its process (a crash,
// a hang, memory exhausted) ends there.
#pragma once

#include <chrono>
#include <functional>

#include "host/rm/x_import_flat.h"

// How long a child may take to read a file before it is killed.
constexpr std::chrono::seconds kHostRMXReadTimeLimit{30};

// Runs read in a forked copy of this process, with its output silenced, its fault signals at their
// defaults and its memory capped at what it shares with this process plus memoryBytes, and receives
// what read filled in. Never returns in the child: it leaves with _exit, running no destructor, exit
// handler or handler of the parent's. True when read returned true, its arrays arrived whole and sound
// (HostRMXReceiveFlat) and the child then exited with status 0; false for anything else: a crash, a
// signal, a non-zero exit, a short or malformed message, or a child still running after limit (it is
// then killed). The child is always reaped and the pipe closed before returning; out is unspecified on
// false.
bool HostRMXReadIsolated(const std::function<bool(HostRMXFlat&)>& read, std::chrono::milliseconds limit,
                         size_t memoryBytes, HostRMXFlat& out);
