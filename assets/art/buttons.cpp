// The panel's buttons: 2-frame horizontal strips (frame 0 normal, frame 1 under the mouse or pressed).
#include <cmath>
#include <functional>
#include <string>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"

namespace art {

namespace {

using Icon = std::function<void(Canvas&, float cx, float cy, Rgb colour)>;

void BackIcon(Canvas& c, float cx, float cy, Rgb col) {
    // A hooked arrow turning back to the left.
    for (int s = 0; s < 12; ++s) {
        float a0 = -1.5708f + float(s) * 0.2618f, a1 = a0 + 0.2618f;
        FillSdf(c,
                Capsule(cx + 1 + std::cos(a0) * 6, cy + 1 + std::sin(a0) * 5, cx + 1 + std::cos(a1) * 6,
                        cy + 1 + std::sin(a1) * 5, 2.6f),
                Solid(col));
    }
    FillSdf(c, Polygon({{cx - 7, cy - 4}, {cx + 1, cy - 10}, {cx + 1, cy + 2}}), Solid(col));
}

void PlayIcon(Canvas& c, float cx, float cy, Rgb col) {
    FillSdf(c, Grow(Polygon({{cx - 5, cy - 8}, {cx + 8, cy}, {cx - 5, cy + 8}}), -0.8f), Solid(col));
}

void HelpIcon(Canvas& c, float cx, float cy, Rgb col) {
    TextStyle s;
    s.size = 15;
    s.weight = 0.2f;
    s.paint = Solid(col);
    DrawText(c, cx, cy + 7.5f, "?", s, Align::Centre);
}

void ExitIcon(Canvas& c, float cx, float cy, Rgb col) {
    // The power sign: a ring open at the top and a bar through the gap.
    const int steps = 16;
    for (int s = 0; s < steps; ++s) {
        float a0 = 0.65f + float(s) * (4.98f / steps), a1 = a0 + 4.98f / steps;
        FillSdf(c,
                Capsule(cx + std::sin(a0) * 7, cy - std::cos(a0) * 7, cx + std::sin(a1) * 7,
                        cy - std::cos(a1) * 7, 2.6f),
                Solid(col));
    }
    FillSdf(c, Capsule(cx, cy - 9, cx, cy - 1, 2.8f), Solid(col));
}

// One frame of a panel button at (ox, 0) in the strip: bronze rim, slate face, icon and label.
void ButtonFrame(Canvas& c, int ox, int w, int h, bool hot, const Icon& icon, const std::string& label) {
    float x = float(ox) + 1, y = 1, bw = float(w) - 2, bh = float(h) - 2;
    Box box{ox, 0, ox + w, h};
    Sdf rim = RoundRect(x, y, bw, bh, 8);
    FillSdf(c, box, rim,
            LinearGradient(x, y, hot ? Hex(0xFFE0A0) : kBronzeLight, x + bw, y + bh, kBronzeDark));
    EmbossSdf(c, box, rim, 2.0f, 0.5f);
    Sdf face = RoundRect(x + 3, y + 3, bw - 6, bh - 6, 6);
    Rgb top = hot ? Hex(0x3E6A78) : Hex(0x3A4858), bottom = hot ? Hex(0x1E3A44) : Hex(0x1C242E);
    FillSdf(c, box, face, LinearGradient(x, y, top, x, y + bh, bottom));
    EmbossSdf(c, box, face, -2.0f, 0.45f);
    if (hot)
        FillSdf(c, box, Grow(face, -1.0f),
                RadialGradient(x + bw / 2, y + 15, 22, Hex(0x80E8FF), Hex(0x1E3A44)), 0.25f);
    Rgb iconColour = hot ? Hex(0xFFF4C8) : kGold;
    icon(c, float(ox) + float(w) / 2.0f, 17.0f, iconColour);
    TextStyle s = LabelStyle(6.5f);
    s.tracking = 1.0f;
    s.paint = Solid(hot ? Hex(0xFFF4C8) : kCream);
    DrawText(c, float(ox) + float(w) / 2.0f, float(h) - 7.0f, label, s, Align::Centre);
}

void WriteButton(ArtOutput& out, const char* file, const Icon& icon, const std::string& label) {
    const int w = 50, h = 45;
    Canvas c(2 * w, h);
    ButtonFrame(c, 0, w, h, false, icon, label);
    ButtonFrame(c, w, w, h, true, icon, label);
    out.Save(file, SpritePicture(c, kPanelDark));
}

// A round arrow button, 24 x 24 a frame, pointing left (dir -1) or right (dir 1).
void WriteArrow(ArtOutput& out, const char* file, int dir) {
    Canvas c(48, 24);
    for (int f = 0; f < 2; ++f) {
        bool hot = f == 1;
        float cx = float(f * 24) + 12.0f, cy = 12.0f;
        Box box{f * 24, 0, f * 24 + 24, 24};
        Sdf rim = Circle(cx, cy, 11.2f);
        FillSdf(c, box, rim,
                LinearGradient(cx - 11, cy - 11, hot ? Hex(0xFFE0A0) : kBronzeLight, cx + 11, cy + 11,
                               kBronzeDark));
        EmbossSdf(c, box, rim, 1.6f, 0.5f);
        Sdf face = Circle(cx, cy, 8.6f);
        FillSdf(c, box, face,
                LinearGradient(cx, cy - 9, hot ? Hex(0x3E6A78) : Hex(0x3A4858), cx, cy + 9, Hex(0x1C242E)));
        float d = float(dir);
        Sdf tri = Grow(Polygon({{cx + d * 5.0f, cy}, {cx - d * 3.0f, cy - 5.5f}, {cx - d * 3.0f, cy + 5.5f}}),
                       -0.5f);
        FillSdf(c, box, tri, Solid(hot ? Hex(0xFFF4C8) : kGold));
    }
    out.Save(file, SpritePicture(c, kPanelDark));
}

} // namespace

void WriteButtons(ArtOutput& out) {
    WriteButton(out, "backbutton.bmp", BackIcon, "MENU");
    WriteButton(out, "newgamebutton.bmp", PlayIcon, "NEW");
    WriteButton(out, "infobutton.bmp", HelpIcon, "HELP");
    WriteButton(out, "exitbutton.bmp", ExitIcon, "EXIT");
    WriteArrow(out, "levelleft.bmp", -1);
    WriteArrow(out, "levelright.bmp", 1);
}

} // namespace art
