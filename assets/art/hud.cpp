// The panel's sprites: score digits, goal-order markers, timer markers, and the game's bitmap font.
#include <algorithm>
#include <cmath>
#include <string>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"
#include "assets/common/glyph_strip.h"

namespace art {

namespace {

// Digits: amber on the dark display windows of the panel, 12 x 12 cells, frame n = digit n.
void WriteScoreFont(ArtOutput& out) {
    Canvas c(120, 12);
    TextStyle s;
    s.size = 10.0f;
    s.weight = 0.2f;
    s.paint = VerticalStops({{1, Hex(0xFFE9A0)}, {11, kAmber}});
    for (int d = 0; d < 10; ++d) {
        std::string text(1, char('0' + d));
        DrawText(c, float(d * 12) + 6.0f, 11.0f, text, s, Align::Centre);
    }
    out.Save("scorefont.bmp", SpritePicture(c, kDisplay));
}

// A small numbered badge for order slot i.
void SlotNumber(Canvas& c, float x, float y, int slot) {
    FillSdf(c, Circle(x, y, 4.8f), Solid(kInk));
    FillSdf(c, Circle(x, y, 4.1f), Solid(kBronzeLight));
    TextStyle s;
    s.size = 5.5f;
    s.weight = 0.26f;
    s.paint = Solid(kInk);
    DrawText(c, x + 0.1f, y + 2.8f, std::string(1, char('1' + slot)), s, Align::Centre);
}

// Goal order: frame 4i + k is slot i waiting for colour k (red, green, blue, yellow); frame 16 + i is
// slot i done. 25 x 25 cells, four to a row.
void WriteBallOrder(ArtOutput& out) {
    Canvas c(100, 125);
    auto socket = [&](float ox, float oy) {
        FillSdf(c, Circle(ox + 12.5f, oy + 12.5f, 12.0f), Solid(Hex(0x0E1318)));
        EmbossSdf(c, Box{int(ox), int(oy), int(ox) + 25, int(oy) + 25}, Circle(ox + 12.5f, oy + 12.5f, 12.0f),
                  -2.0f, 0.5f);
    };
    for (int slot = 0; slot < 4; ++slot)
        for (int k = 0; k < 4; ++k) {
            float ox = float(k * 25), oy = float(slot * 25);
            socket(ox, oy);
            DrawBall(c, ox + 12.5f, oy + 12.5f, 9.5f, OrderColourToTile(k));
            SlotNumber(c, ox + 19.5f, oy + 19.5f, slot);
        }
    for (int slot = 0; slot < 4; ++slot) {
        float ox = float(slot * 25), oy = 100.0f;
        socket(ox, oy);
        // Done: a gold check in the empty socket.
        Sdf tick = Union(Capsule(ox + 6.5f, oy + 13.0f, ox + 10.5f, oy + 17.5f, 3.4f),
                         Capsule(ox + 10.5f, oy + 17.5f, ox + 18.5f, oy + 7.0f, 3.4f));
        FillSdf(c, Grow(tick, 1.0f), Solid(kInk));
        FillSdf(c, tick, LinearGradient(ox, oy, Hex(0xFFF0A0), ox + 25, oy + 25, Hex(0xD09A30)));
    }
    out.Save("BallOrder.bmp", SpritePicture(c, kPanelDark));
}

// One second of the timer bar: a small teal gem; the current (last) second glows amber.
void WriteTimerMarkers(ArtOutput& out) {
    for (int which = 0; which < 2; ++which) {
        Canvas c(10, 9);
        Rgb base = which == 0 ? Hex(0x38C8B0) : Hex(0xFFB030);
        Sdf gem = RoundRect(1.0f, 1.0f, 8.0f, 7.0f, 2.0f);
        FillSdf(c, gem, LinearGradient(0, 0, Shade(base, 0.45f), 9, 8, Scale(base, 0.6f)));
        EmbossSdf(c, Box{0, 0, 10, 9}, gem, 1.5f, 0.45f);
        out.Save(which == 0 ? "TimerMarker0.bmp" : "TimerMarker1.bmp", SpritePicture(c, kDisplay));
    }
}

// The bitmap font: the 94 characters "!" to "~" in one row, cream with a dark edge, each separated from
// the next by blue columns. A glyph whose strokes leave an empty column inside it (the two ticks of '"')
// is bridged along its top so the loader's column scan keeps it whole.
void WriteFont(ArtOutput& out) {
    const int height = 16;
    TextStyle s;
    s.size = 10.0f;
    s.weight = 0.17f;
    s.paint = Solid(kCream);
    s.outline = 1.0f;
    s.outlineColour = Hex(0x20242A);
    std::vector<Picture> glyphs;
    for (int ch = 33; ch <= 126; ++ch) {
        Canvas g(24, height);
        DrawText(g, 0.0f, 12.0f, std::string(1, char(ch)), s);
        Picture p = SpritePicture(g, Hex(0x20242A));
        int x0 = 0, x1 = 0;
        InkColumns(p, &x0, &x1); // every glyph of the range has ink
        Picture cut = CropColumns(p, x0, x1);
        BridgeInnerGaps(cut, Rgb8{32, 36, 42});
        glyphs.push_back(cut);
    }
    Picture strip = JoinGlyphs(glyphs, height);
    out.Save("font.bmp", strip);
}

} // namespace

void WriteHud(ArtOutput& out) {
    WriteScoreFont(out);
    WriteBallOrder(out);
    WriteTimerMarkers(out);
    WriteFont(out);
}

} // namespace art
