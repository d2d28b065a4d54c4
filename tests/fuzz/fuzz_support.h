// What the fuzz targets share: the check that stops a run when a promise of the code under test is
// broken, a temporary folder of the process's own, and writing the input as a file for the readers
// that take a file name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

// What the target checks, as it reads in a report ("BMP reader"); each target defines it.
extern const char* const kPromisesOf;

// A broken promise is a finding: reports what and aborts, so the fuzzer keeps the input.
inline void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "%s promise broken: %s\n", kPromisesOf, what);
    std::abort();
}

// A folder of this process's own, quib-fuzz-NAME-XXXXXX in the temporary folder, made on the first call
// and removed when the process ends (the name is never freed, so the exit handler can still use it).
inline const std::string& OwnFolder(const char* name) {
    static const std::string* folder = [name] {
        auto* pattern = new std::string(
            (std::filesystem::temp_directory_path() / (std::string("quib-fuzz-") + name + "-XXXXXX"))
                .string());
        Require(mkdtemp(pattern->data()) != nullptr, "temporary folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(OwnFolder(nullptr), ignored);
        });
        return pattern;
    }();
    return *folder;
}

// Writes the input to path, replacing the file. False when the file cannot be written.
inline bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
    return true;
}

} // namespace fuzz
