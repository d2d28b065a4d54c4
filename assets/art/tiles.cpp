#include "assets/art/tiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "assets/art/art_style.h"
#include "assets/common/noise.h"

namespace art {

namespace {

constexpr Rgb kMatteDark = Hex(0x2A2620); // edge colour of keyed tiles (they sit on stone floors)

// ---- Floors ----

// A square slab: grained stone with a one-pixel grout line on its right and bottom edges (so slabs laid
// side by side are one pixel apart) and a faint bevel.
void FloorSlab(Canvas& c, Rgb base, unsigned seed, float grainAmount = 0.16f) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            float g = StoneGrain(float(x), float(y), seed, kCell);
            c.Set(x, y, Shade(base, (g - 0.5f) * grainAmount * 2));
        }
    BevelRect(c, 0, 0, kCell - 1, kCell - 1, 2, 0.22f, 0.18f);
    for (int i = 0; i < kCell; ++i) {
        c.Set(kCell - 1, i, Scale(base, 0.55f));
        c.Set(i, kCell - 1, Scale(base, 0.55f));
    }
}

void FloorMosaic(Canvas& c) {
    const Rgb tones[4] = {Hex(0xD9CBA6), Hex(0xC7A878), Hex(0xC7A878), Hex(0xD9CBA6)};
    for (int q = 0; q < 4; ++q) {
        int ox = (q % 2) * 12, oy = (q / 2) * 12;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                float g = StoneGrain(float(ox + x), float(oy + y), 31u + unsigned(q), kCell);
                c.Set(ox + x, oy + y, Shade(tones[q], (g - 0.5f) * 0.25f));
            }
        BevelRect(c, ox, oy, 11, 11, 2, 0.25f, 0.2f);
        for (int i = 0; i < 12; ++i) {
            c.Set(ox + 11, oy + i, Hex(0x7A6A50));
            c.Set(ox + i, oy + 11, Hex(0x7A6A50));
        }
    }
}

void FloorMarble(Canvas& c) {
    ValueNoise vein(91);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            float n = vein.Fractal(float(x) / 10.0f, float(y) / 10.0f, 4, 3);
            float v = std::fabs(std::sin((float(x) + float(y) * 0.6f) * 0.18f + n * 6.0f));
            float line = std::pow(1.0f - v, 10.0f);
            Rgb base = Mix(Hex(0xE4E2DA), Hex(0xC9CBC8), n);
            c.Set(x, y, Mix(base, Hex(0x8C8F96), line * 0.7f));
        }
    BevelRect(c, 0, 0, kCell - 1, kCell - 1, 2, 0.25f, 0.18f);
    for (int i = 0; i < kCell; ++i) {
        c.Set(kCell - 1, i, Hex(0x83867F));
        c.Set(i, kCell - 1, Hex(0x83867F));
    }
}

void FloorInlay(Canvas& c) {
    FloorSlab(c, kFloorStone, 5);
    float m = 11.5f, d = 5.5f;
    Sdf diamond = Polygon({{m, m - d}, {m + d, m}, {m, m + d}, {m - d, m}});
    FillSdf(c, diamond, LinearGradient(m - d, m - d, kBronzeLight, m + d, m + d, kBronzeDark));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, diamond, 1.5f, 0.4f);
}

// ---- Goals ----

// A sunken socket ringed in the ball's colour, set into a sandstone slab.
void Goal(Canvas& c, int colour) {
    FloorSlab(c, kFloorStone, 1);
    Rgb col = BallColour(colour);
    float m = 11.5f;
    FillSdf(c, Circle(m, m, 11.0f), Solid(Scale(col, 0.35f)), 0.6f);
    FillSdf(c, Ring(m, m, 9.0f, 3.4f), LinearGradient(0, 0, Shade(col, 0.5f), 23, 23, Scale(col, 0.75f)));
    FillSdf(c, Circle(m, m, 7.4f),
            RadialGradient(m + 1.5f, m + 1.5f, 8.0f, Mix(Scale(col, 0.55f), kInk, 0.3f),
                           Mix(Scale(col, 0.2f), kInk, 0.5f)));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, Circle(m, m, 7.4f), -2.0f, 0.5f);
    EmbossSdf(c, Box{0, 0, kCell, kCell}, Circle(m, m, 10.6f), 1.5f, 0.35f);
    // A glint of the colour in the socket: it reads as "put the ball here".
    FillSdf(c, Circle(m, m, 3.6f), RadialGradient(m, m, 3.6f, Shade(col, 0.7f), Scale(col, 0.6f)), 0.95f);
}

// ---- Walls (every non-blue pixel is solid for the balls) ----

Paint WallStone(unsigned seed, Rgb base = kWallStone) {
    return [=](float x, float y) {
        float g = StoneGrain(x, y, seed, kCell);
        return Shade(base, (g - 0.5f) * 0.3f);
    };
}

void WallBlock(Canvas& c) {
    FillRectPaint(c, 0, 0, kCell, kCell, WallStone(12));
    BevelRect(c, 0, 0, kCell, kCell, 3, 0.45f, 0.55f);
}

void WallBrick(Canvas& c) {
    c.Fill(Hex(0x3E3A36)); // mortar
    const Rgb brick = Hex(0x8C5A44);
    struct B {
        int x, y, w, h;
    };
    const B bricks[] = {{0, 0, 11, 11}, {12, 0, 12, 11}, {-6, 12, 11, 12}, {6, 12, 11, 12}, {18, 12, 11, 12}};
    for (const B& b : bricks) {
        int x0 = std::max(b.x, 0), x1 = std::min(b.x + b.w, kCell);
        FillRectPaint(c, x0, b.y, x1 - x0, b.h, WallStone(13u + unsigned(b.x + 7), brick));
        BevelRect(c, x0, b.y, x1 - x0, b.h, 2, 0.35f, 0.45f);
    }
    BevelRect(c, 0, 0, kCell, kCell, 1, 0.3f, 0.4f);
}

void WallMetal(Canvas& c) {
    FillRectPaint(c, 0, 0, kCell, kCell, LinearGradient(0, 0, Hex(0x9AA4B0), 24, 24, Hex(0x4E5762)));
    ValueNoise brush(7);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            c.Blend(x, y, Rgb{255, 255, 255}, brush.At(float(x) * 0.3f, float(y) * 3) * 0.12f);
    BevelRect(c, 0, 0, kCell, kCell, 2, 0.5f, 0.55f);
    const float r[4][2] = {{5, 5}, {18, 5}, {5, 18}, {18, 18}};
    for (auto& p : r)
        DrawSphere(c, p[0] + 0.5f, p[1] + 0.5f, 1.8f, Hex(0xB8C0CA));
}

void WallPost(Canvas& c) {
    float m = 12.0f;
    FillSdf(c, Circle(m, m, 11.0f), Solid(Hex(0x3A424C)));
    FillSdf(c, Circle(m, m, 10.0f), RadialGradient(m - 3, m - 3, 13.0f, Hex(0x9AA8B8), Hex(0x46505C)));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, Circle(m, m, 10.0f), 2.5f, 0.5f);
    FillSdf(c, Circle(m, m, 5.0f), RadialGradient(m - 1, m - 1, 6.0f, Hex(0x7C8896), Hex(0x5A6470)));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, Circle(m, m, 5.0f), -1.5f, 0.4f);
}

// A solid shape of wall stone with relief.
void WallShape(Canvas& c, const Sdf& shape, unsigned seed) {
    Box box{0, 0, kCell, kCell};
    FillSdf(c, box, shape, WallStone(seed));
    EmbossSdf(c, box, shape, 3.0f, 0.5f);
}

void WallDiagonal(Canvas& c, int corner) {
    // corner: 0 upper left, 1 upper right, 2 lower left, 3 lower right is solid.
    const float s = float(kCell);
    std::vector<Point> tri;
    switch (corner) {
    case 0: tri = {{-1, -1}, {s + 1, -1}, {-1, s + 1}}; break;
    case 1: tri = {{-1, -1}, {s + 1, -1}, {s + 1, s + 1}}; break;
    case 2: tri = {{-1, -1}, {s + 1, s + 1}, {-1, s + 1}}; break;
    default: tri = {{s + 1, -1}, {s + 1, s + 1}, {-1, s + 1}}; break;
    }
    WallShape(c, Polygon(tri), 16u + unsigned(corner));
}

void WallRect(Canvas& c, float x, float y, float w, float h, unsigned seed) {
    WallShape(c, RoundRect(x, y, w, h, 1.0f), seed);
}

// ---- Balls and hazards ----

void BallTile(Canvas& c, int colour) {
    DrawBall(c, 12.0f, 12.0f, kBallRadius, colour);
}

void Hole(Canvas& c) {
    float m = 12.0f;
    FillSdf(c, Circle(m, m, 11.5f), Solid(Hex(0x4A3E30)));
    FillSdf(c, Circle(m, m, 10.0f), RadialGradient(m - 1.5f, m - 1.5f, 10.5f, Hex(0x050505), Hex(0x2A2520)));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, Circle(m, m, 11.5f), -2.5f, 0.6f);
}

void Mine(Canvas& c) {
    float m = 12.0f;
    for (int i = 0; i < 8; ++i) {
        float a = float(i) * 0.785398f + 0.39f;
        Sdf spike = Capsule(m, m, m + std::cos(a) * 10.0f, m + std::sin(a) * 10.0f, 2.4f);
        FillSdf(c, spike, Solid(Hex(0x30343A)));
        FillSdf(c, Capsule(m, m, m + std::cos(a) * 9.2f, m + std::sin(a) * 9.2f, 1.2f), Solid(Hex(0x9098A4)));
    }
    DrawSphere(c, m, m, 7.0f, Hex(0x4A505A));
    DrawSphere(c, m - 0.5f, m - 0.5f, 2.4f, Hex(0xFF3020)); // the armed light
}

// Editor icons: the cell picture of a special tile (the game draws the block instead).
void IconFrame(Canvas& c, Rgb tint) {
    FillSdf(c, RoundRect(1, 1, 22, 22, 4), Solid(Mix(kPanelDark, tint, 0.25f)));
    EmbossSdf(c, Box{0, 0, kCell, kCell}, RoundRect(1, 1, 22, 22, 4), 2.0f, 0.5f);
}

void Arrow(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float width = 2.0f) {
    float a = std::atan2(y1 - y0, x1 - x0), h = 3.5f;
    FillSdf(c, Capsule(x0, y0, x1, y1, width), Solid(colour));
    FillSdf(c, Capsule(x1, y1, x1 - std::cos(a - 0.6f) * h, y1 - std::sin(a - 0.6f) * h, width),
            Solid(colour));
    FillSdf(c, Capsule(x1, y1, x1 - std::cos(a + 0.6f) * h, y1 - std::sin(a + 0.6f) * h, width),
            Solid(colour));
}

void DimpleIcon(Canvas& c) {
    IconFrame(c, Hex(0x3080C0));
    FillSdf(c, Circle(12, 12, 8), RadialGradient(10, 10, 9, Hex(0x1A2A38), Hex(0x7FA8C8)));
    Arrow(c, 3, 3, 8, 8, kCream, 1.6f);
    Arrow(c, 21, 21, 16, 16, kCream, 1.6f);
}

void BumpIcon(Canvas& c) {
    IconFrame(c, Hex(0xC04030));
    DrawSphere(c, 12, 12, 6.5f, Hex(0xB86A50));
    Arrow(c, 8, 8, 3, 3, kCream, 1.6f);
    Arrow(c, 16, 16, 21, 21, kCream, 1.6f);
}

void GeneratorIcon(Canvas& c, int direction) {
    // direction: 0 right, 1 left, 2 up, 3 down: where the spawned balls leave.
    IconFrame(c, Hex(0xE0B020));
    DrawBall(c, 12, 12, 5, 4);
    const float d[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};
    Arrow(c, 12 + d[direction][0] * 5, 12 + d[direction][1] * 5, 12 + d[direction][0] * 10.5f,
          12 + d[direction][1] * 10.5f, kGold, 1.8f);
}

// ---- Special blocks (size x size cells, frame i at column i mod size, row i div size) ----

Canvas DimpleBlock(bool bump) {
    const int n = 3 * kCell;
    Canvas c(n, n);
    float m = float(n) / 2.0f, r = m - 0.5f;
    Sdf bowl = Circle(m, m, r);
    Box box{0, 0, n, n};
    if (!bump) {
        // A polished sandstone bowl: dark toward the light side of its hollow, concentric rings.
        Paint p = [=](float x, float y) {
            float d = std::hypot(x - m, y - m) / r;
            float g = StoneGrain(x, y, 41);
            Rgb base = Mix(Hex(0x8C7A5C), Hex(0xD4C49E), std::clamp(d * 1.1f, 0.0f, 1.0f));
            float ring = 0.5f + 0.5f * std::cos(d * 22.0f);
            base = Shade(base, (g - 0.5f) * 0.15f - ring * 0.05f);
            // Inside a hollow the light falls on the far (lower right) wall.
            float lit = ((x - m) + (y - m)) / (2.0f * r);
            return Shade(base, lit * 0.35f * d);
        };
        FillSdf(c, box, bowl, p);
        EmbossSdf(c, box, bowl, -6.0f, 0.45f);
        // Swirl marks: the bowl spins balls round.
        for (int k = 0; k < 3; ++k) {
            float a0 = float(k) * 2.094f;
            for (int s = 0; s < 14; ++s) {
                float t0 = float(s) / 14.0f, t1 = float(s + 1) / 14.0f;
                float ra = r * (0.85f - 0.55f * t0), rb = r * (0.85f - 0.55f * t1);
                float aa = a0 + t0 * 2.2f, ab = a0 + t1 * 2.2f;
                FillSdf(c, box,
                        Capsule(m + std::cos(aa) * ra, m + std::sin(aa) * ra, m + std::cos(ab) * rb,
                                m + std::sin(ab) * rb, 1.6f),
                        Solid(Hex(0x6A5A40)), 0.45f);
            }
        }
    } else {
        // A raised terracotta mound: lit on its upper left, warning stripes round its foot.
        Paint p = [=](float x, float y) {
            float nx = (x - m) / r, ny = (y - m) / r;
            float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            float lit = (-nx * 0.5f - ny * 0.5f + nz * 0.7f);
            Rgb base = Mix(Hex(0x7A3A28), Hex(0xD08A60), std::clamp(lit, 0.0f, 1.0f));
            float g = StoneGrain(x, y, 43);
            return Shade(base, (g - 0.5f) * 0.12f);
        };
        FillSdf(c, box, bowl, p);
        EmbossSdf(c, box, bowl, 3.0f, 0.45f);
        FillSdf(c, box, Ring(m, m, r - 3.0f, 2.0f), Solid(Hex(0xF0C040)), 0.55f);
        for (int k = 0; k < 4; ++k) {
            float a = float(k) * 1.5708f + 0.785f;
            float x0 = m + std::cos(a) * r * 0.3f, y0 = m + std::sin(a) * r * 0.3f;
            Arrow(c, x0, y0, m + std::cos(a) * r * 0.72f, m + std::sin(a) * r * 0.72f, Hex(0xFFE6B0), 2.4f);
        }
    }
    return c;
}

// A generator housing: a steel C-shape round the spawn cell, open toward direction (0 right, 1 left,
// 2 up, 3 down), with hazard stripes and a glowing inner edge.
Canvas GeneratorBlock(int direction) {
    const int n = 3 * kCell;
    Canvas c(n, n);
    Box box{0, 0, n, n};
    Sdf housing = RoundRect(1, 1, float(n) - 2, float(n) - 2, 8);
    Sdf hole = RoundRect(float(kCell) + 1, float(kCell) + 1, float(kCell) - 2, float(kCell) - 2, 4);
    // The mouth: the opening cell cut away with rounded lips.
    float mx = float(kCell), my = float(kCell);
    if (direction == 0) mx = 2.0f * kCell;
    if (direction == 1) mx = 0;
    if (direction == 2) my = 0;
    if (direction == 3) my = 2.0f * kCell;
    Sdf mouth = RoundRect(mx + 1, my + 1, float(kCell) - 2, float(kCell) - 2, 4);
    Sdf body = Subtract(Subtract(housing, hole), mouth);
    Paint steel = [](float x, float y) {
        float g = StoneGrain(x, y, 61);
        Rgb base = Mix(Hex(0x8C96A2), Hex(0x3E4650), std::clamp((x + y) / 144.0f, 0.0f, 1.0f));
        return Shade(base, (g - 0.5f) * 0.12f);
    };
    FillSdf(c, box, body, steel);
    // Hazard stripes along the outer rim.
    Sdf rim = Subtract(body, Grow(housing, -6.0f));
    Paint stripes = [](float x, float y) {
        float t = std::fmod(x + y + 400.0f, 12.0f);
        return t < 6.0f ? Hex(0xE8B820) : Hex(0x262626);
    };
    FillSdf(c, box, rim, stripes, 0.85f);
    EmbossSdf(c, box, body, 3.0f, 0.55f);
    // The glowing inner lip.
    Sdf lip = Intersect(Grow(Union(hole, mouth), 2.5f), body);
    FillSdf(c, box, lip, Solid(Hex(0x60E0FF)), 0.65f);
    // Rivets.
    const float rv[4][2] = {{8, 8}, {64, 8}, {8, 64}, {64, 64}};
    for (auto& p : rv)
        if (body(p[0], p[1]) < -2) DrawSphere(c, p[0], p[1], 2.0f, Hex(0xC0C8D0));
    return c;
}

const char* kGeneratorFiles[4] = {"generator_right.bmp", "generator_left.bmp", "generator_up.bmp",
                                  "generator_down.bmp"};
const char* kGeneratorMasks[4] = {"111100111", "111001111", "101101111", "111101101"};
const char* kGeneratorNames[4] = {"generator, balls leave to the right", "generator, balls leave to the left",
                                  "generator, balls leave upward", "generator, balls leave downward"};

TileEntry Floor(const std::string& name, std::function<void(Canvas&)> draw) {
    TileEntry t;
    t.name = name;
    t.layer = "background";
    t.draw = std::move(draw);
    t.opaque = true;
    return t;
}

TileEntry Wall(const std::string& name, std::function<void(Canvas&)> draw, bool solid) {
    TileEntry t;
    t.name = name;
    t.layer = "wall";
    t.draw = std::move(draw);
    t.opaque = solid;
    return t;
}

std::vector<TileEntry> BuildPalette() {
    std::vector<TileEntry> p;
    const char* colourNames[5] = {"blue", "red", "green", "yellow", "grey"};
    // Row 0: floors and goals.
    p.push_back(Floor("floor, sandstone slab", [](Canvas& c) { FloorSlab(c, kFloorStone, 1); }));
    p.push_back(
        Floor("floor, worn sandstone slab", [](Canvas& c) { FloorSlab(c, Hex(0xC4B48E), 2, 0.22f); }));
    p.push_back(Floor("floor, mosaic of four tesserae", FloorMosaic));
    p.push_back(Floor("floor, white marble", FloorMarble));
    for (int colour = 0; colour < 4; ++colour) {
        TileEntry t =
            Floor(std::string("goal, ") + colourNames[colour], [colour](Canvas& c) { Goal(c, colour); });
        t.type = "goal";
        t.colour = colour;
        p.push_back(t);
    }
    p.push_back(Floor("floor, terracotta slab", [](Canvas& c) { FloorSlab(c, Hex(0xB8704C), 3, 0.2f); }));
    p.push_back(Floor("floor, sandstone with bronze inlay", FloorInlay));
    // Row 1: walls.
    p.push_back(Wall("wall, stone block", WallBlock, true));
    p.push_back(Wall("wall, brick", WallBrick, true));
    p.push_back(Wall("wall, steel plate", WallMetal, true));
    p.push_back(Wall("wall, round post", WallPost, false));
    const char* corners[4] = {"upper left", "upper right", "lower left", "lower right"};
    for (int k = 0; k < 4; ++k)
        p.push_back(Wall(
            std::string("wall, diagonal half, solid ") + corners[k], [k](Canvas& c) { WallDiagonal(c, k); },
            false));
    p.push_back(Wall(
        "wall, horizontal bar (middle 8 rows)", [](Canvas& c) { WallRect(c, -2, 8, 28, 8, 20); }, false));
    p.push_back(Wall(
        "wall, vertical bar (middle 8 columns)", [](Canvas& c) { WallRect(c, 8, -2, 8, 28, 21); }, false));
    // Row 2: balls, hazards, dimple, generators.
    for (int colour = 0; colour < 5; ++colour) {
        TileEntry t;
        t.name = std::string("ball, ") + colourNames[colour] + (colour == 4 ? " (extra ball, no goal)" : "");
        t.layer = "special";
        t.type = "ball";
        t.colour = colour;
        t.draw = [colour](Canvas& c) { BallTile(c, colour); };
        p.push_back(t);
    }
    {
        TileEntry t;
        t.name = "hole";
        t.layer = "hole";
        t.type = "hole";
        t.radius = 9;
        t.draw = Hole;
        p.push_back(t);
    }
    {
        TileEntry t;
        t.name = "mine";
        t.layer = "mine";
        t.type = "mine";
        t.radius = 10;
        t.draw = Mine;
        p.push_back(t);
    }
    {
        TileEntry t;
        t.name = "dimple (3x3 bowl, pulls and swirls)";
        t.layer = "dimple";
        t.type = "dimple";
        t.radius = 36;
        t.size = 3;
        t.file = "dimple.bmp";
        t.force = 1.0f;
        t.draw = DimpleIcon;
        p.push_back(t);
    }
    auto generator = [&](int d) {
        TileEntry t;
        t.name = kGeneratorNames[d];
        t.layer = "generator";
        t.type = "generator";
        t.size = 3;
        t.file = kGeneratorFiles[d];
        t.wall = kGeneratorMasks[d];
        t.rate = 8;
        t.draw = [d](Canvas& c) { GeneratorIcon(c, d); };
        p.push_back(t);
    };
    generator(0);
    generator(1);
    // Row 3: more generators, the bump, half blocks, a dark floor.
    generator(2);
    generator(3);
    {
        TileEntry t;
        t.name = "bump (3x3 mound, pushes away)";
        t.layer = "dimple";
        t.type = "dimple";
        t.radius = 36;
        t.size = 3;
        t.file = "bump.bmp";
        t.force = -1.0f;
        t.draw = BumpIcon;
        p.push_back(t);
    }
    p.push_back(Wall(
        "wall, upper half block", [](Canvas& c) { WallRect(c, -1, -1, 26, 13, 35); }, false));
    p.push_back(Wall(
        "wall, lower half block", [](Canvas& c) { WallRect(c, -1, 12, 26, 13, 36); }, false));
    p.push_back(Wall(
        "wall, left half block", [](Canvas& c) { WallRect(c, -1, -1, 13, 26, 37); }, false));
    p.push_back(Wall(
        "wall, right half block", [](Canvas& c) { WallRect(c, 12, -1, 13, 26, 38); }, false));
    p.push_back(Wall(
        "wall, dark stone block",
        [](Canvas& c) {
            FillRectPaint(c, 0, 0, kCell, kCell, WallStone(39, Hex(0x4A5260)));
            BevelRect(c, 0, 0, kCell, kCell, 3, 0.4f, 0.55f);
        },
        true));
    p.push_back(Floor("floor, dark slate", [](Canvas& c) { FloorSlab(c, Hex(0x5E636A), 4, 0.18f); }));
    p.push_back(Floor("floor, grey cobble", [](Canvas& c) { FloorSlab(c, Hex(0xA8A49A), 6, 0.24f); }));
    return p;
}

std::string FormatFloat(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", double(v));
    return buf;
}

} // namespace

const std::vector<TileEntry>& TilePalette() {
    static const std::vector<TileEntry> palette = BuildPalette();
    return palette;
}

std::string TileSections() {
    std::ostringstream s;
    const auto& palette = TilePalette();
    for (size_t k = 0; k < palette.size(); ++k) {
        const TileEntry& t = palette[k];
        char section[16];
        std::snprintf(section, sizeof section, "p%03d", int(k) + 2);
        s << "; " << t.name << "\n[" << section << "]\nlayer=" << t.layer << "\n";
        if (!t.type.empty()) s << "type=" << t.type << "\n";
        if (t.type == "ball" || t.type == "goal") s << "color=" << t.colour << "\n";
        if (t.radius > 0) s << "radius=" << t.radius << "\n";
        if (t.size > 0) s << "size=" << t.size << "\n";
        if (!t.file.empty()) s << "file=" << t.file << "\n";
        if (t.type == "dimple") s << "force=" << FormatFloat(t.force) << "\n";
        if (!t.wall.empty()) s << "wall=" << t.wall << "\n";
        if (t.rate > 0) s << "rate=" << t.rate << "\n";
        s << "\n";
    }
    return s.str();
}

std::string TileIndexComment() {
    std::ostringstream s;
    const auto& palette = TilePalette();
    for (size_t k = 0; k < palette.size(); ++k) {
        char line[128];
        std::snprintf(line, sizeof line, ";   %2d  p%03d  %s\n", int(k) + 2, int(k) + 2,
                      palette[k].name.c_str());
        s << line;
    }
    return s.str();
}

Canvas TileCanvas(int paletteIndex) {
    Canvas c(kCell, kCell);
    const auto& palette = TilePalette();
    if (paletteIndex >= 2 && size_t(paletteIndex - 2) < palette.size())
        palette[size_t(paletteIndex - 2)].draw(c);
    return c;
}

Canvas SpecialCanvas(const std::string& file) {
    if (file == "dimple.bmp") return DimpleBlock(false);
    if (file == "bump.bmp") return DimpleBlock(true);
    for (int d = 0; d < 4; ++d)
        if (file == kGeneratorFiles[d]) return GeneratorBlock(d);
    return Canvas();
}

void WriteTiles(ArtOutput& out) {
    const auto& palette = TilePalette();
    int rows = int((palette.size() + kPaletteColumns - 1) / kPaletteColumns);
    Picture sheet(kPaletteColumns * kCell, rows * kCell);
    for (size_t k = 0; k < palette.size(); ++k) {
        Canvas cell(kCell, kCell);
        palette[k].draw(cell);
        Picture p = palette[k].opaque ? OpaquePicture(cell, false) : SpritePicture(cell, kMatteDark);
        int ox = int(k % kPaletteColumns) * kCell, oy = int(k / kPaletteColumns) * kCell;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                sheet.At(ox + x, oy + y) = p.At(x, y);
    }
    out.Save(kTileGridFile, sheet);
    for (const char* file : {"dimple.bmp", "bump.bmp"})
        out.Save(file, SpritePicture(SpecialCanvas(file), Hex(0x6A5A40)));
    for (const char* file : kGeneratorFiles)
        out.Save(file, SpritePicture(SpecialCanvas(file), kMatteDark));
}

} // namespace art
