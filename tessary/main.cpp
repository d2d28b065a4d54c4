// The program's entry on this system: the joined arguments are the game's command line (the menu's
// folder, which may hold spaces).
#include "framework/program_entry.h"
#include "tessary/game_program.h"

int main(int argc, char** argv) {
    return RunWinMain(argc, argv, WinMain);
}
