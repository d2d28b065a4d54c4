#include "host/win/shell.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/backend/backend.h"
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

// The backend may keep the action to itself (a record instead of a browser).
HINSTANCE OpenAddress(const std::string& address) {
    const HostBackend& backend = HostChosenBackend();
    if (backend.openAddress && !backend.openAddress(address.c_str()).perform) return Result(kStarted);
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
    // The backend may keep the start to itself (a record), or give the program an environment of its own.
    HostOutsideAction action;
    const HostBackend& backend = HostChosenBackend();
    if (backend.startProgram) {
        action = backend.startProgram(programFound ? program.c_str() : file.c_str(), parameters.c_str(),
                                      folderFound ? folder.c_str() : directory);
        if (!action.perform) return Result(kStarted);
    }
    if (!folderFound) return Result(SE_ERR_PNF);
    if (!programFound) return Result(SE_ERR_FNF);
    std::vector<std::string> arguments;
    if (!parameters.empty()) arguments.push_back(parameters);
    int error = 0;
    bool started = action.ownEnvironment
                       ? HostStartDetached(program, arguments, folder, action.environment, error)
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
