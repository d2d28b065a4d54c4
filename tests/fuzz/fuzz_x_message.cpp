// Fuzz target for the message the ".x" helper program sends back (the boundary the engine trusts), read
// in this process without a helper or a pipe: the input is a message. A message the reader takes must
// pass HostRMXFlatSound; the builder contents made from it must pass the checks of x_checks.h; a
// refused message must leave nothing behind (the leak checker sees the rest).
#include <cstdint>
#include <set>
#include <string>

#include "host/rm/x_import.h"
#include "tests/fuzz/x_checks.h"

const char* const fuzz::kPromisesOf = "x message reader";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::Require;
    HostRMXFlat flat;
    if (!HostRMXParseFlat(data, size, flat)) return 0;
    Require(HostRMXFlatSound(flat), "a message taken is sound");
    HostRMMeshBuilder::Contents contents;
    contents.looks.emplace_back();
    std::set<std::string> seen;
    Require(HostRMXMakeContents(flat, fuzz::ScribbleAndRefuse, &seen, contents) == D3DRM_OK, "contents made");
    auto* builder = new HostRMMeshBuilder();
    builder->Adopt(std::move(contents));
    fuzz::CheckBuilder(*builder);
    fuzz::CheckMesh(*builder);
    Require(builder->Release() == 0, "builder freed");
    return 0;
}
