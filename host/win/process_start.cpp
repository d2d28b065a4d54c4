#include "host/win/process_start.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void ReportAndExit(int pipeFd) {
    int error = errno;
    ssize_t ignored = ::write(pipeFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

// In the grandchild, between fork and exec: only async-signal-safe calls.
[[noreturn]] void RunProgram(const char* program, char* const* argv, char* const* envp, const char* folder,
                             int pipeFd) {
    if (::chdir(folder) != 0) ReportAndExit(pipeFd);
    int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        ::dup2(devNull, 0);
        if (devNull != 0) ::close(devNull);
    }
    // Leave none of this process's files open in the new program (the report pipe closes on exec too).
    if (::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < 4096; ++fd)
            if (fd != pipeFd) ::close(fd);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &standard, nullptr);
    ::sigaction(SIGCHLD, &standard, nullptr);
    ::execve(program, argv, envp);
    ReportAndExit(pipeFd);
    ::_exit(127);
}

} // namespace

bool HostStartDetached(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, int& error) {
    std::vector<std::string> environment;
    for (char** variable = environ; variable && *variable; ++variable)
        environment.push_back(*variable);
    return HostStartDetached(program, arguments, folder, environment, error);
}

bool HostStartDetached(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, const std::vector<std::string>& environment, int& error) {
    // Everything the child needs is prepared before fork: after it only async-signal-safe calls run.
    std::vector<std::string> words;
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> settings = environment;
    std::vector<char*> envp;
    for (std::string& setting : settings)
        envp.push_back(setting.data());
    envp.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = errno;
        return false;
    }
    pid_t child = ::fork();
    if (child < 0) {
        error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild < 0) ReportAndExit(report[1]);
        if (grandchild > 0) ::_exit(0);
        RunProgram(program.c_str(), argv.data(), envp.data(), folder.c_str(), report[1]);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec; a failure sends its errno first.
    int childError = 0;
    ssize_t got;
    while ((got = ::read(report[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got == sizeof childError) {
        error = childError;
        return false;
    }
    return true;
}

bool HostFindOnSearchPath(const std::string& name, std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            program = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}
