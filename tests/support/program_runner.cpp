#include "tests/support/program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace testsupport {

pid_t StartProgram(const ProgramRun& run) {
    // Everything the child needs is made before the fork: after it, only plain system calls.
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "HOST_", 5) != 0) environment.push_back(*variable);
    environment.push_back("HOST_BACKEND=headless");
    environment.insert(environment.end(), run.settings.begin(), run.settings.end());
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    std::vector<std::string> words{run.program};
    words.insert(words.end(), run.arguments.begin(), run.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int logFlags = O_WRONLY | O_CREAT | (run.appendLog ? O_APPEND : O_TRUNC);

    const pid_t child = fork();
    if (child == 0) {
        if (!run.folder.empty() && chdir(run.folder.c_str()) != 0) _exit(126);
        if (!run.log.empty()) {
            const int log = open(run.log.c_str(), logFlags, 0644);
            if (log >= 0) {
                dup2(log, 1);
                dup2(log, 2);
            }
        }
        if (run.timeLimitSeconds > 0) alarm(unsigned(run.timeLimitSeconds));
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return child < 0 ? -1 : child;
}

int WaitForProgram(pid_t child) {
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgram(const ProgramRun& run) {
    return WaitForProgram(StartProgram(run));
}

} // namespace testsupport
