#include "host/win/files.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "host/win/file_attributes.h"
#include "host/win/handle_table.h"
#include "host/win/paths.h"

namespace {

class FileObject : public HostObject {
  public:
    explicit FileObject(int fd) : fd_(fd) {}
    ~FileObject() override { CloseDescriptor(); }
    void OnClose() override { CloseDescriptor(); }
    int Descriptor() const { return fd_; }

  private:
    void CloseDescriptor() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd_;
};

// The open file behind handle, or -1 with ERROR_INVALID_HANDLE.
int DescriptorOf(HANDLE handle) {
    std::shared_ptr<FileObject> file = HostFindHandleAs<FileObject>(handle);
    if (!file || file->Descriptor() < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    return file->Descriptor();
}

int OpenFlags(DWORD access, DWORD disposition) {
    int flags = O_CLOEXEC;
    bool reads = access & GENERIC_READ, writes = access & GENERIC_WRITE;
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return flags;
    }
}

bool FailWith(DWORD error) {
    SetLastError(error);
    return false;
}

} // namespace

DWORD HostAttributesOf(const std::string& machinePath, const std::string& name, const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        bool hidden = !name.empty() && name[0] == '.' && name != "." && name != "..";
        return FILE_ATTRIBUTE_DIRECTORY | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0u);
    }
    DWORD attributes = 0;
    if (!name.empty() && name[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (::access(machinePath.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                   HANDLE) {
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string machinePath;
    if (!HostResolvePath(path, machinePath, true)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = ::access(machinePath.c_str(), F_OK) == 0;
    int fd = ::open(machinePath.c_str(), OpenFlags(access, disposition), 0666);
    if (fd < 0) {
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : HostErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Opening or replacing an existing file succeeds and says so, as the platform does.
    bool mayCreate = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    SetLastError(mayCreate && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return HostAddHandle(std::make_shared<FileObject>(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD bytesRead, LPOVERLAPPED) {
    if (bytesRead) *bytesRead = 0;
    int fd = DescriptorOf(file);
    if (fd < 0) return FALSE;
    if (!buffer && toRead > 0) return FailWith(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < toRead) {
        ssize_t got = ::read(fd, static_cast<char*>(buffer) + done, toRead - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return FailWith(errno == EBADF ? ERROR_ACCESS_DENIED : HostErrorFromErrno(errno));
        if (got == 0) break; // end of file
        done += DWORD(got);
    }
    if (bytesRead) *bytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD bytesWritten, LPOVERLAPPED) {
    if (bytesWritten) *bytesWritten = 0;
    int fd = DescriptorOf(file);
    if (fd < 0) return FALSE;
    if (!buffer && toWrite > 0) return FailWith(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t wrote = ::write(fd, static_cast<const char*>(buffer) + done, toWrite - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (bytesWritten) *bytesWritten = done;
            return FailWith(errno == EBADF ? ERROR_ACCESS_DENIED : HostErrorFromErrno(errno));
        }
        done += DWORD(wrote);
    }
    if (bytesWritten) *bytesWritten = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    int fd = DescriptorOf(file);
    if (fd < 0) return INVALID_SET_FILE_POINTER;
    int64_t move = distanceHigh ? int64_t((uint64_t(uint32_t(*distanceHigh)) << 32) | uint32_t(distance))
                                : int64_t(distance);
    int64_t base;
    struct stat info;
    switch (method) {
    case FILE_BEGIN: base = 0; break;
    case FILE_CURRENT: base = ::lseek(fd, 0, SEEK_CUR); break;
    case FILE_END: base = ::fstat(fd, &info) == 0 ? int64_t(info.st_size) : -1; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(HostErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if ((move < 0 && base < -move) || ::lseek(fd, base + move, SEEK_SET) < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    uint64_t position = uint64_t(base + move);
    if (distanceHigh) *distanceHigh = LONG(uint32_t(position >> 32));
    SetLastError(ERROR_SUCCESS); // a position whose low half is 0xFFFFFFFF is not a failure
    return DWORD(position & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    int fd = DescriptorOf(file);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) return INVALID_FILE_SIZE;
    uint64_t size = uint64_t(info.st_size);
    if (sizeHigh) *sizeHigh = DWORD(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return DWORD(size & 0xFFFFFFFFu);
}

BOOL DeleteFileA(LPCSTR path) {
    std::string machinePath;
    struct stat info;
    if (!HostResolvePath(path, machinePath, false) || ::stat(machinePath.c_str(), &info) != 0)
        return FailWith(ERROR_FILE_NOT_FOUND);
    if (S_ISDIR(info.st_mode)) return FailWith(ERROR_ACCESS_DENIED);
    if (::unlink(machinePath.c_str()) != 0) return FailWith(HostErrorFromErrno(errno));
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
    std::string machinePath;
    if (!HostResolvePath(path, machinePath, true)) return FailWith(ERROR_PATH_NOT_FOUND);
    if (::mkdir(machinePath.c_str(), 0777) != 0)
        return FailWith(errno == EEXIST ? ERROR_ALREADY_EXISTS : HostErrorFromErrno(errno));
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path) {
    std::string machinePath;
    struct stat info;
    if (!HostResolvePath(path, machinePath, false) || ::stat(machinePath.c_str(), &info) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    size_t slash = machinePath.rfind('/');
    return HostAttributesOf(machinePath, machinePath.substr(slash + 1), info);
}
