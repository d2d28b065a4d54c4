// The title page's controls, drawn over the game's own title background: six buttons in two columns,
// the players button, the effects and music switches, the two fonts of the players' names and the text
// cursor.
#include "assets/art/art_output.h"
#include "assets/menu/menu_look.h"
#include "assets/menu/menu_pictures.h"
#include "assets/menu/title_fonts.h"

namespace menuart {

using namespace art;

namespace {

// A switch cell of 48 x 48 at (ox, 0): the icon lit when on, dimmed and struck through when off.
void SwitchCell(Canvas& c, int ox, bool on, const Icon& icon) {
    const float s = 48;
    Box box{ox, 0, ox + 48, 48};
    Sdf rim = RoundRect(float(ox) + 1, 1, s - 2, s - 2, 9);
    FillSdf(c, box, rim, LinearGradient(float(ox), 0, kBronzeLight, float(ox) + s, s, kBronzeDark));
    EmbossSdf(c, box, rim, 2.0f, 0.5f);
    Sdf face = RoundRect(float(ox) + 4, 4, s - 8, s - 8, 7);
    FillSdf(c, box, face,
            LinearGradient(0, 4, on ? Hex(0x3A5866) : Hex(0x2A323C), 0, s - 4,
                           on ? Hex(0x1C2E36) : Hex(0x161B21)));
    EmbossSdf(c, box, face, -2.0f, 0.45f);
    float cx = float(ox) + s / 2, cy = s / 2 - 3;
    icon(c, cx, cy, 13, on ? kGold : Hex(0x6A6458));
    // A lamp under the icon: green when on, dark red when off.
    Rgb lamp = on ? Hex(0x58E070) : Hex(0x802820);
    FillSdf(c, box, Circle(cx, s - 9, 3.2f), Solid(Hex(0x0A0E12)));
    DrawSphere(c, cx, s - 9, 2.6f, lamp);
    if (!on)
        FillSdf(c, box, Capsule(float(ox) + 12, 11, float(ox) + 36, 33, 3.2f), Solid(Hex(0xD04030)), 0.95f);
}

void WriteSwitch(MenuOutput& out, const char* file, const Icon& icon) {
    Canvas c(96, 48);
    SwitchCell(c, 0, true, icon);
    SwitchCell(c, 48, false, icon);
    out.Save(file, SpritePicture(c, kPanelDark));
}

// The text cursor: a block the height of a capital, at the fields' top.
void WriteBlockCursor(MenuOutput& out) {
    Canvas c(10, kNameFontHeight);
    Sdf block = RoundRect(1, kNameFontBaseline - kNameFontSize - 1, 8, kNameFontSize + 3, 1.5f);
    FillSdf(c, block, LinearGradient(0, 0, Hex(0xFFF2B0), 10, float(kNameFontHeight), kAmber));
    out.Save("blockcursor.bmp", SpritePicture(c, kFieldFace));
}

} // namespace

void WriteTitleControls(MenuOutput& out) {
    out.Save("HowToPlayButton.bmp", ButtonStrip(112, 56, icons::Question, "HOW TO\nPLAY"));
    out.Save("PlayButton.bmp", ButtonStrip(112, 56, icons::Play, "PLAY"));
    out.Save("HighScoresButton.bmp", ButtonStrip(112, 56, icons::Trophy, "HIGH\nSCORES"));
    out.Save("MenuButton.bmp", ButtonStrip(112, 56, icons::Grid, "MENU"));
    out.Save("CreditsButton.bmp", ButtonStrip(112, 56, icons::Star, "CREDITS"));
    out.Save("ExitButton.bmp", ButtonStrip(112, 56, icons::Power, "EXIT"));
    out.Save("PlayersButton.bmp", ButtonStrip(240, 48, icons::People, "PLAYERS"));
    WriteSwitch(out, "sfx.bmp", icons::Speaker);
    WriteSwitch(out, "music.bmp", icons::Note);
    out.Save("n_font.bmp", NameFont(false));
    out.Save("h_font.bmp", NameFont(true));
    WriteBlockCursor(out);
}

} // namespace menuart
