#include "host/rm/x_import_child.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define HOST_RMX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOST_RMX_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef HOST_RMX_ADDRESS_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// The child's exit statuses other than 0 (arrays sent).
constexpr int kExitRefused = 1;
constexpr int kExitWriteFailed = 2;
constexpr int kExitThrew = 3;

// The data mappings of this process in bytes (/proc/self/statm's sixth field); 0 when unknown.
unsigned long long DataBytes() {
    int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[256];
    ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0) return 0;
    text[got] = '\0';
    unsigned long long size, resident, shared, code, library, data;
    if (std::sscanf(text, "%llu %llu %llu %llu %llu %llu", &size, &resident, &shared, &code, &library,
                    &data) != 6)
        return 0;
    return data * static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
}

// Caps the child's writable private mappings (heap, anonymous maps) at what it has plus extra bytes. An
// address-space cap (RLIMIT_AS) would not do: the address sanitizer reserves its shadow and its whole heap at
// start, so no absolute cap fits and a relative one would not see the heap grow; the data cap counts the
// pages as they become writable, with or without it.
void CapMemory(size_t extra) {
    unsigned long long used = DataBytes();
    rlimit limit;
    if (used == 0 || ::getrlimit(RLIMIT_DATA, &limit) != 0) return;
    rlim_t wanted = used + extra;
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max) wanted = limit.rlim_max;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= wanted) return; // already as tight
    limit.rlim_cur = wanted;
    ::setrlimit(RLIMIT_DATA, &limit);
}

// Makes the child a process that may die alone, quietly.
void PrepareChild(int writeFd, size_t memoryBytes) {
    // A fault ends the child at once by its signal: none of the parent's handlers (a crash reporter, the
    // sanitizers, a fuzzing engine recording the input as its own crash) runs, and no core file is left.
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS, SIGINT, SIGTERM, SIGHUP,
                       SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ})
        ::sigaction(signal, &standard, nullptr);
    // A parent that stops reading makes the writes fail (EPIPE) instead of killing the child halfway.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, nullptr);
    rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
#ifdef HOST_RMX_ADDRESS_SANITIZER
    // An error the sanitizer finds in the importer ends the child with its report, alone.
    __sanitizer_set_death_callback(nullptr);
#endif
    // Nothing the importer, or a sanitizer's report on it, prints reaches the program's output.
    int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
    }
    // Hold none of the parent's other files: their readers would wait for the child to end.
    if (writeFd > 3) ::close_range(3, unsigned(writeFd) - 1, 0);
    ::close_range(unsigned(writeFd) + 1, ~0u, 0);
    CapMemory(memoryBytes);
}

[[noreturn]] void RunChild(const std::function<bool(HostRMXFlat&)>& read, int writeFd, size_t memoryBytes) {
    PrepareChild(writeFd, memoryBytes);
    int status = kExitRefused;
    try {
        HostRMXFlat flat;
        if (read(flat)) status = HostRMXSendFlat(writeFd, flat) ? 0 : kExitWriteFailed;
    } catch (...) {
        status = kExitThrew;
    }
    ::_exit(status);
}

// A file descriptor that becomes readable when the child ends; -1 where the system has none. (Through
// syscall: the C library's declaration lacks C linkage in some versions.)
int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// The parent's hold on the child and the pipe's read end: whatever way the parent leaves, the pipe is
// closed and the child killed (unless it has ended) and reaped, so that no zombie is left.
class ChildHold {
  public:
    ChildHold(pid_t pid, int readFd) : pid_(pid), readFd_(readFd), pidFd_(OpenPidFd(pid)) {}
    ChildHold(const ChildHold&) = delete;
    ChildHold& operator=(const ChildHold&) = delete;
    ~ChildHold() {
        CloseRead();
        if (pidFd_ >= 0) ::close(pidFd_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status;
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }

    int ReadFd() const { return readFd_; }
    void CloseRead() {
        if (readFd_ >= 0) ::close(readFd_);
        readFd_ = -1;
    }

    // Waits until deadline at most for the child to end; whether it exited with status 0.
    bool ExitedCleanly(Clock::time_point deadline) {
        auto pause = std::chrono::microseconds(100);
        for (;;) {
            int status = 0;
            pid_t ended = ::waitpid(pid_, &status, WNOHANG);
            if (ended == pid_) {
                pid_ = -1;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            if (ended < 0 && errno != EINTR) {
                pid_ = -1; // reaped elsewhere: its status is unknown
                return false;
            }
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false; // killed by the destructor
            if (pidFd_ >= 0) {
                // Readable once the child has ended.
                pollfd wait = {pidFd_, POLLIN, 0};
                ::poll(&wait, 1, int(std::min<long long>(left.count(), 1000 * 1000)));
            } else {
                std::this_thread::sleep_for(std::min<Clock::duration>(pause, left));
                pause = std::min(pause * 2, std::chrono::microseconds(10000));
            }
        }
    }

  private:
    pid_t pid_;
    int readFd_;
    int pidFd_; // -1 where the system has none: the wait then looks at intervals
};

} // namespace

bool HostRMXReadIsolated(const std::function<bool(HostRMXFlat&)>& read, std::chrono::milliseconds limit,
                         size_t memoryBytes, HostRMXFlat& out) {
    Clock::time_point deadline = Clock::now() + limit;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    pid_t pid = ::fork();
    if (pid == 0) RunChild(read, ends[1], memoryBytes);
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        return false;
    }
    ChildHold child(pid, ends[0]);
    bool received = HostRMXReceiveFlat(child.ReadFd(), deadline, out);
    child.CloseRead();
    // A child whose message failed is not waited for.
    return received && child.ExitedCleanly(deadline);
}
