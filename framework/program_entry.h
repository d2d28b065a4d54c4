// The entry of a program on this system: main hands the program's WinMain the command line it expects,
// the arguments after the program's name joined by single spaces (a folder with spaces arrives whole).
#pragma once

#include <string>

#include "host/base/types.h"

using WinMainFunction = int (*)(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// argv[1] .. argv[argc - 1] joined by single spaces; empty without arguments.
std::string JoinArguments(int argc, char** argv);

// Runs winMain with the joined arguments as its command line and SW_SHOWNORMAL; returns its result.
int RunWinMain(int argc, char** argv, WinMainFunction winMain);
