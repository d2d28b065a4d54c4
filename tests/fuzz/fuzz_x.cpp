// Fuzz target for the mesh builder's ".x" loading (our use of the model importer): the input is a model
// file. A file that loads must give a builder that passes the checks of x_checks.h; every object must be
// freed (the leak checker sees the rest) and no child process may be left. The importer itself runs in
// the helper program, which dies alone on the files it crashes on: what is fuzzed here is everything
// around it (the message reader has a faster target of its own, fuzz_x_message). Inputs over 1 MiB are
// skipped.
#include <cerrno>
#include <cstdint>
#include <set>
#include <string>
#include <sys/wait.h>

#include "tests/fuzz/x_checks.h"

const char* const fuzz::kPromisesOf = "mesh builder";

namespace {

constexpr size_t kMaxInput = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::Require;
    if (size > kMaxInput) return 0;
    auto* builder = new HostRMMeshBuilder();
    std::set<std::string> seen;
    if (builder->LoadFromMemory(data, size, fuzz::ScribbleAndRefuse, &seen) == D3DRM_OK) {
        fuzz::CheckBuilder(*builder);
        fuzz::CheckMesh(*builder);
    } else {
        Require(builder->GetFaceCount() == 0 && builder->GetVertexCount() == 0,
                "failed load leaves builder empty");
    }
    Require(builder->Release() == 0, "builder freed");
    Require(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD, "helper reaped");
    return 0;
}
