// What the fuzz targets share: the check that stops a run when a promise of the code under test is
// broken, a temporary folder of the process's own, and writing the input as a file for the readers
// that take a file name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/temp_folder.h"

namespace fuzz {

// What the target checks, as it reads in a report ("BMP reader"); each target defines it.
extern const char* const kPromisesOf;

// A broken promise is a finding: reports what and aborts, so the fuzzer keeps the input.
inline void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "%s promise broken: %s\n", kPromisesOf, what);
    std::abort();
}

// A folder of this process's own, quib-fuzz-NAME-... in the temporary folder, made on the first call
// and removed when the process ends.
inline const std::string& OwnFolder(const char* name) {
    static const testsupport::TempFolder folder(std::string("quib-fuzz-") + name);
    Require(!folder.Path().empty(), "temporary folder");
    return folder.Path();
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
