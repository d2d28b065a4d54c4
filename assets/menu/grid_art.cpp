// The grid of games: the page's background with a niche for each of the twelve slots, its controls,
// the frame drawn over each game's picture, the collect button and the information screen.
#include <cmath>
#include <string>

#include "assets/art/art_output.h"
#include "assets/menu/menu_look.h"
#include "assets/menu/menu_pictures.h"

namespace menuart {

using namespace art;

namespace {

// The slots of the grid: 256 x 104 at these columns and rows.
constexpr int kSlotW = 256, kSlotH = 104;
constexpr int kSlotX[3] = {14, 271, 528};
constexpr int kSlotY[4] = {140, 247, 355, 461};
constexpr float kSlotRadius = 12;

// The page number's digits: 16 x 24 cells, right edge at x 716, top at y 30.
constexpr int kDigitW = 16, kDigitH = 24;
constexpr int kNumberRight = 716, kNumberY = 30;

void Vignette(Canvas& c, float strength) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float dx = (float(x) - 400) / 520, dy = (float(y) - 300) / 420;
            c.Blend(x, y, Rgb{0, 0, 0}, std::min(0.6f, (dx * dx + dy * dy) * strength));
        }
}

// An empty niche: the slot's rounded shape sunk into the wall, its floor the mosaic in shadow.
void Niche(Canvas& c, int x, int y) {
    Sdf shape = RoundRect(float(x), float(y), kSlotW, kSlotH, kSlotRadius);
    Box box{x - 3, y - 3, x + kSlotW + 3, y + kSlotH + 3};
    FillSdf(c, box, Grow(shape, 2.0f), Solid(Hex(0x0A1014)), 0.55f);
    FillSdf(c, box, shape, [&](float px, float py) {
        Rgba p = c.Get(int(px), int(py));
        return Scale(Rgb{p.r, p.g, p.b}, 0.5f);
    });
    EmbossSdf(c, box, shape, -3.0f, 0.55f);
    // A faint tessera in the middle marks the place of a game.
    float cx = float(x) + kSlotW / 2.0f, cy = float(y) + kSlotH / 2.0f;
    Sdf diamond = Polygon({{cx, cy - 14}, {cx + 14, cy}, {cx, cy + 14}, {cx - 14, cy}});
    Box mark{int(cx) - 16, int(cy) - 16, int(cx) + 17, int(cy) + 17};
    FillSdf(c, mark, diamond, Solid(Hex(0x0A1216)), 0.55f);
    FillSdf(c, mark, Subtract(diamond, Grow(diamond, -1.5f)), Solid(Hex(0x3A5058)), 0.35f);
}

void Header(Canvas& c) {
    DrawPanel(c, 8, 8, 612, 124, 16);
    DrawEmblem(c, 72, 70, 50);
    DrawMenuLogo(c, 140, 86, 50);
    TextStyle sub = LabelStyle(10);
    sub.tracking = 3;
    DrawText(c, 142, 114, "PLOVIX GAMES", sub);
    TextStyle hint = BodyStyle(11);
    DrawText(c, 606, 114, "Choose a game", hint, Align::Right);

    // The controls' plate: page arrows with the page number between them, info and exit below.
    DrawPanel(c, 627, 8, 170, 130, 16);
    DrawWell(c, 690, kNumberY - 3, 46, kDigitH + 6);
    TextStyle page = LabelStyle(7.5f);
    page.tracking = 2;
    DrawText(c, 713, 78, "PAGE", page, Align::Centre);
}

void Footer(Canvas& c) {
    TextStyle s = LabelStyle(8);
    s.tracking = 2.5f;
    DrawText(c, 400, 588, "CLICK A GAME TO OPEN IT  -  ESC TO QUIT", s, Align::Centre);
}

void WriteBackground(MenuOutput& out) {
    Canvas c(800, 600, kPanelDark);
    DrawMosaic(c, 0, 0, 800, 600, 41, 1.1f);
    Vignette(c, 0.5f);
    Header(c);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            Niche(c, kSlotX[col], kSlotY[row]);
    Footer(c);
    out.Save("background.bmp", OpaquePicture(c), Kind::Screen);
}

// The frame over a game's picture: normal a thin dark edge, under the mouse a glowing gold ring, pressed
// an amber ring with the picture's upper and left edges in shadow.
void GameButtonFrame(Canvas& c, int ox, int state) {
    Box box{ox, 0, ox + kSlotW, kSlotH};
    Sdf outer = RoundRect(float(ox) + 0.5f, 0.5f, kSlotW - 1.0f, kSlotH - 1.0f, kSlotRadius);
    if (state == 0) {
        FillSdf(c, box, Subtract(outer, Grow(outer, -1.5f)), Solid(Hex(0x2A1A08)), 0.9f);
        return;
    }
    Rgb light = state == 1 ? Hex(0xFFF4C0) : Hex(0xFFB040);
    Rgb dark = state == 1 ? Hex(0xE8B040) : Hex(0xA05A10);
    Sdf ring = Subtract(outer, Grow(outer, -4.5f));
    FillSdf(c, box, ring, LinearGradient(float(ox), 0, light, float(ox + kSlotW), kSlotH, dark));
    EmbossSdf(c, box, ring, 1.5f, 0.4f);
    if (state == 2) {
        // Shadow bands along the top and left inside the ring: the picture looks pressed in.
        Sdf inner = Grow(outer, -4.5f);
        FillSdf(c, box, Intersect(Subtract(inner, Offset(inner, 3, 3)), inner), Solid(Hex(0x14100A)), 0.9f);
    }
    // Corner sparks.
    for (float x : {float(ox) + 12, float(ox) + kSlotW - 12})
        for (float y : {12.0f, kSlotH - 12.0f})
            FillSdf(c, box, ::Star(x, y, 4, 1.6f, 6.0f, 0),
                    Solid(state == 1 ? Hex(0xFFFBE8) : Hex(0xFFD080)));
}

void WriteGameButton(MenuOutput& out) {
    Canvas c(3 * kSlotW, kSlotH);
    for (int state = 0; state < 3; ++state)
        GameButtonFrame(c, state * kSlotW, state);
    out.Save("GameButton.bmp", SpritePicture(c, kBronzeDark));
}

// The collect slot: a plate like a game's picture inviting to fetch more games from the maker's site.
void WriteCollectButton(MenuOutput& out) {
    Canvas c(kSlotW, kSlotH);
    Box box{0, 0, kSlotW, kSlotH};
    Sdf outer = RoundRect(1, 1, kSlotW - 2, kSlotH - 2, kSlotRadius);
    FillSdf(c, box, outer, LinearGradient(0, 0, kBronzeLight, kSlotW, kSlotH, kBronzeDark));
    EmbossSdf(c, box, outer, 2.5f, 0.5f);
    Sdf inner = RoundRect(6, 6, kSlotW - 12, kSlotH - 12, 8);
    FillSdf(c, box, inner, LinearGradient(0, 6, Hex(0x34424F), 0, kSlotH - 6, Hex(0x1A222A)));
    EmbossSdf(c, box, inner, -2.5f, 0.5f);
    // A ring of four balls around a gold plus.
    float cx = 52, cy = 52;
    FillSdf(c, box, Circle(cx, cy, 34), RadialGradient(cx - 8, cy - 8, 40, Hex(0x2E4450), Hex(0x121A20)));
    EmbossSdf(c, box, Circle(cx, cy, 34), -2.0f, 0.5f);
    const int colours[4] = {1, 2, 0, 3};
    for (int i = 0; i < 4; ++i) {
        float a = -0.785f + float(i) * 1.5708f;
        DrawBall(c, cx + std::cos(a) * 21, cy + std::sin(a) * 21, 8.5f, colours[i]);
    }
    Sdf plus = Union(RoundRect(cx - 3.5f, cy - 12, 7, 24, 2), RoundRect(cx - 12, cy - 3.5f, 24, 7, 2));
    FillSdf(c, box, Grow(plus, 1.2f), Solid(Hex(0x2A1A08)));
    FillSdf(c, box, plus, LinearGradient(cx - 12, cy - 12, Hex(0xFFF2B0), cx + 12, cy + 12, Hex(0xC08A28)));
    TextStyle head = HeadingStyle(15);
    DrawText(c, 170, 52, "MORE GAMES", head, Align::Centre);
    TextStyle sub = LabelStyle(7);
    sub.tracking = 1.2f;
    DrawText(c, 170, 73, "AT THE PLOVIX WEB SITE", sub, Align::Centre);
    out.Save("CollectButton.bmp", SpritePicture(c, Hex(0x202830)));
}

void WritePageNumbers(MenuOutput& out) {
    Canvas c(10 * kDigitW, kDigitH);
    TextStyle s;
    s.size = 17.0f;
    s.weight = 0.19f;
    s.paint = VerticalStops({{3, Hex(0xFFE9A0)}, {21, kAmber}});
    for (int d = 0; d < 10; ++d)
        DrawText(c, float(d * kDigitW) + kDigitW / 2.0f, 20.5f, std::string(1, char('0' + d)), s,
                 Align::Centre);
    out.Save("PageNumbers.bmp", SpritePicture(c, kDisplay));
}

void WriteArrows(MenuOutput& out) {
    for (int dir = 0; dir < 2; ++dir) {
        Canvas c(96, 48);
        for (int f = 0; f < 2; ++f)
            DrawRoundButton(c, f * 48, 48, f == 1, dir == 0 ? icons::ArrowLeft : icons::ArrowRight);
        out.Save(dir == 0 ? "PageArrowsLeft.bmp" : "PageArrowsRight.bmp", SpritePicture(c, kPanelDark));
    }
}

// The information screen, shown full screen over the grid; its back button sits at (689, 370).
void WriteInfoScreen(MenuOutput& out) {
    Canvas c(800, 600, kPanelDark);
    DrawScreenPanel(c, 22, 43);
    DrawEmblem(c, 92, 84, 54);
    DrawMenuLogo(c, 166, 100, 46);
    TextStyle sub = LabelStyle(10);
    sub.tracking = 3;
    DrawText(c, 168, 128, "PLOVIX GAMES", sub);

    struct Topic {
        const char* heading;
        const char* lines[3];
    };
    const Topic topics[] = {
        {"CHOOSING A GAME",
         {"Every game installed next to Lobbit shows its picture in the grid.",
          "Click a picture to open the game's title page. With more than",
          "eleven games, the arrows at the top turn the pages."}},
        {"THE TITLE PAGE",
         {"PLAY starts the game; its MENU button brings you back here.",
          "HOW TO PLAY explains the rules; HIGH SCORES shows the best twenty.",
          "The two switches turn the sound effects and the music on or off."}},
        {"PLAYERS",
         {"Up to eight players share the games. Click a name to play as that",
          "player; PLAYERS edits the current player's name, address, e-mail",
          "and whether the top score may be sent to the score board."}},
        {"MORE GAMES",
         {"The tile after the last game opens the Plovix web site in your",
          "browser. A game you add there appears in the grid the next time",
          "Lobbit starts. ESC quits the menu at any time."}},
    };
    float y = 176;
    for (const Topic& t : topics) {
        DrawText(c, 60, y, t.heading, LabelStyle(10));
        for (int i = 0; i < 3; ++i)
            DrawText(c, 60, y + 25 + 20 * float(i), t.lines[i], BodyStyle(11));
        y += 102;
    }
    // Balls resting on the panel's right, above the back button.
    const float balls[4][4] = {{718, 150, 24, 1}, {676, 228, 17, 2}, {748, 262, 14, 0}, {700, 318, 19, 3}};
    for (const auto& b : balls) {
        DrawSoftShadow(c, b[0] + b[2] * 0.35f, b[1] + b[2] * 0.55f, b[2] * 1.15f, b[2] * 0.7f, 0.55f);
        DrawBall(c, b[0], b[1], b[2], int(b[3]));
    }
    // The plate that holds the back button.
    DrawWell(c, 681, 362, 100, 56, Hex(0x141C24));
    out.Save("infoscreen.bmp", OpaquePicture(c), Kind::Screen);
}

void WriteSmallButtons(MenuOutput& out) {
    out.Save("Info.bmp", ButtonStrip(72, 40, icons::Question, "INFO"));
    out.Save("SmallExit.bmp", ButtonStrip(72, 40, icons::Power, "EXIT"));
    // One picture under both spellings the menu asks for.
    Picture back = ButtonStrip(84, 40, icons::Back, "BACK");
    out.Save("backbutton.bmp", back);
    out.Save("BackButton.bmp", back);
}

} // namespace

void WriteGridArt(MenuOutput& out) {
    WriteBackground(out);
    WriteArrows(out);
    WriteSmallButtons(out);
    WriteGameButton(out);
    WritePageNumbers(out);
    WriteCollectButton(out);
    WriteInfoScreen(out);
}

} // namespace menuart
