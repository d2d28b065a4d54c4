// The game's notices: time ran out, a place in the hall of fame, and the end of the last level. The game
// draws nothing on them: every word is part of the picture. Each is a framed panel whose rounded corners
// are transparent.
#include <cmath>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"

namespace art {

namespace {

void Hourglass(Canvas& c, float cx, float top, float h) {
    float w = h * 0.55f;
    Box box{int(cx - w) - 4, int(top) - 4, int(cx + w) + 4, int(top + h) + 4};
    Rgb glass = Hex(0xBFE6F0);
    Sdf upper =
        Polygon({{cx - w / 2, top + 6}, {cx + w / 2, top + 6}, {cx + 2, top + h / 2}, {cx - 2, top + h / 2}});
    Sdf lower = Polygon(
        {{cx - 2, top + h / 2}, {cx + 2, top + h / 2}, {cx + w / 2, top + h - 6}, {cx - w / 2, top + h - 6}});
    FillSdf(c, box, Union(upper, lower), Solid(glass), 0.5f);
    // Sand: a little left on top, a heap below (time is up).
    FillSdf(
        c, box,
        Intersect(upper, Polygon({{cx - 6, top + h / 2 - 6}, {cx + 6, top + h / 2 - 6}, {cx, top + h / 2}})),
        Solid(Hex(0xF0C060)));
    FillSdf(c, box,
            Intersect(lower, Polygon({{cx - w, top + h - 6}, {cx, top + h * 0.62f}, {cx + w, top + h - 6}})),
            LinearGradient(cx, top + h * 0.6f, Hex(0xFFE090), cx, top + h, Hex(0xC08A30)));
    FillSdf(c, box, Capsule(cx, top + h / 2, cx, top + h - 10, 1.2f), Solid(Hex(0xF0C060)));
    EmbossSdf(c, box, Union(upper, lower), 2.0f, 0.4f);
    for (float y : {top, top + h - 7}) {
        Sdf cap = RoundRect(cx - w / 2 - 5, y, w + 10, 7, 3);
        FillSdf(c, box, cap, LinearGradient(cx - w, y, kBronzeLight, cx + w, y + 7, kBronzeDark));
        EmbossSdf(c, box, cap, 1.5f, 0.5f);
    }
    for (float x : {cx - w / 2 - 2, cx + w / 2 + 2})
        FillSdf(c, box, Capsule(x, top + 5, x, top + h - 5, 3.0f),
                LinearGradient(x - 2, 0, kBronzeLight, x + 2, 0, kBronzeDark));
}

void Trophy(Canvas& c, float cx, float top, float h) {
    Box box{int(cx - h) - 2, int(top) - 2, int(cx + h) + 2, int(top + h) + 2};
    float w = h * 0.62f;
    Sdf cup =
        Union(Intersect(Ellipse(cx, top, w / 2, h * 0.55f), RoundRect(cx - w, top, 2 * w, h * 0.55f, 0)),
              RoundRect(cx - w / 2, top - 1, w, 6, 2));
    Sdf handles = Union(Ring(cx - w / 2, top + h * 0.18f, h * 0.13f, 3.2f),
                        Ring(cx + w / 2, top + h * 0.18f, h * 0.13f, 3.2f));
    Sdf stem = Polygon({{cx - 3, top + h * 0.52f},
                        {cx + 3, top + h * 0.52f},
                        {cx + 5, top + h * 0.8f},
                        {cx - 5, top + h * 0.8f}});
    Sdf base = RoundRect(cx - w * 0.42f, top + h * 0.78f, w * 0.84f, h * 0.2f, 3);
    Sdf all = Union(Union(cup, Subtract(handles, cup)), Union(stem, base));
    FillSdf(c, box, all, LinearGradient(cx - w, top, Hex(0xFFF2A8), cx + w, top + h, Hex(0xA87018)));
    EmbossSdf(c, box, all, 3.0f, 0.5f);
    FillSdf(c, box, Star(cx, top + h * 0.25f, 5, 3.0f, 7.5f, -1.5708f), Solid(Hex(0xFFF8D8)), 0.9f);
}

Canvas NoticePanel(int w, int h) {
    Canvas c(w, h);
    DrawPanel(c, 0, 0, float(w), float(h), 16);
    return c;
}

void WriteOutOfTime(ArtOutput& out) {
    Canvas c = NoticePanel(210, 200);
    Hourglass(c, 105, 16, 82);
    DrawText(c, 105, 132, "TIME'S UP!", HeadingStyle(17), Align::Centre);
    TextStyle body = BodyStyle(9.5f);
    DrawText(c, 105, 158, "The clock ran out.", body, Align::Centre);
    DrawText(c, 105, 177, "Try the level again!", body, Align::Centre);
    out.Save("OutOfTime.bmp", SpritePicture(c, Hex(0x101418)), Kind::Sprite);
}

void WriteHallOfFame(ArtOutput& out) {
    Canvas c = NoticePanel(150, 268);
    Trophy(c, 75, 22, 86);
    TextStyle head = HeadingStyle(16);
    DrawText(c, 75, 138, "HALL", head, Align::Centre);
    DrawText(c, 75, 162, "OF FAME", head, Align::Centre);
    TextStyle body = BodyStyle(9.0f);
    DrawText(c, 75, 192, "Your score", body, Align::Centre);
    DrawText(c, 75, 209, "is one of the", body, Align::Centre);
    DrawText(c, 75, 226, "best twenty!", body, Align::Centre);
    for (int i = 0; i < 3; ++i)
        FillSdf(c, Star(51.0f + float(i) * 24, 246, 5, 3.0f, 7.0f, -1.5708f),
                LinearGradient(40, 238, Hex(0xFFF2A8), 110, 254, Hex(0xC08A28)));
    out.Save("hallfamepop.bmp", SpritePicture(c, Hex(0x101418)));
}

void WriteCongrats(ArtOutput& out) {
    Canvas c = NoticePanel(312, 352);
    // Rays behind the emblem.
    for (int k = 0; k < 16; ++k) {
        float a = float(k) * 0.3927f;
        FillSdf(c,
                Polygon({{156, 100},
                         {156 + std::cos(a - 0.09f) * 95, 100 + std::sin(a - 0.09f) * 80},
                         {156 + std::cos(a + 0.09f) * 95, 100 + std::sin(a + 0.09f) * 80}}),
                Solid(Hex(0xF4D06A)), 0.18f);
    }
    DrawEmblem(c, 156, 100, 62);
    DrawText(c, 156, 204, "WELL DONE!", HeadingStyle(24), Align::Centre);
    TextStyle body = BodyStyle(11);
    DrawText(c, 156, 236, "All 50 levels are solved.", body, Align::Centre);
    DrawText(c, 156, 258, "Every ball found its way home:", body, Align::Centre);
    DrawText(c, 156, 280, "you are a true Tessary master!", body, Align::Centre);
    TextStyle hint = LabelStyle(8);
    DrawText(c, 156, 322, "CLICK TO CONTINUE", hint, Align::Centre);
    out.Save("congrats.bmp", SpritePicture(c, Hex(0x101418)));
}

} // namespace

void WritePopups(ArtOutput& out) {
    WriteOutOfTime(out);
    WriteHallOfFame(out);
    WriteCongrats(out);
}

} // namespace art
