// Fuzz target for the INI reader and writer: the input becomes an INI file, which is listed and read
// through the profile calls, edited once and read again. Any crash, sanitizer report or broken promise
// of the profile calls (abort) is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/win/profile.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "profile";

namespace {

using fuzz::Require;

std::vector<std::string> SplitList(const char* list, DWORD length) {
    std::vector<std::string> names;
    for (DWORD i = 0; i < length;) {
        std::string name(list + i);
        i += DWORD(name.size()) + 1;
        names.push_back(name);
    }
    return names;
}

// Reads a string with buffers of several sizes; checks the cut and the terminator.
void ReadValue(const char* file, const std::string& section, const std::string& key) {
    for (DWORD size : {1u, 300u}) {
        std::vector<char> buffer(size + 1, 'x');
        DWORD got = GetPrivateProfileStringA(section.c_str(), key.c_str(), "dflt", buffer.data(), size, file);
        Require(got < size, "value cut to size - 1");
        Require(buffer[got] == '\0', "value terminated");
        Require(buffer[size] == 'x', "no write past the buffer");
    }
    GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, file);
}

std::vector<std::string> ListNames(const char* file, const char* section) {
    static char list[4096];
    DWORD got = GetPrivateProfileStringA(section, nullptr, nullptr, list, sizeof list, file);
    Require(got < sizeof list && list[got] == '\0', "list terminated");
    // A whole list ends "...\0\0" at got; a cut one returns size - 2 with two terminators after it.
    bool whole = got == 0 || list[got - 1] == '\0';
    Require(whole || (got == sizeof list - 2 && list[got + 1] == '\0'), "list ends with two terminators");
    return SplitList(list, got);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::OwnFolder("ini");
    std::string machinePath = folder + "/fuzz.ini";
    if (!fuzz::WriteInput(machinePath, data, size)) return 0;
    // The programs name their files in another case and with backslashes.
    std::string file = folder + "\\FUZZ.INI";

    std::vector<std::string> sections = ListNames(file.c_str(), nullptr);
    for (size_t s = 0; s < sections.size() && s < 4; ++s) {
        std::vector<std::string> keys = ListNames(file.c_str(), sections[s].c_str());
        for (size_t k = 0; k < keys.size() && k < 4; ++k)
            ReadValue(file.c_str(), sections[s], keys[k]);
    }
    ReadValue(file.c_str(), "setup", "fullscreen");

    // One edit, chosen by the first byte, then the promise of that edit.
    std::string section = sections.empty() ? std::string("setup") : sections[0];
    char value[64];
    switch (size ? data[0] % 3 : 0) {
    case 0:
        if (WritePrivateProfileStringA(section.c_str(), "FuzzKey", "42A fuzz", file.c_str())) {
            DWORD got =
                GetPrivateProfileStringA(section.c_str(), "fuzzkey", "", value, sizeof value, file.c_str());
            Require(got == 8 && std::strcmp(value, "42A fuzz") == 0, "written value reads back");
            Require(GetPrivateProfileIntA(section.c_str(), "FUZZKEY", 0, file.c_str()) == 42, "42A reads 42");
        }
        break;
    case 1:
        if (WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str()))
            Require(ListNames(file.c_str(), section.c_str()).empty(), "deleted section has no keys");
        break;
    default:
        if (WritePrivateProfileStringA("setup", "playerid", nullptr, file.c_str()))
            Require(
                GetPrivateProfileStringA("setup", "playerid", "gone", value, sizeof value, file.c_str()) == 4,
                "deleted key reads the default");
        break;
    }
    return 0;
}
