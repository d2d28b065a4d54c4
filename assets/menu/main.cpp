// lobbit_artgen: draws every bitmap of the menu and writes its setup.ini and a first options.ini.
//   lobbit_artgen <menu folder>
// Exit status 0 when every file was written and passed the colour rule, 1 otherwise (the build stops).
#include <cstdio>

#include "assets/menu/menu_output.h"
#include "assets/menu/menu_pictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lobbit_artgen <menu folder>\n");
        return 1;
    }
    menuart::MenuOutput out(argv[1]);
    menuart::WriteMenuIni(out);
    menuart::WriteGridArt(out);
    menuart::WriteTitleControls(out);
    menuart::WriteHallArt(out);
    menuart::WritePlayerArt(out);

    for (const std::string& e : out.Errors())
        std::fprintf(stderr, "lobbit_artgen: %s\n", e.c_str());
    if (!out.Errors().empty()) return 1;
    std::printf("lobbit_artgen: %zu files written to %s\n", out.Written().size(), out.Folder().c_str());
    return 0;
}
