// Switches that tests of the ".x" reader use to stand another program in for its helper (one that
// crashes, hangs, ends early or writes garbage), so that what the loader does then can be seen.
#pragma once

#include <chrono>

// From now on ".x" files are read by the program at path (any executable file, a script included),
// which has limit to answer; NULL goes back to the packaged helper and its own limit.
void HostRMXSetHelperForTesting(const char* path, std::chrono::milliseconds limit);

// Whether the loader may wait on its helper through a pidfd (true at start); false makes it use what it
// does on systems without them (waitpid by process id), as such a system would.
void HostRMXAllowPidFdForTesting(bool allowed);
