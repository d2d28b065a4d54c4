// title/HowToPlay.bmp (694 x 564): the rules in six pictures with short words, then points, the panel's
// buttons and the level editor's keys. Shown by the game's HELP button and the menu's How-to-play
// button; a click anywhere closes it.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "assets/art/art_style.h"
#include "assets/art/pictures.h"
#include "assets/art/tiles.h"

namespace art {

namespace {

constexpr int kWidth = 694, kHeight = 564;
constexpr int kPicW = 96, kPicH = 84;

// Palette indices of the tiles the pictures show (see the tile table).
constexpr int kGoalRed = 7;
constexpr int kFloor = 2;
constexpr int kHole = 27;
constexpr int kMine = 28;
constexpr int kWallBlock = 12;

void Tile(Canvas& c, int index, float x, float y, float scale = 1.5f) {
    c.BlitScaled(TileCanvas(index), x, y, scale);
}

void FloorBed(Canvas& c, int x, int y, int w, int h) {
    Canvas floor = TileCanvas(kFloor);
    for (int j = 0; j < h; j += 24)
        for (int i = 0; i < w; i += 24)
            c.Blit(floor.Crop(0, 0, std::min(24, w - i), std::min(24, h - j)), x + i, y + j);
}

void Pointer(Canvas& c, float x, float y) {
    std::vector<Point> arrow = {{x, y},
                                {x, y + 17},
                                {x + 4.5f, y + 13},
                                {x + 8, y + 20},
                                {x + 11, y + 18.5f},
                                {x + 7.5f, y + 11.5f},
                                {x + 13, y + 11.5f}};
    FillSdf(c, Grow(Polygon(arrow), 1.2f), Solid(kInk));
    FillSdf(c, Polygon(arrow), Solid(Rgb{250, 250, 250}));
}

void ArrowLine(Canvas& c, float x0, float y0, float x1, float y1, Rgb col) {
    float a = std::atan2(y1 - y0, x1 - x0);
    FillSdf(c, Capsule(x0, y0, x1, y1, 2.2f), Solid(col));
    FillSdf(c,
            Polygon({{x1 + std::cos(a) * 4, y1 + std::sin(a) * 4},
                     {x1 + std::cos(a + 2.4f) * 5, y1 + std::sin(a + 2.4f) * 5},
                     {x1 + std::cos(a - 2.4f) * 5, y1 + std::sin(a - 2.4f) * 5}}),
            Solid(col));
}

// The six pictures, each drawn into its well at (x, y).
void PicMagnet(Canvas& c, int x, int y) {
    FloorBed(c, x, y, kPicW, kPicH);
    float px = float(x) + 52, py = float(y) + 36;
    const float balls[3][3] = {{14, 16, 1}, {18, 66, 0}, {84, 70, 2}};
    for (auto& b : balls) {
        float bx = float(x) + b[0], by = float(y) + b[1];
        float a = std::atan2(py - by, px - bx);
        ArrowLine(c, bx + std::cos(a) * 11, by + std::sin(a) * 11, px - std::cos(a) * 12,
                  py - std::sin(a) * 12, Hex(0x205070));
        DrawBall(c, bx, by, 9, int(b[2]));
    }
    Pointer(c, px - 2, py - 4);
}

void PicGoal(Canvas& c, int x, int y) {
    FloorBed(c, x, y, kPicW, kPicH);
    DrawBall(c, float(x) + 20, float(y) + 42, 13, 1);
    ArrowLine(c, float(x) + 38, float(y) + 42, float(x) + 52, float(y) + 42, Hex(0x205070));
    Tile(c, kGoalRed, float(x) + 58, float(y) + 24);
}

void PicClock(Canvas& c, int x, int y) {
    c.FillRect(x, y, kPicW, kPicH, kDisplay);
    for (int i = 0; i < 36; ++i) {
        int col = i % 9, row = i / 9;
        Rgb base = i == 35 ? Hex(0xFFB030) : Hex(0x38C8B0);
        float gx = float(x + 7 + col * 9), gy = float(y + 8 + row * 8);
        FillSdf(c, RoundRect(gx, gy, 7, 6, 2),
                LinearGradient(gx, gy, Shade(base, 0.4f), gx + 7, gy + 6, Scale(base, 0.6f)));
    }
    TextStyle s = HeadingStyle(15);
    DrawText(c, float(x) + 48, float(y) + 72, "+20 s", s, Align::Centre);
}

void PicDanger(Canvas& c, int x, int y) {
    FloorBed(c, x, y, kPicW, kPicH);
    Tile(c, kHole, float(x) + 6, float(y) + 4);
    Tile(c, kMine, float(x) + 54, float(y) + 4);
    DrawBall(c, float(x) + 33, float(y) + 64, 9, 0);
    DrawBall(c, float(x) + 63, float(y) + 64, 9, 3);
    FillSdf(c, Star(float(x) + 48, float(y) + 64, 7, 2.5f, 7.5f, 0.3f), Solid(Hex(0xFFD040)));
}

void PicDimples(Canvas& c, int x, int y) {
    FloorBed(c, x, y, kPicW, kPicH);
    c.BlitScaled(SpecialCanvas("dimple.bmp"), float(x) + 2, float(y) + 8, 0.6f);
    c.BlitScaled(SpecialCanvas("bump.bmp"), float(x) + 51, float(y) + 32, 0.6f);
}

void PicGenerator(Canvas& c, int x, int y) {
    FloorBed(c, x, y, kPicW, kPicH);
    Canvas block = SpecialCanvas("generator_right.bmp");
    // The opening and the spawn cell are not part of the housing.
    for (int j = 24; j < 48; ++j)
        for (int i = 24; i < 72; ++i)
            block.At(i, j) = Rgba{};
    c.BlitScaled(block, float(x) + 4, float(y) + 8, 0.9f);
    DrawBall(c, float(x) + 82, float(y) + 40, 8, 4);
    ArrowLine(c, float(x) + 60, float(y) + 57, float(x) + 84, float(y) + 57, Hex(0xF0C040));
}

struct Section {
    const char* title;
    std::vector<const char*> lines;
    std::function<void(Canvas&, int, int)> picture;
};

void DrawSection(Canvas& c, int x, int y, const Section& s) {
    DrawWell(c, x - 3, y - 3, kPicW + 6, kPicH + 6, Hex(0x0E1318));
    s.picture(c, x, y);
    BevelRect(c, x - 3, y - 3, kPicW + 6, kPicH + 6, 2, 0.4f, 0.5f, true);
    float tx = float(x + kPicW + 14);
    DrawText(c, tx, float(y) + 14, s.title, HeadingStyle(11), Align::Left);
    TextStyle body = BodyStyle(9.0f);
    for (size_t i = 0; i < s.lines.size(); ++i)
        DrawText(c, tx, float(y) + 36 + float(i) * 16, s.lines[i], body);
}

} // namespace

void WriteHowToPlay(ArtOutput& out) {
    Canvas c(kWidth, kHeight);
    DrawPanel(c, 0, 0, kWidth, kHeight, 22);
    DrawText(c, kWidth / 2.0f, 52, "HOW TO PLAY", HeadingStyle(26), Align::Centre);

    const std::vector<Section> sections = {
        {"THE MAGNET",
         {"Hold the left mouse button:", "every ball rolls toward the", "pointer. Let go to coast."},
         PicMagnet},
        {"BRING THEM HOME",
         {"Roll each ball into the goal", "of its own colour. ORDER ticks", "off every ball brought home."},
         PicGoal},
        {"BEAT THE CLOCK",
         {"You have 120 seconds; every", "goal adds 20 more. Seconds", "left become bonus points."},
         PicClock},
        {"DANGER",
         {"Holes swallow balls, mines", "blow them up, and two balls", "that touch both explode!"},
         PicDanger},
        {"DIMPLES AND BUMPS",
         {"Dimples pull balls in and", "spin them round; bumps", "push them away."},
         PicDimples},
        {"GENERATORS",
         {"Every few seconds a grey ball", "rolls out. Grey balls never", "finish: keep clear of them!"},
         PicGenerator},
    };
    for (size_t i = 0; i < sections.size(); ++i) {
        int col = int(i % 2), row = int(i / 2);
        DrawSection(c, 34 + col * 330, 80 + row * 112, sections[i]);
    }

    // Points, buttons and the editor's keys.
    int y = 420;
    FillRectPaint(c, 30, y, kWidth - 60, 1, Solid(kBronzeDark));
    FillRectPaint(c, 30, y + 1, kWidth - 60, 1, Solid(Hex(0x7A6040)));
    TextStyle label = LabelStyle(8);
    TextStyle body = BodyStyle(9.0f);
    const float lx = 40, tx = 150;
    DrawText(c, lx, float(y) + 24, "POINTS", label);
    DrawText(c, tx, float(y) + 24, "125 a goal, (level + 1) x 20000 for a solved level, 25 a second left.",
             body);
    DrawText(c, lx, float(y) + 46, "BUTTONS", label);
    DrawText(c, tx, float(y) + 46,
             "NEW starts the level, the arrows pick a level you have solved, Esc quits.", body);
    DrawText(c, lx, float(y) + 68, "EDITOR", label);
    DrawText(c, tx, float(y) + 68, "F2 tile palette   F3 save level   F4 play   F5 load level   F9 reload",
             body);
    DrawText(c, tx, float(y) + 86, "Right click swaps palette and paint; left click picks or paints a tile.",
             body);
    DrawText(c, kWidth / 2.0f, float(kHeight) - 20, "CLICK ANYWHERE TO CLOSE", LabelStyle(8), Align::Centre);
    out.Save("title/HowToPlay.bmp", SpritePicture(c, Hex(0x101418)));
}

} // namespace art
