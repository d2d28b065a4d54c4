#include "host/win/folders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/win/file_attributes.h"
#include "host/win/handle_table.h"
#include "host/win/path_names.h"
#include "host/win/paths.h"

namespace {

struct FoundEntry {
    std::string name;
    DWORD attributes;
    uint64_t size;
};

class SearchObject : public HostObject {
  public:
    explicit SearchObject(std::vector<FoundEntry> entries) : entries_(std::move(entries)) {}
    // Hands out the next entry; false after the last.
    bool Next(FoundEntry& entry) {
        if (next_ >= entries_.size()) return false;
        entry = entries_[next_++];
        return true;
    }

  private:
    std::vector<FoundEntry> entries_;
    size_t next_ = 0;
};

char FoldUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// '*' matches any run of characters, '?' any one; letters match ignoring case.
bool WildcardMatch(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern && (*pattern == '?' || HostFoldCase(*pattern) == HostFoldCase(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool PatternMatches(const std::string& pattern, const std::string& name) {
    if (WildcardMatch(pattern.c_str(), name.c_str())) return true;
    // "name.*" also finds "name" (and "*.*" every name), as on the platform.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return WildcardMatch(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
    return false;
}

// Ordering by name as the platform's file system lists folders: upper-case folded, then by bytes.
bool NameBefore(const FoundEntry& a, const FoundEntry& b) {
    size_t common = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < common; ++i) {
        char x = FoldUpper(a.name[i]), y = FoldUpper(b.name[i]);
        if (x != y) return (unsigned char)x < (unsigned char)y;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;
}

bool ListFolder(const std::string& folder, const std::string& pattern, std::vector<FoundEntry>& out) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() >= MAX_PATH || !PatternMatches(pattern, name)) continue;
        std::string machinePath = (folder == "/" ? "" : folder) + "/" + name;
        struct stat info;
        if (::stat(machinePath.c_str(), &info) != 0) continue; // a dangling link
        out.push_back({name, HostAttributesOf(machinePath, name, info), uint64_t(info.st_size)});
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(), NameBefore);
    return true;
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA* data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = entry.attributes;
    data->nFileSizeHigh = DWORD(entry.size >> 32);
    data->nFileSizeLow = DWORD(entry.size & 0xFFFFFFFFu);
    std::memcpy(data->cFileName, entry.name.c_str(), entry.name.size() + 1);
}

} // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string text = pattern;
    size_t split = text.find_last_of("/\\");
    std::string folderPart = split == std::string::npos ? "." : text.substr(0, split + 1);
    std::string namePattern = split == std::string::npos ? text : text.substr(split + 1);
    std::string folder;
    std::vector<FoundEntry> entries;
    if (!HostResolvePath(folderPart.c_str(), folder, false) || !ListFolder(folder, namePattern, entries)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (entries.empty() || namePattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<SearchObject>(std::move(entries));
    FoundEntry first;
    search->Next(first);
    Fill(first, data);
    return HostAddHandle(search);
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
    std::shared_ptr<SearchObject> search = HostFindHandleAs<SearchObject>(handle);
    if (!search || !data) {
        SetLastError(search ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FoundEntry entry;
    if (!search->Next(entry)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(entry, data);
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (!HostFindHandleAs<SearchObject>(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(handle);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::string cwd;
    if (!HostCurrentFolder(cwd)) {
        SetLastError(HostErrorFromErrno(errno));
        return 0;
    }
    if (!buffer || size < cwd.size() + 1) return DWORD(cwd.size() + 1);
    std::memcpy(buffer, cwd.c_str(), cwd.size() + 1);
    return DWORD(cwd.size());
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
    std::string folder;
    struct stat info;
    if (!HostResolvePath(path, folder, false) || ::stat(folder.c_str(), &info) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (::chdir(folder.c_str()) != 0) {
        SetLastError(HostErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::vector<char> path(4096);
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length < 0) {
        SetLastError(HostErrorFromErrno(errno));
        buffer[0] = '\0';
        return 0;
    }
    size_t copied = std::min<size_t>(size_t(length), size - 1);
    std::memcpy(buffer, path.data(), copied);
    buffer[copied] = '\0';
    if (copied < size_t(length)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    SetLastError(ERROR_SUCCESS);
    return DWORD(copied);
}
