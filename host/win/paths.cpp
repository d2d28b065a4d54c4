#include "host/win/paths.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/win/path_names.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The non-empty components of a program path, split at either separator.
std::vector<std::string> SplitComponents(const char* path) {
    std::vector<std::string> parts;
    std::string current;
    for (const char* p = path; *p; ++p) {
        if (IsSeparator(*p)) {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// The folders from the root down to the current folder.
bool CurrentFolderComponents(std::vector<std::string>& out) {
    std::string cwd;
    if (!HostCurrentFolder(cwd)) return false;
    out = SplitComponents(cwd.c_str());
    return true;
}

std::string JoinComponents(const std::vector<std::string>& parts) {
    if (parts.empty()) return "/";
    std::string joined;
    for (const std::string& part : parts)
        joined += "/" + part;
    return joined;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool HostNamesEqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (HostFoldCase(a[i]) != HostFoldCase(b[i])) return false;
    return true;
}

bool HostCurrentFolder(std::string& out) {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            out = buffer.data();
            return true;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool HostFindInFolder(const std::string& folder, const std::string& name, std::string& found) {
    std::string exact = folder == "/" ? "/" + name : folder + "/" + name;
    struct stat info;
    if (stat(exact.c_str(), &info) == 0) {
        found = name;
        return true;
    }
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool any = false;
    // Several names may differ only in case; take the first in byte order so the choice is stable.
    while (dirent* entry = readdir(dir)) {
        std::string candidate = entry->d_name;
        if (!HostNamesEqualNoCase(candidate, name)) continue;
        if (!any || candidate < found) found = candidate;
        any = true;
    }
    closedir(dir);
    return any;
}

bool HostResolvePath(const char* path, std::string& out, bool forCreate) {
    if (!path || !*path) return false;
    std::vector<std::string> resolved;
    if (!IsSeparator(path[0]) && !CurrentFolderComponents(resolved)) return false;
    std::vector<std::string> parts = SplitComponents(path);
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        bool last = i + 1 == parts.size();
        if (part == ".") continue;
        if (part == "..") {
            if (!resolved.empty()) resolved.pop_back();
            continue;
        }
        std::string folder = JoinComponents(resolved);
        std::string found;
        if (HostFindInFolder(folder, part, found)) {
            resolved.push_back(found);
        } else if (last && forCreate) {
            resolved.push_back(part); // a new file keeps the name as given
        } else {
            return false;
        }
        if (!last && !IsFolder(JoinComponents(resolved))) return false;
    }
    std::string result = JoinComponents(resolved);
    // A path ending in a folder ("..\", ".") must name an existing folder.
    if (!IsFolder(result) && (parts.empty() || parts.back() == "." || parts.back() == "..")) return false;
    out = result;
    return true;
}

FILE* HostOpenFile(const char* path, const char* mode) {
    if (!path || !mode || !*mode) {
        errno = EINVAL;
        return nullptr;
    }
    bool creates = mode[0] == 'w' || mode[0] == 'a';
    std::string resolved;
    if (!HostResolvePath(path, resolved, creates)) {
        errno = ENOENT;
        return nullptr;
    }
    return std::fopen(resolved.c_str(), mode);
}

bool HostReadWholeFile(FILE* file, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (got > limit - bytes.size()) return false;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return std::ferror(file) == 0;
}
