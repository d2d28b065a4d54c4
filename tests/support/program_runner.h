// Starting the package's programs from a test as a user would, on the headless backend: a child process
// in a folder of the test's choosing, its output in a log file, its environment this process's own
// without any HOST_ setting but HOST_BACKEND=headless and the run's own settings.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
    std::string program;                // the executable's path
    std::vector<std::string> arguments; // its command line after its own name
    std::string folder;                 // its current folder; this process's when empty
    std::vector<std::string> settings;  // "HOST_NAME=value" lines beside HOST_BACKEND=headless
    std::string log;            // file for its output and errors (relative to folder); none when empty
    bool appendLog = false;     // add to the log rather than start it afresh
    int timeLimitSeconds = 120; // a run still going then is killed; 0 for no limit
};

// Starts the program; its process id, or -1 when no process could be made. A program that cannot be
// started ends with status 127 (126 when its folder cannot be entered).
pid_t StartProgram(const ProgramRun& run);

// Waits for the started process; its exit status, or -1 when it was killed or could not be waited for.
int WaitForProgram(pid_t child);

// Starts the program and waits for it to end: its exit status, or -1 when it did not end normally.
int RunProgram(const ProgramRun& run);

} // namespace testsupport
