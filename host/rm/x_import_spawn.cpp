#include "host/rm/x_import_spawn.h"

#include "host/rm/testing.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// How long a helper that has sent its whole message is given to end before it is killed.
constexpr std::chrono::milliseconds kEndGrace{1000};
// The pipe's room: a large file's message then crosses in a few turns instead of hundreds.
constexpr int kPipeBytes = 1 << 20;

// False while a test makes the loader do without pidfds.
std::atomic<bool> g_pidFdsAllowed{true};

// A descriptor of this process, closed when the holder goes.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// fd moved to 4 or above (the low one closed), close-on-exec: the helper's file actions fill 0 to 3, and
// a source among them would be overwritten before it was used (a caller with 0 to 2 closed gets its
// pipes there). -1 when fd is -1 or cannot be moved.
int AboveStandard(int fd) {
    if (fd < 0 || fd > 3) return fd;
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 4);
    ::close(fd);
    return moved;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        at += written, size -= size_t(written);
    }
    return true;
}

// An unnamed file holding size bytes of data, read from its start; -1 when none can be made. (An
// in-memory file, else an unnamed one in the temporary folder.)
int InputFile(const void* data, size_t size) {
    int fd = ::memfd_create("quib-ximport-input", MFD_CLOEXEC);
    if (fd < 0) fd = ::open(P_tmpdir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (!WriteAll(fd, data, size) || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The path of the mapped file that holds address, read from /proc/self/maps; empty when none.
std::string MappedFileHolding(const void* address) {
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps) return {};
    std::string found;
    char line[PATH_MAX + 128];
    auto at = reinterpret_cast<uintptr_t>(address);
    while (found.empty() && std::fgets(line, sizeof line, maps)) {
        uintptr_t from = 0, to = 0;
        int pathAt = -1;
        if (std::sscanf(line, "%zx-%zx %*s %*s %*s %*s %n", &from, &to, &pathAt) < 2 || pathAt < 0) continue;
        if (at < from || at >= to || line[pathAt] != '/') continue;
        found = line + pathAt;
        found.erase(found.find_last_not_of('\n') + 1);
    }
    std::fclose(maps);
    return found;
}

// The path of the binary (shared library or program) that holds address; empty when it cannot be told.
std::string BinaryHolding(const void* address) {
    Dl_info info;
    link_map* map = nullptr;
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 && map) {
        // A shared library, by the path the loader opened it at.
        if (map->l_prev && map->l_name && map->l_name[0] == '/') return map->l_name;
        if (!map->l_prev) { // the program itself, which the loader lists first
            char path[PATH_MAX];
            ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
            if (length > 0) return std::string(path, size_t(length));
        }
    }
    return MappedFileHolding(address); // a library loaded by a relative path, say
}

// Starts helper on input and output (see HostRMXReadWithHelper); its process id, or -1 with errno set.
pid_t Spawn(const std::string& helper, int input, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if ((errno = ::posix_spawn_file_actions_init(&actions)) != 0) return -1;
    if ((errno = ::posix_spawnattr_init(&attributes)) != 0) {
        ::posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    // In order: the sources are above 3 (AboveStandard), so no action overwrites one still to be used.
    int error = ::posix_spawnattr_setsigmask(&attributes, &none);
    if (!error) error = ::posix_spawnattr_setsigdefault(&attributes, &all);
    if (!error)
        error = ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (!error) error = ::posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    if (!error) error = ::posix_spawn_file_actions_adddup2(&actions, input, 3);
    if (!error) error = ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!error) error = ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Descriptors of this process opened without close-on-exec stay out too (the helper also closes them).
    if (!error) error = ::posix_spawn_file_actions_addclosefrom_np(&actions, 4);
#endif
    pid_t pid = -1;
    char name[] = "quib-ximport";
    char* argv[] = {name, nullptr};
    if (!error) error = ::posix_spawn(&pid, helper.c_str(), &actions, &attributes, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    errno = error;
    return error ? -1 : pid;
}

// Says once per process that the helper cannot be started: every ".x" load fails until it can.
void ReportMissingHelper(const std::string& helper, int error) {
    static std::atomic<bool> reported{false};
    if (error != ENOENT && error != EACCES && error != ENOEXEC) return;
    if (reported.exchange(true)) return;
    std::fprintf(stderr, "host: the \".x\" reader's helper %s cannot be started (%s)\n",
                 helper.empty() ? kHostRMXHelperName : helper.c_str(), std::strerror(error));
}

// A descriptor that becomes readable when process pid ends, and refers to that process alone whatever
// becomes of its id; -1 where the system has none (Linux before 5.3). Opened at once after the start:
// the helper takes far longer to load than this call, so its id cannot have been reaped and reused.
int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    if (!g_pidFdsAllowed.load()) return -1;
    return AboveStandard(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    (void)pid;
    return -1;
#endif
}

// The helper process, from its start until it has been reaped: waited for on its pidfd where there is
// one, else by its id; killed only while it is known not to have been reaped (through the pidfd, which
// cannot reach another process; by id only right after waitpid found it unreaped).
class HelperProcess {
  public:
    explicit HelperProcess(pid_t pid) : pid_(pid), pidFd_(OpenPidFd(pid)) {}
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;
    ~HelperProcess() { End(Clock::now()); }

    // Waits until `until` at most for the helper to end, then kills it if it is still there; returns
    // once it has been reaped, here or elsewhere.
    void End(Clock::time_point until) {
        if (reaped_) return;
        if (WaitUntil(until)) return;
        Kill();
        WaitUntil(Clock::time_point::max());
    }

  private:
    // Whether the helper has been reaped (here or by another reaper of this process's children).
    bool TryReap() {
        int status = 0;
        if (pidFd_ && !noPidFdWait_) {
            siginfo_t info = {};
            int got = ::waitid(static_cast<idtype_t>(3 /* P_PIDFD */), id_t(pidFd_.Get()), &info,
                               WEXITED | WNOHANG);
            if (got == 0) return reaped_ = info.si_pid != 0;
            if (errno == EINTR) return false;
            if (errno != EINVAL)
                return reaped_ = true; // ECHILD: reaped elsewhere (SIGCHLD ignored, a handler)
            noPidFdWait_ = true;       // Linux 5.3: pidfds, but no waiting on them
        }
        pid_t got = ::waitpid(pid_, &status, WNOHANG);
        if (got == pid_) return reaped_ = true;
        if (got < 0 && errno != EINTR) return reaped_ = true; // ECHILD: reaped elsewhere
        return false;
    }

    // Whether the helper has been reaped by `until`.
    bool WaitUntil(Clock::time_point until) {
        auto pause = std::chrono::microseconds(100);
        while (!TryReap()) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0) return false;
            int wait = int(std::min<long long>(left.count(), 1000 * 1000));
            if (pidFd_) {
                pollfd ended = {pidFd_.Get(), POLLIN, 0}; // readable once the helper has ended
                ::poll(&ended, 1, wait);
            } else {
                std::this_thread::sleep_for(std::min<Clock::duration>(pause, left));
                pause = std::min(pause * 2, std::chrono::microseconds(10000));
            }
        }
        return true;
    }

    void Kill() {
#ifdef SYS_pidfd_send_signal
        if (pidFd_) {
            ::syscall(SYS_pidfd_send_signal, pidFd_.Get(), SIGKILL, nullptr, 0); // ESRCH once reaped
            return;
        }
#endif
        if (!TryReap()) ::kill(pid_, SIGKILL); // not reaped a moment ago: still this process's child
    }

    pid_t pid_;
    Descriptor pidFd_;
    bool noPidFdWait_ = false;
    bool reaped_ = false;
};

} // namespace

void HostRMXAllowPidFdForTesting(bool allowed) {
    g_pidFdsAllowed = allowed;
}

const std::string& HostRMXPackagedHelper() {
    static const std::string path = [] {
        std::string binary = BinaryHolding(reinterpret_cast<const void*>(&HostRMXPackagedHelper));
        size_t slash = binary.rfind('/');
        return slash == std::string::npos ? std::string() : binary.substr(0, slash + 1) + kHostRMXHelperName;
    }();
    return path;
}

bool HostRMXReadWithHelper(const std::string& helper, const void* data, size_t size,
                           std::chrono::milliseconds limit, HostRMXFlat& out) {
    Clock::time_point deadline = Clock::now() + limit;
    if (helper.empty()) {
        ReportMissingHelper(helper, ENOENT);
        return false;
    }
    Descriptor input(AboveStandard(InputFile(data, size)));
    int ends[2];
    if (!input || ::pipe2(ends, O_CLOEXEC) != 0) return false;
    Descriptor readEnd(AboveStandard(ends[0])), writeEnd(AboveStandard(ends[1]));
    if (!readEnd || !writeEnd) return false;
    ::fcntl(writeEnd.Get(), F_SETPIPE_SZ, kPipeBytes); // where the system allows it
    pid_t pid = Spawn(helper, input.Get(), writeEnd.Get());
    if (pid < 0) {
        ReportMissingHelper(helper, errno);
        return false;
    }
    HelperProcess process(pid);
    // Only the helper holds the write end now: the message ends at the helper's end at the latest.
    writeEnd.Close();
    input.Close();
    bool received = HostRMXReceiveFlat(readEnd.Get(), deadline, out);
    readEnd.Close(); // a helper still writing fails its writes and ends
    // The message is the result: the helper is waited for only to be reaped, briefly once it has sent
    // it all (it is ending), else not at all.
    process.End(received ? std::min(deadline, Clock::now() + kEndGrace) : Clock::now());
    return received;
}
