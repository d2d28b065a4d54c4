// Starting another program of this machine, detached (host use only).
#pragma once

#include <string>
#include <vector>

// Runs program (a machine path) with arguments as argv[1..], each passed as is (never through a
// shell), in the machine folder folder. The program runs in a session of its own and is not this
// process's child, so either may end first. Returns true once the program has been executed; false with
// error (an errno value) when the folder or the program could not be used.
bool HostStartDetached(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, int& error);

// The same, with environment ("NAME=value" items) as the program's whole environment.
bool HostStartDetached(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, const std::vector<std::string>& environment, int& error);

// The machine path of an executable named name in a folder of $PATH; false when there is none.
bool HostFindOnSearchPath(const std::string& name, std::string& program);
