// The program's entry on this system: the joined arguments are the menu's command line (the name of
// the game whose title page opens first).
#include "framework/program_entry.h"
#include "lobbit/menu_program.h"

int main(int argc, char** argv) {
    return RunWinMain(argc, argv, WinMain);
}
