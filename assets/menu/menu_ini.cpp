// The menu's INI files. setup.ini holds the one start-up setting. options.ini is the players' file: the
// menu and the game rewrite it, so a rebuild never replaces one that exists. The first one switches music
// and effects on and selects the first player; the eight player sections are left out, so every player
// reads as its default ("Player1" ... "Player8", no address or e-mail, scores sent).
#include "assets/menu/menu_pictures.h"

namespace menuart {

void WriteMenuIni(MenuOutput& out) {
    out.SaveText("setup.ini", "; The menu's start-up setting (the players' settings are in options.ini).\n"
                              "[setup]\n"
                              "; 1: full screen 800 x 600, 0: a window\n"
                              "fullscreen=0\n");
    out.SaveTextOnce("options.ini", "[setup]\n"
                                    "SFX=Y\n"
                                    "Music=Y\n"
                                    "playerid=0\n");
}

} // namespace menuart
