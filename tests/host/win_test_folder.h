// Test helpers for the host's file services: a temporary folder of the test's own, files written into
// it directly, and a guard that puts the current folder back.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace wintest {

// A new empty folder under the temporary folder, removed with everything in it at the end of the test.
using testsupport::TempFolder;

// Restores the process's current folder when the test ends.
class CurrentFolderGuard {
  public:
    CurrentFolderGuard() : saved_(std::filesystem::current_path()) {}
    ~CurrentFolderGuard() {
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
    }

  private:
    std::filesystem::path saved_;
};

using testsupport::ReadText;
using testsupport::WriteText;

// Sets (or, with nullptr, removes) an environment variable for one test and puts the old value back.
class EnvironmentGuard {
  public:
    EnvironmentGuard(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentGuard() {
        if (hadOld_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

  private:
    std::string name_, old_;
    bool hadOld_ = false;
};

} // namespace wintest
