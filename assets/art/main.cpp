// tessary_artgen: draws every bitmap of the game and writes its setup.ini.
//   tessary_artgen <game folder> <setup.ini template>
// Exit status 0 when every file was written and passed the colour rule, 1 otherwise (the build stops).
#include <cstdio>
#include <fstream>
#include <sstream>

#include "assets/art/art_output.h"
#include "assets/art/pictures.h"
#include "assets/art/setup_ini.h"
#include "assets/art/tiles.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessary_artgen <game folder> <setup.ini template>\n");
        return 1;
    }
    art::ArtOutput out(argv[1]);
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream templateText;
    templateText << in.rdbuf();
    std::string ini = in ? art::MakeSetupIni(templateText.str()) : "";
    if (ini.empty()) {
        std::fprintf(stderr, "tessary_artgen: cannot use the template %s\n", argv[2]);
        return 1;
    }
    out.SaveText("setup.ini", ini);

    art::WriteTiles(out);
    art::WriteHud(out);
    art::WriteButtons(out);
    art::WriteEffects(out);
    art::WriteBackground(out);
    art::WritePopups(out);
    art::WriteHowToPlay(out);
    art::WriteTitleArt(out);

    for (const std::string& e : out.Errors())
        std::fprintf(stderr, "tessary_artgen: %s\n", e.c_str());
    if (!out.Errors().empty()) return 1;
    std::printf("tessary_artgen: %zu files written to %s\n", out.Written().size(), out.Folder().c_str());
    return 0;
}
