// The menu's pictures of the game: its title page background (800 x 600), its credits (694 x 564) and
// its button in the menu's grid of games (256 x 104).
#include <cmath>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"

namespace art {

namespace {

// A ball resting on the mosaic with its shadow.
void RestingBall(Canvas& c, float x, float y, float r, int colour) {
    DrawSoftShadow(c, x + r * 0.35f, y + r * 0.55f, r * 1.15f, r * 0.7f, 0.55f);
    DrawBall(c, x, y, r, colour);
}

void Plate(Canvas& c, int x, int y, int w, int h) {
    Sdf plate = RoundRect(float(x), float(y), float(w), float(h), 10);
    Box box{x - 2, y - 2, x + w + 2, y + h + 2};
    FillSdf(c, box, plate, Solid(Hex(0x141C24)), 0.7f);
    EmbossSdf(c, box, plate, -3.0f, 0.5f);
}

// Title page: logo on top; plates behind the menu's button columns (x 52-164 and 636-748 from y 296),
// the players' board (Players button at 280, 318; name fields 150 x 30 at x 238/408, y 378-540) and
// the two switches at (52, 505) and (106, 505).
void WriteTitleBackground(ArtOutput& out) {
    Canvas c(800, 600, kPanelDark);
    DrawMosaic(c, 0, 0, 800, 600, 23, 1.15f);
    // Vignette.
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            float dx = (float(x) - 400) / 520, dy = (float(y) - 300) / 420;
            c.Blend(x, y, Rgb{0, 0, 0}, std::min(0.6f, (dx * dx + dy * dy) * 0.55f));
        }
    RestingBall(c, 120, 120, 26, 1);
    RestingBall(c, 150, 228, 18, 2);
    RestingBall(c, 690, 100, 22, 0);
    RestingBall(c, 660, 205, 26, 3);
    RestingBall(c, 752, 262, 14, 4);
    DrawEmblem(c, 400, 92, 70);
    DrawLogoText(c, 400, 238, 54);
    TextStyle sub = LabelStyle(12);
    sub.tracking = 4;
    DrawText(c, 400, 276, "A MARBLE PUZZLE", sub, Align::Centre);

    Plate(c, 42, 288, 132, 272);  // left buttons and the two switches
    Plate(c, 626, 288, 132, 212); // right buttons
    DrawPanel(c, 222, 306, 352, 250, 14);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col) {
            const int ys[4] = {378, 420, 464, 510};
            int x = col == 0 ? 238 : 408;
            DrawWell(c, x - 2, ys[row] - 2, 154, 34, Hex(0x0C1116));
        }
    out.Save("title/titlebackground.bmp", OpaquePicture(c), Kind::Background);
}

void WriteCredits(ArtOutput& out) {
    const int w = 694, h = 564;
    Canvas c(w, h);
    DrawPanel(c, 0, 0, float(w), float(h), 22);
    DrawEmblem(c, w / 2.0f, 82, 52);
    DrawLogoText(c, w / 2.0f, 190, 38);
    TextStyle body = BodyStyle(11);
    DrawText(c, w / 2.0f, 222, "A marble puzzle of the Quib game package", body, Align::Centre);
    struct Credit {
        const char* role;
        const char* who;
    };
    const Credit credits[] = {
        {"ENGINE, GAME AND MENU", "The Quib team"},
        {"ART", "Drawn at build time by the package's own art generator"},
        {"SOUND AND MUSIC", "Synthesised at build time by the package's own audio tools"},
        {"LEVELS", "Fifty puzzles made from the package's own level maps"},
    };
    float y = 272;
    for (const Credit& cr : credits) {
        DrawText(c, w / 2.0f, y, cr.role, LabelStyle(9), Align::Centre);
        DrawText(c, w / 2.0f, y + 22, cr.who, BodyStyle(11), Align::Centre);
        y += 56;
    }
    DrawText(c, w / 2.0f, 506, "Thanks for playing!", HeadingStyle(16), Align::Centre);
    DrawText(c, w / 2.0f, h - 20, "CLICK ANYWHERE TO CLOSE", LabelStyle(8), Align::Centre);
    out.Save("title/Credits.bmp", SpritePicture(c, Hex(0x101418)));
}

// The game's button in the menu's grid (the menu draws its own frame over it).
void WriteLobbitButton(ArtOutput& out) {
    const int w = 256, h = 104;
    Canvas c(w, h);
    Sdf outer = RoundRect(1, 1, w - 2, h - 2, 12);
    Box box{0, 0, w, h};
    FillSdf(c, box, outer, LinearGradient(0, 0, kBronzeLight, float(w), float(h), kBronzeDark));
    EmbossSdf(c, box, outer, 2.5f, 0.5f);
    Canvas mosaic(w, h);
    DrawMosaic(mosaic, 0, 0, w, h, 29, 1.2f);
    Sdf inner = RoundRect(6, 6, w - 12, h - 12, 8);
    FillSdf(c, box, inner, [&](float x, float y) {
        Rgba p = mosaic.Get(int(x), int(y));
        return Rgb{p.r, p.g, p.b};
    });
    EmbossSdf(c, box, inner, -2.5f, 0.5f);
    DrawEmblem(c, 54, 52, 36);
    DrawLogoText(c, 166, 60, 19);
    TextStyle sub = LabelStyle(8);
    sub.tracking = 2;
    DrawText(c, 166, 82, "A MARBLE PUZZLE", sub, Align::Centre);
    out.Save("LobbitButton.bmp", SpritePicture(c, Hex(0x202830)));
}

} // namespace

void WriteTitleArt(ArtOutput& out) {
    WriteTitleBackground(out);
    WriteCredits(out);
    WriteLobbitButton(out);
}

} // namespace art
