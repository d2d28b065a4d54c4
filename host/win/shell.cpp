#include "host/win/shell.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/base/record.h"
#include "host/win/path_names.h"
#include "host/win/paths.h"
#include "host/win/process_start.h"

namespace {

const intptr_t kStarted = 42;

HINSTANCE Result(intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && HostNamesEqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsWebAddress(const std::string& file) {
    return StartsWithNoCase(file, "http:") || StartsWithNoCase(file, "https:") ||
           StartsWithNoCase(file, "mailto:");
}

bool IsRunnable(const std::string& machinePath) {
    struct stat info;
    return ::stat(machinePath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(machinePath.c_str(), X_OK) == 0;
}

// The program file named by file relative to the machine folder base: the name without ".exe" first,
// then the name as given, each found ignoring case.
bool FindProgram(const std::string& file, const std::string& base, std::string& program) {
    size_t split = file.find_last_of("/\\");
    std::string folderPart = split == std::string::npos ? "" : file.substr(0, split + 1);
    std::string name = split == std::string::npos ? file : file.substr(split + 1);
    bool absolute = !folderPart.empty() && (folderPart[0] == '/' || folderPart[0] == '\\');
    std::string folder;
    std::string folderPath = absolute ? folderPart : base + "/" + folderPart;
    if (name.empty() || !HostResolvePath(folderPath.c_str(), folder, false)) return false;
    std::vector<std::string> candidates;
    if (name.size() > 4 && HostNamesEqualNoCase(name.substr(name.size() - 4), ".exe"))
        candidates.push_back(name.substr(0, name.size() - 4));
    candidates.push_back(name);
    for (const std::string& candidate : candidates) {
        std::string found;
        if (!HostFindInFolder(folder, candidate, found)) continue;
        std::string path = (folder == "/" ? "" : folder) + "/" + found;
        if (IsRunnable(path)) {
            program = path;
            return true;
        }
    }
    return false;
}

// HOST_START=real: a headless program also really starts the programs it records starting.
bool StartsForReal() {
    const char* mode = std::getenv("HOST_START");
    return mode && HostNamesEqualNoCase(mode, "real");
}

// The environment of a program started headless for real: this one's, except that its HOST_SCRIPT and
// HOST_MAX_FRAMES become those meant for it, HOST_SCRIPT_<NAME> and HOST_MAX_FRAMES_<NAME> (NAME: its file
// name in upper case, other characters than letters and digits as '_'), or are left out when not set.
std::vector<std::string> EnvironmentFor(const std::string& program) {
    std::string name = program.substr(program.find_last_of('/') + 1);
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c))
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                : '_';
    std::vector<std::string> environment;
    for (char** variable = environ; variable && *variable; ++variable)
        if (std::strncmp(*variable, "HOST_SCRIPT=", 12) != 0 &&
            std::strncmp(*variable, "HOST_MAX_FRAMES=", 16) != 0)
            environment.push_back(*variable);
    for (const char* setting : {"HOST_SCRIPT", "HOST_MAX_FRAMES"}) {
        const char* value = std::getenv((std::string(setting) + "_" + name).c_str());
        if (value) environment.push_back(std::string(setting) + "=" + value);
    }
    return environment;
}

HINSTANCE OpenAddress(const std::string& address) {
    if (HostIsHeadless()) {
        HostRecord("open %s", address.c_str());
        return Result(kStarted);
    }
    std::string opener, folder;
    if (!HostFindOnSearchPath("xdg-open", opener) || !HostCurrentFolder(folder))
        return Result(SE_ERR_NOASSOC);
    int error = 0;
    if (!HostStartDetached(opener, {address}, folder, error)) return Result(SE_ERR_NOASSOC);
    return Result(kStarted);
}

HINSTANCE StartProgram(const std::string& file, const std::string& parameters, LPCSTR directory) {
    std::string current, folder;
    if (!HostCurrentFolder(current)) return Result(SE_ERR_PNF);
    bool folderGiven = directory && *directory;
    bool folderFound = !folderGiven || HostResolvePath(directory, folder, false);
    if (!folderGiven) folder = current;
    std::string program;
    bool programFound = (folderGiven && folderFound && FindProgram(file, folder, program)) ||
                        FindProgram(file, current, program);
    if (HostIsHeadless()) {
        HostRecord("start %s %s %s", programFound ? program.c_str() : file.c_str(), parameters.c_str(),
                   folderFound ? folder.c_str() : directory);
        if (!StartsForReal()) return Result(kStarted);
    }
    if (!folderFound) return Result(SE_ERR_PNF);
    if (!programFound) return Result(SE_ERR_FNF);
    std::vector<std::string> arguments;
    if (!parameters.empty()) arguments.push_back(parameters);
    int error = 0;
    bool started = HostIsHeadless()
                       ? HostStartDetached(program, arguments, folder, EnvironmentFor(program), error)
                       : HostStartDetached(program, arguments, folder, error);
    if (started) return Result(kStarted);
    if (error == ENOENT || error == ENOTDIR) return Result(SE_ERR_PNF);
    if (error == EACCES || error == EPERM) return Result(SE_ERR_ACCESSDENIED);
    return Result(SE_ERR_OOM);
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int) {
    if (verb && !HostNamesEqualNoCase(verb, "open")) return Result(SE_ERR_NOASSOC);
    if (!file || !*file) return Result(SE_ERR_FNF);
    if (IsWebAddress(file)) return OpenAddress(file);
    return StartProgram(file, parameters ? parameters : "", directory);
}
