// background.bmp: the whole 800 x 600 screen. The left panel (x 0-109) carries the logo and the frames of
// the heads-up display at the places the game draws into; right of it a mosaic backdrop surrounds the
// playfield (x 120-791, y 12-587) in a bronze frame. Digit windows and the timer tray are flat, since the
// game restores them from this picture every frame.
#include <cmath>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"
#include "assets/common/noise.h"

namespace art {

namespace {

constexpr int kPanelW = 110;
constexpr int kFieldX = 120, kFieldY = 12, kFieldW = 28 * kCell, kFieldH = 24 * kCell;

void Panel(Canvas& c) {
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < kPanelW; ++x) {
            float g = StoneGrain(float(x), float(y), 101);
            Rgb base = Mix(Hex(0x34424F), Hex(0x222B35), float(y) / 600.0f);
            c.Set(x, y, Shade(base, (g - 0.5f) * 0.14f));
        }
    // Bronze edge along the panel's right side.
    FillRectPaint(c, kPanelW - 5, 0, 5, 600,
                  LinearGradient(kPanelW - 5, 0, kBronzeLight, kPanelW, 0, kBronzeDark));
    BevelRect(c, kPanelW - 5, -3, 5, 606, 1, 0.4f, 0.5f);
}

void Label(Canvas& c, float baseline, const char* text, float size = 8.0f) {
    DrawText(c, 53.0f, baseline, text, LabelStyle(size), Align::Centre);
}

// An engraved separator line with a small diamond in the middle.
void Ornament(Canvas& c, float y) {
    FillRectPaint(c, 10, int(y), 86, 1, Solid(kBronzeDark));
    FillRectPaint(c, 10, int(y) + 1, 86, 1, Solid(Hex(0x7A6040)));
    FillSdf(c, Polygon({{53, y - 3.5f}, {56.5f, y + 0.5f}, {53, y + 4.5f}, {49.5f, y + 0.5f}}),
            LinearGradient(49, y - 4, kBronzeLight, 57, y + 4, kBronzeDark));
}

void Hud(Canvas& c) {
    DrawEmblem(c, 53.0f, 58.0f, 42.0f);
    DrawLogoText(c, 53.0f, 128.0f, 12.0f);
    Ornament(c, 143.0f);

    Label(c, 171.0f, "BEST");
    DrawWell(c, 8, 174, 92, 20);
    Label(c, 221.0f, "SCORE");
    DrawWell(c, 8, 224, 92, 20);
    Label(c, 266.0f, "LEVEL");
    DrawWell(c, 37, 274, 34, 20);
    Label(c, 305.5f, "ORDER", 6.5f);
    DrawWell(c, 3, 307, 104, 29, Hex(0x141A24));
    DrawWell(c, 3, 339, 104, 121, kDisplay);
    Label(c, 473.0f, "TIME", 7.5f);
    // The buttons sit on a recessed plate.
    DrawWell(c, 1, 476, 108, 98, Hex(0x1A222A));
    Ornament(c, 586.0f);
}

void Backdrop(Canvas& c) {
    DrawMosaic(c, kPanelW, 0, 800 - kPanelW, 600, 7);
    // The playfield's bed: the same mosaic in shadow, seen wherever a level lays no floor.
    for (int y = kFieldY; y < kFieldY + kFieldH; ++y)
        for (int x = kFieldX; x < kFieldX + kFieldW; ++x) {
            Rgba& p = c.At(x, y);
            p.r *= 0.55f;
            p.g *= 0.55f;
            p.b *= 0.55f;
        }
    // A bronze frame round the playfield.
    const int b = 5;
    Sdf outer =
        RoundRect(float(kFieldX - b), float(kFieldY - b), float(kFieldW + 2 * b), float(kFieldH + 2 * b), 4);
    Sdf inner = RoundRect(float(kFieldX), float(kFieldY), float(kFieldW), float(kFieldH), 0.5f);
    Sdf ring = Subtract(outer, inner);
    FillSdf(
        c, ring,
        LinearGradient(kFieldX, kFieldY, kBronzeLight, kFieldX + kFieldW, kFieldY + kFieldH, kBronzeDark));
    EmbossSdf(c, Box{kFieldX - b - 1, kFieldY - b - 1, kFieldX + kFieldW + b + 1, kFieldY + kFieldH + b + 1},
              outer, 2.5f, 0.5f);
    BevelRect(c, kFieldX - 1, kFieldY - 1, kFieldW + 2, kFieldH + 2, 1, 0.5f, 0.5f, true);
}

} // namespace

void WriteBackground(ArtOutput& out) {
    Canvas c(800, 600, kPanelDark);
    Backdrop(c);
    Panel(c);
    Hud(c);
    out.Save("background.bmp", OpaquePicture(c), Kind::Background);
}

} // namespace art
