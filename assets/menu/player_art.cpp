// The player editor: a popup face at (53, 18) with three input boxes under the fields the menu draws in
// screen coordinates (50, 270 / 336 / 404, 580 x 26: x -3 to 577 in the picture, so the boxes run in
// from its left edge), its enter and remove buttons, and the yes/no switch for sending scores.
#include "assets/art/art_output.h"
#include "assets/menu/menu_look.h"
#include "assets/menu/menu_pictures.h"
#include "assets/menu/title_fonts.h"

namespace menuart {

using namespace art;

namespace {

constexpr int kW = 694, kH = 564;
constexpr int kPopupX = 53, kPopupY = 18;

// An input box under a field at screen (x, y) of w x h.
void InputBox(Canvas& c, int screenY, const char* label) {
    int y = screenY - kPopupY;
    DrawText(c, 16, float(y) - 9, label, LabelStyle(9));
    c.FillRect(0, y - 4, 604, 34, kFieldFace);
    BevelRect(c, 0, y - 4, 604, 34, 2, 0.55f, 0.6f, true);
    // A bronze cap closes the box on the right.
    FillRectPaint(c, 604, y - 5, 4, 36, LinearGradient(604, 0, kBronzeLight, 608, 0, kBronzeDark));
}

void WriteScreen(MenuOutput& out) {
    Canvas c(kW, kH, kPanelDark);
    DrawScreenPanel(c, 22, 61);
    DrawPaintedIcon(c, icons::People, 92, 104, 50,
                    LinearGradient(40, 50, Hex(0xFFF2A8), 140, 160, Hex(0xA87018)));
    DrawTitle(c, 372, 98, 32, "PLAYER");
    TextStyle body = BodyStyle(12);
    DrawText(c, 372, 148, "Who is playing? Type a name, then click ENTER.", body, Align::Centre);
    TextStyle hint = BodyStyle(10);
    DrawText(c, 372, 176, "Address and e-mail go with the top score when it is uploaded.", hint,
             Align::Centre);
    DrawText(c, 372, 196, "TAB or RETURN moves to the next box.", hint, Align::Centre);
    InputBox(c, 270, "NAME");
    InputBox(c, 336, "ADDRESS");
    InputBox(c, 404, "E-MAIL");
    // The switch (37, 486) with its caption, the two buttons' plate, the back button at (608, 489).
    DrawWell(c, 31, 480, 76, 44, Hex(0x141C24));
    DrawText(c, 116, 499, "SEND MY SCORES", LabelStyle(9));
    DrawText(c, 116, 516, "to the score board", hint);
    DrawWell(c, 352, 463, 234, 56, Hex(0x141C24));
    TextStyle foot = LabelStyle(7.5f);
    foot.tracking = 1.5f;
    DrawText(c, 347, 548, "REMOVE RESETS THIS PLAYER  -  BACK KEEPS IT AS IT WAS", foot, Align::Centre);
    out.Save("PlayerInfo.bmp", OpaquePicture(c), Kind::Screen);
}

// The send switch: 64 x 32 cells, 0 = yes (a green lamp), 1 = no (a red lamp).
void WriteYesNo(MenuOutput& out) {
    Canvas c(128, 32);
    for (int cell = 0; cell < 2; ++cell) {
        bool yes = cell == 0;
        float ox = float(cell * 64);
        Box box{cell * 64, 0, cell * 64 + 64, 32};
        Sdf rim = RoundRect(ox + 1, 1, 62, 30, 14);
        FillSdf(c, box, rim, LinearGradient(ox, 0, kBronzeLight, ox + 64, 32, kBronzeDark));
        EmbossSdf(c, box, rim, 2.0f, 0.5f);
        Sdf face = RoundRect(ox + 4, 4, 56, 24, 11);
        FillSdf(c, box, face, LinearGradient(0, 4, Hex(0x34424F), 0, 28, Hex(0x1A222A)));
        EmbossSdf(c, box, face, -2.0f, 0.45f);
        float lampX = yes ? ox + 15 : ox + 49;
        FillSdf(c, box, Circle(lampX, 16, 8.5f), Solid(Hex(0x0A0E12)));
        DrawSphere(c, lampX, 16, 7.5f, yes ? Hex(0x40D060) : Hex(0xD83828));
        TextStyle s = HeadingStyle(10);
        s.outline = 0;
        s.paint = Solid(kCream);
        DrawText(c, yes ? ox + 42 : ox + 23, 21, yes ? "YES" : "NO", s, Align::Centre);
    }
    out.Save("yesno.bmp", SpritePicture(c, kPanelDark));
}

} // namespace

void WritePlayerArt(MenuOutput& out) {
    WriteScreen(out);
    out.Save("EnterButton.bmp", ButtonStrip(104, 40, icons::Check, "ENTER"));
    out.Save("RemoveButton.bmp", ButtonStrip(104, 40, icons::Cross, "REMOVE"));
    WriteYesNo(out);
}

} // namespace menuart
