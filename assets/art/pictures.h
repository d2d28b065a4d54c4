// The game's pictures, one writer per group. Each draws its bitmaps and saves them under the exact
// names the game loads.
#pragma once

#include "assets/art/art_output.h"

namespace art {

// scorefont.bmp, BallOrder.bmp, TimerMarker0.bmp, TimerMarker1.bmp, font.bmp.
void WriteHud(ArtOutput& out);
// backbutton.bmp, newgamebutton.bmp, infobutton.bmp, exitbutton.bmp, levelleft.bmp, levelright.bmp.
void WriteButtons(ArtOutput& out);
// ballfall.bmp, goalanim.bmp, GeneratorAnimDark.bmp, GeneratorAnimLight.bmp, exp01.bmp, exp02.bmp.
void WriteEffects(ArtOutput& out);
// background.bmp.
void WriteBackground(ArtOutput& out);
// OutOfTime.bmp, hallfamepop.bmp, congrats.bmp.
void WritePopups(ArtOutput& out);
// title/HowToPlay.bmp.
void WriteHowToPlay(ArtOutput& out);
// title/titlebackground.bmp, title/Credits.bmp, LobbitButton.bmp.
void WriteTitleArt(ArtOutput& out);

} // namespace art
