// The program's entry on this system: the arguments after the program's name, joined by single spaces,
// are the command line the menu expects (the name of the game whose title page opens first).
#include <string>

#include "host/win/window.h"
#include "lobbit/menu_program.h"

namespace {

std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

} // namespace

int main(int argc, char** argv) {
    std::string commandLine = JoinArguments(argc, argv);
    return WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
}
