#include "framework/program_entry.h"

#include "host/win/window.h"

std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

int RunWinMain(int argc, char** argv, WinMainFunction winMain) {
    std::string commandLine = JoinArguments(argc, argv);
    return winMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
}
