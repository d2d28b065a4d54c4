#include "host/win/profile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/win/ini_document.h"
#include "host/win/last_error.h"
#include "host/win/paths.h"

namespace {

// One profile call at a time in this process, so a read never sees another thread's half-done edit.
std::mutex g_profileLock;

// The text of the file at a machine path, whatever its size; false when it cannot be opened or read.
bool ReadProfileText(const std::string& path, std::string& text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<uint8_t> bytes;
    bool ok = HostReadWholeFile(file, SIZE_MAX, bytes);
    std::fclose(file);
    if (ok) text.assign(bytes.begin(), bytes.end());
    return ok;
}

// The document of a program path; a file that is missing or unreadable reads as empty.
IniDocument LoadForReading(LPCSTR file) {
    std::string path, text;
    if (file && HostResolvePath(file, path, false) && ReadProfileText(path, text)) return IniDocument(text);
    return IniDocument();
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += size_t(wrote);
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes text to a new file beside path, then renames it over path: readers see either the old file
// or the whole new one, never a part.
bool ReplaceFile(const std::string& path, const std::string& text) {
    static unsigned counter = 0;
    size_t slash = path.rfind('/');
    std::string temp = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".new-" +
                       std::to_string(::getpid()) + "-" + std::to_string(++counter);
    struct stat old;
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0666;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        SyncFolderOf(path);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool HasLineBreak(const char* text) {
    return std::strpbrk(text, "\r\n") != nullptr;
}

// Names that a line of the file could not carry back: a section name with ']', a key with '=' or one
// that would read as a section header or a comment.
bool CanStore(LPCSTR section, LPCSTR key) {
    if (HasLineBreak(section) || std::strchr(section, ']')) return false;
    if (!key) return true;
    const char* first = key + std::strspn(key, " \t\v\f");
    return !HasLineBreak(key) && !std::strchr(key, '=') && *first != '[' && *first != ';';
}

// The value as the platform hands it out: one pair of enclosing quotes removed.
std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::string TrimmedDefault(LPCSTR defaultValue) {
    std::string text = defaultValue ? defaultValue : "";
    size_t end = text.find_last_not_of(" \t");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

DWORD CopyCut(const std::string& text, LPSTR buffer, DWORD size) {
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return DWORD(count);
}

// Copies names as a list of terminated strings ending with an extra terminator. A list that does not
// fit is cut, still ends with two terminators, and returns size - 2, as the platform does.
DWORD CopyNameList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return DWORD(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// Decimal with an optional sign, stopping at the first non-digit; wraps like the platform's UINT.
UINT ParseLeadingInteger(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    UINT value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + UINT(text[i] - '0');
    return negative ? 0u - value : value;
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR file) {
    if (!buffer || size == 0) return 0;
    std::lock_guard<std::mutex> guard(g_profileLock);
    IniDocument document = LoadForReading(file);
    if (!section) return CopyNameList(document.SectionNames(), buffer, size);
    if (!key) return CopyNameList(document.KeyNames(section), buffer, size);
    std::string value;
    if (document.Find(section, key, value)) return CopyCut(Unquoted(value), buffer, size);
    return CopyCut(TrimmedDefault(defaultValue), buffer, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR file) {
    if (!section || !key) return UINT(defaultValue);
    std::lock_guard<std::mutex> guard(g_profileLock);
    std::string value;
    if (!LoadForReading(file).Find(section, key, value)) return UINT(defaultValue);
    return ParseLeadingInteger(value);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (!section || !file || !CanStore(section, key)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_profileLock);
    std::string path, text;
    if (!HostResolvePath(file, path, true)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    // An existing file that cannot be read is left alone: writing would lose its other lines.
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && !ReadProfileText(path, text)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    IniDocument document(text);
    bool changed = true;
    if (!key) {
        changed = document.DeleteSection(section);
    } else if (!value) {
        changed = document.DeleteKey(section, key);
    } else {
        document.Set(section, key, value);
    }
    if (!changed) return TRUE; // nothing to delete: the file stays as it is (or absent)
    if (!ReplaceFile(path, document.Text())) {
        SetLastError(HostErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
