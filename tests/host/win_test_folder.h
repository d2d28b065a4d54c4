// Test helpers for the host's file services: a temporary folder of the test's own, files written into
// it directly, and a guard that puts the current folder back.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace wintest {

// A new empty folder under the temporary folder, removed with everything in it at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quib-win-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The machine path of a name inside the folder ("a/b" for nested names).
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

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

inline void WriteText(const std::string& machinePath, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(machinePath).parent_path());
    std::ofstream out(machinePath, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string ReadText(const std::string& machinePath) {
    std::ifstream in(machinePath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

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
