// The menu's files, one writer per screen. Each draws its bitmaps and saves them under the exact names
// the menu loads.
#pragma once

#include "assets/menu/menu_output.h"

namespace menuart {

// The grid of games: background.bmp, PageArrowsLeft.bmp, PageArrowsRight.bmp, Info.bmp, SmallExit.bmp,
// GameButton.bmp, PageNumbers.bmp, CollectButton.bmp, infoscreen.bmp, backbutton.bmp, BackButton.bmp.
void WriteGridArt(MenuOutput& out);
// The title page's controls: the seven buttons, sfx.bmp, music.bmp, n_font.bmp, h_font.bmp,
// blockcursor.bmp.
void WriteTitleControls(MenuOutput& out);
// HallOfFameScreen.bmp, HallBlackFont.bmp, HallPurpleFont.bmp, UploadButton.bmp, ClearScores.bmp.
void WriteHallArt(MenuOutput& out);
// PlayerInfo.bmp, EnterButton.bmp, RemoveButton.bmp, yesno.bmp.
void WritePlayerArt(MenuOutput& out);
// setup.ini, and options.ini when there is none yet.
void WriteMenuIni(MenuOutput& out);

} // namespace menuart
